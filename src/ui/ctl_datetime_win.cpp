// Date and time pickers, and up-down controls that drive a text box.
#include <windows.h>
#include <commctrl.h>

#include "env/systime_win.h"
#include "ui/control_win.h"
#include "ui/form_window_win.h"
#include "ui/messages_win.h"

namespace lz {

namespace {

class DateTime : public Control {
public:
    using Control::Control;

    bool OnNotify(NMHDR* hdr, LRESULT&) override {
        if (hdr->code == DTN_DATETIMECHANGE) Fire(EventKind::Change, def_.index);
        return true;
    }
    std::tm GetDateTime() override {
        SYSTEMTIME st{};
        SendMessageW(hwnd_, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st));
        return ToTm(st);
    }
    void SetDateTime(const std::tm& value) override {
        SYSTEMTIME st = ToSystemTime(value);
        SendMessageW(hwnd_, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st));
    }

protected:
    void Build() override {
        const DWORD s = def_.kind == Kind::TimePicker ? DTS_TIMEFORMAT | DTS_UPDOWN : DTS_SHORTDATEFORMAT;
        Make(0, DATETIMEPICK_CLASSW, WS_TABSTOP | s, L"");
    }
};

class UpDown : public Control {
public:
    using Control::Control;

    bool OnNotify(NMHDR* hdr, LRESULT& result) override {
        if (hdr->code != UDN_DELTAPOS) return true;
        result = 0;
        // The buddy has its new value only once this notification returns.
        PostMessageW(form_.Handle(), kUpDownChanged, reinterpret_cast<WPARAM>(hwnd_), 0);
        return true;
    }

protected:
    void Build() override {
        Make(0, UPDOWN_CLASSW, UDS_SETBUDDYINT | UDS_ARROWKEYS | UDS_NOTHOUSANDS, L"");
        if (HWND buddy = form_.ChildHandle(def_.buddy, -1))
            SendMessageW(hwnd_, UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy), 0);
        SendMessageW(hwnd_, UDM_SETRANGE32, def_.minValue, def_.maxValue);
    }
};

}  // namespace

std::unique_ptr<Control> MakeDateTime(FormWindow& f, const ControlDef& d) { return std::make_unique<DateTime>(f, d); }
std::unique_ptr<Control> MakeUpDown(FormWindow& f, const ControlDef& d) { return std::make_unique<UpDown>(f, d); }

}  // namespace lz
