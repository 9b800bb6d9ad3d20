// The one kind of address the machine hands to the system's default browser.
#pragma once
#include <string>

namespace lz {

// True for an absolute http or https address with nothing in it that could
// leave the browser's command line: no blanks, quotes or control characters.
bool IsPlainWebUrl(const std::wstring& url);

}  // namespace lz
