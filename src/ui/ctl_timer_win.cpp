// A timer: no window of its own; the form's WM_TIMER with its id.
#include "ui/control_win.h"
#include "ui/form_window_win.h"

namespace lz {

namespace {

class Timer : public Control {
public:
    using Control::Control;

    void OnTimer() override { Fire(EventKind::Timer, -1); }
    void SetTimer(bool on, int ms) override {
        on_ = on;
        interval_ = ms;
        KillTimer(form_.Handle(), id_);
        if (on_ && interval_ > 0) ::SetTimer(form_.Handle(), id_, interval_, nullptr);
    }
    bool GetTimerEnabled() override { return on_; }
    UINT_PTR Id() const { return id_; }

protected:
    void Build() override { SetTimer(!(def_.style & kDisabled), def_.interval); }

private:
    bool on_ = false;
    int interval_ = 0;
};

}  // namespace

std::unique_ptr<Control> MakeTimer(FormWindow& f, const ControlDef& d) { return std::make_unique<Timer>(f, d); }

}  // namespace lz
