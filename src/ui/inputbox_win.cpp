#include "ui/inputbox.h"

#include <commctrl.h>

#include "ui/small_dialog_win.h"

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
    State st;
    SmallDialog dialog;
    if (!dialog.Create(instance, kClass, Proc, owner, nullptr, title, 380, 140, WS_EX_TOPMOST, &st)) return L"";
    HWND box = dialog.Handle();
    dialog.Child(L"STATIC", prompt, SS_LEFT | SS_NOPREFIX, 0, 10, 10, 270, 80, kPrompt);
    dialog.Child(L"BUTTON", L"确定", WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 292, 10, 78, 24, IDOK);
    dialog.Child(L"BUTTON", L"取消", WS_TABSTOP | BS_PUSHBUTTON, 0, 292, 40, 78, 24, IDCANCEL);
    st.edit = dialog.Child(L"EDIT", defaultText, WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, 10, 104, 360, 24, kEdit);
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
    dialog.Destroy();
    if (owner) SetForegroundWindow(owner);
    return st.ok ? st.text : L"";
}

}  // namespace lz
