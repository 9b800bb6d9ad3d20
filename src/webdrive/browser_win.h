// The browser control of the web storage window on Windows: the system's
// WebBrowser object hosted in place through its OLE interfaces, inside a
// window of its own that fills the control's window it is given.
//
// Nothing of the engine is loaded until the logic first asks CanShowPages
// (or navigates). Where no engine can show a page the control never starts
// one; the logic shows a notice in its place instead.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "webdrive/browser_port.h"
#include "webdrive/webengine.h"

struct IDispatch;
struct IOleObject;
struct IOleInPlaceObject;
struct IWebBrowser2;

namespace lz {

// What this machine offers, found without starting an engine.
EngineFacts ProbeEngine();

// Windows shows pages in a control in the engine's oldest mode unless the
// program is named for a newer one, and today's sites need the newest: names
// `exe` (a file name such as "lanzhan.exe") for it, for the current user,
// unless a mode is named already. True when it named it now. (Wine's engine
// has one mode; the view asks only on Windows.)
bool AskForNewestMode(const std::wstring& exe);

class WebBrowserView : public BrowserPort {
public:
    using Sink = std::function<void(const Event&)>;
    using Probe = std::function<EngineFacts()>;

    // `area`: the control's window, a child of the form; `name`: the
    // control's name in the events given to `sink`.
    WebBrowserView(HWND area, std::wstring name, Sink sink, Probe probe = ProbeEngine);
    ~WebBrowserView() override;
    WebBrowserView(const WebBrowserView&) = delete;
    WebBrowserView& operator=(const WebBrowserView&) = delete;

    bool CanShowPages() override;
    void Navigate(const std::wstring& address) override;
    void Refresh() override;
    void FitToClient() override;
    void ShowNotice(const std::wstring& text, const std::wstring& button) override;

    // From the message loop, before IsDialogMessage: keys for the page (Tab
    // between its fields, Enter in a form, Ctrl+C ...). True when the page
    // took the key and the loop must do nothing more with it.
    bool TranslateAccelerator(MSG& msg);
    // Lays the view and the engine out again over the area's whole client
    // area, for a host that sizes the area itself.
    void Layout();
    // The window the view draws in (a child of the area); nullptr once the
    // area's windows are gone, and with them the engine.
    HWND Window() const { return view_; }
    bool EngineRunning() const { return object_ != nullptr; }
    // Where the engine's events arrive (DWebBrowserEvents2); for tests.
    IDispatch* EventSink();

private:
    class Site;
    friend class Site;
    bool StartEngine();
    void StopEngine();
    void LayoutNotice();
    void Fire(EventKind kind, const std::wstring& text);
    static LRESULT CALLBACK ViewProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l);

    enum class State { Unknown, Ready, Absent };
    HWND area_;
    HWND view_ = nullptr;
    HWND noticeText_ = nullptr;
    HWND noticeButton_ = nullptr;
    HFONT font_ = nullptr;
    std::wstring name_;
    Sink sink_;
    Probe probe_;
    State state_ = State::Unknown;
    bool oleStarted_ = false;
    Site* site_ = nullptr;
    IOleObject* object_ = nullptr;
    IOleInPlaceObject* inPlace_ = nullptr;
    IWebBrowser2* browser_ = nullptr;
    DWORD adviseCookie_ = 0;
};

}  // namespace lz
