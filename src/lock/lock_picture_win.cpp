// The picture is a window whose painting LockSurfaceWin does; its port is
// that surface. It reports clicks and double clicks (its class has double
// clicks) as its own, or as those of a label lying over it: labels let the
// pointer through, so a click on "双击" arrives here.
#include "lock/lock_picture_win.h"

#include <windowsx.h>

#include "lock/lock_surface_win.h"
#include "ui/form_window_win.h"

namespace lz {

namespace {

const wchar_t* const kLockPictureClass = L"LanzhanLockPicture";

class LockPicture : public Control {
public:
    using Control::Control;
    ~LockPicture() override {
        // Normally the window has gone first, taking the surface with it.
        if (hwnd_ && IsWindow(hwnd_)) {
            SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
            surface_.reset();
        }
    }

    ControlPort* Port() override { return surface_.get(); }
    std::wstring GetText() override { return text_; }
    void OnDisplayChange() override {
        LRESULT ignored = 0;
        if (surface_) surface_->HandleMessage(WM_DISPLAYCHANGE, 0, 0, ignored);
    }

protected:
    void Build() override {
        RegisterChildClass(kLockPictureClass, Proc, CS_DBLCLKS);
        text_ = def_.accessibleName;
        Make(0, kLockPictureClass, WS_CLIPSIBLINGS, text_);
        if (!hwnd_) return;
        surface_ = std::make_unique<LockSurfaceWin>(hwnd_);
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }

private:
    static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
        auto* self = reinterpret_cast<LockPicture*>(GetWindowLongPtrW(h, GWLP_USERDATA));
        if (!self) return DefWindowProcW(h, m, w, l);
        return self->Handle(h, m, w, l);
    }

    LRESULT Handle(HWND h, UINT m, WPARAM w, LPARAM l) {
        LRESULT result = 0;
        if (surface_ && surface_->HandleMessage(m, w, l, result)) return result;
        switch (m) {
        case WM_LBUTTONDOWN:
            pressed_ = Under(l);
            pressedSet_ = true;
            SetCapture(h);
            return 0;
        case WM_LBUTTONUP: {
            ReleaseCapture();
            const Control* at = Under(l);
            const bool click = pressedSet_ && pressed_ == at;
            pressedSet_ = false;
            pressed_ = nullptr;
            if (click) Report(EventKind::Click, at);
            return 0;
        }
        case WM_LBUTTONDBLCLK: Report(EventKind::DblClick, Under(l)); return 0;
        case WM_DESTROY:
            // The surface lets go of the window's drawing context and of the
            // keys while the window is still there.
            SetWindowLongPtrW(h, GWLP_USERDATA, 0);
            surface_.reset();
            break;
        }
        return DefWindowProcW(h, m, w, l);
    }

    // The label over the picture at the pointer, or the picture itself.
    const Control* Under(LPARAM l) const {
        POINT pt{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
        MapWindowPoints(hwnd_, parent_, &pt, 1);
        HWND top = ChildWindowFromPointEx(parent_, pt, CWP_SKIPINVISIBLE);
        const Control* c = top && top != hwnd_ ? form_.ControlOf(top) : nullptr;
        return c && c->PointerThrough() ? c : this;
    }

    void Report(EventKind kind, const Control* at) {
        Event e{kind, at->Def().name, at->Def().index, 1};
        form_.Fire(e);
    }

    std::unique_ptr<LockSurfaceWin> surface_;
    const Control* pressed_ = nullptr;
    bool pressedSet_ = false;
};

}  // namespace

std::unique_ptr<Control> MakeLockPicture(FormWindow& f, const ControlDef& d) {
    return std::make_unique<LockPicture>(f, d);
}

}  // namespace lz
