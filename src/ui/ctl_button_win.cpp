// Push buttons, option buttons (one group per container) and check boxes.
#include "ui/control_win.h"
#include "ui/form_window_win.h"

namespace lz {

namespace {

class Button : public Control {
public:
    using Control::Control;

    bool OnCommand(int code) override {
        if (code != BN_CLICKED) return true;
        if (def_.kind == Kind::Option) SetChecked(true);
        Fire(EventKind::Click, def_.index, 1);
        return true;
    }

    void SetChecked(bool on) override {
        if (def_.kind == Kind::Button) Refuse("check mark");
        SendMessageW(hwnd_, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
        if (!on || def_.kind != Kind::Option) return;
        // Options in one container exclude each other.
        for (HWND other = GetWindow(parent_, GW_CHILD); other; other = GetWindow(other, GW_HWNDNEXT)) {
            const Control* c = form_.ControlOf(other);
            if (other != hwnd_ && c && c->Def().kind == Kind::Option)
                SendMessageW(other, BM_SETCHECK, BST_UNCHECKED, 0);
        }
    }

    bool GetChecked() override {
        if (def_.kind == Kind::Button) Refuse("check mark");
        return SendMessageW(hwnd_, BM_GETCHECK, 0, 0) == BST_CHECKED;
    }

protected:
    void Build() override {
        DWORD kind = BS_PUSHBUTTON;
        if (def_.kind == Kind::Option) kind = BS_RADIOBUTTON;
        if (def_.kind == Kind::Check) kind = BS_AUTOCHECKBOX;
        Make(0, L"BUTTON", WS_TABSTOP | BS_MULTILINE | kind, text_);
    }
};

}  // namespace

std::unique_ptr<Control> MakeButton(FormWindow& f, const ControlDef& d) { return std::make_unique<Button>(f, d); }

}  // namespace lz
