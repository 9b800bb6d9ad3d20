#include "ui/host_win.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>
#include <windowsx.h>

#include <algorithm>
#include <cwctype>
#include <stdexcept>

#include "env/systime_win.h"
#include "ui/inputbox.h"

namespace lz {

namespace {

const wchar_t* const kFormClass = L"LanzhanForm";
const wchar_t* const kBoxClass = L"LanzhanBox";
const UINT kTrayMessage = WM_APP + 1;
const UINT kReleaseMessage = WM_APP + 2;
const UINT kFirstControlId = 1000;
const UINT kFirstMenuId = 30000;

// The resource module: the executable that holds the pictures.
HINSTANCE ResourceModule() { return GetModuleHandleW(nullptr); }

std::wstring Upper(std::wstring s) {
    for (auto& c : s) c = static_cast<wchar_t>(std::towupper(c));
    return s;
}

// A folder tree item: a file-system path, or a shell folder known by its name.
struct TreeNode {
    std::wstring path;  // "" for a shell folder
    std::wstring display;
    bool filled = false;
};

void RegisterClasses(HINSTANCE inst) {
    static bool done = false;
    if (done) return;
    done = true;
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_TAB_CLASSES |
                                              ICC_BAR_CLASSES | ICC_UPDOWN_CLASS | ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = FormWindow::Proc;
    wc.hInstance = inst;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hIcon = LoadIconW(inst, MAKEINTRESOURCEW(1));
    wc.lpszClassName = kFormClass;
    RegisterClassExW(&wc);
    wc.hIcon = nullptr;
    wc.lpszClassName = kBoxClass;
    RegisterClassExW(&wc);
}

}  // namespace

struct FormWindow::Ctrl {
    ControlDef def;
    HWND hwnd = nullptr;    // nullptr: windowless (label, image, timer)
    HWND parent = nullptr;  // the window it sits in
    std::vector<HWND> pages;  // tab: one box per page
    std::wstring text;
    Color fore, back;
    bool visible = true, enabled = true;
    int left = 0, top = 0;  // twips, in the container
    int offX = 0, offY = 0;  // pixels: where the container's origin lies in its window
    std::wstring picture;
    HBITMAP bitmap = nullptr;
    bool timerOn = false;
    int interval = 0;
    UINT id = 0;
    std::vector<std::unique_ptr<TreeNode>> nodes;
    bool treePending = false;  // a folder tree is filled when its window is first shown
    HICON icon = nullptr;      // a status bar's picture
};

HBITMAP LoadBitmapResource(const std::wstring& name) {
    return static_cast<HBITMAP>(
        LoadImageW(ResourceModule(), Upper(name).c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

HCURSOR HandCursor() {
    static HCURSOR hand = [] {
        HCURSOR c = static_cast<HCURSOR>(LoadImageW(ResourceModule(), L"BMP12", IMAGE_CURSOR, 0, 0, 0));
        return c ? c : LoadCursorW(nullptr, IDC_HAND);
    }();
    return hand;
}

// ---------------------------------------------------------------- FormWindow

FormWindow::FormWindow(Win32Ui& ui, std::unique_ptr<FormLogic> logic)
    : ui_(ui), logic_(std::move(logic)), def_(logic_->Definition()), back_(def_.back) {}

FormWindow::~FormWindow() {
    Destroy();
    for (auto& [c, b] : brushes_) DeleteObject(b);
    for (auto& [k, f] : fonts_) DeleteObject(f);
    for (auto& it : items_) {
        if (it->bitmap) DeleteObject(it->bitmap);
        if (it->icon) DestroyIcon(it->icon);
    }
    if (menuBar_ && !IsMenu(menuBar_)) menuBar_ = nullptr;
    for (auto& [n, m] : popups_)
        if (!menuBar_ && IsMenu(m)) DestroyMenu(m);
}

void FormWindow::Destroy() {
    if (!hwnd_) return;
    if (tray_) {
        NOTIFYICONDATAW nid{};
        nid.cbSize = NOTIFYICONDATAW_V2_SIZE;
        nid.hWnd = hwnd_;
        nid.uID = 1;
        Shell_NotifyIconW(NIM_DELETE, &nid);
        tray_ = false;
    }
    HWND h = hwnd_;
    hwnd_ = nullptr;
    SetWindowLongPtrW(h, GWLP_USERDATA, 0);
    DestroyWindow(h);
    if (tips_) DestroyWindow(tips_);
    tips_ = nullptr;
}

int FormWindow::Px(int twips) const { return MulDiv(twips, dpi_, 1440); }
int FormWindow::Twips(int px) const { return MulDiv(px, 1440, dpi_); }

HBRUSH FormWindow::Brush(Color c) {
    auto it = brushes_.find(c);
    if (it != brushes_.end()) return it->second;
    return brushes_[c] = CreateSolidBrush(c);
}

HFONT FormWindow::Font(const std::wstring& face, int points10, bool bold) {
    std::wstring key = face + L"|" + std::to_wstring(points10) + (bold ? L"b" : L"");
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

bool FormWindow::Create() {
    HINSTANCE inst = ui_.Instance();
    RegisterClasses(inst);
    HDC screen = GetDC(nullptr);
    dpi_ = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    if (dpi_ <= 0) dpi_ = 96;
    formFont_ = Font(L"SimSun", 90, false);
    taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");

    DWORD style = WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    DWORD ex = WS_EX_CONTROLPARENT;
    switch (def_.border) {
    case Border::FixedSingle: style |= WS_OVERLAPPED; break;
    case Border::Sizable: style |= WS_OVERLAPPED | WS_THICKFRAME; break;
    case Border::FixedDialog: style |= WS_POPUP; ex |= WS_EX_DLGMODALFRAME; break;
    case Border::FixedToolWindow: style |= WS_POPUP; ex |= WS_EX_TOOLWINDOW; break;
    }
    if (def_.minButton) style |= WS_MINIMIZEBOX;
    if (def_.maxButton) style |= WS_MAXIMIZEBOX;
    CreateMenus();
    RECT r{0, 0, Px(def_.clientWidth), Px(def_.clientHeight)};
    AdjustWindowRectEx(&r, style, def_.menuBar && menuBar_ != nullptr, ex);
    int w = r.right - r.left, h = r.bottom - r.top;
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    int x = work.left + std::max(0L, (work.right - work.left - w) / 2);
    int y = work.top + std::max(0L, (work.bottom - work.top - h) / 2);
    hwnd_ = CreateWindowExW(ex, kFormClass, def_.caption.c_str(), style, x, y, w, h, nullptr,
                            def_.menuBar ? menuBar_ : nullptr, inst, this);
    if (!hwnd_) return false;
    HICON big = static_cast<HICON>(LoadImageW(inst, MAKEINTRESOURCEW(1), IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                                              GetSystemMetrics(SM_CYICON), LR_SHARED));
    HICON small = static_cast<HICON>(LoadImageW(inst, MAKEINTRESOURCEW(1), IMAGE_ICON,
                                                GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                                LR_SHARED));
    SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));

    tips_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                            0, 0, 0, 0, hwnd_, nullptr, inst, nullptr);
    UINT id = kFirstControlId;
    // Containers first, so that their children have a window to live in.
    for (const ControlDef& c : def_.controls) {
        auto it = std::make_unique<Ctrl>();
        it->def = c;
        it->text = c.kind == Kind::Image ? L"" : c.caption;
        it->picture = c.kind == Kind::Image ? c.caption : L"";
        it->fore = c.fore;
        it->back = c.back;
        it->visible = !(c.style & kHidden);
        it->enabled = !(c.style & kDisabled);
        it->left = c.left;
        it->top = c.top;
        it->id = id++;
        byKey_[{c.name, c.index}] = it.get();
        items_.push_back(std::move(it));
    }
    for (auto& it : items_) CreateControl(*it);
    if (!def_.trayName.empty()) AddTray();
    return true;
}

HWND FormWindow::ContainerHandle(const std::wstring& container, int page) const {
    if (container.empty()) return hwnd_;
    const Ctrl* c = Find(container, -1);
    if (!c) return hwnd_;
    if (c->def.kind == Kind::Tab) {
        if (page >= 0 && page < int(c->pages.size())) return c->pages[page];
        return c->pages.empty() ? hwnd_ : c->pages[0];
    }
    return c->hwnd ? c->hwnd : hwnd_;
}

void FormWindow::CreateControl(Ctrl& it) {
    const ControlDef& c = it.def;
    HINSTANCE inst = ui_.Instance();
    it.parent = ContainerHandle(c.container, c.page);
    int x = Px(c.left), y = Px(c.top), w = Px(c.width), h = Px(c.height);
    if (!c.container.empty()) {
        // Children of a tab are placed relative to the tab control, not its page.
        const Ctrl* box = Find(c.container, -1);
        if (box && box->def.kind == Kind::Tab && !box->pages.empty()) {
            RECT pr;
            GetWindowRect(it.parent, &pr);
            RECT tr;
            GetWindowRect(box->hwnd, &tr);
            it.offX = pr.left - tr.left;
            it.offY = pr.top - tr.top;
            x -= it.offX;
            y -= it.offY;
        }
    }
    DWORD vis = it.visible ? WS_VISIBLE : 0;
    DWORD dis = it.enabled ? 0 : WS_DISABLED;
    HMENU cid = reinterpret_cast<HMENU>(static_cast<UINT_PTR>(it.id));
    HFONT font = c.font.empty() && !c.fontPoints10 && !(c.style & kBold)
                     ? formFont_
                     : Font(c.font.empty() ? L"SimSun" : c.font, c.fontPoints10 ? c.fontPoints10 : 90,
                            (c.style & kBold) != 0);
    auto make = [&](DWORD ex, const wchar_t* cls, DWORD style, const std::wstring& text) {
        it.hwnd = CreateWindowExW(ex, cls, text.c_str(), WS_CHILD | vis | dis | style, x, y, w, h, it.parent, cid,
                                  inst, nullptr);
        SendMessageW(it.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        byHandle_[it.hwnd] = &it;
    };
    switch (c.kind) {
    case Kind::Label:
    case Kind::Image:
        if (c.kind == Kind::Image) it.bitmap = LoadBitmapResource(it.picture);
        if (!c.tip.empty()) {
            TOOLINFOW ti{};
            ti.cbSize = TTTOOLINFOW_V2_SIZE;
            ti.uFlags = TTF_SUBCLASS;
            ti.hwnd = it.parent;
            ti.uId = it.id;
            ti.rect = RECT{x, y, x + w, y + h};
            ti.lpszText = const_cast<wchar_t*>(c.tip.c_str());
            SendMessageW(tips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
        }
        return;
    case Kind::Timer:
        it.timerOn = !(c.style & kDisabled);
        it.interval = c.interval;
        timerIds_[c.name] = it.id;
        timerNames_[it.id] = c.name;
        if (it.timerOn && it.interval > 0) ::SetTimer(hwnd_, it.id, it.interval, nullptr);
        return;
    case Kind::PictureBox:
    case Kind::Frame:
    case Kind::Browser:
    case Kind::Custom:
        // A thin line, not a sunken edge: the box's children are laid out to its full size.
        make(WS_EX_CONTROLPARENT, kBoxClass,
             WS_CLIPCHILDREN | WS_CLIPSIBLINGS | (c.style & kBorder ? WS_BORDER : 0), L"");
        boxes_[it.hwnd] = c.name;
        return;
    case Kind::TextBox: {
        DWORD s = WS_TABSTOP | ES_AUTOHSCROLL;
        if (c.style & kMultiLine) s = WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL | ES_WANTRETURN;
        if (c.style & kReadOnly) s |= ES_READONLY;
        if (c.style & kPassword) s |= ES_PASSWORD;
        if (c.style & kCenter) s |= ES_CENTER;
        make(WS_EX_CLIENTEDGE, L"EDIT", s, it.text);
        if (c.maxLength > 0) SendMessageW(it.hwnd, EM_LIMITTEXT, c.maxLength, 0);
        break;
    }
    case Kind::Button: make(0, L"BUTTON", WS_TABSTOP | BS_PUSHBUTTON | BS_MULTILINE, it.text); break;
    case Kind::Option: make(0, L"BUTTON", WS_TABSTOP | BS_RADIOBUTTON | BS_MULTILINE, it.text); break;
    case Kind::Check: make(0, L"BUTTON", WS_TABSTOP | BS_AUTOCHECKBOX | BS_MULTILINE, it.text); break;
    case Kind::ComboList:
    case Kind::ComboEdit: {
        DWORD s = WS_TABSTOP | WS_VSCROLL | (c.kind == Kind::ComboList ? CBS_DROPDOWNLIST : CBS_DROPDOWN);
        if (c.style & kSorted) s |= CBS_SORT;
        int listHeight = h;
        h = std::max(h, Px(2400));  // the drop-down part
        make(0, L"COMBOBOX", s, L"");
        h = listHeight;
        for (const auto& s2 : c.items) SendMessageW(it.hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s2.c_str()));
        if (c.kind == Kind::ComboEdit) SetWindowTextW(it.hwnd, it.text.c_str());
        break;
    }
    case Kind::ListBox: {
        DWORD s = WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | (c.style & kSorted ? LBS_SORT : 0);
        make(WS_EX_CLIENTEDGE, L"LISTBOX", s, L"");
        for (const auto& s2 : c.items) SendMessageW(it.hwnd, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s2.c_str()));
        break;
    }
    case Kind::StatusBar: {
        make(0, STATUSCLASSNAMEW, CCS_BOTTOM, L"");
        if (c.items.empty()) {
            SendMessageW(it.hwnd, SB_SIMPLE, TRUE, 0);
            SendMessageW(it.hwnd, SB_SETTEXTW, 255, reinterpret_cast<LPARAM>(it.text.c_str()));
        } else {
            RECT rc;
            GetClientRect(it.parent, &rc);
            std::vector<int> edges;
            int n = int(c.items.size());
            for (int k = 1; k <= n; ++k) edges.push_back(k == n ? -1 : rc.right * k / n);
            SendMessageW(it.hwnd, SB_SETPARTS, n, reinterpret_cast<LPARAM>(edges.data()));
            for (int k = 0; k < n; ++k)
                SendMessageW(it.hwnd, SB_SETTEXTW, k, reinterpret_cast<LPARAM>(c.items[k].c_str()));
        }
        break;
    }
    case Kind::TimePicker: make(0, DATETIMEPICK_CLASSW, WS_TABSTOP | DTS_TIMEFORMAT | DTS_UPDOWN, L""); break;
    case Kind::DatePicker: make(0, DATETIMEPICK_CLASSW, WS_TABSTOP | DTS_SHORTDATEFORMAT, L""); break;
    case Kind::UpDown: {
        make(0, UPDOWN_CLASSW, UDS_SETBUDDYINT | UDS_ARROWKEYS | UDS_NOTHOUSANDS, L"");
        if (const Ctrl* buddy = Find(c.buddy, -1))
            SendMessageW(it.hwnd, UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy->hwnd), 0);
        SendMessageW(it.hwnd, UDM_SETRANGE32, c.minValue, c.maxValue);
        break;
    }
    case Kind::Tab: {
        make(WS_EX_CONTROLPARENT, WC_TABCONTROLW, WS_TABSTOP | WS_CLIPSIBLINGS, L"");
        for (int k = 0; k < int(c.items.size()); ++k) {
            TCITEMW ti{};
            ti.mask = TCIF_TEXT;
            ti.pszText = const_cast<wchar_t*>(c.items[k].c_str());
            SendMessageW(it.hwnd, TCM_INSERTITEMW, k, reinterpret_cast<LPARAM>(&ti));
        }
        RECT rc{0, 0, w, h};
        TabCtrl_AdjustRect(it.hwnd, FALSE, &rc);
        for (int k = 0; k < int(c.items.size()); ++k) {
            HWND page = CreateWindowExW(WS_EX_CONTROLPARENT, kBoxClass, L"",
                                        WS_CHILD | WS_CLIPCHILDREN | (k == 0 ? WS_VISIBLE : 0), rc.left, rc.top,
                                        rc.right - rc.left, rc.bottom - rc.top, it.hwnd, nullptr, inst, nullptr);
            SetWindowLongPtrW(page, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
            boxes_[page] = c.name;
            it.pages.push_back(page);
        }
        break;
    }
    case Kind::FolderTree:
        make(WS_EX_CLIENTEDGE, WC_TREEVIEWW,
             WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS, L"");
        // Asking the shell for every drive takes long under Wine and the
        // pre-loaded windows are hidden: fill it when it is first seen.
        it.treePending = true;
        break;
    }
    if (it.hwnd && !c.tip.empty()) {
        TOOLINFOW ti{};
        ti.cbSize = TTTOOLINFOW_V2_SIZE;
        ti.uFlags = TTF_SUBCLASS | TTF_IDISHWND;
        ti.hwnd = hwnd_;
        ti.uId = reinterpret_cast<UINT_PTR>(it.hwnd);
        ti.lpszText = const_cast<wchar_t*>(c.tip.c_str());
        SendMessageW(tips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    }
}

void FormWindow::CreateMenus() {
    if (def_.menus.empty()) return;
    // Build level by level: a stack of the drop-downs being filled.
    std::vector<HMENU> stack;
    if (def_.menuBar) menuBar_ = CreateMenu();
    UINT id = kFirstMenuId;
    std::wstring currentTop;
    for (size_t k = 0; k < def_.menus.size(); ++k) {
        const MenuDef& m = def_.menus[k];
        bool hasChildren = k + 1 < def_.menus.size() && def_.menus[k + 1].level > m.level;
        UINT myId = id++;
        menuIds_[{m.name, m.index}] = myId;
        menuKeys_[myId] = {m.name, m.index};
        stack.resize(m.level);
        HMENU parent = m.level == 0 ? menuBar_ : stack.empty() ? nullptr : stack.back();
        HMENU sub = hasChildren ? CreatePopupMenu() : nullptr;
        if (m.level == 0) popups_[m.name] = sub ? sub : nullptr;
        if (parent) {
            UINT flags = m.caption == L"-" ? MF_SEPARATOR : MF_STRING;
            if (sub) flags |= MF_POPUP;
            if (m.checked) flags |= MF_CHECKED;
            if (!m.enabled) flags |= MF_GRAYED;
            AppendMenuW(parent, flags, sub ? reinterpret_cast<UINT_PTR>(sub) : myId, m.caption.c_str());
        }
        if (sub) stack.push_back(sub);
        else if (int(stack.size()) < m.level + 1) stack.push_back(nullptr);
    }
}

void FormWindow::AddTray() {
    NOTIFYICONDATAW nid{};
    nid.cbSize = NOTIFYICONDATAW_V2_SIZE;
    nid.hWnd = hwnd_;
    nid.uID = 1;
    nid.uFlags = NIF_ICON | NIF_TIP | NIF_MESSAGE;
    nid.uCallbackMessage = kTrayMessage;
    nid.hIcon = static_cast<HICON>(LoadImageW(ui_.Instance(), MAKEINTRESOURCEW(1), IMAGE_ICON,
                                              GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                              LR_SHARED));
    lstrcpynW(nid.szTip, def_.trayTip.c_str(), 64);
    tray_ = Shell_NotifyIconW(NIM_ADD, &nid) != FALSE;
}

FormWindow::Ctrl& FormWindow::At(const std::wstring& n, int i) {
    auto it = byKey_.find({n, i});
    if (it == byKey_.end()) {
        std::string s;
        for (wchar_t c : n) s += c < 128 ? char(c) : '?';
        throw std::out_of_range("no control " + s + "(" + std::to_string(i) + ") on the window");
    }
    return *it->second;
}

const FormWindow::Ctrl* FormWindow::Find(const std::wstring& n, int i) const {
    auto it = byKey_.find({n, i});
    return it == byKey_.end() ? nullptr : it->second;
}

FormWindow::Ctrl* FormWindow::ItemOfHandle(HWND h) {
    auto it = byHandle_.find(h);
    return it == byHandle_.end() ? nullptr : it->second;
}

HWND FormWindow::ChildHandle(const std::wstring& name, int index) const {
    const Ctrl* it = Find(name, index);
    return it ? it->hwnd : nullptr;
}

UINT FormWindow::MenuId(const std::wstring& name, int index) const {
    auto it = menuIds_.find({name, index});
    return it == menuIds_.end() ? 0 : it->second;
}

HWND FormWindow::ContainerOf(const std::wstring& name, int index) const {
    const Ctrl* it = Find(name, index);
    return it ? it->parent : nullptr;
}

RECT FormWindow::ControlRect(const std::wstring& name, int index) const {
    const Ctrl* it = Find(name, index);
    RECT r{0, 0, 0, 0};
    if (!it) return r;
    if (it->hwnd) {
        GetWindowRect(it->hwnd, &r);
    } else {
        r = PixelRect(*it);
        MapWindowPoints(it->parent, nullptr, reinterpret_cast<POINT*>(&r), 2);
    }
    MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void FormWindow::InvalidateItem(const Ctrl& it) {
    if (it.hwnd) {
        InvalidateRect(it.hwnd, nullptr, TRUE);
        return;
    }
    RECT r = PixelRect(it);
    InvalidateRect(it.parent, &r, TRUE);
}

RECT FormWindow::PixelRect(const Ctrl& it) const {
    RECT r{Px(it.left) - it.offX, Px(it.top) - it.offY, 0, 0};
    int w = Px(it.def.width), h = Px(it.def.height);
    if (it.def.kind == Kind::Image && it.bitmap) {
        // an image takes the size of its picture
        BITMAP bm;
        GetObjectW(it.bitmap, sizeof(bm), &bm);
        w = MulDiv(bm.bmWidth, dpi_, 96);
        h = MulDiv(bm.bmHeight, dpi_, 96);
    }
    r.right = r.left + w;
    r.bottom = r.top + h;
    return r;
}

void FormWindow::BindLogic() {
    logic_->Bind(*this);
    bound_ = true;
}

void FormWindow::Fire(const Event& e) {
    if (!bound_) return;
    try {
        logic_->OnEvent(e);
    } catch (const std::exception& ex) {
        ui_.ReportFault(ex.what());
    } catch (...) {
        ui_.ReportFault("unknown");
    }
}

// ------------------------------------------------------------ Controls

void FormWindow::SetText(const std::wstring& n, int i, const std::wstring& t) {
    Ctrl& it = At(n, i);
    it.text = t;
    switch (it.def.kind) {
    case Kind::Label: InvalidateItem(it); break;
    case Kind::Frame: InvalidateRect(it.hwnd, nullptr, TRUE); break;
    case Kind::StatusBar: SetPanelText(n, -1, t); break;
    case Kind::ComboList: {
        LRESULT at = SendMessageW(it.hwnd, CB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>(t.c_str()));
        SendMessageW(it.hwnd, CB_SETCURSEL, at == CB_ERR ? WPARAM(-1) : WPARAM(at), 0);
        break;
    }
    default:
        if (it.hwnd) SetWindowTextW(it.hwnd, t.c_str());
    }
}

std::wstring FormWindow::GetText(const std::wstring& n, int i) {
    Ctrl& it = At(n, i);
    if (it.def.kind == Kind::FolderTree) return TreeSelection(it);
    if (!it.hwnd || it.def.kind == Kind::Frame || it.def.kind == Kind::PictureBox) return it.text;
    if (it.def.kind == Kind::StatusBar) return GetPanelText(n, -1);
    int len = GetWindowTextLengthW(it.hwnd);
    std::wstring s(len + 1, L'\0');
    GetWindowTextW(it.hwnd, s.data(), len + 1);
    s.resize(lstrlenW(s.c_str()));
    return s;
}

void FormWindow::SetEnabled(const std::wstring& n, int i, bool on) {
    Ctrl& it = At(n, i);
    it.enabled = on;
    if (it.hwnd) EnableWindow(it.hwnd, on);
    else InvalidateItem(it);
}

bool FormWindow::GetEnabled(const std::wstring& n, int i) {
    Ctrl& it = At(n, i);
    return it.hwnd ? IsWindowEnabled(it.hwnd) != FALSE : it.enabled;
}

void FormWindow::SetVisible(const std::wstring& n, int i, bool on) {
    Ctrl& it = At(n, i);
    it.visible = on;
    if (it.hwnd) ShowWindow(it.hwnd, on ? SW_SHOWNA : SW_HIDE);
    else InvalidateItem(it);
}

bool FormWindow::GetVisible(const std::wstring& n, int i) { return At(n, i).visible; }

void FormWindow::SetChecked(const std::wstring& n, int i, bool on) {
    auto mid = menuIds_.find({n, i});
    if (mid != menuIds_.end()) {
        HMENU owner = menuBar_;
        for (auto& [name, m] : popups_)
            if (m && GetMenuState(m, mid->second, MF_BYCOMMAND) != UINT(-1)) owner = m;
        // nested drop-downs: CheckMenuItem searches sub-menus by command
        if (owner) CheckMenuItem(owner, mid->second, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
        for (auto& [name, m] : popups_)
            if (m) CheckMenuItem(m, mid->second, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
        return;
    }
    Ctrl& it = At(n, i);
    if (!it.hwnd) return;
    SendMessageW(it.hwnd, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
    if (on && it.def.kind == Kind::Option)
        for (auto& other : items_)
            if (other.get() != &it && other->def.kind == Kind::Option && other->parent == it.parent)
                SendMessageW(other->hwnd, BM_SETCHECK, BST_UNCHECKED, 0);
}

bool FormWindow::GetChecked(const std::wstring& n, int i) {
    auto mid = menuIds_.find({n, i});
    if (mid != menuIds_.end()) {
        for (auto& [name, m] : popups_)
            if (m) {
                UINT st = GetMenuState(m, mid->second, MF_BYCOMMAND);
                if (st != UINT(-1)) return (st & MF_CHECKED) != 0;
            }
        if (menuBar_) return (GetMenuState(menuBar_, mid->second, MF_BYCOMMAND) & MF_CHECKED) != 0;
        return false;
    }
    Ctrl& it = At(n, i);
    return it.hwnd && SendMessageW(it.hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void FormWindow::SetForeColor(const std::wstring& n, int i, Color c) {
    Ctrl& it = At(n, i);
    if (it.fore == c) return;
    it.fore = c;
    InvalidateItem(it);
}

Color FormWindow::GetForeColor(const std::wstring& n, int i) { return At(n, i).fore; }

void FormWindow::SetBackColor(const std::wstring& n, int i, Color c) {
    Ctrl& it = At(n, i);
    it.back = c;
    InvalidateItem(it);
}

void FormWindow::SetFocus(const std::wstring& n, int i) {
    Ctrl& it = At(n, i);
    if (it.hwnd) ::SetFocus(it.hwnd);
}

void FormWindow::SetPicture(const std::wstring& n, int i, const std::wstring& r) {
    Ctrl& it = At(n, i);
    if (it.picture == r && it.bitmap) return;
    it.picture = r;
    if (it.bitmap) DeleteObject(it.bitmap);
    it.bitmap = LoadBitmapResource(r);
    if (it.def.kind == Kind::StatusBar && it.hwnd) return ShowStatusPicture(it);
    InvalidateItem(it);
}

// A status bar shows a picture as the icon of its first panel.
void FormWindow::ShowStatusPicture(Ctrl& it) {
    if (it.icon) DestroyIcon(it.icon);
    it.icon = nullptr;
    if (it.bitmap) {
        BITMAP bm;
        GetObjectW(it.bitmap, sizeof(bm), &bm);
        std::vector<BYTE> clear(((bm.bmWidth + 15) / 16) * 2 * bm.bmHeight, 0);  // all opaque
        HBITMAP mask = CreateBitmap(bm.bmWidth, bm.bmHeight, 1, 1, clear.data());
        ICONINFO ii{TRUE, 0, 0, mask, it.bitmap};
        it.icon = CreateIconIndirect(&ii);
        DeleteObject(mask);
    }
    SendMessageW(it.hwnd, SB_SETICON, it.def.items.empty() ? WPARAM(-1) : 0, reinterpret_cast<LPARAM>(it.icon));
}

std::wstring FormWindow::GetPicture(const std::wstring& n, int i) { return At(n, i).picture; }

void FormWindow::Move(const std::wstring& n, int i, int left, int top) {
    Ctrl& it = At(n, i);
    InvalidateItem(it);
    it.left = left;
    it.top = top;
    if (it.hwnd)
        SetWindowPos(it.hwnd, nullptr, Px(left) - it.offX, Px(top) - it.offY, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    else InvalidateItem(it);
}

int FormWindow::GetLeft(const std::wstring& n, int i) { return At(n, i).left; }
int FormWindow::GetTop(const std::wstring& n, int i) { return At(n, i).top; }

namespace {
bool IsCombo(Kind k) { return k == Kind::ComboList || k == Kind::ComboEdit; }
}  // namespace

void FormWindow::ClearItems(const std::wstring& n, int i) {
    Ctrl& it = At(n, i);
    SendMessageW(it.hwnd, IsCombo(it.def.kind) ? CB_RESETCONTENT : LB_RESETCONTENT, 0, 0);
}

void FormWindow::AddItem(const std::wstring& n, int i, const std::wstring& item) {
    Ctrl& it = At(n, i);
    SendMessageW(it.hwnd, IsCombo(it.def.kind) ? CB_ADDSTRING : LB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>(item.c_str()));
}

void FormWindow::RemoveItem(const std::wstring& n, int i, int at) {
    Ctrl& it = At(n, i);
    SendMessageW(it.hwnd, IsCombo(it.def.kind) ? CB_DELETESTRING : LB_DELETESTRING, at, 0);
}

int FormWindow::ItemCount(const std::wstring& n, int i) {
    Ctrl& it = At(n, i);
    return int(SendMessageW(it.hwnd, IsCombo(it.def.kind) ? CB_GETCOUNT : LB_GETCOUNT, 0, 0));
}

std::wstring FormWindow::Item(const std::wstring& n, int i, int at) {
    FormWindow::Ctrl& it = At(n, i);
    bool combo = IsCombo(it.def.kind);
    LRESULT len = SendMessageW(it.hwnd, combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, at, 0);
    if (len < 0) return L"";
    std::wstring s(len + 1, L'\0');
    SendMessageW(it.hwnd, combo ? CB_GETLBTEXT : LB_GETTEXT, at, reinterpret_cast<LPARAM>(s.data()));
    s.resize(len);
    return s;
}

int FormWindow::GetListIndex(const std::wstring& n, int i) {
    FormWindow::Ctrl& it = At(n, i);
    return int(SendMessageW(it.hwnd, IsCombo(it.def.kind) ? CB_GETCURSEL : LB_GETCURSEL, 0, 0));
}

void FormWindow::SetListIndex(const std::wstring& n, int i, int at) {
    FormWindow::Ctrl& it = At(n, i);
    // No Click: the logic that chooses by code calls its handler itself when it
    // wants one, the same here as with the in-memory controls of the tests.
    SendMessageW(it.hwnd, IsCombo(it.def.kind) ? CB_SETCURSEL : LB_SETCURSEL, at, 0);
}

std::tm FormWindow::GetDateTime(const std::wstring& n, int i) {
    SYSTEMTIME st{};
    SendMessageW(At(n, i).hwnd, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st));
    return ToTm(st);
}

void FormWindow::SetDateTime(const std::wstring& n, int i, const std::tm& v) {
    SYSTEMTIME st = ToSystemTime(v);
    SendMessageW(At(n, i).hwnd, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st));
}

void FormWindow::SetPanelText(const std::wstring& n, int panel, const std::wstring& t) {
    FormWindow::Ctrl& it = At(n, -1);
    if (panel < 0) it.text = t;
    SendMessageW(it.hwnd, SB_SETTEXTW, panel < 0 ? 255 : panel, reinterpret_cast<LPARAM>(t.c_str()));
}

std::wstring FormWindow::GetPanelText(const std::wstring& n, int panel) {
    FormWindow::Ctrl& it = At(n, -1);
    if (panel < 0) return it.text;
    LRESULT len = LOWORD(SendMessageW(it.hwnd, SB_GETTEXTLENGTHW, panel, 0));
    std::wstring s(len + 1, L'\0');
    SendMessageW(it.hwnd, SB_GETTEXTW, panel, reinterpret_cast<LPARAM>(s.data()));
    s.resize(len);
    return s;
}

int FormWindow::GetTab(const std::wstring& n) { return int(SendMessageW(At(n, -1).hwnd, TCM_GETCURSEL, 0, 0)); }

void FormWindow::SetTab(const std::wstring& n, int page) {
    FormWindow::Ctrl& it = At(n, -1);
    SendMessageW(it.hwnd, TCM_SETCURSEL, page, 0);
    for (int k = 0; k < int(it.pages.size()); ++k) ShowWindow(it.pages[k], k == page ? SW_SHOW : SW_HIDE);
}

void FormWindow::SetTimer(const std::wstring& n, bool on, int ms) {
    FormWindow::Ctrl& it = At(n, -1);
    it.timerOn = on;
    it.interval = ms;
    KillTimer(hwnd_, it.id);
    if (on && ms > 0) ::SetTimer(hwnd_, it.id, ms, nullptr);
}

bool FormWindow::GetTimerEnabled(const std::wstring& n) { return At(n, -1).timerOn; }

void FormWindow::SetMenuEnabled(const std::wstring& n, int i, bool on) {
    auto mid = menuIds_.find({n, i});
    if (mid == menuIds_.end()) return;
    if (menuBar_) EnableMenuItem(menuBar_, mid->second, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED));
    for (auto& [name, m] : popups_)
        if (m) EnableMenuItem(m, mid->second, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED));
    if (menuBar_) DrawMenuBar(hwnd_);
}

void FormWindow::PopupMenu(const std::wstring& n) {
    auto it = popups_.find(n);
    if (it == popups_.end() || !it->second) return;
    POINT pt;
    GetCursorPos(&pt);
    // Without this the menu stays open when the user clicks elsewhere.
    SetForegroundWindow(hwnd_);
    UINT cmd = TrackPopupMenu(it->second, TPM_RETURNCMD | TPM_RIGHTBUTTON, pt.x, pt.y, 0, hwnd_, nullptr);
    PostMessageW(hwnd_, WM_NULL, 0, 0);
    if (cmd) PostMessageW(hwnd_, WM_COMMAND, MAKEWPARAM(cmd, 0), 0);
}

ControlPort* FormWindow::Port(const std::wstring& n, int i) {
    At(n, i);
    return nullptr;
}

void FormWindow::SetCaption(const std::wstring& c) { SetWindowTextW(hwnd_, c.c_str()); }

std::wstring FormWindow::GetCaption() {
    int len = GetWindowTextLengthW(hwnd_);
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
    int pw = Px(w), ph = Px(h);
    if (r.right - r.left == pw && r.bottom - r.top == ph) return;
    SetWindowPos(hwnd_, nullptr, 0, 0, pw, ph, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// ------------------------------------------------------------ folder tree

void FormWindow::FillFolderTree(Ctrl& it) {
    SHFILEINFOW sfi{};
    HIMAGELIST icons = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoW(L"C:\\", 0, &sfi, sizeof(sfi), SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    if (icons) SendMessageW(it.hwnd, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(icons));
    auto iconOf = [](LPCITEMIDLIST pidl) {
        SHFILEINFOW info{};
        SHGetFileInfoW(reinterpret_cast<LPCWSTR>(pidl), 0, &info, sizeof(info),
                       SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
        return info.iIcon;
    };
    auto add = [&](HTREEITEM parent, const std::wstring& path, const std::wstring& display, int icon,
                   bool children) {
        auto node = std::make_unique<TreeNode>();
        node->path = path;
        node->display = display;
        TVINSERTSTRUCTW ins{};
        ins.hParent = parent;
        ins.hInsertAfter = TVI_LAST;
        ins.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_CHILDREN | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
        ins.item.pszText = const_cast<wchar_t*>(display.c_str());
        ins.item.lParam = reinterpret_cast<LPARAM>(node.get());
        ins.item.cChildren = children ? 1 : 0;
        ins.item.iImage = ins.item.iSelectedImage = icon;
        it.nodes.push_back(std::move(node));
        return reinterpret_cast<HTREEITEM>(SendMessageW(it.hwnd, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&ins)));
    };
    auto special = [&](int csidl) {
        LPITEMIDLIST pidl = nullptr;
        int icon = 0;
        if (SHGetSpecialFolderLocation(nullptr, csidl, &pidl) == S_OK) {
            icon = iconOf(pidl);
            CoTaskMemFree(pidl);
        }
        return icon;
    };
    HTREEITEM root = add(TVI_ROOT, L"", L"我的电脑", special(CSIDL_DRIVES), false);
    wchar_t drives[256];
    DWORD n = GetLogicalDriveStringsW(255, drives);
    for (const wchar_t* d = drives; n && *d; d += lstrlenW(d) + 1) {
        std::wstring path = d;
        SHFILEINFOW info{};
        SHGetFileInfoW(path.c_str(), 0, &info, sizeof(info), SHGFI_DISPLAYNAME | SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
        std::wstring display = info.szDisplayName[0] ? info.szDisplayName : path;
        const size_t first = display.find_first_not_of(L' ');
        if (first == std::wstring::npos || display[first] == L'(' || display == path) {
            // A drive without a label: name its kind, as the system's own tree does.
            const wchar_t* kind = L"本地磁盘";
            switch (GetDriveTypeW(path.c_str())) {
            case DRIVE_REMOVABLE: kind = L"可移动磁盘"; break;
            case DRIVE_CDROM: kind = L"CD 驱动器"; break;
            case DRIVE_REMOTE: kind = L"网络驱动器"; break;
            default: break;
            }
            display = std::wstring(kind) + L" (" + path.substr(0, 2) + L")";
        }
        add(root, path, display, info.iIcon, true);
    }
    const std::pair<int, const wchar_t*> shellFolders[] = {
        {CSIDL_CONTROLS, L"控制面板"}, {CSIDL_DESKTOP, L"桌面"}, {CSIDL_NETWORK, L"网上邻居"},
        {CSIDL_BITBUCKET, L"回收站"}};
    for (const auto& [csidl, name] : shellFolders) add(root, L"", name, special(csidl), false);
    SendMessageW(it.hwnd, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(root));
    SendMessageW(it.hwnd, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(root));
}

void FormWindow::ExpandFolder(HWND tree, HTREEITEM item) {
    TVITEMW tvi{};
    tvi.mask = TVIF_PARAM;
    tvi.hItem = item;
    SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tvi));
    auto* node = reinterpret_cast<TreeNode*>(tvi.lParam);
    if (!node || node->filled || node->path.empty()) return;
    node->filled = true;
    Ctrl* owner = ItemOfHandle(tree);
    if (!owner) return;
    std::wstring base = node->path;
    if (base.back() != L'\\') base += L'\\';
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((base + L"*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
            if (fd.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) continue;
            if (!lstrcmpW(fd.cFileName, L".") || !lstrcmpW(fd.cFileName, L"..")) continue;
            names.push_back(fd.cFileName);
        } while (FindNextFileW(h, &fd));
        FindClose(h);
    }
    std::sort(names.begin(), names.end(), [](const std::wstring& a, const std::wstring& b) {
        return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), -1, b.c_str(), -1) == CSTR_LESS_THAN;
    });
    SHFILEINFOW info{};
    SHGetFileInfoW(L"folder", FILE_ATTRIBUTE_DIRECTORY, &info, sizeof(info),
                   SHGFI_USEFILEATTRIBUTES | SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
    SHFILEINFOW open{};
    SHGetFileInfoW(L"folder", FILE_ATTRIBUTE_DIRECTORY, &open, sizeof(open),
                   SHGFI_USEFILEATTRIBUTES | SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_OPENICON);
    for (const auto& name : names) {
        auto child = std::make_unique<TreeNode>();
        child->path = base + name;
        child->display = name;
        TVINSERTSTRUCTW ins{};
        ins.hParent = item;
        ins.hInsertAfter = TVI_LAST;
        ins.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_CHILDREN | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
        ins.item.pszText = const_cast<wchar_t*>(child->display.c_str());
        ins.item.lParam = reinterpret_cast<LPARAM>(child.get());
        ins.item.cChildren = 1;
        ins.item.iImage = info.iIcon;
        ins.item.iSelectedImage = open.iIcon;
        owner->nodes.push_back(std::move(child));
        SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&ins));
    }
    if (names.empty()) {
        tvi.mask = TVIF_CHILDREN;
        tvi.cChildren = 0;
        SendMessageW(tree, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&tvi));
    }
}

std::wstring FormWindow::TreeSelection(const Ctrl& it) const {
    if (it.treePending) return L"我的电脑";  // what it selects once filled
    auto sel = reinterpret_cast<HTREEITEM>(SendMessageW(it.hwnd, TVM_GETNEXTITEM, TVGN_CARET, 0));
    if (!sel) return L"";
    TVITEMW tvi{};
    tvi.mask = TVIF_PARAM;
    tvi.hItem = sel;
    SendMessageW(it.hwnd, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tvi));
    auto* node = reinterpret_cast<TreeNode*>(tvi.lParam);
    if (!node) return L"";
    return node->path.empty() ? node->display : node->path;
}

// ------------------------------------------------------------ messages

LRESULT CALLBACK FormWindow::Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(l);
        if (cs->lpCreateParams) SetWindowLongPtrW(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    }
    auto* self = reinterpret_cast<FormWindow*>(GetWindowLongPtrW(h, GWLP_USERDATA));
    if (!self) {
        // A box made before its pointer is set: find the form through its parent.
        HWND root = GetAncestor(h, GA_ROOT);
        if (root && root != h) self = reinterpret_cast<FormWindow*>(GetWindowLongPtrW(root, GWLP_USERDATA));
        if (self && m == WM_NCCREATE) SetWindowLongPtrW(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    if (!self || (self->hwnd_ == nullptr && h != nullptr && m != WM_NCCREATE && m != WM_CREATE))
        return DefWindowProcW(h, m, w, l);
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
    const Ctrl* boxItem = box == hwnd_ ? nullptr : ItemOfHandle(box);
    Color back = back_;
    if (boxItem) back = boxItem->back;
    else if (box != hwnd_) {
        // a tab page takes the colour of its tab's container
        back = kFormBack;
    }
    FillRect(dc, &rc, Brush(back));
    SetBkMode(dc, TRANSPARENT);
    if (boxItem && boxItem->def.kind == Kind::Frame) {
        HFONT old = static_cast<HFONT>(SelectObject(dc, formFont_));
        SIZE sz;
        GetTextExtentPoint32W(dc, L"国", 1, &sz);
        RECT edge = rc;
        edge.top += sz.cy / 2;
        DrawEdge(dc, &edge, EDGE_ETCHED, BF_RECT);
        if (!boxItem->text.empty()) {
            SIZE ts;
            GetTextExtentPoint32W(dc, boxItem->text.c_str(), int(boxItem->text.size()), &ts);
            RECT tr{Px(120), 0, Px(120) + ts.cx + 4, ts.cy};
            FillRect(dc, &tr, Brush(back));
            SetTextColor(dc, boxItem->fore);
            TextOutW(dc, tr.left + 2, 0, boxItem->text.c_str(), int(boxItem->text.size()));
        }
        SelectObject(dc, old);
    }
    for (auto& up : items_) {
        const Ctrl& it = *up;
        if (it.hwnd || it.parent != box || !it.visible) continue;
        RECT r = PixelRect(it);
        if (it.def.kind == Kind::Image && it.bitmap) {
            BITMAP bm;
            GetObjectW(it.bitmap, sizeof(bm), &bm);
            HDC mem = CreateCompatibleDC(dc);
            HGDIOBJ old = SelectObject(mem, it.bitmap);
            int w = r.right - r.left, h = r.bottom - r.top;
            if (w == bm.bmWidth) BitBlt(dc, r.left, r.top, w, h, mem, 0, 0, SRCCOPY);
            else StretchBlt(dc, r.left, r.top, w, h, mem, 0, 0, bm.bmWidth, bm.bmHeight, SRCCOPY);
            SelectObject(mem, old);
            DeleteDC(mem);
        } else if (it.def.kind == Kind::Label) {
            FillRect(dc, &r, Brush(it.back));
            HFONT f = it.def.font.empty() && !it.def.fontPoints10 && !(it.def.style & kBold)
                          ? formFont_
                          : Font(it.def.font.empty() ? L"SimSun" : it.def.font,
                                 it.def.fontPoints10 ? it.def.fontPoints10 : 90, (it.def.style & kBold) != 0);
            HGDIOBJ old = SelectObject(dc, f);
            SetTextColor(dc, it.enabled ? it.fore : GetSysColor(COLOR_GRAYTEXT));
            UINT fmt = DT_NOPREFIX | DT_WORDBREAK | DT_EDITCONTROL;
            if (it.def.style & kCenter) fmt |= DT_CENTER;
            if (it.def.style & kRight) fmt |= DT_RIGHT;
            DrawTextW(dc, it.text.c_str(), int(it.text.size()), &r, fmt);
            SelectObject(dc, old);
        }
    }
}

FormWindow::Ctrl* FormWindow::Windowless(HWND box, POINT pt) {
    // The last drawn is on top.
    for (auto k = items_.rbegin(); k != items_.rend(); ++k) {
        Ctrl& it = **k;
        if (it.hwnd || it.parent != box || !it.visible) continue;
        if (it.def.kind != Kind::Image && it.def.kind != Kind::Label) continue;
        RECT r = PixelRect(it);
        if (PtInRect(&r, pt)) return &it;
    }
    return nullptr;
}

void FormWindow::BoxMouse(HWND box, UINT m, LPARAM l) {
    POINT pt{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
    Ctrl* hit = Windowless(box, pt);
    std::wstring name = box == hwnd_ ? L"" : boxes_[box];
    int index = -1;
    if (hit) {
        name = hit->def.name;
        index = hit->def.index;
        RECT r = PixelRect(*hit);
        pt.x -= r.left;
        pt.y -= r.top;
    } else if (box != hwnd_) {
        if (const Ctrl* b = ItemOfHandle(box)) index = b->def.index;
    }
    Event e{EventKind::MouseMove, name, index};
    e.x = Twips(pt.x);
    e.y = Twips(pt.y);
    switch (m) {
    case WM_MOUSEMOVE: Fire(e); return;
    case WM_LBUTTONDOWN:
        pressed_ = hit;
        SetCapture(box);
        return;
    case WM_LBUTTONUP: {
        ReleaseCapture();
        bool click = pressed_ == hit;
        pressed_ = nullptr;
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

bool FormWindow::HandleCommand(HWND child, int code) {
    Ctrl* it = ItemOfHandle(child);
    if (!it) return false;
    const std::wstring& n = it->def.name;
    int i = it->def.index;
    switch (it->def.kind) {
    case Kind::Button:
    case Kind::Check:
        if (code == BN_CLICKED) Fire({EventKind::Click, n, i, 1});
        return true;
    case Kind::Option:
        if (code == BN_CLICKED) {
            SetChecked(n, i, true);
            Fire({EventKind::Click, n, i, 1});
        }
        return true;
    case Kind::TextBox:
        if (code == EN_CHANGE) Fire({EventKind::Change, n, i});
        return true;
    case Kind::ComboList:
    case Kind::ComboEdit:
        if (code == CBN_SELCHANGE) Fire({EventKind::Click, n, i, 1});
        else if (code == CBN_EDITCHANGE) Fire({EventKind::Change, n, i});
        return true;
    case Kind::ListBox:
        if (code == LBN_SELCHANGE) Fire({EventKind::Click, n, i, 1});
        else if (code == LBN_DBLCLK) Fire({EventKind::DblClick, n, i, 1});
        return true;
    default: return false;
    }
}

bool FormWindow::HandleNotify(NMHDR* hdr, LRESULT& result) {
    Ctrl* it = ItemOfHandle(hdr->hwndFrom);
    if (!it) return false;
    const std::wstring& n = it->def.name;
    int i = it->def.index;
    switch (it->def.kind) {
    case Kind::FolderTree:
        if (hdr->code == TVN_ITEMEXPANDINGW) {
            auto* nm = reinterpret_cast<NMTREEVIEWW*>(hdr);
            if (nm->action & TVE_EXPAND) ExpandFolder(hdr->hwndFrom, nm->itemNew.hItem);
        } else if (hdr->code == TVN_SELCHANGEDW && !fillingTree_) {
            Fire({EventKind::Select, n, i});
        }
        return true;
    case Kind::Tab:
        if (hdr->code == TCN_SELCHANGE) {
            int page = GetTab(n);
            for (int k = 0; k < int(it->pages.size()); ++k) ShowWindow(it->pages[k], k == page ? SW_SHOW : SW_HIDE);
            Fire({EventKind::Click, n, page, 1});
        }
        return true;
    case Kind::StatusBar:
        if (hdr->code == NM_CLICK || hdr->code == NM_DBLCLK) {
            auto* nm = reinterpret_cast<NMMOUSE*>(hdr);
            Fire({hdr->code == NM_CLICK ? EventKind::Click : EventKind::DblClick, n, int(nm->dwItemSpec), 1});
        }
        return true;
    case Kind::TimePicker:
    case Kind::DatePicker:
        if (hdr->code == DTN_DATETIMECHANGE) Fire({EventKind::Change, n, i});
        return true;
    case Kind::UpDown:
        if (hdr->code == UDN_DELTAPOS) {
            result = 0;
            PostMessageW(hwnd_, WM_APP + 3, reinterpret_cast<WPARAM>(hdr->hwndFrom), 0);
        }
        return true;
    default: return false;
    }
}

LRESULT FormWindow::Handle(HWND h, UINT m, WPARAM w, LPARAM l) {
    const bool isForm = h == hwnd_;
    switch (m) {
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(h, &ps);
        // Draw off screen: the spider moves twice a second and must not flicker.
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
    case WM_CTLCOLORLISTBOX: {
        Ctrl* it = ItemOfHandle(reinterpret_cast<HWND>(l));
        if (!it) break;
        HDC dc = reinterpret_cast<HDC>(w);
        if (m == WM_CTLCOLOREDIT || m == WM_CTLCOLORLISTBOX) {
            if (it->back == kFormBack) break;  // the system's white fields
        }
        SetTextColor(dc, it->fore);
        SetBkColor(dc, it->back);
        return reinterpret_cast<LRESULT>(Brush(it->back));
    }
    case WM_SETCURSOR: {
        HWND over = reinterpret_cast<HWND>(w);
        if (LOWORD(l) != HTCLIENT) break;
        Ctrl* child = over != h ? ItemOfHandle(over) : nullptr;
        if (child && HIWORD(l) == WM_MOUSEMOVE) {
            // Controls with windows of their own tell the form of the pointer
            // only through this message; it is their MouseMove.
            POINT pt;
            GetCursorPos(&pt);
            ScreenToClient(over, &pt);
            Event e{EventKind::MouseMove, child->def.name, child->def.index};
            e.x = Twips(pt.x);
            e.y = Twips(pt.y);
            Fire(e);
            child = ItemOfHandle(over);  // the handler may have changed the window
        }
        if (child && (child->def.style & kHandCursor)) {
            SetCursor(HandCursor());
            return TRUE;
        }
        if (over == h) {
            POINT pt;
            GetCursorPos(&pt);
            ScreenToClient(h, &pt);
            if (Ctrl* it = Windowless(h, pt); it && (it->def.style & kHandCursor)) {
                SetCursor(HandCursor());
                return TRUE;
            }
        }
        break;
    }
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_LBUTTONDBLCLK: BoxMouse(h, m, l); return 0;
    case WM_COMMAND:
        if (l == 0 && HIWORD(w) == 0) {
            auto key = menuKeys_.find(LOWORD(w));
            if (key != menuKeys_.end()) Fire({EventKind::Menu, key->second.first, key->second.second});
            return 0;
        }
        if (HandleCommand(reinterpret_cast<HWND>(l), HIWORD(w))) return 0;
        break;
    case WM_NOTIFY: {
        LRESULT result = 0;
        if (HandleNotify(reinterpret_cast<NMHDR*>(l), result)) return result;
        break;
    }
    case WM_VSCROLL:
    case WM_HSCROLL:
        if (Ctrl* it = ItemOfHandle(reinterpret_cast<HWND>(l)); it && it->def.kind == Kind::UpDown) {
            if (LOWORD(w) != SB_ENDSCROLL) Fire({EventKind::Change, it->def.name, it->def.index});
            return 0;
        }
        break;
    case WM_TIMER:
        if (isForm) {
            auto t = timerNames_.find(w);
            if (t != timerNames_.end()) Fire({EventKind::Timer, t->second});
            return 0;
        }
        break;
    case WM_SIZE:
        if (isForm) {
            Fire({EventKind::Resize, L""});
            for (auto& it : items_)
                if (it->def.kind == Kind::StatusBar && it->hwnd) SendMessageW(it->hwnd, WM_SIZE, 0, 0);
            return 0;
        }
        break;
    case WM_SHOWWINDOW:
        if (isForm && w)
            for (auto& it : items_)
                if (it->treePending) {
                    it->treePending = false;
                    fillingTree_ = true;  // its first selection is not the user's
                    FillFolderTree(*it);
                    fillingTree_ = false;
                }
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
    case kTrayMessage:
        if (isForm) {
            switch (l) {
            case WM_LBUTTONUP: Fire({EventKind::TrayMouse, def_.trayName, -1, 1}); break;
            case WM_RBUTTONUP: Fire({EventKind::TrayMouse, def_.trayName, -1, 2}); break;
            case WM_LBUTTONDBLCLK: {
                Event e{EventKind::TrayMouse, def_.trayName, -1, 1};
                e.dbl = true;
                Fire(e);
                break;
            }
            }
            return 0;
        }
        break;
    case kReleaseMessage: ui_.ReleaseUnloaded(); return 0;
    default:
        if (m == WM_APP + 3) {
            Ctrl* it = ItemOfHandle(reinterpret_cast<HWND>(w));
            if (it) Fire({EventKind::Change, it->def.name, it->def.index});
            return 0;
        }
        if (isForm && taskbarCreated_ && m == taskbarCreated_ && !def_.trayName.empty()) {
            // Explorer restarted: the icon has to be added again.
            AddTray();
            return 0;
        }
    }
    return DefWindowProcW(h, m, w, l);
}

// ------------------------------------------------------------ Win32Ui

Win32Ui::Win32Ui(HINSTANCE instance, FormFactory& factory) : instance_(instance), factory_(factory) {}

Win32Ui::~Win32Ui() {
    unloaded_.clear();
    forms_.clear();
}

FormWindow* Win32Ui::Window(const std::wstring& form) {
    auto it = forms_.find(form);
    return it == forms_.end() ? nullptr : it->second.get();
}

void Win32Ui::LoadForm(const std::wstring& form) {
    if (IsLoaded(form)) return;
    std::unique_ptr<FormLogic> logic = factory_.Make(form);
    if (!logic) return;
    auto window = std::make_unique<FormWindow>(*this, std::move(logic));
    FormWindow* w = window.get();
    if (!w->Create()) return;
    w->BindLogic();
    forms_[form] = std::move(window);
    quitPosted_ = false;
    w->Fire({EventKind::Load, L""});
}

void Win32Ui::ShowForm(const std::wstring& form) {
    LoadForm(form);
    if (FormWindow* w = Window(form)) {
        if (!IsWindowVisible(w->Handle())) ShowWindow(w->Handle(), IsIconic(w->Handle()) ? SW_RESTORE : SW_SHOW);
        SetForegroundWindow(w->Handle());
    }
}

void Win32Ui::HideForm(const std::wstring& form) {
    if (FormWindow* w = Window(form)) ShowWindow(w->Handle(), SW_HIDE);
}

void Win32Ui::UnloadForm(const std::wstring& form) {
    auto it = forms_.find(form);
    if (it == forms_.end()) return;
    std::unique_ptr<FormWindow> w = std::move(it->second);
    forms_.erase(it);
    FormWindow* raw = w.get();
    // The window may be unloading itself from inside its own handler: keep the
    // object until the message loop is back.
    unloaded_.push_back(std::move(w));
    raw->Fire({EventKind::Unload, L""});
    raw->Destroy();
    if (forms_.empty() && !quitPosted_) {
        quitPosted_ = true;
        PostQuitMessage(0);
    }
    HWND any = nullptr;
    for (auto& [n, f] : forms_)
        if (f->Handle()) any = f->Handle();
    if (any) PostMessageW(any, kReleaseMessage, 0, 0);
}

void Win32Ui::ReleaseUnloaded() { unloaded_.clear(); }

bool Win32Ui::IsVisible(const std::wstring& form) {
    FormWindow* w = Window(form);
    return w && IsWindowVisible(w->Handle());
}

void Win32Ui::SetWindowState(const std::wstring& form, WindowState s) {
    FormWindow* w = Window(form);
    if (!w) return;
    HWND h = w->Handle();
    bool visible = IsWindowVisible(h) != FALSE;
    switch (s) {
    case WindowState::Normal:
        if (IsIconic(h) || IsZoomed(h)) ShowWindow(h, visible ? SW_RESTORE : SW_SHOWNOACTIVATE);
        break;
    case WindowState::Minimized: ShowWindow(h, SW_MINIMIZE); break;
    case WindowState::Maximized: ShowWindow(h, SW_MAXIMIZE); break;
    }
}

WindowState Win32Ui::GetWindowState(const std::wstring& form) {
    FormWindow* w = Window(form);
    if (!w) return WindowState::Normal;
    if (IsIconic(w->Handle())) return WindowState::Minimized;
    if (IsZoomed(w->Handle())) return WindowState::Maximized;
    return WindowState::Normal;
}

void Win32Ui::SetTopmost(const std::wstring& form, bool topmost) {
    FormWindow* w = Window(form);
    if (!w) return;
    if (topmost) SetWindowPos(w->Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE);
    else SetWindowPos(w->Handle(), HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void Win32Ui::EndProgram() {
    for (auto it = forms_.begin(); it != forms_.end(); it = forms_.begin()) UnloadForm(it->first);
}

HWND Win32Ui::ActiveOwner() const {
    HWND active = GetActiveWindow();
    for (auto& [n, f] : forms_)
        if (f->Handle() == active) return active;
    return nullptr;
}

int Win32Ui::MsgBox(const std::wstring& text, int flags, const std::wstring& title) {
    return MessageBoxW(ActiveOwner(), text.c_str(), title.empty() ? kAppTitle : title.c_str(),
                       static_cast<UINT>(flags) | MB_SETFOREGROUND);
}

std::wstring Win32Ui::InputBox(const std::wstring& prompt, const std::wstring& title, const std::wstring& def) {
    return RunInputBox(instance_, ActiveOwner(), prompt, title.empty() ? kAppTitle : title, def);
}

std::wstring Win32Ui::OpenFileDialog(const std::wstring& title, const std::wstring& filter) {
    std::wstring f = filter;
    for (auto& c : f)
        if (c == L'|') c = L'\0';
    f.push_back(L'\0');
    f.push_back(L'\0');
    std::wstring file(32768, L'\0');
    OPENFILENAMEW ofn{};
    ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400W;
    ofn.hwndOwner = ActiveOwner();
    ofn.lpstrFilter = f.c_str();
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = DWORD(file.size());
    ofn.lpstrTitle = title.c_str();
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_EXPLORER;
    if (!GetOpenFileNameW(&ofn)) return L"";
    file.resize(lstrlenW(file.c_str()));
    return file;
}

void Win32Ui::ReportFault(const char* what) {
    std::wstring w;
    for (const char* p = what; *p; ++p) w += static_cast<wchar_t>(static_cast<unsigned char>(*p));
    MessageBoxW(nullptr, (L"程序内部错误：" + w).c_str(), kAppTitle, MB_OK | MB_ICONERROR);
}

int Win32Ui::Run() {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        HWND root = GetAncestor(msg.hwnd, GA_ROOT);
        bool ours = false;
        for (auto& [n, f] : forms_)
            if (f->Handle() == root) ours = true;
        if (ours && IsDialogMessageW(root, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    unloaded_.clear();
    return int(msg.wParam);
}

void Win32Ui::DoEvents() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(int(msg.wParam));
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

}  // namespace lz
