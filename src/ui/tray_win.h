// The notification-area icon of a window: the program icon with a tip; its
// mouse messages arrive at the window as kTrayMessage.
#pragma once
#include <windows.h>

#include <string>

namespace lz {

class TrayIcon {
public:
    TrayIcon() = default;
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;
    ~TrayIcon() { Remove(); }

    void Add(HWND owner, const std::wstring& tip);
    void Remove();
    // Explorer restarted (the "TaskbarCreated" message): the icon is gone and
    // has to be added again.
    bool IsTaskbarCreated(UINT message) const { return taskbarCreated_ && message == taskbarCreated_; }
    void AddAgain() {
        if (owner_) Add(owner_, tip_);
    }

private:
    HWND owner_ = nullptr;
    std::wstring tip_;
    bool shown_ = false;
    UINT taskbarCreated_ = 0;
};

}  // namespace lz
