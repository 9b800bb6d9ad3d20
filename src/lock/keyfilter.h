// Which keys the lock keeps from the system while it is on: those that would
// switch to another window or open the Start menu. Judged one low-level key
// event at a time; the Win32 hook (keyboard_guard_win.h) asks it.
#pragma once
#include <set>

namespace lz {

struct KeyStroke {
    unsigned vk = 0;        // virtual key
    bool up = false;        // released
    bool alt = false;       // Alt is down, as the system reports it
    bool ctrl = false;      // Ctrl is down, as the system reports it
    bool injected = false;  // sent by a program, not typed
};

class SwitchKeyFilter {
public:
    // True: the system never sees this event.
    bool Swallow(const KeyStroke& k);

private:
    // Alt and Ctrl keys seen pressed and not yet released: the system's own
    // view of them can lag behind the events that reach the hook.
    std::set<unsigned> modifiers_;
    // A held key is judged once, at its first press: its repeats and its
    // release go the same way, so that no key is ever left down in the
    // system's eyes.
    std::set<unsigned> kept_;
    std::set<unsigned> passed_;
};

}  // namespace lz
