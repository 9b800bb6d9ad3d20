// What the lock window draws on and how it holds the machine while locked:
// the picture of the whole screen, the block copies within it, and the
// stepping of the animation. The Win32 one is lock_surface_win.h; native
// tests use a fake.
#pragma once
#include <functional>

#include "ui/form.h"

namespace lz {

// The virtual screen: every monitor, in pixels; left and top may be negative.
struct ScreenBox {
    int left = 0, top = 0, width = 0, height = 0;
};

class LockSurface : public ControlPort {
public:
    virtual ScreenBox Screen() = 0;
    // Takes the picture of the whole virtual screen as it is now.
    virtual void Snapshot() = 0;
    // Puts the window that holds the picture over the whole virtual screen,
    // above every other window, and the picture over all of its client area.
    virtual void Cover() = 0;
    // Copies the block of the picture at (x, y) to (toX, toY), in pixels of
    // the picture; what falls outside the picture is lost.
    virtual void CopyBlock(int x, int y, int width, int height, int toX, int toY) = 0;
    // Keeps the picture as it shows now, for repainting what a prompt covers.
    virtual void Hold() = 0;
    // On: the keys that would switch to another window (Alt+Tab, the Windows
    // keys, Ctrl+Esc ...) do nothing; off gives them back.
    virtual void GuardKeys(bool on) = 0;
    // Calls `step` whenever the user-interface thread has nothing else to
    // do, one step per call, until it returns false or Stop is called; every
    // pending event runs between two steps.
    virtual void Animate(std::function<bool()> step) = 0;
    virtual void Stop() = 0;
};

}  // namespace lz
