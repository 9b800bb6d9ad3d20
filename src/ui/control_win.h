// One control of a window built from its layout line. Each kind family is a
// class of its own (ctl_*_win.cpp) that owns its state; the form host only
// creates them, finds them by name and hands them their messages.
#pragma once
#include <windows.h>

#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "ui/form.h"

namespace lz {

class FormWindow;

class Control {
public:
    Control(FormWindow& form, const ControlDef& def);
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const ControlDef& Def() const { return def_; }
    HWND Handle() const { return hwnd_; }  // nullptr for a timer
    HWND Parent() const { return parent_; }

    // Makes the control's window in `parent`, at `origin` (pixels, where its
    // container's top-left corner lies in `parent`), with the id given.
    void Create(HWND parent, POINT origin, UINT id);
    // The window a child on `page` lives in, and where this container's
    // top-left corner lies in that window.
    virtual HWND ChildParent(int) const { return hwnd_; }
    virtual POINT ChildOrigin(int) const { return POINT{0, 0}; }
    virtual bool IsContainer() const { return false; }
    // Windows of its own besides Handle() (the pages of a tab).
    virtual std::vector<HWND> InnerWindows() const { return {}; }

    // Messages from the control's own window to its parent.
    virtual bool OnCommand(int code);
    virtual bool OnNotify(NMHDR* hdr, LRESULT& result);
    virtual bool OnScroll(WPARAM w);
    virtual void OnTimer() {}
    // A message of the loop for this control's window or a window inside it,
    // before the dialog keys act on it; true when the control took it.
    virtual bool PreTranslate(MSG&) { return false; }
    virtual void OnFormShown() {}
    virtual void OnFormResized() {}
    // The screen's size or colours changed (WM_DISPLAYCHANGE of the form).
    virtual void OnDisplayChange() {}
    // The brush its parent gives it for WM_CTLCOLOR*; nullptr for the system's own.
    virtual HBRUSH CtlColor(HDC dc, UINT message);
    // A label lets the pointer through to its container, which reports the
    // label's own mouse events by where the pointer is.
    virtual bool PointerThrough() const { return false; }

    // The common calls of Controls.
    virtual void SetText(const std::wstring& text);
    virtual std::wstring GetText();
    virtual void SetEnabled(bool on);
    bool GetEnabled() const { return enabled_; }
    virtual void SetVisible(bool on);
    bool GetVisible() const { return visible_; }
    virtual void SetChecked(bool on);
    virtual bool GetChecked();
    void SetForeColor(Color c);
    Color GetForeColor() const { return fore_; }
    void SetBackColor(Color c);
    Color BackColor() const { return back_; }
    void Focus();
    virtual void SetPicture(const std::wstring& resource);
    std::wstring GetPicture() const { return picture_; }
    void Move(int left, int top);  // twips, in the container
    int Left() const { return left_; }
    int Top() const { return top_; }

    // Lists, date-time pickers, status bars, tabs and timers; the base refuses them.
    virtual void ClearItems();
    virtual void AddItem(const std::wstring& item);
    virtual void RemoveItem(int at);
    virtual int ItemCount();
    virtual std::wstring Item(int at);
    virtual int GetListIndex();
    virtual void SetListIndex(int at);
    virtual std::tm GetDateTime();
    virtual void SetDateTime(const std::tm& value);
    virtual void SetPanelText(int panel, const std::wstring& text);
    virtual std::wstring GetPanelText(int panel);
    virtual int GetTab();
    virtual void SetTab(int page);
    virtual void SetTimer(bool on, int ms);
    virtual bool GetTimerEnabled();
    virtual ControlPort* Port() { return nullptr; }

    // Where the control lies in the client pixels of its parent window.
    virtual RECT PixelRect() const;
    void Invalidate();

protected:
    virtual void Build() = 0;
    [[noreturn]] void Refuse(const char* what) const;
    // Makes the control's window with the common styles (visible, enabled,
    // child, id) and the font of its layout line.
    void Make(DWORD exStyle, const wchar_t* cls, DWORD style, const std::wstring& text);
    void Fire(EventKind kind, int index, int button = 0);
    FormWindow& form_;
    ControlDef def_;
    HWND hwnd_ = nullptr;
    HWND parent_ = nullptr;
    POINT origin_{0, 0};
    UINT id_ = 0;
    std::wstring text_;
    std::wstring picture_;
    Color fore_, back_;
    bool visible_, enabled_;
    int left_, top_;  // twips, in the container
};

// Registers the window class of a kind drawn by its own code (again is
// harmless): the arrow cursor, this program's instance, `classStyle` (CS_DBLCLKS
// for kinds that report double clicks).
void RegisterChildClass(const wchar_t* name, WNDPROC proc, UINT classStyle = 0);

using ControlMaker = std::unique_ptr<Control> (*)(FormWindow& form, const ControlDef& def);

// The class of each kind; a kind of a window's own is added with one line in
// control_factory_win.cpp or, from outside ui/, with RegisterControlKind.
std::unique_ptr<Control> MakeControl(FormWindow& form, const ControlDef& def);
void RegisterControlKind(Kind kind, ControlMaker maker);

// The makers of the kinds in this folder.
std::unique_ptr<Control> MakeLabel(FormWindow&, const ControlDef&);
std::unique_ptr<Control> MakeImage(FormWindow&, const ControlDef&);
std::unique_ptr<Control> MakeBox(FormWindow&, const ControlDef&);
std::unique_ptr<Control> MakeTextBox(FormWindow&, const ControlDef&);
std::unique_ptr<Control> MakeButton(FormWindow&, const ControlDef&);
std::unique_ptr<Control> MakeList(FormWindow&, const ControlDef&);
std::unique_ptr<Control> MakeStatusBar(FormWindow&, const ControlDef&);
std::unique_ptr<Control> MakeDateTime(FormWindow&, const ControlDef&);
std::unique_ptr<Control> MakeUpDown(FormWindow&, const ControlDef&);
std::unique_ptr<Control> MakeTab(FormWindow&, const ControlDef&);
std::unique_ptr<Control> MakeFolderTree(FormWindow&, const ControlDef&);
std::unique_ptr<Control> MakeTimer(FormWindow&, const ControlDef&);

}  // namespace lz
