// A window built from a layout table: it makes the controls, finds them by
// name, hands Win32 messages to them and sends their events to the logic.
#pragma once
#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "ui/control_win.h"
#include "ui/form.h"
#include "ui/menu_win.h"
#include "ui/tray_win.h"

namespace lz {

class Win32Ui;

// The window class of boxes: picture boxes, frames and tab pages.
extern const wchar_t* const kBoxClass;

class FormWindow : public Controls {
public:
    FormWindow(Win32Ui& ui, std::unique_ptr<FormLogic> logic);
    ~FormWindow() override;

    bool Create();
    // The tray icon waits for the first idle moment after the window is up:
    // showing the window does not need the shell's library. False when no
    // icon was waiting.
    bool AddWaitingTrayIcon();
    bool TrayIconWaiting() const { return trayWaiting_; }
    HWND Handle() const { return hwnd_; }
    FormLogic& Logic() { return *logic_; }
    const FormDef& Def() const { return def_; }
    Win32Ui& Ui() { return ui_; }
    void Fire(const Event& e);
    // Offers a message of the loop to the control it is for (or that holds
    // its window) before the dialog keys act on it; true when it was taken.
    bool PreTranslate(MSG& msg);
    // Hands the controls to the logic; events before this (made while the
    // controls are being built) are not the user's and are dropped.
    void BindLogic();
    void Destroy();

    // Look-ups for the controls and for tests.
    Control* Find(const std::wstring& name, int index) const;
    Control* ControlOf(HWND h) const;  // by its window, or a tab page's
    HWND ChildHandle(const std::wstring& name, int index) const;
    // A control's rectangle in the client pixels of the form.
    RECT ControlRect(const std::wstring& name, int index) const;
    UINT MenuId(const std::wstring& name, int index) const { return menus_.Id(name, index); }
    HWND ContainerOf(const std::wstring& name, int index) const;
    UINT_PTR TimerId(const std::wstring& name) const;

    // What the controls share: scaling, fonts, brushes, tool tips, the form's colour.
    int Px(int twips) const { return MulDiv(twips, dpi_, 1440); }
    int Twips(int px) const { return MulDiv(px, 1440, dpi_); }
    int Dpi() const { return dpi_; }
    HBRUSH Brush(Color c);
    HFONT FontFor(const ControlDef& def);
    HFONT FormFont() const { return formFont_; }
    void AddTip(HWND tool, const std::wstring& tip);
    // The form's tool tip window, for controls whose tips cover parts of them.
    HWND TipWindow() const { return tips_; }
    Color FormBack() const { return back_; }

    // Controls
    void SetText(const std::wstring& n, int i, const std::wstring& t) override { At(n, i).SetText(t); }
    std::wstring GetText(const std::wstring& n, int i) override { return At(n, i).GetText(); }
    void SetEnabled(const std::wstring& n, int i, bool on) override { At(n, i).SetEnabled(on); }
    bool GetEnabled(const std::wstring& n, int i) override { return At(n, i).GetEnabled(); }
    void SetVisible(const std::wstring& n, int i, bool on) override { At(n, i).SetVisible(on); }
    bool GetVisible(const std::wstring& n, int i) override { return At(n, i).GetVisible(); }
    void SetChecked(const std::wstring& n, int i, bool on) override;
    bool GetChecked(const std::wstring& n, int i) override;
    void SetForeColor(const std::wstring& n, int i, Color c) override { At(n, i).SetForeColor(c); }
    Color GetForeColor(const std::wstring& n, int i) override { return At(n, i).GetForeColor(); }
    void SetBackColor(const std::wstring& n, int i, Color c) override { At(n, i).SetBackColor(c); }
    void SetFocus(const std::wstring& n, int i) override { At(n, i).Focus(); }
    void SetPicture(const std::wstring& n, int i, const std::wstring& r) override { At(n, i).SetPicture(r); }
    std::wstring GetPicture(const std::wstring& n, int i) override { return At(n, i).GetPicture(); }
    void Move(const std::wstring& n, int i, int left, int top) override { At(n, i).Move(left, top); }
    int GetLeft(const std::wstring& n, int i) override { return At(n, i).Left(); }
    int GetTop(const std::wstring& n, int i) override { return At(n, i).Top(); }
    void ClearItems(const std::wstring& n, int i) override { At(n, i).ClearItems(); }
    void AddItem(const std::wstring& n, int i, const std::wstring& item) override { At(n, i).AddItem(item); }
    void RemoveItem(const std::wstring& n, int i, int at) override { At(n, i).RemoveItem(at); }
    int ItemCount(const std::wstring& n, int i) override { return At(n, i).ItemCount(); }
    std::wstring Item(const std::wstring& n, int i, int at) override { return At(n, i).Item(at); }
    int GetListIndex(const std::wstring& n, int i) override { return At(n, i).GetListIndex(); }
    void SetListIndex(const std::wstring& n, int i, int at) override { At(n, i).SetListIndex(at); }
    std::tm GetDateTime(const std::wstring& n, int i) override { return At(n, i).GetDateTime(); }
    void SetDateTime(const std::wstring& n, int i, const std::tm& v) override { At(n, i).SetDateTime(v); }
    void SetPanelText(const std::wstring& n, int panel, const std::wstring& t) override {
        At(n, -1).SetPanelText(panel, t);
    }
    std::wstring GetPanelText(const std::wstring& n, int panel) override { return At(n, -1).GetPanelText(panel); }
    int GetTab(const std::wstring& n) override { return At(n, -1).GetTab(); }
    void SetTab(const std::wstring& n, int page) override { At(n, -1).SetTab(page); }
    void SetTimer(const std::wstring& n, bool on, int ms) override { At(n, -1).SetTimer(on, ms); }
    bool GetTimerEnabled(const std::wstring& n) override { return At(n, -1).GetTimerEnabled(); }
    void SetMenuEnabled(const std::wstring& n, int i, bool on) override { menus_.SetEnabled(n, i, on); }
    void PopupMenu(const std::wstring& n) override;
    ControlPort* Port(const std::wstring& n, int i) override { return At(n, i).Port(); }
    void SetCaption(const std::wstring& c) override { SetWindowTextW(hwnd_, c.c_str()); }
    std::wstring GetCaption() override;
    void SetFormBack(Color c) override;
    int FormWidth() override;
    int FormHeight() override;
    void SetFormSize(int w, int h) override;

    static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l);

private:
    using Key = std::pair<std::wstring, int>;
    Control& At(const std::wstring& n, int i);
    HFONT Font(const std::wstring& face, int points10, bool bold);
    LRESULT Handle(HWND h, UINT m, WPARAM w, LPARAM l);
    void PaintBox(HWND box, HDC dc);
    Control* LabelAt(HWND box, POINT pt);
    void BoxMouse(HWND box, UINT m, LPARAM l);
    bool SetCursorFor(HWND over, LPARAM l);

    Win32Ui& ui_;
    std::unique_ptr<FormLogic> logic_;
    FormDef def_;
    HWND hwnd_ = nullptr;
    HWND tips_ = nullptr;
    int dpi_ = 96;
    Color back_;
    std::vector<std::unique_ptr<Control>> controls_;
    std::map<Key, Control*> byKey_;
    std::map<HWND, Control*> byHandle_;
    MenuSet menus_;
    TrayIcon tray_;
    bool trayWaiting_ = false;
    std::map<Color, HBRUSH> brushes_;
    std::map<std::wstring, HFONT> fonts_;
    HFONT formFont_ = nullptr;
    bool bound_ = false;
    Control* pressed_ = nullptr;  // label under a pressed left button
    bool pressedOnBox_ = false;
};

}  // namespace lz
