// The loaded windows of the program and its prompts, on Win32.
#pragma once
#include <windows.h>

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ui/form.h"
#include "ui/form_window_win.h"

namespace lz {

class Win32Ui : public Ui {
public:
    Win32Ui(HINSTANCE instance, FormFactory& factory);
    ~Win32Ui() override;
    HINSTANCE Instance() const { return instance_; }
    FormWindow* Window(const std::wstring& form);
    // Runs the message loop until the last window is unloaded.
    int Run();

    int MsgBox(const std::wstring& text, int flags, const std::wstring& title) override;
    std::wstring InputBox(const std::wstring& prompt, const std::wstring& title,
                          const std::wstring& def) override;
    std::wstring OpenFileDialog(const std::wstring& title, const std::wstring& filter) override;
    bool IsAvailable(const std::wstring& form) override { return factory_.Has(form); }
    void LoadForm(const std::wstring& form) override;
    void LoadFormWhenIdle(const std::wstring& form) override;
    // Does the work still waiting for an idle moment: the tray icons, then the
    // windows to load, in order.
    void LoadWaitingForms();
    // True while a task runs under the progress window.
    bool InProgress() const { return inProgress_; }
    // The message loop's idle work, one piece a turn: a waiting tray icon,
    // else the next waiting window; false when nothing waits.
    bool DoIdleWork();
    bool HasIdleWork() const;
    bool HasWaitingForms() const { return !waiting_.empty(); }
    void ShowForm(const std::wstring& form) override;
    void HideForm(const std::wstring& form) override;
    void UnloadForm(const std::wstring& form) override;
    bool IsLoaded(const std::wstring& form) override { return forms_.count(form) != 0; }
    bool IsVisible(const std::wstring& form) override;
    void SetWindowState(const std::wstring& form, WindowState s) override;
    WindowState GetWindowState(const std::wstring& form) override;
    void SetTopmost(const std::wstring& form, bool topmost) override;
    Controls* FormControls(const std::wstring& form) override {
        LoadWaitingForms();
        return Window(form);
    }
    void EndProgram() override;
    // In progress_win.cpp.
    void RunWithProgress(const std::wstring& title, const std::function<void(ProgressSink&)>& task) override;

    void ReportFault(const char* what);
    // The owner of a prompt: the highest visible topmost window of ours, else
    // the active window when it is one of ours, else none.
    HWND ActiveOwner() const;
    bool IsOurs(HWND h) const;
    // Frees the windows unloaded inside their own handlers.
    void ReleaseUnloaded();

private:
    void LoadNow(const std::wstring& form);
    HINSTANCE instance_;
    FormFactory& factory_;
    std::map<std::wstring, std::unique_ptr<FormWindow>> forms_;
    std::vector<std::unique_ptr<FormWindow>> unloaded_;
    std::deque<std::wstring> waiting_;  // windows to load when idle
    bool quitPosted_ = false;
    bool inProgress_ = false;
};

}  // namespace lz
