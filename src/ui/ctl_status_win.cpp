// Status bars: a simple text or panels (of the widths given, the others
// sharing the rest), a tool tip for each panel, and a picture shown as the
// icon of the first panel.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "ui/control_win.h"
#include "ui/form_window_win.h"
#include "ui/resources_win.h"

namespace lz {

namespace {

class StatusBar : public Control {
public:
    using Control::Control;
    ~StatusBar() override {
        if (icon_) DestroyIcon(icon_);
    }

    bool OnNotify(NMHDR* hdr, LRESULT&) override {
        if (hdr->code == NM_CLICK || hdr->code == NM_DBLCLK) {
            auto* nm = reinterpret_cast<NMMOUSE*>(hdr);
            Fire(hdr->code == NM_CLICK ? EventKind::Click : EventKind::DblClick, int(nm->dwItemSpec), 1);
        }
        return true;
    }
    void OnFormResized() override {
        SendMessageW(hwnd_, WM_SIZE, 0, 0);
        if (!def_.items.empty()) SetParts();
    }

    void SetText(const std::wstring& text) override { SetPanelText(-1, text); }
    std::wstring GetText() override { return text_; }
    void SetPanelText(int panel, const std::wstring& text) override {
        if (panel < 0) text_ = text;
        SendMessageW(hwnd_, SB_SETTEXTW, panel < 0 ? 255 : panel, reinterpret_cast<LPARAM>(text.c_str()));
    }
    std::wstring GetPanelText(int panel) override {
        if (panel < 0) return text_;
        const LRESULT len = LOWORD(SendMessageW(hwnd_, SB_GETTEXTLENGTHW, panel, 0));
        std::wstring s(len + 1, L'\0');
        SendMessageW(hwnd_, SB_GETTEXTW, panel, reinterpret_cast<LPARAM>(s.data()));
        s.resize(len);
        return s;
    }

    void SetPicture(const std::wstring& resource) override {
        if (resource == picture_ && icon_) return;
        picture_ = resource;
        if (icon_) DestroyIcon(icon_);
        icon_ = nullptr;
        HBITMAP bitmap = LoadBitmapResource(resource);
        BITMAP bm;
        if (bitmap && GetObjectW(bitmap, sizeof(bm), &bm)) {
            std::vector<BYTE> opaque(((bm.bmWidth + 15) / 16) * 2 * bm.bmHeight, 0);
            HBITMAP mask = CreateBitmap(bm.bmWidth, bm.bmHeight, 1, 1, opaque.data());
            ICONINFO ii{TRUE, 0, 0, mask, bitmap};
            icon_ = CreateIconIndirect(&ii);
            DeleteObject(mask);
        }
        SendMessageW(hwnd_, SB_SETICON, def_.items.empty() ? WPARAM(-1) : 0, reinterpret_cast<LPARAM>(icon_));
    }

protected:
    void Build() override {
        Make(0, STATUSCLASSNAMEW, CCS_BOTTOM, L"");
        if (def_.items.empty()) {
            SendMessageW(hwnd_, SB_SIMPLE, TRUE, 0);
            SendMessageW(hwnd_, SB_SETTEXTW, 255, reinterpret_cast<LPARAM>(text_.c_str()));
            return;
        }
        SetParts();
        for (int k = 0; k < int(def_.items.size()); ++k) SetPanelText(k, def_.items[k]);
        // A panel's tip covers the panel, and follows it in SetParts.
        HWND tips = form_.TipWindow();
        for (int k = 0; k < int(def_.itemTips.size()) && k < int(def_.items.size()) && tips; ++k) {
            if (def_.itemTips[k].empty()) continue;
            TOOLINFOW ti = Tool(k);
            ti.uFlags = TTF_SUBCLASS;
            ti.lpszText = const_cast<wchar_t*>(def_.itemTips[k].c_str());
            SendMessageW(hwnd_, SB_GETRECT, k, reinterpret_cast<LPARAM>(&ti.rect));
            SendMessageW(tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
        }
    }

private:
    TOOLINFOW Tool(int panel) const {
        TOOLINFOW ti{};
        ti.cbSize = TTTOOLINFOW_V2_SIZE;
        ti.hwnd = hwnd_;
        ti.uId = UINT_PTR(panel);
        return ti;
    }

    // Panels with a width keep it; the others share what is left, the last
    // one reaching the right edge.
    void SetParts() {
        RECT rc;
        GetClientRect(parent_, &rc);
        const int n = int(def_.items.size());
        int fixed = 0, shared = 0;
        for (int k = 0; k < n; ++k) {
            const int w = k < int(def_.itemWidths.size()) ? def_.itemWidths[k] : 0;
            if (w > 0) fixed += form_.Px(w);
            else ++shared;
        }
        const int rest = std::max(0, int(rc.right) - fixed);
        std::vector<int> edges;
        int edge = 0, sharedSeen = 0;
        for (int k = 0; k < n; ++k) {
            const int w = k < int(def_.itemWidths.size()) ? def_.itemWidths[k] : 0;
            if (w > 0) {
                edge += form_.Px(w);
            } else {
                ++sharedSeen;
                edge += rest * sharedSeen / shared - rest * (sharedSeen - 1) / shared;
            }
            edges.push_back(k == n - 1 ? -1 : edge);
        }
        SendMessageW(hwnd_, SB_SETPARTS, n, reinterpret_cast<LPARAM>(edges.data()));
        if (HWND tips = form_.TipWindow()) {
            for (int k = 0; k < int(def_.itemTips.size()) && k < n; ++k) {
                TOOLINFOW ti = Tool(k);
                SendMessageW(hwnd_, SB_GETRECT, k, reinterpret_cast<LPARAM>(&ti.rect));
                SendMessageW(tips, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&ti));
            }
        }
    }

    HICON icon_ = nullptr;
};

}  // namespace

std::unique_ptr<Control> MakeStatusBar(FormWindow& f, const ControlDef& d) {
    return std::make_unique<StatusBar>(f, d);
}

}  // namespace lz
