#include "ui/inputbox.h"

#include <commctrl.h>

namespace lz {

namespace {

const wchar_t* const kClass = L"LanzhanInputBox";
enum { kEdit = 100, kPrompt = 101 };

struct State {
    HWND edit = nullptr;
    bool done = false;
    bool ok = false;
    std::wstring text;
};

LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
    auto* st = reinterpret_cast<State*>(GetWindowLongPtrW(h, GWLP_USERDATA));
    switch (m) {
    case WM_NCCREATE:
        SetWindowLongPtrW(h, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(l)->lpCreateParams));
        break;
    case WM_COMMAND:
        if (!st) break;
        if (LOWORD(w) == IDOK || LOWORD(w) == IDCANCEL) {
            st->ok = LOWORD(w) == IDOK;
            if (st->ok) {
                int len = GetWindowTextLengthW(st->edit);
                st->text.assign(len + 1, L'\0');
                GetWindowTextW(st->edit, st->text.data(), len + 1);
                st->text.resize(len);
            }
            st->done = true;
            return 0;
        }
        break;
    case WM_CLOSE:
        if (st) st->done = true;
        return 0;
    }
    return DefWindowProcW(h, m, w, l);
}

}  // namespace

std::wstring RunInputBox(HINSTANCE instance, HWND owner, const std::wstring& prompt, const std::wstring& title,
                         const std::wstring& defaultText) {
    static bool registered = false;
    if (!registered) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = Proc;
        wc.hInstance = instance;
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        wc.lpszClassName = kClass;
        RegisterClassExW(&wc);
        registered = true;
    }
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    auto px = [dpi](int v) { return MulDiv(v, dpi, 96); };
    State st;
    RECT r{0, 0, px(380), px(140)};
    DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    AdjustWindowRectEx(&r, style, FALSE, WS_EX_DLGMODALFRAME);
    int w = r.right - r.left, h = r.bottom - r.top;
    int x = (GetSystemMetrics(SM_CXSCREEN) - w) / 2, y = (GetSystemMetrics(SM_CYSCREEN) - h) / 2;
    HWND box = CreateWindowExW(WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT | WS_EX_TOPMOST, kClass, title.c_str(),
                               style, x, y, w, h, owner, nullptr, instance, &st);
    LOGFONTW lf{};
    lf.lfHeight = -MulDiv(9, dpi, 72);
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpyW(lf.lfFaceName, L"SimSun");
    HFONT font = CreateFontIndirectW(&lf);
    auto child = [&](const wchar_t* cls, const std::wstring& text, DWORD s, DWORD ex, int cx, int cy, int cw, int ch,
                     int id) {
        HWND c = CreateWindowExW(ex, cls, text.c_str(), WS_CHILD | WS_VISIBLE | s, px(cx), px(cy), px(cw), px(ch), box,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
        SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        return c;
    };
    child(L"STATIC", prompt, SS_LEFT | SS_NOPREFIX, 0, 10, 10, 270, 80, kPrompt);
    child(L"BUTTON", L"确定", WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 292, 10, 78, 24, IDOK);
    child(L"BUTTON", L"取消", WS_TABSTOP | BS_PUSHBUTTON, 0, 292, 40, 78, 24, IDCANCEL);
    st.edit = child(L"EDIT", defaultText, WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, 10, 104, 360, 24, kEdit);
    SendMessageW(st.edit, EM_SETSEL, 0, -1);

    if (owner) EnableWindow(owner, FALSE);
    ShowWindow(box, SW_SHOW);
    SetForegroundWindow(box);
    SetFocus(st.edit);
    MSG msg;
    while (!st.done && GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (IsDialogMessageW(box, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    if (!st.done) PostQuitMessage(int(msg.wParam));  // keep the outer loop's quit
    if (owner) EnableWindow(owner, TRUE);
    DestroyWindow(box);
    DeleteObject(font);
    if (owner) SetForegroundWindow(owner);
    return st.ok ? st.text : L"";
}

}  // namespace lz
