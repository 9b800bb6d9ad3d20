// The lock surface on a real window: the picture is a child window (or any
// window) that this class draws on, given as its handle. Its window procedure
// forwards WM_PAINT and WM_ERASEBKGND here (HandleMessage), and the top-level
// window forwards WM_DISPLAYCHANGE.
#pragma once
#include <windows.h>

#include "lock/idle_steps_win.h"
#include "lock/keyboard_guard_win.h"
#include "lock/lock_surface.h"

namespace lz {

class LockSurfaceWin : public LockSurface {
public:
    explicit LockSurfaceWin(HWND picture) : hwnd_(picture) {}
    ~LockSurfaceWin() override;
    LockSurfaceWin(const LockSurfaceWin&) = delete;
    LockSurfaceWin& operator=(const LockSurfaceWin&) = delete;

    ScreenBox Screen() override;
    void Snapshot() override;
    void Cover() override;
    void CopyBlock(int x, int y, int width, int height, int toX, int toY) override;
    void Hold() override;
    void GuardKeys(bool on) override;
    void Animate(std::function<bool()> step) override;
    void Stop() override;

    // True when the message was the surface's; `result` is then the answer.
    bool HandleMessage(UINT m, WPARAM w, LPARAM l, LRESULT& result);
    bool KeysGuarded() const { return keys_.Installed(); }
    KeyboardGuard& Keys() { return keys_; }

private:
    HDC WindowDc();
    void DropHeld();
    HWND hwnd_;
    HDC windowDc_ = nullptr;  // held while the lock runs: one GetDC, not one per block
    HDC heldDc_ = nullptr;    // the picture as last taken or held
    HBITMAP held_ = nullptr;
    HGDIOBJ heldOld_ = nullptr;
    int heldWidth_ = 0, heldHeight_ = 0;
    KeyboardGuard keys_;
    IdleSteps steps_;
};

}  // namespace lz
