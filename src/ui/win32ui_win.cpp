#include "ui/win32ui_win.h"

#include <commdlg.h>

#include "env/late_win.h"
#include "ui/inputbox.h"
#include "ui/messages_win.h"

namespace lz {

Win32Ui::Win32Ui(HINSTANCE instance, FormFactory& factory) : instance_(instance), factory_(factory) {}

Win32Ui::~Win32Ui() {
    unloaded_.clear();
    forms_.clear();
}

FormWindow* Win32Ui::Window(const std::wstring& form) {
    auto it = forms_.find(form);
    return it == forms_.end() ? nullptr : it->second.get();
}

void Win32Ui::LoadFormWhenIdle(const std::wstring& form) {
    if (IsLoaded(form)) return;
    for (const auto& w : waiting_)
        if (w == form) return;
    waiting_.push_back(form);
}

void Win32Ui::LoadWaitingForms() {
    while (DoIdleWork()) {
    }
}

bool Win32Ui::DoIdleWork() {
    for (auto& [name, w] : forms_)
        if (w->AddWaitingTrayIcon()) return true;
    if (waiting_.empty()) return false;
    const std::wstring next = waiting_.front();
    waiting_.pop_front();
    LoadNow(next);
    return true;
}

bool Win32Ui::HasIdleWork() const {
    for (const auto& [name, w] : forms_)
        if (w->TrayIconWaiting()) return true;
    return !waiting_.empty();
}

void Win32Ui::LoadForm(const std::wstring& form) {
    // Windows asked for earlier load first: a later one may rely on them.
    LoadWaitingForms();
    LoadNow(form);
}

void Win32Ui::LoadNow(const std::wstring& form) {
    if (IsLoaded(form)) return;
    std::unique_ptr<FormLogic> logic = factory_.Make(form);
    if (!logic) return;
    auto window = std::make_unique<FormWindow>(*this, std::move(logic));
    FormWindow* w = window.get();
    if (!w->Create()) return;
    w->BindLogic();
    forms_[form] = std::move(window);
    quitPosted_ = false;
    w->Fire({EventKind::Load, L""});
}

void Win32Ui::ShowForm(const std::wstring& form) {
    LoadForm(form);
    if (FormWindow* w = Window(form)) {
        if (!IsWindowVisible(w->Handle())) ShowWindow(w->Handle(), IsIconic(w->Handle()) ? SW_RESTORE : SW_SHOW);
        SetForegroundWindow(w->Handle());
    }
}

void Win32Ui::HideForm(const std::wstring& form) {
    if (FormWindow* w = Window(form)) ShowWindow(w->Handle(), SW_HIDE);
}

void Win32Ui::UnloadForm(const std::wstring& form) {
    for (auto w = waiting_.begin(); w != waiting_.end(); ++w)
        if (*w == form) {
            waiting_.erase(w);
            break;
        }
    auto it = forms_.find(form);
    if (it == forms_.end()) return;
    std::unique_ptr<FormWindow> w = std::move(it->second);
    forms_.erase(it);
    FormWindow* raw = w.get();
    // The window may be unloading itself from inside its own handler: keep the
    // object until the message loop is back.
    unloaded_.push_back(std::move(w));
    raw->Fire({EventKind::Unload, L""});
    raw->Destroy();
    if (forms_.empty() && !quitPosted_) {
        quitPosted_ = true;
        PostQuitMessage(0);
    }
    HWND any = nullptr;
    for (auto& [n, f] : forms_)
        if (f->Handle()) any = f->Handle();
    if (any) PostMessageW(any, kReleaseUnloaded, 0, 0);
}

void Win32Ui::ReleaseUnloaded() { unloaded_.clear(); }

bool Win32Ui::IsVisible(const std::wstring& form) {
    FormWindow* w = Window(form);
    return w && IsWindowVisible(w->Handle());
}

void Win32Ui::SetWindowState(const std::wstring& form, WindowState s) {
    FormWindow* w = Window(form);
    if (!w) return;
    HWND h = w->Handle();
    bool visible = IsWindowVisible(h) != FALSE;
    switch (s) {
    case WindowState::Normal:
        if (IsIconic(h) || IsZoomed(h)) ShowWindow(h, visible ? SW_RESTORE : SW_SHOWNOACTIVATE);
        break;
    case WindowState::Minimized: ShowWindow(h, SW_MINIMIZE); break;
    case WindowState::Maximized: ShowWindow(h, SW_MAXIMIZE); break;
    }
}

WindowState Win32Ui::GetWindowState(const std::wstring& form) {
    FormWindow* w = Window(form);
    if (!w) return WindowState::Normal;
    if (IsIconic(w->Handle())) return WindowState::Minimized;
    if (IsZoomed(w->Handle())) return WindowState::Maximized;
    return WindowState::Normal;
}

void Win32Ui::SetTopmost(const std::wstring& form, bool topmost) {
    FormWindow* w = Window(form);
    if (!w) return;
    if (topmost) SetWindowPos(w->Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE);
    else SetWindowPos(w->Handle(), HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void Win32Ui::EndProgram() {
    waiting_.clear();
    for (auto it = forms_.begin(); it != forms_.end(); it = forms_.begin()) UnloadForm(it->first);
}

bool Win32Ui::IsOurs(HWND h) const {
    for (auto& [n, f] : forms_)
        if (h && f->Handle() == h) return true;
    return false;
}

HWND Win32Ui::ActiveOwner() const {
    // A window of ours that stays above all others (the screen lock) would
    // hide a prompt owned by any other: the highest such window owns it.
    // Topmost windows come first in the z-order.
    for (HWND h = GetTopWindow(nullptr); h && (GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_TOPMOST);
         h = GetWindow(h, GW_HWNDNEXT))
        if (IsWindowVisible(h) && IsOurs(h)) return h;
    HWND active = GetActiveWindow();
    return IsOurs(active) ? active : nullptr;
}

int Win32Ui::MsgBox(const std::wstring& text, int flags, const std::wstring& title) {
    HWND owner = ActiveOwner();
    UINT style = static_cast<UINT>(flags) | MB_SETFOREGROUND;
    if (owner && (GetWindowLongW(owner, GWL_EXSTYLE) & WS_EX_TOPMOST)) style |= MB_TOPMOST;
    return MessageBoxW(owner, text.c_str(), title.empty() ? kAppTitle : title.c_str(), style);
}

std::wstring Win32Ui::InputBox(const std::wstring& prompt, const std::wstring& title, const std::wstring& def) {
    return RunInputBox(instance_, ActiveOwner(), prompt, title.empty() ? kAppTitle : title, def);
}

std::wstring Win32Ui::OpenFileDialog(const std::wstring& title, const std::wstring& filter) {
    std::wstring f = filter;
    for (auto& c : f)
        if (c == L'|') c = L'\0';
    f.push_back(L'\0');
    f.push_back(L'\0');
    std::wstring file(32768, L'\0');
    OPENFILENAMEW ofn{};
    ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400W;
    ofn.hwndOwner = ActiveOwner();
    ofn.lpstrFilter = f.c_str();
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = DWORD(file.size());
    ofn.lpstrTitle = title.c_str();
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_EXPLORER;
    // The common dialogs bring the print spooler and, under Wine, its Unix
    // libraries: a few megabytes a resident program need not carry until a
    // file is first asked for.
    static const auto open = LateBound<decltype(&GetOpenFileNameW)>(L"comdlg32.dll", "GetOpenFileNameW");
    if (!open) {
        MsgBox(L"无法打开选择文件的对话框（comdlg32.dll）。", kExclamation, L"");
        return L"";
    }
    EnterComOnce();  // the dialog shows the shell's folders
    if (!open(&ofn)) return L"";
    file.resize(lstrlenW(file.c_str()));
    return file;
}

void Win32Ui::ReportFault(const char* what) {
    std::wstring w;
    for (const char* p = what; *p; ++p) w += static_cast<wchar_t>(static_cast<unsigned char>(*p));
    MessageBoxW(nullptr, (L"程序内部错误：" + w).c_str(), kAppTitle, MB_OK | MB_ICONERROR);
}

int Win32Ui::Run() {
    MSG msg;
    for (;;) {
        // Idle: everything shown has painted (WM_PAINT comes only when the
        // queue is otherwise empty), so the waiting work is done now, a piece a turn.
        if (HasIdleWork() && !PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            DoIdleWork();
            continue;
        }
        if (GetMessageW(&msg, nullptr, 0, 0) <= 0) break;
        HWND root = GetAncestor(msg.hwnd, GA_ROOT);
        FormWindow* ours = nullptr;
        for (auto& [n, f] : forms_)
            if (f->Handle() == root) ours = f.get();
        if (ours && (ours->PreTranslate(msg) || IsDialogMessageW(root, &msg))) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    unloaded_.clear();
    return int(msg.wParam);
}

}  // namespace lz
