#include "ui/form_window_win.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <stdexcept>

#include "ui/messages_win.h"
#include "ui/resources_win.h"
#include "ui/win32ui_win.h"

namespace lz {

const wchar_t* const kBoxClass = L"LanzhanBox";

namespace {

const wchar_t* const kFormClass = L"LanzhanForm";
const UINT kFirstControlId = 1000;

void RegisterClasses(HINSTANCE inst) {
    static const bool done = [inst] {
        INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_TAB_CLASSES |
                                                  ICC_BAR_CLASSES | ICC_UPDOWN_CLASS | ICC_TREEVIEW_CLASSES};
        InitCommonControlsEx(&icc);
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = FormWindow::Proc;
        wc.hInstance = inst;
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hIcon = ProgramIcon(false);
        wc.lpszClassName = kFormClass;
        RegisterClassExW(&wc);
        wc.hIcon = nullptr;
        wc.lpszClassName = kBoxClass;
        RegisterClassExW(&wc);
        return true;
    }();
    (void)done;
}

bool IsClickablePicture(HWND h) {
    wchar_t cls[32] = {};
    GetClassNameW(h, cls, 32);
    return lstrcmpW(cls, L"LanzhanPicture") == 0 && (GetWindowLongW(h, GWL_STYLE) & WS_TABSTOP);
}

// Clickable pictures side by side form one group, so that the arrow keys move
// among them; the first control after them starts a group of its own.
void MarkPictureGroups(HWND parent) {
    bool previous = false;
    for (HWND h = GetWindow(parent, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) {
        const bool clickable = IsClickablePicture(h);
        if (clickable != previous) SetWindowLongW(h, GWL_STYLE, GetWindowLongW(h, GWL_STYLE) | WS_GROUP);
        previous = clickable;
        MarkPictureGroups(h);
    }
}

}  // namespace

FormWindow::FormWindow(Win32Ui& ui, std::unique_ptr<FormLogic> logic)
    : ui_(ui), logic_(std::move(logic)), def_(logic_->Definition()), back_(def_.back) {}

FormWindow::~FormWindow() {
    Destroy();
    controls_.clear();
    for (auto& [c, b] : brushes_) DeleteObject(b);
    for (auto& [k, f] : fonts_) DeleteObject(f);
}

void FormWindow::Destroy() {
    if (!hwnd_) return;
    tray_.Remove();
    HWND h = hwnd_;
    hwnd_ = nullptr;
    SetWindowLongPtrW(h, GWLP_USERDATA, 0);
    DestroyWindow(h);
    if (tips_) DestroyWindow(tips_);
    tips_ = nullptr;
}

HBRUSH FormWindow::Brush(Color c) {
    auto it = brushes_.find(c);
    if (it != brushes_.end()) return it->second;
    return brushes_[c] = CreateSolidBrush(c);
}

HFONT FormWindow::FontFor(const ControlDef& def) {
    if (def.font.empty() && !def.fontPoints10 && !(def.style & kBold)) return formFont_;
    return Font(def.font.empty() ? L"SimSun" : def.font, def.fontPoints10 ? def.fontPoints10 : 90,
                (def.style & kBold) != 0);
}

HFONT FormWindow::Font(const std::wstring& face, int points10, bool bold) {
    const std::wstring key = face + L"|" + std::to_wstring(points10) + (bold ? L"b" : L"");
    auto it = fonts_.find(key);
    if (it != fonts_.end()) return it->second;
    LOGFONTW lf{};
    lf.lfHeight = -MulDiv(points10, dpi_, 720);
    lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = CLEARTYPE_QUALITY;
    lstrcpynW(lf.lfFaceName, face.c_str(), LF_FACESIZE);
    return fonts_[key] = CreateFontIndirectW(&lf);
}

void FormWindow::AddTip(HWND tool, const std::wstring& tip) {
    TOOLINFOW ti{};
    ti.cbSize = TTTOOLINFOW_V2_SIZE;
    ti.uFlags = TTF_SUBCLASS | TTF_IDISHWND;
    ti.hwnd = hwnd_;
    ti.uId = reinterpret_cast<UINT_PTR>(tool);
    ti.lpszText = const_cast<wchar_t*>(tip.c_str());
    SendMessageW(tips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
}

bool FormWindow::Create() {
    HINSTANCE inst = GetModuleHandleW(nullptr);
    RegisterClasses(inst);
    HDC screen = GetDC(nullptr);
    dpi_ = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    if (dpi_ <= 0) dpi_ = 96;
    formFont_ = Font(L"SimSun", 90, false);

    DWORD style = WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    DWORD ex = WS_EX_CONTROLPARENT;
    switch (def_.border) {
    case Border::FixedSingle: style |= WS_OVERLAPPED; break;
    case Border::Sizable: style |= WS_OVERLAPPED | WS_THICKFRAME; break;
    case Border::FixedDialog: style |= WS_POPUP; ex |= WS_EX_DLGMODALFRAME; break;
    case Border::FixedToolWindow: style |= WS_POPUP; ex |= WS_EX_TOOLWINDOW; break;
    case Border::None: style = WS_POPUP | WS_CLIPCHILDREN; break;
    }
    // The system chooses the place of overlapped windows only.
    if (def_.systemPosition && (style & WS_CAPTION) == WS_CAPTION) style &= ~WS_POPUP;
    if (def_.minButton) style |= WS_MINIMIZEBOX;
    if (def_.maxButton) style |= WS_MAXIMIZEBOX;
    HMENU bar = menus_.Build(def_.menus, def_.menuBar);
    RECT r{0, 0, Px(def_.clientWidth), Px(def_.clientHeight)};
    AdjustWindowRectEx(&r, style, bar != nullptr, ex);
    const int w = r.right - r.left, h = r.bottom - r.top;
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    int x = work.left + std::max(0L, (work.right - work.left - w) / 2);
    int y = work.top + std::max(0L, (work.bottom - work.top - h) / 2);
    if (def_.systemPosition) x = y = CW_USEDEFAULT;
    hwnd_ = CreateWindowExW(ex, kFormClass, def_.caption.c_str(), style, x, y, w, h, nullptr, bar, inst, this);
    if (!hwnd_) return false;
    if (bar) menus_.BarOwnedByWindow();
    SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(ProgramIcon(false)));
    SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(ProgramIcon(true)));
    tips_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, 0, 0,
                            0, 0, hwnd_, nullptr, inst, nullptr);

    for (const ControlDef& c : def_.controls) {
        controls_.push_back(MakeControl(*this, c));
        byKey_[{c.name, c.index}] = controls_.back().get();
    }
    // Containers come before their children in the table, so each child has
    // its window to live in.
    UINT id = kFirstControlId;
    for (auto& c : controls_) {
        const ControlDef& d = c->Def();
        const Control* box = d.container.empty() ? nullptr : Find(d.container, -1);
        HWND parent = box ? box->ChildParent(d.page) : hwnd_;
        POINT origin = box ? box->ChildOrigin(d.page) : POINT{0, 0};
        c->Create(parent, origin, id++);
        if (c->Handle()) byHandle_[c->Handle()] = c.get();
        for (HWND inner : c->InnerWindows()) byHandle_[inner] = c.get();
    }
    MarkPictureGroups(hwnd_);
    trayWaiting_ = !def_.trayName.empty();
    return true;
}

bool FormWindow::AddWaitingTrayIcon() {
    if (!trayWaiting_) return false;
    trayWaiting_ = false;
    tray_.Add(hwnd_, def_.trayTip);
    return true;
}

Control& FormWindow::At(const std::wstring& n, int i) {
    Control* c = Find(n, i);
    if (!c) {
        std::string s;
        for (wchar_t ch : n) s += ch < 128 ? char(ch) : '?';
        throw std::out_of_range("no control " + s + "(" + std::to_string(i) + ") on the window");
    }
    return *c;
}

Control* FormWindow::Find(const std::wstring& n, int i) const {
    auto it = byKey_.find({n, i});
    return it == byKey_.end() ? nullptr : it->second;
}

Control* FormWindow::ControlOf(HWND h) const {
    auto it = byHandle_.find(h);
    return it == byHandle_.end() ? nullptr : it->second;
}

HWND FormWindow::ChildHandle(const std::wstring& name, int index) const {
    const Control* c = Find(name, index);
    return c ? c->Handle() : nullptr;
}

HWND FormWindow::ContainerOf(const std::wstring& name, int index) const {
    const Control* c = Find(name, index);
    return c ? c->Parent() : nullptr;
}

UINT_PTR FormWindow::TimerId(const std::wstring& name) const {
    for (size_t k = 0; k < controls_.size(); ++k)
        if (controls_[k]->Def().kind == Kind::Timer && controls_[k]->Def().name == name) return kFirstControlId + k;
    return 0;
}

RECT FormWindow::ControlRect(const std::wstring& name, int index) const {
    RECT r{0, 0, 0, 0};
    const Control* c = Find(name, index);
    if (!c) return r;
    if (c->Handle()) {
        GetWindowRect(c->Handle(), &r);
        MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&r), 2);
    } else {
        r = c->PixelRect();
        MapWindowPoints(c->Parent(), hwnd_, reinterpret_cast<POINT*>(&r), 2);
    }
    return r;
}

void FormWindow::BindLogic() {
    logic_->Bind(*this);
    bound_ = true;
}

namespace {
// What the user does, as opposed to what the program or the clock does.
bool IsUserAction(EventKind k) {
    switch (k) {
    case EventKind::Click:
    case EventKind::DblClick:
    case EventKind::Change:
    case EventKind::KeyPress:
    case EventKind::Select:
    case EventKind::TrayMouse:
    case EventKind::Menu:
    case EventKind::QueryUnload: return true;
    default: return false;
    }
}
}  // namespace

void FormWindow::Fire(const Event& e) {
    if (!bound_) return;
    if (ui_.InProgress() && IsUserAction(e.kind)) {
        // A backup runs under its progress window; what still reaches a
        // window (the tray icon, a close from the task bar) waits for it.
        if (e.kind == EventKind::QueryUnload && e.cancel) *e.cancel = true;
        return;
    }
    // A click at the first moment finds every window loaded, as it always was.
    if (IsUserAction(e.kind)) ui_.LoadWaitingForms();
    try {
        logic_->OnEvent(e);
    } catch (const std::exception& ex) {
        ui_.ReportFault(ex.what());
    } catch (...) {
        ui_.ReportFault("unknown");
    }
}

bool FormWindow::PreTranslate(MSG& msg) {
    for (HWND h = msg.hwnd; h && h != hwnd_; h = GetParent(h))
        if (Control* c = ControlOf(h)) return c->PreTranslate(msg);
    return false;
}

// Menus share the names of the check marks' calls with the controls.
void FormWindow::SetChecked(const std::wstring& n, int i, bool on) {
    if (menus_.Has(n, i)) return menus_.SetChecked(n, i, on);
    At(n, i).SetChecked(on);
}

bool FormWindow::GetChecked(const std::wstring& n, int i) {
    if (menus_.Has(n, i)) return menus_.GetChecked(n, i);
    return At(n, i).GetChecked();
}

void FormWindow::PopupMenu(const std::wstring& n) { menus_.Popup(n, hwnd_); }

std::wstring FormWindow::GetCaption() {
    const int len = GetWindowTextLengthW(hwnd_);
    std::wstring s(len + 1, L'\0');
    GetWindowTextW(hwnd_, s.data(), len + 1);
    s.resize(lstrlenW(s.c_str()));
    return s;
}

void FormWindow::SetFormBack(Color c) {
    back_ = c;
    InvalidateRect(hwnd_, nullptr, TRUE);
}

int FormWindow::FormWidth() {
    RECT r;
    GetWindowRect(hwnd_, &r);
    return Twips(r.right - r.left);
}

int FormWindow::FormHeight() {
    RECT r;
    GetWindowRect(hwnd_, &r);
    return Twips(r.bottom - r.top);
}

void FormWindow::SetFormSize(int w, int h) {
    RECT r;
    GetWindowRect(hwnd_, &r);
    const int pw = Px(w), ph = Px(h);
    if (r.right - r.left == pw && r.bottom - r.top == ph) return;
    SetWindowPos(hwnd_, nullptr, 0, 0, pw, ph, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// ------------------------------------------------------------ messages

LRESULT CALLBACK FormWindow::Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(l);
        if (cs->lpCreateParams) SetWindowLongPtrW(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    }
    auto* self = reinterpret_cast<FormWindow*>(GetWindowLongPtrW(h, GWLP_USERDATA));
    if (!self) {
        // A box made without its pointer: find the form through its root.
        HWND root = GetAncestor(h, GA_ROOT);
        if (root && root != h) self = reinterpret_cast<FormWindow*>(GetWindowLongPtrW(root, GWLP_USERDATA));
        if (self && m == WM_NCCREATE) SetWindowLongPtrW(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    if (!self || (!self->hwnd_ && m != WM_NCCREATE && m != WM_CREATE)) return DefWindowProcW(h, m, w, l);
    // Exceptions never leave a window procedure.
    try {
        return self->Handle(h, m, w, l);
    } catch (const std::exception& ex) {
        self->ui_.ReportFault(ex.what());
    } catch (...) {
        self->ui_.ReportFault("unknown");
    }
    return 0;
}

void FormWindow::PaintBox(HWND box, HDC dc) {
    RECT rc;
    GetClientRect(box, &rc);
    const Control* owner = box == hwnd_ ? nullptr : ControlOf(box);
    FillRect(dc, &rc, Brush(owner ? owner->BackColor() : back_));
    if (!owner || owner->Def().kind != Kind::Frame) return;
    SetBkMode(dc, TRANSPARENT);
    HGDIOBJ old = SelectObject(dc, formFont_);
    SIZE sz;
    GetTextExtentPoint32W(dc, L"国", 1, &sz);
    RECT edge = rc;
    edge.top += sz.cy / 2;
    DrawEdge(dc, &edge, EDGE_ETCHED, BF_RECT);
    const std::wstring caption = const_cast<Control*>(owner)->GetText();
    if (!caption.empty()) {
        SIZE ts;
        GetTextExtentPoint32W(dc, caption.c_str(), int(caption.size()), &ts);
        RECT tr{Px(120), 0, Px(120) + ts.cx + 4, ts.cy};
        FillRect(dc, &tr, Brush(owner->BackColor()));
        SetTextColor(dc, owner->GetForeColor());
        TextOutW(dc, tr.left + 2, 0, caption.c_str(), int(caption.size()));
    }
    SelectObject(dc, old);
}

Control* FormWindow::LabelAt(HWND box, POINT pt) {
    // The last made is on top.
    for (auto k = controls_.rbegin(); k != controls_.rend(); ++k) {
        Control& c = **k;
        if (!c.PointerThrough() || c.Parent() != box || !c.GetVisible()) continue;
        RECT r = c.PixelRect();
        if (PtInRect(&r, pt)) return &c;
    }
    return nullptr;
}

void FormWindow::BoxMouse(HWND box, UINT m, LPARAM l) {
    POINT pt{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
    Control* label = LabelAt(box, pt);
    std::wstring name;
    int index = -1;
    if (label) {
        name = label->Def().name;
        index = label->Def().index;
        const RECT r = label->PixelRect();
        pt.x -= r.left;
        pt.y -= r.top;
    } else if (const Control* owner = box == hwnd_ ? nullptr : ControlOf(box)) {
        name = owner->Def().name;
        index = owner->Def().index;
    }
    Event e{EventKind::MouseMove, name, index};
    e.x = Twips(pt.x);
    e.y = Twips(pt.y);
    switch (m) {
    case WM_MOUSEMOVE: Fire(e); return;
    case WM_LBUTTONDOWN:
        pressed_ = label;
        pressedOnBox_ = true;
        SetCapture(box);
        return;
    case WM_LBUTTONUP: {
        ReleaseCapture();
        const bool click = pressedOnBox_ && pressed_ == label;
        pressed_ = nullptr;
        pressedOnBox_ = false;
        if (click) Fire({EventKind::Click, name, index, 1});
        return;
    }
    case WM_LBUTTONDBLCLK:
        e.kind = EventKind::DblClick;
        e.button = 1;
        Fire(e);
        return;
    }
}

// Controls with windows of their own tell the form of the pointer only
// through WM_SETCURSOR: it is their MouseMove. Only the control's own parent
// answers, so that a nested control is reported once.
bool FormWindow::SetCursorFor(HWND over, LPARAM l) {
    if (LOWORD(l) != HTCLIENT) return false;
    Control* child = ControlOf(over);
    if (child && child->IsContainer()) child = nullptr;
    if (child && HIWORD(l) == WM_MOUSEMOVE) {
        POINT pt;
        GetCursorPos(&pt);
        ScreenToClient(over, &pt);
        Event e{EventKind::MouseMove, child->Def().name, child->Def().index};
        e.x = Twips(pt.x);
        e.y = Twips(pt.y);
        Fire(e);
        child = ControlOf(over);  // the handler may have changed the window
    }
    bool hand = child && (child->Def().style & kHandCursor);
    if (!child && (over == hwnd_ || ControlOf(over))) {
        POINT pt;
        GetCursorPos(&pt);
        ScreenToClient(over, &pt);
        const Control* label = LabelAt(over, pt);
        hand = label && (label->Def().style & kHandCursor);
    }
    if (hand) SetCursor(HandCursor());
    return hand;
}

LRESULT FormWindow::Handle(HWND h, UINT m, WPARAM w, LPARAM l) {
    const bool isForm = h == hwnd_;
    switch (m) {
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(h, &ps);
        // Off screen first: no flicker while the spider moves over the form.
        RECT rc;
        GetClientRect(h, &rc);
        HDC mem = CreateCompatibleDC(dc);
        HBITMAP bmp = CreateCompatibleBitmap(dc, std::max<LONG>(1, rc.right), std::max<LONG>(1, rc.bottom));
        HGDIOBJ old = SelectObject(mem, bmp);
        PaintBox(h, mem);
        BitBlt(dc, 0, 0, rc.right, rc.bottom, mem, 0, 0, SRCCOPY);
        SelectObject(mem, old);
        DeleteObject(bmp);
        DeleteDC(mem);
        EndPaint(h, &ps);
        return 0;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
        if (Control* c = ControlOf(reinterpret_cast<HWND>(l)))
            if (HBRUSH b = c->CtlColor(reinterpret_cast<HDC>(w), m)) return reinterpret_cast<LRESULT>(b);
        break;
    case WM_SETCURSOR:
        if (GetParent(reinterpret_cast<HWND>(w)) == h || reinterpret_cast<HWND>(w) == h)
            if (SetCursorFor(reinterpret_cast<HWND>(w), l)) return TRUE;
        break;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK: BoxMouse(h, m, l); return 0;
    case WM_COMMAND:
        if (l == 0 && HIWORD(w) == 0) {
            if (auto item = menus_.ItemOf(LOWORD(w))) Fire({EventKind::Menu, item->first, item->second});
            return 0;
        }
        if (Control* c = ControlOf(reinterpret_cast<HWND>(l)); c && c->OnCommand(HIWORD(w))) return 0;
        break;
    case WM_NOTIFY: {
        auto* hdr = reinterpret_cast<NMHDR*>(l);
        LRESULT result = 0;
        if (Control* c = ControlOf(hdr->hwndFrom); c && c->OnNotify(hdr, result)) return result;
        break;
    }
    case WM_VSCROLL:
    case WM_HSCROLL:
        if (Control* c = ControlOf(reinterpret_cast<HWND>(l)); c && c->OnScroll(w)) return 0;
        break;
    case WM_TIMER:
        if (isForm) {
            if (w >= kFirstControlId && w < kFirstControlId + controls_.size())
                controls_[w - kFirstControlId]->OnTimer();
            return 0;
        }
        break;
    case WM_SIZE:
        if (isForm) {
            Fire({EventKind::Resize, L""});
            for (auto& c : controls_) c->OnFormResized();
            return 0;
        }
        break;
    case WM_DISPLAYCHANGE:
        if (isForm)
            for (auto& c : controls_) c->OnDisplayChange();
        break;
    case WM_SHOWWINDOW:
        if (isForm && w)
            for (auto& c : controls_) c->OnFormShown();
        break;
    case WM_CLOSE:
        if (isForm) {
            bool cancel = false;
            Event e{EventKind::QueryUnload, L""};
            e.cancel = &cancel;
            Fire(e);
            if (!cancel) ui_.UnloadForm(def_.name);
            return 0;
        }
        break;
    case WM_QUERYENDSESSION:
        // Logging off or shutting down: not a close request a window may refuse.
        if (isForm) return TRUE;
        break;
    case WM_ENDSESSION:
        if (isForm && w) ui_.EndProgram();
        return 0;
    case kTrayMessage:
        if (isForm) {
            Event e{EventKind::TrayMouse, def_.trayName, -1, 0};
            switch (l) {
            case WM_LBUTTONUP: e.button = 1; break;
            case WM_RBUTTONUP: e.button = 2; break;
            case WM_LBUTTONDBLCLK:
                e.button = 1;
                e.dbl = true;
                break;
            default: return 0;
            }
            Fire(e);
            return 0;
        }
        break;
    case kReleaseUnloaded: ui_.ReleaseUnloaded(); return 0;
    case kUpDownChanged:
        if (Control* c = ControlOf(reinterpret_cast<HWND>(w))) Fire({EventKind::Change, c->Def().name, c->Def().index});
        return 0;
    default:
        if (isForm && tray_.IsTaskbarCreated(m)) {
            tray_.AddAgain();
            return 0;
        }
    }
    return DefWindowProcW(h, m, w, l);
}

}  // namespace lz
