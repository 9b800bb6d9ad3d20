// List boxes, drop-down lists and editable combo boxes.
#include <algorithm>

#include "ui/control_win.h"
#include "ui/form_window_win.h"
#include "ui/keypress_win.h"

namespace lz {

namespace {

class List : public Control {
public:
    using Control::Control;

    bool OnCommand(int code) override {
        if (combo_) {
            if (code == CBN_SELCHANGE) Fire(EventKind::Click, def_.index, 1);
            else if (code == CBN_EDITCHANGE) Fire(EventKind::Change, def_.index);
        } else {
            if (code == LBN_SELCHANGE) Fire(EventKind::Click, def_.index, 1);
            else if (code == LBN_DBLCLK) Fire(EventKind::DblClick, def_.index, 1);
        }
        return true;
    }

    // An editable combo box types into its edit field.
    bool PreTranslate(MSG& msg) override {
        if (def_.kind != Kind::ComboEdit || !FireKeyPress(form_, def_, msg)) return false;
        // An Enter the window took for itself still closes the open list, as
        // the box would have done with it.
        if (msg.message == WM_KEYDOWN && msg.wParam == VK_RETURN && SendMessageW(hwnd_, CB_GETDROPPEDSTATE, 0, 0))
            SendMessageW(hwnd_, CB_SHOWDROPDOWN, FALSE, 0);
        return true;
    }

    // A typing field or list on the form's colour keeps the system's field
    // colour; a text colour of its own still applies.
    HBRUSH CtlColor(HDC dc, UINT message) override {
        if ((message == WM_CTLCOLOREDIT || message == WM_CTLCOLORLISTBOX) && back_ == kFormBack) {
            if (fore_ == kBlack) return nullptr;
            SetTextColor(dc, fore_);
            SetBkColor(dc, GetSysColor(COLOR_WINDOW));
            return GetSysColorBrush(COLOR_WINDOW);
        }
        return Control::CtlColor(dc, message);
    }

    // A combo box asks its parent for the colours of its edit field and of
    // its drop-down list, each by its own window.
    std::vector<HWND> InnerWindows() const override {
        COMBOBOXINFO info{};
        info.cbSize = sizeof info;
        if (!combo_ || !GetComboBoxInfo(hwnd_, &info)) return {};
        std::vector<HWND> inner;
        for (HWND h : {info.hwndItem, info.hwndList})
            if (h && h != hwnd_) inner.push_back(h);
        return inner;
    }

    void SetText(const std::wstring& text) override {
        text_ = text;
        if (def_.kind != Kind::ComboList) {
            SetWindowTextW(hwnd_, text.c_str());
            return;
        }
        // A drop-down list shows only its own items: the text chooses one, or none.
        const LRESULT at = SendMessageW(hwnd_, CB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>(text.c_str()));
        SendMessageW(hwnd_, CB_SETCURSEL, at == CB_ERR ? WPARAM(-1) : WPARAM(at), 0);
    }

    void ClearItems() override { Send(CB_RESETCONTENT, LB_RESETCONTENT, 0, 0); }
    void AddItem(const std::wstring& item) override {
        Send(CB_ADDSTRING, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    }
    void RemoveItem(int at) override { Send(CB_DELETESTRING, LB_DELETESTRING, at, 0); }
    int ItemCount() override { return int(Send(CB_GETCOUNT, LB_GETCOUNT, 0, 0)); }
    std::wstring Item(int at) override {
        const LRESULT len = Send(CB_GETLBTEXTLEN, LB_GETTEXTLEN, at, 0);
        if (len < 0) return L"";
        std::wstring s(len + 1, L'\0');
        Send(CB_GETLBTEXT, LB_GETTEXT, at, reinterpret_cast<LPARAM>(s.data()));
        s.resize(len);
        return s;
    }
    int GetListIndex() override { return int(Send(CB_GETCURSEL, LB_GETCURSEL, 0, 0)); }
    // No Click: the logic that chooses by code calls its handler itself when it
    // wants one, the same here as with the in-memory controls of the tests.
    void SetListIndex(int at) override { Send(CB_SETCURSEL, LB_SETCURSEL, at, 0); }

protected:
    void Build() override {
        combo_ = def_.kind != Kind::ListBox;
        if (!combo_) {
            Make(WS_EX_CLIENTEDGE, L"LISTBOX",
                 WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | (def_.style & kSorted ? LBS_SORT : 0),
                 L"");
        } else {
            DWORD s = WS_TABSTOP | WS_VSCROLL | (def_.kind == Kind::ComboList ? CBS_DROPDOWNLIST : CBS_DROPDOWN);
            if (def_.style & kSorted) s |= CBS_SORT;
            Make(0, L"COMBOBOX", s, L"");
            // The height of a combo box's window is that of its drop-down part.
            const RECT r = PixelRect();
            SetWindowPos(hwnd_, nullptr, 0, 0, r.right - r.left, std::max<int>(r.bottom - r.top, form_.Px(2400)),
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        for (const auto& item : def_.items) AddItem(item);
        if (def_.kind == Kind::ComboEdit) SetWindowTextW(hwnd_, text_.c_str());
    }

private:
    LRESULT Send(UINT comboMessage, UINT listMessage, WPARAM w, LPARAM l) {
        return SendMessageW(hwnd_, combo_ ? comboMessage : listMessage, w, l);
    }
    bool combo_ = false;
};

}  // namespace

std::unique_ptr<Control> MakeList(FormWindow& f, const ControlDef& d) { return std::make_unique<List>(f, d); }

}  // namespace lz
