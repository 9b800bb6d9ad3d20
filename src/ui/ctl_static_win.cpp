// Labels, pictures and boxes (picture boxes, frames, tab pages' kin): the
// kinds that show something and hold others, but take no typing.
#include <windows.h>
#include <windowsx.h>

#include "ui/control_win.h"
#include "ui/form_window_win.h"
#include "ui/resources_win.h"

namespace lz {

namespace {

// A label is a real static window, so that screen readers and other programs
// read its text; without SS_NOTIFY it lets the pointer through to its
// container, which reports the label's mouse events by position.
class Label : public Control {
public:
    using Control::Control;
    bool PointerThrough() const override { return true; }

protected:
    void Build() override {
        DWORD align = SS_LEFT;
        if (def_.style & kCenter) align = SS_CENTER;
        if (def_.style & kRight) align = SS_RIGHT;
        Make(0, L"STATIC", SS_NOPREFIX | align, text_);
    }
};

const wchar_t* const kPictureClass = L"LanzhanPicture";

// A picture from the program's resources, at the size of its bitmap. A
// picture with the hand cursor is clickable: it is reached with Tab and the
// arrow keys, shows a focus mark and is activated with Enter or Space; its
// accessible name is its window text.
class Picture : public Control {
public:
    using Control::Control;

    void SetPicture(const std::wstring& resource) override {
        if (resource == picture_ && bitmap_) return;
        picture_ = resource;
        bitmap_ = LoadBitmapResource(resource);
        if (!hwnd_) return;
        const RECT r = PixelRect();
        SetWindowPos(hwnd_, nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        InvalidateRect(hwnd_, nullptr, FALSE);
    }

    RECT PixelRect() const override {
        RECT r = Control::PixelRect();
        BITMAP bm;
        if (bitmap_ && GetObjectW(bitmap_, sizeof(bm), &bm)) {
            r.right = r.left + MulDiv(bm.bmWidth, form_.Dpi(), 96);
            r.bottom = r.top + MulDiv(bm.bmHeight, form_.Dpi(), 96);
        }
        return r;
    }

    // Its accessible name, not the resource name.
    std::wstring GetText() override { return text_; }
    void SetText(const std::wstring& text) override {
        text_ = text;
        if (hwnd_) SetWindowTextW(hwnd_, text.c_str());
    }

protected:
    void Build() override {
        RegisterChildClass(kPictureClass, Proc, CS_DBLCLKS);
        bitmap_ = LoadBitmapResource(picture_);
        text_ = def_.accessibleName;
        const RECT r = PixelRect();
        DWORD style = WS_CHILD | WS_CLIPSIBLINGS | (visible_ ? WS_VISIBLE : 0) | (enabled_ ? 0 : WS_DISABLED);
        if (Clickable()) style |= WS_TABSTOP;
        hwnd_ = CreateWindowExW(0, kPictureClass, text_.c_str(), style, r.left, r.top, r.right - r.left,
                                r.bottom - r.top, parent_, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id_)),
                                GetModuleHandleW(nullptr), this);
        if (!def_.tip.empty()) form_.AddTip(hwnd_, def_.tip);
    }

private:
    bool Clickable() const { return (def_.style & kHandCursor) != 0; }

    static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
        if (m == WM_NCCREATE)
            SetWindowLongPtrW(h, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(l)->lpCreateParams));
        auto* self = reinterpret_cast<Picture*>(GetWindowLongPtrW(h, GWLP_USERDATA));
        if (!self || !self->hwnd_) return DefWindowProcW(h, m, w, l);
        return self->Handle(m, w, l);
    }

    LRESULT Handle(UINT m, WPARAM w, LPARAM l) {
        switch (m) {
        case WM_ERASEBKGND: return 1;
        case WM_PAINT: Paint(); return 0;
        case WM_SETCURSOR:
            SetCursor(Clickable() ? HandCursor() : LoadCursorW(nullptr, IDC_ARROW));
            return TRUE;
        case WM_MOUSEMOVE: {
            Event e{EventKind::MouseMove, def_.name, def_.index};
            e.x = form_.Twips(GET_X_LPARAM(l));
            e.y = form_.Twips(GET_Y_LPARAM(l));
            form_.Fire(e);
            return 0;
        }
        case WM_LBUTTONDOWN:
            pressed_ = true;
            SetCapture(hwnd_);
            return 0;
        case WM_LBUTTONUP: {
            const bool was = pressed_;
            pressed_ = false;
            ReleaseCapture();
            RECT rc;
            GetClientRect(hwnd_, &rc);
            const POINT pt{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
            if (was && PtInRect(&rc, pt)) Fire(EventKind::Click, def_.index, 1);
            return 0;
        }
        case WM_LBUTTONDBLCLK: Fire(EventKind::DblClick, def_.index, 1); return 0;
        case WM_GETDLGCODE: {
            // Enter and Space activate the picture; arrows and Tab stay the dialog manager's.
            auto* msg = reinterpret_cast<MSG*>(l);
            if (msg && msg->message == WM_KEYDOWN && (msg->wParam == VK_RETURN || msg->wParam == VK_SPACE))
                return DLGC_WANTMESSAGE;
            return 0;
        }
        case WM_KEYDOWN:
            if (w == VK_RETURN || w == VK_SPACE) {
                if (Clickable()) Fire(EventKind::Click, def_.index, 1);
                return 0;
            }
            break;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
        case WM_UPDATEUISTATE: InvalidateRect(hwnd_, nullptr, FALSE); break;
        }
        return DefWindowProcW(hwnd_, m, w, l);
    }

    void Paint() {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd_, &ps);
        RECT rc;
        GetClientRect(hwnd_, &rc);
        BITMAP bm;
        if (bitmap_ && GetObjectW(bitmap_, sizeof(bm), &bm)) {
            HDC mem = CreateCompatibleDC(dc);
            HGDIOBJ old = SelectObject(mem, bitmap_);
            if (rc.right == bm.bmWidth && rc.bottom == bm.bmHeight)
                BitBlt(dc, 0, 0, rc.right, rc.bottom, mem, 0, 0, SRCCOPY);
            else
                StretchBlt(dc, 0, 0, rc.right, rc.bottom, mem, 0, 0, bm.bmWidth, bm.bmHeight, SRCCOPY);
            SelectObject(mem, old);
            DeleteDC(mem);
        } else {
            FillRect(dc, &rc, form_.Brush(back_));
        }
        const auto ui = LOWORD(SendMessageW(hwnd_, WM_QUERYUISTATE, 0, 0));
        if (GetFocus() == hwnd_ && !(ui & UISF_HIDEFOCUS)) DrawFocusRect(dc, &rc);
        EndPaint(hwnd_, &ps);
    }

    HBITMAP bitmap_ = nullptr;  // shared, never freed
    bool pressed_ = false;
};

// Picture boxes and frames: windows of our own class that hold other
// controls; the form paints them (background, a frame's edge and caption).
// A frame's caption is its window text, so that other programs read it.
class Box : public Control {
public:
    using Control::Control;
    bool IsContainer() const override { return true; }
    std::wstring GetText() override { return text_; }
    void SetText(const std::wstring& text) override {
        text_ = text;
        SetWindowTextW(hwnd_, text.c_str());
        InvalidateRect(hwnd_, nullptr, TRUE);
    }

protected:
    void Build() override {
        // A thin line, not a sunken edge: the box's children are laid out to its full size.
        Make(WS_EX_CONTROLPARENT, kBoxClass, WS_CLIPCHILDREN | WS_CLIPSIBLINGS | (def_.style & kBorder ? WS_BORDER : 0),
             text_);
    }
};

}  // namespace

std::unique_ptr<Control> MakeLabel(FormWindow& f, const ControlDef& d) { return std::make_unique<Label>(f, d); }
std::unique_ptr<Control> MakeImage(FormWindow& f, const ControlDef& d) { return std::make_unique<Picture>(f, d); }
std::unique_ptr<Control> MakeBox(FormWindow& f, const ControlDef& d) { return std::make_unique<Box>(f, d); }

}  // namespace lz
