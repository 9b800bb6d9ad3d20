#pragma once
#include <windows.h>

#include <string>

namespace lz {

// A modal prompt with one line of input: the text typed, or "" on Cancel.
std::wstring RunInputBox(HINSTANCE instance, HWND owner, const std::wstring& prompt, const std::wstring& title,
                         const std::wstring& defaultText);

// The input box now open on this thread, if any (tests answer it).
HWND OpenInputBox();

}  // namespace lz
