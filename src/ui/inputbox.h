#pragma once
#include <windows.h>

#include <string>

namespace lz {

// A modal prompt with one line of input (window class "LanzhanInputBox"):
// the text typed, or "" on Cancel.
std::wstring RunInputBox(HINSTANCE instance, HWND owner, const std::wstring& prompt, const std::wstring& title,
                         const std::wstring& defaultText);

}  // namespace lz
