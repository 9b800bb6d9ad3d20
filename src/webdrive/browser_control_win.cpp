#include "webdrive/browser_control_win.h"

#include "ui/form_window_win.h"
#include "webdrive/browser_win.h"

namespace lz {

namespace {

const wchar_t* const kAreaClass = L"LanzhanBrowser";

class BrowserControl : public Control {
public:
    using Control::Control;

    ControlPort* Port() override { return view_.get(); }

    // Keys for the page (Tab among its fields, Enter in a form, Ctrl+C)
    // before the form's dialog keys take them.
    bool PreTranslate(MSG& msg) override { return view_ && view_->TranslateAccelerator(msg); }

protected:
    void Build() override {
        RegisterChildClass(kAreaClass, DefWindowProcW);
        // The view covers the whole area; the dialog keys go on into the
        // notice's button or the page.
        Make(WS_EX_CONTROLPARENT, kAreaClass, WS_CLIPCHILDREN, L"");
        if (!hwnd_) return;
        const std::wstring name = def_.name;
        const int index = def_.index;
        FormWindow* form = &form_;
        view_ = std::make_unique<WebBrowserView>(hwnd_, name, [form, index](const Event& e) {
            Event out = e;
            out.index = index;
            form->Fire(out);
        });
    }

private:
    std::unique_ptr<WebBrowserView> view_;
};

}  // namespace

std::unique_ptr<Control> MakeBrowser(FormWindow& form, const ControlDef& def) {
    return std::make_unique<BrowserControl>(form, def);
}

}  // namespace lz
