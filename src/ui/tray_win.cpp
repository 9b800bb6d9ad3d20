#include "ui/tray_win.h"

#include <shellapi.h>

#include "ui/messages_win.h"
#include "ui/resources_win.h"

namespace lz {

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
    shown_ = Shell_NotifyIconW(NIM_ADD, &nid) != FALSE;
}

void TrayIcon::Remove() {
    if (!shown_) return;
    NOTIFYICONDATAW nid{};
    nid.cbSize = NOTIFYICONDATAW_V2_SIZE;
    nid.hWnd = owner_;
    nid.uID = 1;
    Shell_NotifyIconW(NIM_DELETE, &nid);
    shown_ = false;
}

}  // namespace lz
