// The Win32 side of the windows: one generic form host builds a window from a
// layout table and routes its events to the window's logic; Win32Ui keeps the
// loaded windows and the prompts.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "ui/form.h"

namespace lz {

class Win32Ui;

class FormWindow : public Controls {
public:
    FormWindow(Win32Ui& ui, std::unique_ptr<FormLogic> logic);
    ~FormWindow() override;

    bool Create();
    HWND Handle() const { return hwnd_; }
    FormLogic& Logic() { return *logic_; }
    const FormDef& Def() const { return def_; }
    void Fire(const Event& e);
    // Hands the controls to the logic; events before this (made while the
    // controls are being built) are not the user's and are dropped.
    void BindLogic();
    // The window of a control (nullptr for windowless labels and images).
    HWND ChildHandle(const std::wstring& name, int index) const;
    // A control's rectangle in client pixels of the form (also windowless ones).
    RECT ControlRect(const std::wstring& name, int index) const;
    // The command of a menu item (0 when there is none), and the window a
    // windowless control is drawn in.
    UINT MenuId(const std::wstring& name, int index) const;
    HWND ContainerOf(const std::wstring& name, int index) const;
    void Destroy();

    // Controls
    void SetText(const std::wstring& n, int i, const std::wstring& t) override;
    std::wstring GetText(const std::wstring& n, int i) override;
    void SetEnabled(const std::wstring& n, int i, bool on) override;
    bool GetEnabled(const std::wstring& n, int i) override;
    void SetVisible(const std::wstring& n, int i, bool on) override;
    bool GetVisible(const std::wstring& n, int i) override;
    void SetChecked(const std::wstring& n, int i, bool on) override;
    bool GetChecked(const std::wstring& n, int i) override;
    void SetForeColor(const std::wstring& n, int i, Color c) override;
    Color GetForeColor(const std::wstring& n, int i) override;
    void SetBackColor(const std::wstring& n, int i, Color c) override;
    void SetFocus(const std::wstring& n, int i) override;
    void SetPicture(const std::wstring& n, int i, const std::wstring& r) override;
    std::wstring GetPicture(const std::wstring& n, int i) override;
    void Move(const std::wstring& n, int i, int left, int top) override;
    int GetLeft(const std::wstring& n, int i) override;
    int GetTop(const std::wstring& n, int i) override;
    void ClearItems(const std::wstring& n, int i) override;
    void AddItem(const std::wstring& n, int i, const std::wstring& item) override;
    void RemoveItem(const std::wstring& n, int i, int at) override;
    int ItemCount(const std::wstring& n, int i) override;
    std::wstring Item(const std::wstring& n, int i, int at) override;
    int GetListIndex(const std::wstring& n, int i) override;
    void SetListIndex(const std::wstring& n, int i, int at) override;
    std::tm GetDateTime(const std::wstring& n, int i) override;
    void SetDateTime(const std::wstring& n, int i, const std::tm& v) override;
    void SetPanelText(const std::wstring& n, int panel, const std::wstring& t) override;
    std::wstring GetPanelText(const std::wstring& n, int panel) override;
    int GetTab(const std::wstring& n) override;
    void SetTab(const std::wstring& n, int page) override;
    void SetTimer(const std::wstring& n, bool on, int ms) override;
    bool GetTimerEnabled(const std::wstring& n) override;
    void SetMenuEnabled(const std::wstring& n, int i, bool on) override;
    void PopupMenu(const std::wstring& n) override;
    ControlPort* Port(const std::wstring& n, int i) override;
    void SetCaption(const std::wstring& c) override;
    std::wstring GetCaption() override;
    void SetFormBack(Color c) override;
    int FormWidth() override;
    int FormHeight() override;
    void SetFormSize(int w, int h) override;

    struct Ctrl;
    static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l);

private:
    using Key = std::pair<std::wstring, int>;
    Ctrl& At(const std::wstring& n, int i);
    const Ctrl* Find(const std::wstring& n, int i) const;
    Ctrl* ItemOfHandle(HWND h);
    HWND ContainerHandle(const std::wstring& container, int page) const;
    void CreateControl(Ctrl& it);
    void CreateMenus();
    void AddTray();
    LRESULT Handle(HWND h, UINT m, WPARAM w, LPARAM l);
    bool HandleCommand(HWND child, int code);
    bool HandleNotify(NMHDR* hdr, LRESULT& result);
    void PaintBox(HWND box, HDC dc);
    Ctrl* Windowless(HWND box, POINT pt);
    void BoxMouse(HWND box, UINT m, LPARAM l);
    HBRUSH Brush(Color c);
    HFONT Font(const std::wstring& face, int points10, bool bold);
    int Px(int twips) const;
    int Twips(int px) const;
    void InvalidateItem(const Ctrl& it);
    void ShowStatusPicture(Ctrl& it);
    RECT PixelRect(const Ctrl& it) const;  // in the client pixels of its parent
    void ExpandFolder(HWND tree, HTREEITEM item);
    void FillFolderTree(Ctrl& it);
    std::wstring TreeSelection(const Ctrl& it) const;

    Win32Ui& ui_;
    std::unique_ptr<FormLogic> logic_;
    FormDef def_;
    HWND hwnd_ = nullptr;
    HWND tips_ = nullptr;
    int dpi_ = 96;
    Color back_;
    std::vector<std::unique_ptr<Ctrl>> items_;
    std::map<Key, Ctrl*> byKey_;
    std::map<HWND, Ctrl*> byHandle_;
    std::map<HWND, std::wstring> boxes_;  // container windows and the control they belong to
    HMENU menuBar_ = nullptr;
    std::map<std::wstring, HMENU> popups_;  // level-0 menu name -> its drop-down
    std::map<Key, UINT> menuIds_;
    std::map<UINT, Key> menuKeys_;
    std::map<std::wstring, UINT_PTR> timerIds_;
    std::map<UINT_PTR, std::wstring> timerNames_;
    std::map<Color, HBRUSH> brushes_;
    std::map<std::wstring, HFONT> fonts_;
    HFONT formFont_ = nullptr;
    bool tray_ = false;
    bool bound_ = false;
    bool fillingTree_ = false;
    Ctrl* pressed_ = nullptr;  // windowless item under a pressed left button
    UINT taskbarCreated_ = 0;
};

class Win32Ui : public Ui {
public:
    Win32Ui(HINSTANCE instance, FormFactory& factory);
    ~Win32Ui() override;
    HINSTANCE Instance() const { return instance_; }
    FormWindow* Window(const std::wstring& form);
    // Runs the message loop until the last window is unloaded.
    int Run();
    // Lets pending messages run (for long loops on the user-interface thread).
    static void DoEvents();

    int MsgBox(const std::wstring& text, int flags, const std::wstring& title) override;
    std::wstring InputBox(const std::wstring& prompt, const std::wstring& title,
                          const std::wstring& def) override;
    std::wstring OpenFileDialog(const std::wstring& title, const std::wstring& filter) override;
    bool IsAvailable(const std::wstring& form) override { return factory_.Has(form); }
    void LoadForm(const std::wstring& form) override;
    void ShowForm(const std::wstring& form) override;
    void HideForm(const std::wstring& form) override;
    void UnloadForm(const std::wstring& form) override;
    bool IsLoaded(const std::wstring& form) override { return forms_.count(form) != 0; }
    bool IsVisible(const std::wstring& form) override;
    void SetWindowState(const std::wstring& form, WindowState s) override;
    WindowState GetWindowState(const std::wstring& form) override;
    void SetTopmost(const std::wstring& form, bool topmost) override;
    Controls* FormControls(const std::wstring& form) override { return Window(form); }
    void EndProgram() override;

    void ReportFault(const char* what);
    HWND ActiveOwner() const;
    void ReleaseUnloaded();

private:
    HINSTANCE instance_;
    FormFactory& factory_;
    std::map<std::wstring, std::unique_ptr<FormWindow>> forms_;
    std::vector<std::unique_ptr<FormWindow>> unloaded_;
    bool quitPosted_ = false;
};

// The picture resources ("bmp0" ...) and the hand cursor "bmp12".
HBITMAP LoadBitmapResource(const std::wstring& name);
HCURSOR HandCursor();

}  // namespace lz
