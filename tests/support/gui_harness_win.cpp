#include "support/gui_harness_win.h"

#include <commctrl.h>

#include "app/controls_win.h"
#include "support/window_text_win.h"

#include <algorithm>
#include <cstdlib>
#include <stdexcept>
#include <vector>

namespace lz::test {

GuiApp::GuiApp() : ui(GetModuleHandleW(nullptr), registry), ctx{machine, ui, L""} {
    RegisterAppControls();
    RegisterAllForms(registry);
    registry.Attach(ctx);
}

GuiApp::~GuiApp() {
    ui.EndProgram();
    Pump(10);
    // The last unload posts a quit; take it out of the queue so that the next
    // test's message loop does not end at once.
    MSG msg;
    while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    ui.ReleaseUnloaded();
}

FormWindow& GuiApp::W(const std::wstring& form) {
    FormWindow* w = ui.Window(form);
    if (!w) throw std::runtime_error("window not loaded");
    return *w;
}

void GuiApp::Pump(int ms) {
    const DWORD begun = GetTickCount();
    DWORD end = begun + DWORD(ms);
    // A window that keeps posting to itself (the lock's animation) never
    // empties the queue: after a while the pump gives up waiting for that.
    const DWORD longest = DWORD(std::max(ms, 250));
    do {
        MSG msg;
        while (GetTickCount() - begun < longest && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        // Idle, as in the program's own loop.
        ui.DoIdleWork();
        Sleep(1);
    } while (GetTickCount() < end || ui.HasIdleWork());
}

bool GuiApp::PumpUntil(const std::function<bool()>& done, int timeoutMs) {
    const DWORD begun = GetTickCount();
    while (!done()) {
        if (GetTickCount() - begun > DWORD(timeoutMs)) return false;
        Pump(10);
    }
    return true;
}

void GuiApp::Tick(const std::wstring& form, const std::wstring& timer) {
    FormWindow& w = W(form);
    const UINT_PTR id = w.TimerId(timer);
    if (!id) throw std::runtime_error("no such timer");
    SendMessageW(w.Handle(), WM_TIMER, id, 0);
    Pump(5);
}

namespace {
LPARAM CenterOf(FormWindow& w, const std::wstring& name, int index, HWND box) {
    RECT r = w.ControlRect(name, index);  // form client pixels
    POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    MapWindowPoints(w.Handle(), box, &p, 1);
    return MAKELPARAM(p.x, p.y);
}

}  // namespace

// Where the pointer goes for a control: a picture or box takes it itself, a
// label lets it through to its container, other controls report it to their
// parent through WM_SETCURSOR.
void GuiApp::Click(const std::wstring& form, const std::wstring& name, int index) {
    FormWindow& w = W(form);
    HWND h = w.ChildHandle(name, index);
    const std::wstring cls = h ? ClassOf(h) : L"";
    if (lstrcmpiW(cls.c_str(), L"Button") == 0) {
        SendMessageW(GetParent(h), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(h), BN_CLICKED), reinterpret_cast<LPARAM>(h));
    } else {
        HWND target = cls == L"LanzhanPicture" || cls == L"LanzhanBox" ? h : w.ContainerOf(name, index);
        LPARAM at = CenterOf(w, name, index, target);
        SendMessageW(target, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(target, WM_LBUTTONUP, 0, at);
    }
    Pump(5);
}

void GuiApp::MouseMove(const std::wstring& form, const std::wstring& name, int index) {
    FormWindow& w = W(form);
    HWND h = w.ChildHandle(name, index);
    const std::wstring cls = h ? ClassOf(h) : L"";
    if (cls == L"LanzhanBox") {
        // a container: a point inside it away from its children
        SendMessageW(h, WM_MOUSEMOVE, 0, MAKELPARAM(1, 1));
    } else if (cls == L"LanzhanPicture") {
        SendMessageW(h, WM_MOUSEMOVE, 0, CenterOf(w, name, index, h));
    } else if (h && lstrcmpiW(cls.c_str(), L"Static") != 0) {
        SendMessageW(GetParent(h), WM_SETCURSOR, reinterpret_cast<WPARAM>(h), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    } else {
        HWND box = w.ContainerOf(name, index);
        SendMessageW(box, WM_MOUSEMOVE, 0, CenterOf(w, name, index, box));
    }
    Pump(5);
}

void GuiApp::Menu(const std::wstring& form, const std::wstring& name, int index) {
    FormWindow& w = W(form);
    UINT id = w.MenuId(name, index);
    if (!id) throw std::runtime_error("no such menu item");
    SendMessageW(w.Handle(), WM_COMMAND, MAKEWPARAM(id, 0), 0);
    Pump(5);
}

void GuiApp::Press(const std::wstring& form, const std::wstring& name, int index, wchar_t key) {
    FormWindow& w = W(form);
    HWND target = w.ChildHandle(name, index);
    if (HWND edit = FindWindowExW(target, nullptr, L"Edit", nullptr)) target = edit;
    MSG msg{};
    msg.hwnd = target;
    msg.message = key == L'\r' ? WM_KEYDOWN : WM_CHAR;
    msg.wParam = key == L'\r' ? WPARAM(VK_RETURN) : WPARAM(key);
    if (!w.PreTranslate(msg)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    Pump(5);
}

void GuiApp::Type(const std::wstring& form, const std::wstring& name, int index, const std::wstring& text) {
    HWND h = W(form).ChildHandle(name, index);
    SetWindowTextW(h, text.c_str());
    Pump(5);
}

bool GuiApp::Screenshot(const std::wstring& form, const std::wstring& file) {
    const wchar_t* dir = _wgetenv(L"LANZHAN_SHOTS");
    if (!dir || !*dir) return false;
    HWND h = W(form).Handle();
    SetForegroundWindow(h);
    RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Pump(300);
    RECT r;
    GetWindowRect(h, &r);
    return SaveScreenBmp(r, std::wstring(dir) + L"\\" + file + L".bmp");
}

}  // namespace lz::test
