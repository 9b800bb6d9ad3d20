// A tab control with one box per page; the controls of a page are laid out
// relative to the tab control and live in the page's box.
#include <windows.h>
#include <commctrl.h>

#include "ui/control_win.h"
#include "ui/form_window_win.h"

namespace lz {

namespace {

class Tab : public Control {
public:
    using Control::Control;
    bool IsContainer() const override { return true; }
    HWND ChildParent(int page) const override {
        if (page >= 0 && page < int(pages_.size())) return pages_[page];
        return pages_.empty() ? hwnd_ : pages_[0];
    }
    POINT ChildOrigin(int) const override { return POINT{-pageRect_.left, -pageRect_.top}; }
    std::vector<HWND> InnerWindows() const override { return pages_; }

    bool OnNotify(NMHDR* hdr, LRESULT&) override {
        if (hdr->code == TCN_SELCHANGE) {
            const int page = GetTab();
            ShowPage(page);
            Fire(EventKind::Click, page, 1);
        }
        return true;
    }
    int GetTab() override { return int(SendMessageW(hwnd_, TCM_GETCURSEL, 0, 0)); }
    void SetTab(int page) override {
        SendMessageW(hwnd_, TCM_SETCURSEL, page, 0);
        ShowPage(page);
    }

protected:
    void Build() override {
        Make(WS_EX_CONTROLPARENT, WC_TABCONTROLW, WS_TABSTOP | WS_CLIPSIBLINGS, L"");
        for (int k = 0; k < int(def_.items.size()); ++k) {
            TCITEMW ti{};
            ti.mask = TCIF_TEXT;
            ti.pszText = const_cast<wchar_t*>(def_.items[k].c_str());
            SendMessageW(hwnd_, TCM_INSERTITEMW, k, reinterpret_cast<LPARAM>(&ti));
        }
        const RECT r = PixelRect();
        pageRect_ = RECT{0, 0, r.right - r.left, r.bottom - r.top};
        TabCtrl_AdjustRect(hwnd_, FALSE, &pageRect_);
        for (int k = 0; k < int(def_.items.size()); ++k) {
            HWND page = CreateWindowExW(WS_EX_CONTROLPARENT, kBoxClass, def_.items[k].c_str(),
                                        WS_CHILD | WS_CLIPCHILDREN | (k == 0 ? WS_VISIBLE : 0), pageRect_.left,
                                        pageRect_.top, pageRect_.right - pageRect_.left,
                                        pageRect_.bottom - pageRect_.top, hwnd_, nullptr, GetModuleHandleW(nullptr),
                                        &form_);
            pages_.push_back(page);
        }
    }

private:
    void ShowPage(int page) {
        for (int k = 0; k < int(pages_.size()); ++k) ShowWindow(pages_[k], k == page ? SW_SHOW : SW_HIDE);
    }
    std::vector<HWND> pages_;
    RECT pageRect_{0, 0, 0, 0};  // the pages' place inside the tab control
};

}  // namespace

std::unique_ptr<Control> MakeTab(FormWindow& f, const ControlDef& d) { return std::make_unique<Tab>(f, d); }

}  // namespace lz
