// The lock window: a picture of the whole screen, disturbed block by block
// with the effect chosen in the settings window, until the password is given.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "core/context.h"
#include "lock/effects.h"
#include "lock/lock_animation.h"
#include "lock/lock_surface.h"
#include "ui/form.h"

namespace lz {

class frmScreen : public Form<frmScreen> {
public:
    explicit frmScreen(AppContext& ctx);
    const FormDef& Definition() const override { return def_; }
    static const std::vector<Handler<frmScreen>>& Handlers();

    // Reads the effect chosen in the settings window and starts the lock.
    void Form_Load();
    // Starts the lock: reads the password once, takes the picture, covers the
    // screen and hands the steps to the surface. Returns at once; the window
    // is visible only when the lock is on.
    void doeffect();
    // One block of the animation; false once the lock is over.
    bool Step();
    void Form_Click();
    void Form_DblClick();
    void Form_QueryUnload(const Event& e);
    void Form_Unload();

    bool Running = false;
    int EffectNumber = -1;
    EffectParams Params;
    std::int16_t ScreenW = 0;
    std::int16_t ScreenH = 0;

private:
    LockSurface* Surface();
    void Unlock();
    AppContext& ctx_;
    FormDef def_;
    // Read once when the lock starts: a file changed or lost during the lock
    // changes nothing about what opens it.
    std::wstring password_;
    std::unique_ptr<LockAnimation> animation_;
    bool asking_ = false;
    bool activated_ = false;
};

// Message when the lock does not start because its password cannot be read.
extern const wchar_t* const kLockNoPassword;
// Message when the lock does not start because the screen cannot be covered.
extern const wchar_t* const kLockUnavailable;

}  // namespace lz
