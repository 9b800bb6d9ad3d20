#include "lock/lock_surface_win.h"

#include <algorithm>

namespace lz {

LockSurfaceWin::~LockSurfaceWin() {
    steps_.Stop();
    keys_.Remove();
    if (windowDc_) ReleaseDC(hwnd_, windowDc_);
    DropHeld();
}

ScreenBox LockSurfaceWin::Screen() {
    const int w = GetSystemMetrics(SM_CXVIRTUALSCREEN), h = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    if (w <= 0 || h <= 0) return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return {GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN), w, h};
}

void LockSurfaceWin::DropHeld() {
    if (heldDc_) {
        SelectObject(heldDc_, heldOld_);
        DeleteDC(heldDc_);
    }
    if (held_) DeleteObject(held_);
    heldDc_ = nullptr;
    held_ = nullptr;
    heldOld_ = nullptr;
    heldWidth_ = heldHeight_ = 0;
}

namespace {

BOOL CALLBACK PaintNow(HWND h, LPARAM) {
    if (IsWindowVisible(h)) RedrawWindow(h, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    return TRUE;
}

}  // namespace

void LockSurfaceWin::Snapshot() {
    DropHeld();
    // Our own windows shown a moment ago (the settings window) are in the
    // picture as they look, not as the blank they are until painted.
    EnumThreadWindows(GetCurrentThreadId(), PaintNow, 0);
    GdiFlush();
    const ScreenBox s = Screen();
    HDC screen = GetDC(nullptr);
    if (!screen) return;
    heldDc_ = CreateCompatibleDC(screen);
    held_ = CreateCompatibleBitmap(screen, s.width, s.height);
    if (heldDc_ && held_) {
        heldOld_ = SelectObject(heldDc_, held_);
        heldWidth_ = s.width;
        heldHeight_ = s.height;
        BitBlt(heldDc_, 0, 0, s.width, s.height, screen, s.left, s.top, SRCCOPY);
    } else {
        if (heldDc_) DeleteDC(heldDc_);
        if (held_) DeleteObject(held_);
        heldDc_ = nullptr;
        held_ = nullptr;
    }
    ReleaseDC(nullptr, screen);
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void LockSurfaceWin::Cover() {
    const ScreenBox s = Screen();
    HWND root = GetAncestor(hwnd_, GA_ROOT);
    if (!root) root = hwnd_;
    // The client area is what must cover the screen; a frame, if the window
    // has one, lies outside it.
    RECT want{s.left, s.top, s.left + s.width, s.top + s.height};
    AdjustWindowRectEx(&want, DWORD(GetWindowLongPtrW(root, GWL_STYLE)), FALSE,
                       DWORD(GetWindowLongPtrW(root, GWL_EXSTYLE)));
    SetWindowPos(root, HWND_TOPMOST, want.left, want.top, want.right - want.left, want.bottom - want.top,
                 SWP_NOACTIVATE);
    if (root != hwnd_) {
        // Beneath its siblings (the "双击" label), and never drawing over them.
        SetWindowLongPtrW(hwnd_, GWL_STYLE, GetWindowLongPtrW(hwnd_, GWL_STYLE) | WS_CLIPSIBLINGS);
        RECT client{};
        GetClientRect(root, &client);
        SetWindowPos(hwnd_, HWND_BOTTOM, 0, 0, client.right, client.bottom, SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }
    // A context taken before clips as the window stood then.
    if (windowDc_) {
        ReleaseDC(hwnd_, windowDc_);
        windowDc_ = nullptr;
    }
}

HDC LockSurfaceWin::WindowDc() {
    if (!windowDc_) windowDc_ = GetDC(hwnd_);
    return windowDc_;
}

void LockSurfaceWin::CopyBlock(int x, int y, int width, int height, int toX, int toY) {
    if (HDC dc = WindowDc()) BitBlt(dc, toX, toY, width, height, dc, x, y, SRCCOPY);
}

void LockSurfaceWin::Hold() {
    if (!heldDc_) return;
    if (HDC dc = WindowDc()) BitBlt(heldDc_, 0, 0, heldWidth_, heldHeight_, dc, 0, 0, SRCCOPY);
}

void LockSurfaceWin::GuardKeys(bool on) {
    if (on) keys_.Install();
    else keys_.Remove();
}

void LockSurfaceWin::Animate(std::function<bool()> step) {
    // The picture is painted before the first block moves: a block copied
    // from a window not yet painted would carry what lay under it.
    UpdateWindow(hwnd_);
    steps_.Start(std::move(step));
}

void LockSurfaceWin::Stop() { steps_.Stop(); }

bool LockSurfaceWin::HandleMessage(UINT m, WPARAM, LPARAM, LRESULT& result) {
    switch (m) {
    case WM_ERASEBKGND:
        result = 1;  // the picture covers everything
        return true;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd_, &ps);
        const RECT& r = ps.rcPaint;
        // Black where the picture does not reach (a screen grown since it was taken).
        if (!heldDc_ || r.right > heldWidth_ || r.bottom > heldHeight_)
            FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        if (heldDc_) {
            const int w = std::min<int>(r.right, heldWidth_) - r.left, h = std::min<int>(r.bottom, heldHeight_) - r.top;
            if (w > 0 && h > 0) BitBlt(dc, r.left, r.top, w, h, heldDc_, r.left, r.top, SRCCOPY);
        }
        EndPaint(hwnd_, &ps);
        result = 0;
        return true;
    }
    case WM_DISPLAYCHANGE:
        // A monitor added or a resolution changed: the whole screen stays covered.
        Cover();
        return false;
    }
    return false;
}

}  // namespace lz
