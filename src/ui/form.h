// What a window's portable logic knows of its window: the layout table it is
// built from, the events it receives, the controls it changes and the prompts
// and other windows it reaches. The Win32 form host and the tests' in-memory
// control set both implement these.
#pragma once
#include <cstdint>
#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/progress.h"

namespace lz {

using Color = std::uint32_t;  // 0x00BBGGRR, as COLORREF
constexpr Color Rgb(int r, int g, int b) {
    return Color(r) | (Color(g) << 8) | (Color(b) << 16);
}
constexpr Color kFormBack = Rgb(236, 233, 216);
constexpr Color kWhite = Rgb(255, 255, 255);
constexpr Color kBlack = 0;
constexpr int kTwipsPerPixel = 15;  // at 96 DPI

enum class Kind {
    Label,        // windowless text
    Image,        // windowless bitmap from a resource ("bmp0" ...)
    PictureBox,   // container with a background colour
    Frame,        // group box; its caption may be coloured
    TextBox,
    Button,
    Option,       // radio button; options in one container form one group
    Check,
    ComboList,    // drop-down list
    ComboEdit,    // editable combo box
    ListBox,
    StatusBar,    // caption: simple text; panels from `items` (one text each)
    TimePicker,
    DatePicker,
    UpDown,       // spinner bound to the text box named in `buddy`
    Tab,          // `items` are the tab captions; children name a page in `page`
    FolderTree,   // folder tree rooted at "我的电脑"
    Timer,        // not a window: `interval` in ms, enabled unless kDisabled
    Browser,      // a web view (drawn by its own window code)
    FontSample,   // the font window's sample surface (fonts/fontsample_win.cpp)
    LockPicture,  // the lock window's picture of the screen (lock/lock_picture_win.cpp)
};

// Style flags for ControlDef::style.
enum : unsigned {
    kDisabled = 1u << 0,
    kHidden = 1u << 1,
    kCenter = 1u << 2,      // centred text
    kRight = 1u << 3,
    kMultiLine = 1u << 4,   // text box: multi-line, vertical scroll
    kReadOnly = 1u << 5,
    kPassword = 1u << 6,
    kHandCursor = 1u << 7,  // the pointing hand "bmp12"
    kBorder = 1u << 8,
    kBold = 1u << 9,
    kWordWrap = 1u << 10,
    kSorted = 1u << 11,
};

struct ControlDef {
    Kind kind;
    std::wstring name;
    int index;  // -1 for a single control, 0.. for a control array
    std::wstring caption;  // text, or the resource name of an image
    int left, top, width, height;  // twips, relative to the container
    std::wstring container = L"";  // "" is the form; a frame, picture box or tab
    unsigned style = 0;
    Color fore = kBlack;
    Color back = kFormBack;
    std::vector<std::wstring> items = {};  // list items, tab captions, status panels
    int interval = 0;        // timer
    int page = -1;           // tab page when the container is a tab
    std::wstring buddy = L"";      // up-down: the text box it drives
    std::wstring tip = L"";        // tool tip
    std::wstring font = L"";       // face name; "" is the form's font
    int fontPoints10 = 0;    // size in tenths of a point; 0 is the form's
    int maxLength = 0;       // text box
    int minValue = 0, maxValue = 100;  // up-down range
    std::wstring accessibleName = L"";  // what a screen reader says for a picture
    std::vector<int> itemWidths = {};          // status panels in twips; 0 or none: they share the rest
    std::vector<std::wstring> itemTips = {};   // status panels: the tool tip of each
};

struct MenuDef {
    std::wstring name;
    int index;
    std::wstring caption;  // "-" is a separator
    int level;             // 0 top, 1 inside the last level-0 item, ...
    bool checked = false;
    bool enabled = true;
};

enum class Border { FixedSingle, FixedDialog, Sizable, FixedToolWindow, None };  // None: no frame, no caption

struct FormDef {
    std::wstring name;
    std::wstring caption;
    int clientWidth, clientHeight;  // twips
    Border border = Border::FixedSingle;
    bool systemPosition = false;  // placed where the system places new windows; otherwise centred
    bool minButton = true;
    bool maxButton = false;
    Color back = kFormBack;
    bool menuBar = false;  // false: menus are pop-up only
    // A notification-area icon with the program icon, while the window is loaded.
    std::wstring trayName = L"";
    std::wstring trayTip = L"";
    std::vector<ControlDef> controls;
    std::vector<MenuDef> menus;
};

// A window's frame as the classic forms have it: fixed size, a minimize box on
// windows with a sizable or single border, never a maximize box.
FormDef NewForm(const std::wstring& name, const std::wstring& caption, int clientWidth, int clientHeight,
                Border border = Border::FixedSingle);

enum class EventKind {
    Load, Unload, QueryUnload, Resize,
    Click, DblClick, Change, MouseMove, KeyPress,
    Timer, Select,   // folder tree selection
    TrayMouse,       // notification-area icon: button 1 left, 2 right; dbl for double
    Menu,            // a menu item: name and index of the item
};

struct Event {
    EventKind kind;
    std::wstring name;  // control or menu name; "" for the form
    int index = -1;
    int button = 0;     // 1 left, 2 right
    int x = 0, y = 0;   // twips, relative to the control
    bool dbl = false;
    wchar_t key = 0;         // KeyPress
    bool* cancel = nullptr;  // QueryUnload: set *cancel to keep the window; KeyPress: to swallow the key
    std::wstring text = L"";  // what a control reports with its event (a title, a status text)
};

// Window states, with the classic numbers.
enum class WindowState { Normal = 0, Minimized = 1, Maximized = 2 };

// What a control with drawing or behaviour of its own (a sample surface, a
// browser) offers its window's logic beyond the common calls below. Each such
// control kind defines its port as a class derived from this one; the logic
// reaches it through Controls::Port and dynamic_cast.
class ControlPort {
public:
    virtual ~ControlPort() = default;
};

// The controls of one loaded window, by name and index.
class Controls {
public:
    virtual ~Controls() = default;
    virtual void SetText(const std::wstring& name, int index, const std::wstring& text) = 0;
    virtual std::wstring GetText(const std::wstring& name, int index) = 0;
    virtual void SetEnabled(const std::wstring& name, int index, bool on) = 0;
    virtual bool GetEnabled(const std::wstring& name, int index) = 0;
    virtual void SetVisible(const std::wstring& name, int index, bool on) = 0;
    virtual bool GetVisible(const std::wstring& name, int index) = 0;
    virtual void SetChecked(const std::wstring& name, int index, bool on) = 0;  // also menus
    virtual bool GetChecked(const std::wstring& name, int index) = 0;
    virtual void SetForeColor(const std::wstring& name, int index, Color c) = 0;
    virtual Color GetForeColor(const std::wstring& name, int index) = 0;
    virtual void SetBackColor(const std::wstring& name, int index, Color c) = 0;
    virtual void SetFocus(const std::wstring& name, int index) = 0;
    virtual void SetPicture(const std::wstring& name, int index, const std::wstring& resource) = 0;
    virtual std::wstring GetPicture(const std::wstring& name, int index) = 0;
    virtual void Move(const std::wstring& name, int index, int left, int top) = 0;  // twips
    virtual int GetLeft(const std::wstring& name, int index) = 0;
    virtual int GetTop(const std::wstring& name, int index) = 0;
    // Lists (list box, combo box).
    virtual void ClearItems(const std::wstring& name, int index) = 0;
    virtual void AddItem(const std::wstring& name, int index, const std::wstring& item) = 0;
    virtual void RemoveItem(const std::wstring& name, int index, int at) = 0;
    virtual int ItemCount(const std::wstring& name, int index) = 0;
    virtual std::wstring Item(const std::wstring& name, int index, int at) = 0;
    virtual int GetListIndex(const std::wstring& name, int index) = 0;  // -1: none
    virtual void SetListIndex(const std::wstring& name, int index, int at) = 0;
    // Date-time pickers.
    virtual std::tm GetDateTime(const std::wstring& name, int index) = 0;
    virtual void SetDateTime(const std::wstring& name, int index, const std::tm& value) = 0;
    // Status bar panels (0-based); panel -1 is the simple text.
    virtual void SetPanelText(const std::wstring& name, int panel, const std::wstring& text) = 0;
    virtual std::wstring GetPanelText(const std::wstring& name, int panel) = 0;
    // Tabs: the page shown.
    virtual int GetTab(const std::wstring& name) = 0;
    virtual void SetTab(const std::wstring& name, int page) = 0;
    virtual void SetTimer(const std::wstring& name, bool enabled, int intervalMs) = 0;
    virtual bool GetTimerEnabled(const std::wstring& name) = 0;
    // Menus: `PopupMenu` shows the menu `name` (a level-0 item) at the pointer.
    virtual void SetMenuEnabled(const std::wstring& name, int index, bool on) = 0;
    virtual void PopupMenu(const std::wstring& name) = 0;
    // The port of a control kind of its own; nullptr for the common kinds.
    virtual ControlPort* Port(const std::wstring& name, int index) = 0;
    // The form itself.
    virtual void SetCaption(const std::wstring& caption) = 0;
    virtual std::wstring GetCaption() = 0;
    virtual void SetFormBack(Color c) = 0;
    virtual int FormWidth() = 0;  // outer size in twips
    virtual int FormHeight() = 0;
    virtual void SetFormSize(int width, int height) = 0;
};

// Message box buttons and icons (classic values), and its answers.
enum : int {
    kOkOnly = 0, kOkCancel = 1, kYesNoCancel = 3, kYesNo = 4, kRetryCancel = 5,
    kCritical = 16, kQuestion = 32, kExclamation = 48, kInformation = 64,
    kDefaultButton2 = 256,
};
enum : int { kAnsOk = 1, kAnsCancel = 2, kAnsYes = 6, kAnsNo = 7, kAnsRetry = 4 };

extern const wchar_t* const kAppTitle;  // "岚栈备份专家"

// What a folder tree gives for its shell folders ("我的电脑", "控制面板", "桌面",
// "网上邻居", "回收站"): a name, not a folder of the file system.
bool IsShellFolderName(const std::wstring& text);

// Prompts and the other windows.
class Ui {
public:
    virtual ~Ui() = default;
    // An empty title gives the application title.
    virtual int MsgBox(const std::wstring& text, int flags = kOkOnly, const std::wstring& title = L"") = 0;
    // Cancel gives "".
    virtual std::wstring InputBox(const std::wstring& prompt, const std::wstring& title = L"",
                                  const std::wstring& defaultText = L"") = 0;
    // filter: "description|pattern"; "" when cancelled.
    virtual std::wstring OpenFileDialog(const std::wstring& title, const std::wstring& filter) = 0;

    // Windows by name. Loading an unknown or not yet built window does nothing.
    virtual bool IsAvailable(const std::wstring& form) = 0;  // built into this program
    virtual void LoadForm(const std::wstring& form) = 0;
    // Loads a window once the windows shown so far are painted and nothing
    // else waits, so that the first window appears at once. A user's action,
    // or a call that needs a window, loads every window still waiting first.
    virtual void LoadFormWhenIdle(const std::wstring& form) = 0;
    virtual void ShowForm(const std::wstring& form) = 0;  // loads it first when needed
    virtual void HideForm(const std::wstring& form) = 0;
    virtual void UnloadForm(const std::wstring& form) = 0;
    virtual bool IsLoaded(const std::wstring& form) = 0;
    virtual bool IsVisible(const std::wstring& form) = 0;
    virtual void SetWindowState(const std::wstring& form, WindowState state) = 0;
    virtual WindowState GetWindowState(const std::wstring& form) = 0;
    // Topmost on: moved to the screen's top-left corner as well (SWP_NOSIZE only).
    virtual void SetTopmost(const std::wstring& form, bool topmost) = 0;
    // The controls of a loaded window, or nullptr.
    virtual Controls* FormControls(const std::wstring& form) = 0;
    // Ends the program once the current handler returns.
    virtual void EndProgram() = 0;
    // Runs a task that may take long and returns when it has ended; the host
    // shows its progress and a way to cancel it, and keeps the windows painted
    // but out of use meanwhile. By default: at once, never cancelled.
    virtual void RunWithProgress(const std::wstring& title, const std::function<void(ProgressSink&)>& task);
};

// An event a window handles: its kind and the control, menu item or tray
// icon it comes from ("" for the form itself).
struct HandlerKey {
    EventKind kind;
    std::wstring name;
};

// The window logic the form host drives. The host makes the controls from
// Definition(), binds them, then sends Load.
class FormLogic {
public:
    virtual ~FormLogic() = default;
    virtual const FormDef& Definition() const = 0;
    virtual void OnEvent(const Event& e) = 0;
    // Every event the window handles, so that a test can hold them against
    // the layout table.
    virtual std::vector<HandlerKey> HandlerKeys() const = 0;
    void Bind(Controls& controls) { controls_ = &controls; }

protected:
    Controls& Ctl() { return *controls_; }

private:
    Controls* controls_ = nullptr;
};

// One line of a window's handler table: an event of a control and the member
// that handles it. A member may take nothing, the control's index (an array
// element, a tab page, a status bar panel) or the whole event; a function of
// the window and the event adapts any other shape.
template <class W>
struct Handler {
    using Plain = void (W::*)();
    using Indexed = void (W::*)(int);
    using Whole = void (W::*)(const Event&);
    using Adapter = void (*)(W&, const Event&);
    Handler(EventKind k, const wchar_t* n, Plain m) : kind(k), name(n), plain(m) {}
    Handler(EventKind k, const wchar_t* n, Indexed m) : kind(k), name(n), indexed(m) {}
    Handler(EventKind k, const wchar_t* n, Whole m) : kind(k), name(n), whole(m) {}
    Handler(EventKind k, const wchar_t* n, Adapter f) : kind(k), name(n), adapter(f) {}
    void Call(W& w, const Event& e) const {
        if (plain) (w.*plain)();
        else if (indexed) (w.*indexed)(e.index);
        else if (whole) (w.*whole)(e);
        else adapter(w, e);
    }
    EventKind kind;
    const wchar_t* name;
    Plain plain = nullptr;
    Indexed indexed = nullptr;
    Whole whole = nullptr;
    Adapter adapter = nullptr;
};

// A window whose events are routed by its table `static const
// std::vector<Handler<W>>& Handlers()`; events it does not list are ignored.
template <class W>
class Form : public FormLogic {
public:
    void OnEvent(const Event& e) override {
        for (const Handler<W>& h : W::Handlers())
            if (h.kind == e.kind && e.name == h.name) return h.Call(static_cast<W&>(*this), e);
    }
    std::vector<HandlerKey> HandlerKeys() const override {
        std::vector<HandlerKey> keys;
        for (const Handler<W>& h : W::Handlers()) keys.push_back({h.kind, h.name});
        return keys;
    }
};

// Makes the logic of a window by its name; the host loads windows through it.
class FormFactory {
public:
    virtual ~FormFactory() = default;
    virtual bool Has(const std::wstring& form) const = 0;
    // nullptr for a window this program does not have.
    virtual std::unique_ptr<FormLogic> Make(const std::wstring& form) = 0;
};

}  // namespace lz
