// What the tools window says: the description of each button, its default
// text and its status line.
#pragma once
#include <string>

namespace lz {

// The label text while the pointer is over button i: title, CR LF, and a
// paragraph with four or five leading blanks. "" for a button without one.
std::wstring ToolDescription(int button);

// The label text at load and over the window's background.
std::wstring ToolsDefaultText();

// The text of the status bar's panel.
std::wstring ToolsStatusText(const std::wstring& osName, const std::wstring& winDir);

}  // namespace lz
