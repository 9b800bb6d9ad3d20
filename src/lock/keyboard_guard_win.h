// A low-level keyboard hook that keeps the task-switching keys from the
// system while the screen is locked (SwitchKeyFilter decides which).
// Installed on the user-interface thread, whose message loop runs it.
#pragma once
#include <windows.h>

#include "lock/keyfilter.h"

namespace lz {

class KeyboardGuard {
public:
    KeyboardGuard() = default;
    ~KeyboardGuard() { Remove(); }
    KeyboardGuard(const KeyboardGuard&) = delete;
    KeyboardGuard& operator=(const KeyboardGuard&) = delete;

    // False when the system refuses the hook, or another guard holds it.
    bool Install();
    void Remove();
    bool Installed() const { return hook_ != nullptr; }
    // Judges keys that programs send as if they were typed (tests send theirs).
    void JudgeSentKeys(bool on) { judgeSent_ = on; }

private:
    static LRESULT CALLBACK Proc(int code, WPARAM w, LPARAM l);
    HHOOK hook_ = nullptr;
    bool judgeSent_ = false;
    SwitchKeyFilter filter_;
};

}  // namespace lz
