#include "lock/keyfilter.h"

namespace lz {

namespace {
constexpr unsigned kTab = 0x09, kEscape = 0x1B, kLeftWin = 0x5B, kRightWin = 0x5C;
}

bool SwitchKeyFilter::Swallow(const KeyStroke& k) {
    // What programs send passes: the settings window's own Windows+M may still
    // be on its way when the lock starts, and its release must arrive.
    if (k.injected) return false;
    if (k.up) return kept_.erase(k.vk) != 0;
    // Plain Esc stays: it cancels the password prompt.
    const bool keep = k.vk == kLeftWin || k.vk == kRightWin || (k.vk == kTab && k.alt) ||
                      (k.vk == kEscape && (k.alt || k.ctrl));
    if (keep) kept_.insert(k.vk);
    return keep;
}

}  // namespace lz
