#include "lock/keyfilter.h"

namespace lz {

namespace {
constexpr unsigned kTab = 0x09, kEscape = 0x1B, kLeftWin = 0x5B, kRightWin = 0x5C;
bool IsCtrl(unsigned vk) { return vk == 0x11 || vk == 0xA2 || vk == 0xA3; }
bool IsAlt(unsigned vk) { return vk == 0x12 || vk == 0xA4 || vk == 0xA5; }
}  // namespace

bool SwitchKeyFilter::Swallow(const KeyStroke& k) {
    if (IsCtrl(k.vk) || IsAlt(k.vk)) {
        if (k.up) modifiers_.erase(k.vk);
        else modifiers_.insert(k.vk);
    }
    if (k.up) {
        passed_.erase(k.vk);
        return kept_.erase(k.vk) != 0 && !k.injected;
    }
    if (k.injected) {
        // What programs send passes: the settings window's own Windows+M may
        // still be on its way when the lock starts. The system then has a
        // press of this key, and its release must reach it.
        kept_.erase(k.vk);
        passed_.insert(k.vk);
        return false;
    }
    if (kept_.count(k.vk)) return true;
    if (passed_.count(k.vk)) return false;
    bool alt = k.alt, ctrl = k.ctrl;
    for (unsigned m : modifiers_) {
        alt = alt || IsAlt(m);
        ctrl = ctrl || IsCtrl(m);
    }
    // Plain Esc stays: it cancels the password prompt.
    const bool keep = k.vk == kLeftWin || k.vk == kRightWin || (k.vk == kTab && alt) ||
                      (k.vk == kEscape && (alt || ctrl));
    (keep ? kept_ : passed_).insert(k.vk);
    return keep;
}

}  // namespace lz
