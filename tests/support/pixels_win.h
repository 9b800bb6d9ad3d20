// What a window or the screen shows, read back as pixels.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace lz::test {

// The pixels of a rectangle of a window's client area (of the screen when
// `window` is null), as 0x00RRGGBB, top row first; empty when it cannot be read.
std::vector<DWORD> GrabPixels(HWND window, const RECT& r);
// Saves a rectangle of the screen as a BMP file.
bool SaveScreenBmp(const RECT& screenRect, const std::wstring& path);

}  // namespace lz::test
