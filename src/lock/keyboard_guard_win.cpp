#include "lock/keyboard_guard_win.h"

namespace lz {

namespace {
// A hook procedure gets no context of its own; one lock at a time holds it.
KeyboardGuard* g_active = nullptr;
}  // namespace

bool KeyboardGuard::Install() {
    if (hook_) return true;
    if (g_active) return false;
    hook_ = SetWindowsHookExW(WH_KEYBOARD_LL, &KeyboardGuard::Proc, GetModuleHandleW(nullptr), 0);
    if (!hook_) return false;
    g_active = this;
    filter_ = SwitchKeyFilter();
    return true;
}

void KeyboardGuard::Remove() {
    if (!hook_) return;
    UnhookWindowsHookEx(hook_);
    hook_ = nullptr;
    if (g_active == this) g_active = nullptr;
}

LRESULT CALLBACK KeyboardGuard::Proc(int code, WPARAM w, LPARAM l) {
    if (code == HC_ACTION && g_active) {
        const auto* k = reinterpret_cast<const KBDLLHOOKSTRUCT*>(l);
        KeyStroke s;
        s.vk = k->vkCode;
        s.up = (k->flags & LLKHF_UP) != 0;
        s.alt = (k->flags & LLKHF_ALTDOWN) != 0;
        s.ctrl = (GetAsyncKeyState(VK_CONTROL) & 0x8000) != 0;
        s.injected = (k->flags & LLKHF_INJECTED) != 0 && !g_active->judgeSent_;
        if (g_active->filter_.Swallow(s)) return 1;
    }
    return CallNextHookEx(nullptr, code, w, l);
}

}  // namespace lz
