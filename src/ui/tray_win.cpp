#include "ui/tray_win.h"

#include <shellapi.h>

#include "env/late_win.h"
#include "ui/messages_win.h"
#include "ui/resources_win.h"

namespace lz {

namespace {

BOOL NotifyIcon(DWORD message, NOTIFYICONDATAW* data) {
    static const auto call = LateBound<decltype(&Shell_NotifyIconW)>(L"shell32.dll", "Shell_NotifyIconW");
    return call ? call(message, data) : FALSE;
}

}  // namespace

void TrayIcon::Add(HWND owner, const std::wstring& tip) {
    owner_ = owner;
    tip_ = tip;
    if (!taskbarCreated_) taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
    NOTIFYICONDATAW nid{};
    nid.cbSize = NOTIFYICONDATAW_V2_SIZE;
    nid.hWnd = owner;
    nid.uID = 1;
    nid.uFlags = NIF_ICON | NIF_TIP | NIF_MESSAGE;
    nid.uCallbackMessage = kTrayMessage;
    nid.hIcon = ProgramIcon(true);
    lstrcpynW(nid.szTip, tip.c_str(), 64);
    shown_ = NotifyIcon(NIM_ADD, &nid) != FALSE;
}

void TrayIcon::Remove() {
    if (!shown_) return;
    NOTIFYICONDATAW nid{};
    nid.cbSize = NOTIFYICONDATAW_V2_SIZE;
    nid.hWnd = owner_;
    nid.uID = 1;
    NotifyIcon(NIM_DELETE, &nid);
    shown_ = false;
}

}  // namespace lz
