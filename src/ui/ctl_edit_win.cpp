// Text boxes: one line or several, read-only, password.
#include "ui/control_win.h"
#include "ui/form_window_win.h"
#include "ui/keypress_win.h"

namespace lz {

namespace {

class TextBox : public Control {
public:
    using Control::Control;

    bool OnCommand(int code) override {
        if (code == EN_CHANGE) Fire(EventKind::Change, def_.index);
        return true;
    }
    bool PreTranslate(MSG& msg) override { return FireKeyPress(form_, def_, msg); }

    HBRUSH CtlColor(HDC dc, UINT message) override {
        // The system's white field unless the layout asks for a colour; a
        // read-only box asks through WM_CTLCOLORSTATIC and takes the form's.
        if (message == WM_CTLCOLOREDIT && back_ == kFormBack) return nullptr;
        return Control::CtlColor(dc, message);
    }

protected:
    void Build() override {
        DWORD s = WS_TABSTOP | ES_AUTOHSCROLL;
        if (def_.style & kMultiLine) s = WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL | ES_WANTRETURN;
        if (def_.style & kReadOnly) s |= ES_READONLY;
        if (def_.style & kPassword) s |= ES_PASSWORD;
        if (def_.style & kCenter) s |= ES_CENTER;
        Make(WS_EX_CLIENTEDGE, L"EDIT", s, text_);
        if (def_.maxLength > 0) SendMessageW(hwnd_, EM_LIMITTEXT, def_.maxLength, 0);
    }
};

}  // namespace

std::unique_ptr<Control> MakeTextBox(FormWindow& f, const ControlDef& d) { return std::make_unique<TextBox>(f, d); }

}  // namespace lz
