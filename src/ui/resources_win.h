// The program's pictures ("bmp0" ...) and the hand cursor "bmp12".
#pragma once
#include <windows.h>

#include <string>

namespace lz {

// Loaded once and kept for the program's life: windows share them, and the
// spider switches between two pictures twice a second. nullptr when missing.
HBITMAP LoadBitmapResource(const std::wstring& name);
HCURSOR HandCursor();
// The program icon at the system's small or large size, shared.
HICON ProgramIcon(bool small);

}  // namespace lz
