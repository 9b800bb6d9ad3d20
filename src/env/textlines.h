// Lines of a text file once decoded: the rule every reader of the suite's
// files follows (SavePath.ini, Screen.ini, the scheduler's listing ...).
#pragma once
#include <string>
#include <vector>

namespace lz {

// CR, LF and CR LF each end a line; the last line counts without a line end
// too, and an empty text has no lines.
std::vector<std::wstring> SplitLines(const std::wstring& text);

}  // namespace lz
