// The task runs on a thread of its own; this thread runs a modal loop that
// keeps every window painted, shows the progress window once the task has run
// a while, and passes a cancel on to the task.
#include "ui/progress_win.h"

#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "ui/small_dialog_win.h"
#include "ui/win32ui_win.h"

namespace lz {

const wchar_t* const kProgressWindowClass = L"LanzhanProgress";

namespace {

std::atomic<unsigned> showDelay{500};
std::function<void(const ProgressView&)> probe;  // set by tests between tasks only

class Progress : public ProgressSink {
public:
    void Show(const ProgressView& view) override {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            view_ = view;
            changed_ = true;
        }
        if (probe) probe(view);
    }
    bool Cancelled() const override { return cancelled_.load(); }
    void Cancel() { cancelled_ = true; }
    // The latest view when it changed since the last call.
    bool Take(ProgressView* view) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!changed_) return false;
        *view = view_;
        changed_ = false;
        return true;
    }

private:
    std::mutex mutex_;
    ProgressView view_;
    bool changed_ = false;
    std::atomic<bool> cancelled_{false};
};

LRESULT CALLBACK ProgressProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* progress = reinterpret_cast<Progress*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    switch (message) {
    case WM_NCCREATE:
        SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
        break;
    case WM_COMMAND:
        if (LOWORD(wParam) != IDCANCEL) break;
        [[fallthrough]];
    case WM_CLOSE:
        // The files in flight are abandoned, their old targets whole; the
        // window goes when the task has ended.
        if (progress && !progress->Cancelled()) {
            progress->Cancel();
            HWND button = GetDlgItem(hwnd, IDCANCEL);
            SetWindowTextW(button, L"正在取消");
            EnableWindow(button, FALSE);
        }
        return 0;
    case WM_CTLCOLORSTATIC:
        // Labels on the window's own face, as in the system's dialogs.
        SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

struct ProgressWindow : SmallDialog {
    void Open(HINSTANCE instance, HWND owner, const std::wstring& title, Progress* progress) {
        if (!Create(instance, kProgressWindowClass, ProgressProc, owner, owner, title, 420, 128, 0, progress)) return;
        // The whole path stays the window's text; only its drawing is shortened.
        Child(L"STATIC", L"正在复制：", SS_LEFT | SS_NOPREFIX | SS_PATHELLIPSIS, 0, 12, 12, 396, 16, kProgressLineId);
        HWND bar = Child(PROGRESS_CLASSW, L"", 0, 0, 12, 36, 396, 18, kProgressBarId);
        SendMessageW(bar, PBM_SETRANGE32, 0, 1000);
        Child(L"STATIC", L"", SS_LEFT | SS_NOPREFIX, 0, 12, 62, 396, 16, kProgressCountsId);
        Child(L"BUTTON", L"取消", WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 316, 90, 92, 26, IDCANCEL);
        ShowWindow(Handle(), SW_SHOW);
        SetForegroundWindow(Handle());
        SetFocus(GetDlgItem(Handle(), IDCANCEL));
    }
    void Update(const ProgressView& v) {
        HWND hwnd = Handle();
        if (!hwnd) return;
        SetDlgItemTextW(hwnd, kProgressLineId, v.line.c_str());
        SetDlgItemTextW(hwnd, kProgressCountsId, v.counts.c_str());
        SendDlgItemMessageW(hwnd, kProgressBarId, PBM_SETPOS, WPARAM(v.permille), 0);
    }
};

BOOL CALLBACK DisableOne(HWND hwnd, LPARAM param) {
    if (IsWindowVisible(hwnd) && IsWindowEnabled(hwnd)) {
        reinterpret_cast<std::vector<HWND>*>(param)->push_back(hwnd);
        EnableWindow(hwnd, FALSE);
    }
    return TRUE;
}

}  // namespace

void SetProgressDelay(unsigned milliseconds) { showDelay = milliseconds; }
void SetProgressProbe(std::function<void(const ProgressView&)> p) { probe = std::move(p); }

void Win32Ui::RunWithProgress(const std::wstring& title, const std::function<void(ProgressSink&)>& task) {
    LoadWaitingForms();  // nothing loads inside the task's loop
    Progress progress;
    HANDLE ended = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::exception_ptr failure;
    std::thread worker;
    try {
        if (ended) worker = std::thread([&] {
            try {
                task(progress);
            } catch (...) {
                failure = std::current_exception();
            }
            SetEvent(ended);
        });
    } catch (const std::system_error&) {
    }
    if (!worker.joinable()) {
        // No thread to be had: the task runs here, the windows wait.
        if (ended) CloseHandle(ended);
        task(progress);
        return;
    }

    // Every window of ours stays painted but takes no input: no second backup
    // can start inside this one.
    HWND owner = ActiveOwner();
    struct Busy {
        bool& flag;
        explicit Busy(bool& f) : flag(f) { flag = true; }
        ~Busy() { flag = false; }
    } busy(inProgress_);
    std::vector<HWND> disabled;
    EnumThreadWindows(GetCurrentThreadId(), DisableOne, reinterpret_cast<LPARAM>(&disabled));
    const DWORD begun = GetTickCount();
    ProgressWindow window;
    ProgressView view;
    bool quit = false;
    int quitCode = 0;
    for (;;) {
        const DWORD delay = showDelay.load(), waited = GetTickCount() - begun;
        const DWORD timeout = window.Handle() ? 100 : delay > waited ? delay - waited : 0;
        if (MsgWaitForMultipleObjects(1, &ended, FALSE, timeout, QS_ALLINPUT) == WAIT_OBJECT_0) break;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                quit = true;  // for the outer loop, once the task has ended
                quitCode = int(msg.wParam);
                continue;
            }
            if (window.Handle() && IsDialogMessageW(window.Handle(), &msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (!window.Handle() && GetTickCount() - begun >= showDelay.load()) {
            window.Open(Instance(), owner, title, &progress);
            if (progress.Take(&view)) window.Update(view);
        } else if (progress.Take(&view)) {
            window.Update(view);
        }
    }
    worker.join();
    CloseHandle(ended);
    for (HWND h : disabled)
        if (IsWindow(h)) EnableWindow(h, TRUE);
    window.Destroy();
    if (owner && IsWindow(owner)) SetForegroundWindow(owner);
    if (quit) PostQuitMessage(quitCode);
    if (failure) std::rethrow_exception(failure);
}

}  // namespace lz
