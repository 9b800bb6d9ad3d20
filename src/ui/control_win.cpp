#include "ui/control_win.h"

#include <map>
#include <stdexcept>

#include "ui/form_window_win.h"

namespace lz {

namespace {

std::string Narrow(const std::wstring& w) {
    std::string s;
    for (wchar_t c : w) s += c < 128 ? char(c) : '?';
    return s;
}

std::map<Kind, ControlMaker>& ExtraKinds() {
    static std::map<Kind, ControlMaker> kinds;
    return kinds;
}

}  // namespace

Control::Control(FormWindow& form, const ControlDef& def)
    : form_(form),
      def_(def),
      text_(def.kind == Kind::Image ? L"" : def.caption),
      picture_(def.kind == Kind::Image ? def.caption : L""),
      fore_(def.fore),
      back_(def.back),
      visible_(!(def.style & kHidden)),
      enabled_(!(def.style & kDisabled)),
      left_(def.left),
      top_(def.top) {}

Control::~Control() = default;

void Control::Create(HWND parent, POINT origin, UINT id) {
    parent_ = parent;
    origin_ = origin;
    id_ = id;
    Build();
}

void RegisterChildClass(const wchar_t* name, WNDPROC proc, UINT classStyle) {
    // A second registration of the same name fails harmlessly.
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = classStyle;
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = name;
    RegisterClassExW(&wc);
}

void Control::Make(DWORD exStyle, const wchar_t* cls, DWORD style, const std::wstring& text) {
    const RECT r = PixelRect();
    style |= WS_CHILD | (visible_ ? WS_VISIBLE : 0) | (enabled_ ? 0 : WS_DISABLED);
    hwnd_ = CreateWindowExW(exStyle, cls, text.c_str(), style, r.left, r.top, r.right - r.left, r.bottom - r.top,
                            parent_, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id_)),
                            GetModuleHandleW(nullptr), nullptr);
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(form_.FontFor(def_)), FALSE);
    if (!def_.tip.empty()) form_.AddTip(hwnd_, def_.tip);
}

void Control::Fire(EventKind kind, int index, int button) {
    Event e{kind, def_.name, index, button};
    form_.Fire(e);
}

[[noreturn]] void Control::Refuse(const char* what) const {
    throw std::logic_error(Narrow(def_.name) + "(" + std::to_string(def_.index) + ") has no " + what);
}

bool Control::OnCommand(int) { return false; }
bool Control::OnNotify(NMHDR*, LRESULT&) { return false; }
bool Control::OnScroll(WPARAM) { return false; }

HBRUSH Control::CtlColor(HDC dc, UINT) {
    SetTextColor(dc, fore_);
    SetBkColor(dc, back_);
    return form_.Brush(back_);
}

void Control::SetText(const std::wstring& text) {
    text_ = text;
    if (hwnd_) SetWindowTextW(hwnd_, text.c_str());
}

std::wstring Control::GetText() {
    if (!hwnd_) return text_;
    const int len = GetWindowTextLengthW(hwnd_);
    std::wstring s(len + 1, L'\0');
    GetWindowTextW(hwnd_, s.data(), len + 1);
    s.resize(lstrlenW(s.c_str()));
    return s;
}

void Control::SetEnabled(bool on) {
    enabled_ = on;
    if (hwnd_) EnableWindow(hwnd_, on);
}

void Control::SetVisible(bool on) {
    visible_ = on;
    if (hwnd_) ShowWindow(hwnd_, on ? SW_SHOWNA : SW_HIDE);
}

void Control::SetChecked(bool) { Refuse("check mark"); }
bool Control::GetChecked() { Refuse("check mark"); }

void Control::SetForeColor(Color c) {
    if (fore_ == c) return;
    fore_ = c;
    Invalidate();
}

void Control::SetBackColor(Color c) {
    if (back_ == c) return;
    back_ = c;
    Invalidate();
}

void Control::Focus() {
    if (hwnd_) ::SetFocus(hwnd_);
}

void Control::SetPicture(const std::wstring& resource) { picture_ = resource; }

void Control::Move(int left, int top) {
    left_ = left;
    top_ = top;
    if (!hwnd_) return;
    const RECT r = PixelRect();
    SetWindowPos(hwnd_, nullptr, r.left, r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT Control::PixelRect() const {
    RECT r{origin_.x + form_.Px(left_), origin_.y + form_.Px(top_), 0, 0};
    r.right = r.left + form_.Px(def_.width);
    r.bottom = r.top + form_.Px(def_.height);
    return r;
}

void Control::Invalidate() {
    if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

void Control::ClearItems() { Refuse("items"); }
void Control::AddItem(const std::wstring&) { Refuse("items"); }
void Control::RemoveItem(int) { Refuse("items"); }
int Control::ItemCount() { Refuse("items"); }
std::wstring Control::Item(int) { Refuse("items"); }
int Control::GetListIndex() { Refuse("items"); }
void Control::SetListIndex(int) { Refuse("items"); }
std::tm Control::GetDateTime() { Refuse("date"); }
void Control::SetDateTime(const std::tm&) { Refuse("date"); }
void Control::SetPanelText(int, const std::wstring&) { Refuse("panels"); }
std::wstring Control::GetPanelText(int) { Refuse("panels"); }
int Control::GetTab() { Refuse("pages"); }
void Control::SetTab(int) { Refuse("pages"); }
void Control::SetTimer(bool, int) { Refuse("timer"); }
bool Control::GetTimerEnabled() { Refuse("timer"); }

void RegisterControlKind(Kind kind, ControlMaker maker) { ExtraKinds()[kind] = maker; }

std::unique_ptr<Control> MakeControl(FormWindow& form, const ControlDef& def) {
    auto extra = ExtraKinds().find(def.kind);
    if (extra != ExtraKinds().end()) return extra->second(form, def);
    switch (def.kind) {
    case Kind::Label: return MakeLabel(form, def);
    case Kind::Image: return MakeImage(form, def);
    case Kind::PictureBox:
    case Kind::Frame:
    case Kind::Browser: return MakeBox(form, def);
    case Kind::TextBox: return MakeTextBox(form, def);
    case Kind::Button:
    case Kind::Option:
    case Kind::Check: return MakeButton(form, def);
    case Kind::ComboList:
    case Kind::ComboEdit:
    case Kind::ListBox: return MakeList(form, def);
    case Kind::StatusBar: return MakeStatusBar(form, def);
    case Kind::TimePicker:
    case Kind::DatePicker: return MakeDateTime(form, def);
    case Kind::UpDown: return MakeUpDown(form, def);
    case Kind::Tab: return MakeTab(form, def);
    case Kind::FolderTree: return MakeFolderTree(form, def);
    case Kind::Timer: return MakeTimer(form, def);
    default: break;  // a kind of a window's own that was never registered
    }
    throw std::logic_error("unknown control kind");
}

}  // namespace lz
