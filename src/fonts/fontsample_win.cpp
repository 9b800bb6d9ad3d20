// The sample surface as a control: a window of its own class, sunken like a
// picture box, whose drawing FontSurfaceWin does. The sample shown is its
// window text, so that other programs and screen readers can read it.
#include "fonts/fontsample_win.h"

#include "fonts/fontsurface_win.h"
#include "ui/form_window_win.h"

namespace lz {

namespace {

const wchar_t* const kSampleClass = L"LanzhanFontSample";

class FontSample : public Control {
public:
    using Control::Control;
    ~FontSample() override {
        // The window normally goes with the form first; if not, it must not
        // reach a surface that is gone.
        if (hwnd_ && IsWindow(hwnd_)) SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    }

    ControlPort* Port() override { return surface_.get(); }

protected:
    void Build() override {
        RegisterChildClass(kSampleClass, Proc);
        Make(def_.style & kBorder ? WS_EX_CLIENTEDGE : 0, kSampleClass, WS_CLIPSIBLINGS, text_);
        if (!hwnd_) return;
        surface_ = std::make_unique<FontSurfaceWin>(hwnd_, back_, fore_);
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(surface_.get()));
    }

private:
    static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
        auto* surface = reinterpret_cast<FontSurfaceWin*>(GetWindowLongPtrW(h, GWLP_USERDATA));
        LRESULT result = 0;
        if (surface && surface->HandleMessage(m, w, l, &result)) return result;
        return DefWindowProcW(h, m, w, l);
    }

    std::unique_ptr<FontSurfaceWin> surface_;
};

}  // namespace

std::unique_ptr<Control> MakeFontSample(FormWindow& f, const ControlDef& d) { return std::make_unique<FontSample>(f, d); }

}  // namespace lz
