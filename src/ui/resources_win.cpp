#include "ui/resources_win.h"

#include <cwctype>
#include <map>

namespace lz {

HBITMAP LoadBitmapResource(const std::wstring& name) {
    static std::map<std::wstring, HBITMAP> loaded;
    std::wstring key = name;
    for (auto& c : key) c = static_cast<wchar_t>(std::towupper(c));
    auto it = loaded.find(key);
    if (it != loaded.end()) return it->second;
    auto bmp = static_cast<HBITMAP>(
        LoadImageW(GetModuleHandleW(nullptr), key.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (bmp) loaded[key] = bmp;
    return bmp;
}

HCURSOR HandCursor() {
    static HCURSOR hand = [] {
        auto c = static_cast<HCURSOR>(LoadImageW(GetModuleHandleW(nullptr), L"BMP12", IMAGE_CURSOR, 0, 0, 0));
        return c ? c : LoadCursorW(nullptr, IDC_HAND);
    }();
    return hand;
}

HICON ProgramIcon(bool small) {
    const int cx = GetSystemMetrics(small ? SM_CXSMICON : SM_CXICON);
    const int cy = GetSystemMetrics(small ? SM_CYSMICON : SM_CYICON);
    return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), IMAGE_ICON, cx, cy, LR_SHARED));
}

}  // namespace lz
