#include "ui/small_dialog_win.h"

namespace lz {

bool SmallDialog::Create(HINSTANCE instance, const wchar_t* windowClass, WNDPROC proc, HWND owner, HWND centreOn,
                         const std::wstring& title, int width, int height, DWORD extraExStyle, void* param) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (!GetClassInfoExW(instance, windowClass, &wc)) {
        wc.lpfnWndProc = proc;
        wc.hInstance = instance;
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        wc.lpszClassName = windowClass;
        RegisterClassExW(&wc);
    }
    instance_ = instance;
    HDC screen = GetDC(nullptr);
    dpi_ = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    RECT r{0, 0, Px(width), Px(height)};
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    AdjustWindowRectEx(&r, style, FALSE, WS_EX_DLGMODALFRAME);
    const int w = r.right - r.left, h = r.bottom - r.top;
    RECT around{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (centreOn && IsWindowVisible(centreOn) && !IsIconic(centreOn)) GetWindowRect(centreOn, &around);
    const int x = around.left + (around.right - around.left - w) / 2;
    const int y = around.top + (around.bottom - around.top - h) / 2;
    hwnd_ = CreateWindowExW(WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT | extraExStyle, windowClass, title.c_str(),
                            style, x, y, w, h, owner, nullptr, instance, param);
    if (!hwnd_) return false;
    LOGFONTW lf{};
    lf.lfHeight = -MulDiv(9, dpi_, 72);
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpyW(lf.lfFaceName, L"SimSun");
    font_ = CreateFontIndirectW(&lf);
    return true;
}

HWND SmallDialog::Child(const wchar_t* windowClass, const std::wstring& text, DWORD style, DWORD exStyle, int x,
                        int y, int width, int height, int id) {
    HWND c = CreateWindowExW(exStyle, windowClass, text.c_str(), WS_CHILD | WS_VISIBLE | style, Px(x), Px(y),
                             Px(width), Px(height), hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                             instance_, nullptr);
    SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    return c;
}

void SmallDialog::Destroy() {
    if (hwnd_) DestroyWindow(hwnd_);
    hwnd_ = nullptr;
    if (font_) DeleteObject(font_);
    font_ = nullptr;
}

}  // namespace lz
