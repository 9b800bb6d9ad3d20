// The browser control of the web storage window on a window of the test's
// own, under Wine without Gecko: it never starts an engine that cannot show a
// page, never asks anything, says so in its own area, and the default-browser
// operation lets only web addresses through.
#include <windows.h>
#include <commctrl.h>
#include <exdispid.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "env/machine_win.h"
#include "support/files_win.h"
#include "tools/children_win.h"
#include "webdrive/browser_win.h"

namespace lz {
namespace {

const wchar_t* const kProbeVar = L"LANZHAN_WEB_PROBE";

std::wstring TempFile(const wchar_t* name) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    return std::wstring(temp) + name;
}

// A copy of this program started with the HTML library switched on: it makes
// a view as the window would, notes what it found and ends.
const bool kProbeChild = [] {
    wchar_t out[MAX_PATH];
    DWORD n = GetEnvironmentVariableW(kProbeVar, out, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return false;
    HWND area = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr, nullptr, nullptr);
    const EngineFacts f = ProbeEngine();
    bool can = false;
    {
        WebBrowserView view(area, L"webPage", nullptr);
        can = view.CanShowPages();
        view.Navigate(L"http://127.0.0.1:9/");
    }
    DestroyWindow(area);
    std::string note = std::string("mshtml=") + (f.mshtmlLoads ? "1" : "0") + " gecko=" + (f.geckoInstalled ? "1" : "0") +
                       " can=" + (can ? "1" : "0");
    test::MakeFile(out, note);
    ExitProcess(0);
}();

// The visible top-level windows of every process.
std::set<HWND> TopWindows() {
    std::set<HWND> all;
    EnumWindows(
        [](HWND h, LPARAM l) {
            if (IsWindowVisible(h)) reinterpret_cast<std::set<HWND>*>(l)->insert(h);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&all));
    return all;
}

std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> out;
    for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) out.push_back(c);
    return out;
}

std::wstring TextOf(HWND h) {
    std::wstring s(GetWindowTextLengthW(h) + 1, L'\0');
    s.resize(GetWindowTextW(h, s.data(), int(s.size())));
    return s;
}

std::wstring ClassOf(HWND h) {
    wchar_t c[64] = {};
    GetClassNameW(h, c, 64);
    return c;
}

void Pump() {
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageW(&m);
    }
}

// A form as the host makes one: the browser's window under an address row,
// and a status bar at the bottom.
class BrowserWindow : public ::testing::Test {
protected:
    BrowserWindow() {
        INITCOMMONCONTROLSEX icc{};
        icc.dwSize = sizeof icc;
        icc.dwICC = ICC_BAR_CLASSES;
        InitCommonControlsEx(&icc);
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = L"LanzhanWebTestForm";
        RegisterClassW(&wc);
        form = CreateWindowExW(0, L"LanzhanWebTestForm", L"网络硬盘", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 640,
                               480, nullptr, nullptr, nullptr, nullptr);
        area = CreateWindowExW(WS_EX_CONTROLPARENT, L"LanzhanWebTestForm", L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN,
                               0, kTop, 640, 300, form, nullptr, nullptr, nullptr);
        bar = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | CCS_BOTTOM, 0, 0, 0, 0, form, nullptr,
                              nullptr, nullptr);
        Pump();
    }
    ~BrowserWindow() override {
        DestroyWindow(form);
        Pump();
    }
    WebBrowserView::Sink Record() {
        return [this](const Event& e) { events.push_back(e); };
    }
    static EngineFacts Usable() {
        EngineFacts f;
        f.mshtmlLoads = true;
        return f;
    }

    static constexpr int kTop = 32;
    HWND form = nullptr, area = nullptr, bar = nullptr;
    std::vector<Event> events;
};

TEST_F(BrowserWindow, WithoutGeckoNoEngineStartsAndNothingIsAsked) {
    const bool ieframeBefore = GetModuleHandleW(L"ieframe.dll") != nullptr;
    const std::set<HWND> before = TopWindows();
    test::ChildWatch watch;
    const EngineFacts f = ProbeEngine();
    EXPECT_TRUE(f.wine);
    EXPECT_FALSE(f.mshtmlLoads) << "the test prefix switches the HTML library off";
    EXPECT_FALSE(f.geckoInstalled);
    {
        WebBrowserView view(area, L"webPage", Record());
        EXPECT_FALSE(view.CanShowPages());
        view.Navigate(L"http://127.0.0.1:9/");
        view.Refresh();
        Pump();
        EXPECT_TRUE(Children(view.Window()).empty());
    }
    if (!ieframeBefore) {
        EXPECT_EQ(GetModuleHandleW(L"ieframe.dll"), nullptr);
    }
    EXPECT_EQ(GetModuleHandleW(L"mshtml.dll"), nullptr);
    EXPECT_EQ(TopWindows(), before);
    EXPECT_FALSE(watch.AnyNew());
    EXPECT_TRUE(events.empty());
}

TEST_F(BrowserWindow, WithTheHtmlLibrarySwitchedOnButNoGeckoStillNoEngineAndNoDialog) {
    // A copy of this program under a name of its own, for which Wine loads
    // the HTML library that the test prefix switches off for everyone else.
    const std::wstring out = TempFile(L"lanzhan_web_probe.txt");
    const std::wstring exe = TempFile(L"lanzhan_web_probe.exe");
    const wchar_t* const key = L"Software\\Wine\\AppDefaults\\lanzhan_web_probe.exe\\DllOverrides";
    DeleteFileW(out.c_str());
    wchar_t self[MAX_PATH];
    ASSERT_LT(GetModuleFileNameW(nullptr, self, MAX_PATH), DWORD(MAX_PATH));
    ASSERT_TRUE(CopyFileW(self, exe.c_str(), FALSE));
    HKEY k;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &k, nullptr),
              ERROR_SUCCESS);
    const wchar_t builtin[] = L"builtin";
    RegSetValueExW(k, L"mshtml", 0, REG_SZ, reinterpret_cast<const BYTE*>(builtin), sizeof builtin);
    RegCloseKey(k);

    const std::set<HWND> before = TopWindows();
    SetEnvironmentVariableW(kProbeVar, out.c_str());
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::wstring line = L"\"" + exe + L"\"";
    const BOOL started = CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
    SetEnvironmentVariableW(kProbeVar, nullptr);
    DWORD waited = WAIT_FAILED;
    if (started) {
        CloseHandle(pi.hThread);
        // A download prompt would keep it waiting: it must end by itself.
        waited = WaitForSingleObject(pi.hProcess, 60000);
        if (waited != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
        WaitForSingleObject(pi.hProcess, 5000);
        CloseHandle(pi.hProcess);
    }
    const std::string note = test::FileBytes(out);
    const std::set<HWND> after = TopWindows();
    RegDeleteKeyW(HKEY_CURRENT_USER, key);
    RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Wine\\AppDefaults\\lanzhan_web_probe.exe");
    DeleteFileW(out.c_str());
    for (int i = 0; i < 50 && !DeleteFileW(exe.c_str()); ++i) Sleep(100);

    ASSERT_TRUE(started);
    EXPECT_EQ(waited, DWORD(WAIT_OBJECT_0)) << "the view waited for something";
    EXPECT_EQ(note, "mshtml=1 gecko=0 can=0");
    EXPECT_EQ(after, before);
}

TEST_F(BrowserWindow, GeckoIsFoundInThePrefixOrWhereTheRegistrySaysItIs) {
    if (ProbeEngine().geckoInstalled) GTEST_SKIP() << "this Wine has a Gecko";
    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    const std::wstring gecko = std::wstring(system) + L"\\gecko\\0.0.0-lanzhan-test";
    test::MakeFile(gecko + L"\\wine-gecko\\VERSION", "test");
    EXPECT_TRUE(ProbeEngine().geckoInstalled);
    test::RemoveTree(gecko);
    EXPECT_FALSE(ProbeEngine().geckoInstalled);

    const std::wstring folder = TempFile(L"lanzhan-gecko-test");
    const wchar_t* const key = L"Software\\Wine\\MSHTML\\0.0.0-lanzhan-test";
    auto registerPath = [&](const std::wstring& path) {
        HKEY k;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &k, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExW(k, L"GeckoPath", 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                       DWORD((path.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(k);
    };
    registerPath(folder);  // not there yet
    EXPECT_FALSE(ProbeEngine().geckoInstalled);
    test::MakeFile(folder + L"\\VERSION", "test");
    EXPECT_TRUE(ProbeEngine().geckoInstalled);
    RegDeleteKeyW(HKEY_CURRENT_USER, key);
    test::RemoveTree(folder);
    EXPECT_FALSE(ProbeEngine().geckoInstalled);
}

TEST_F(BrowserWindow, TheNoticeIsReadableFromOutsideAndItsButtonReportsAClick) {
    WebBrowserView view(area, L"webPage", Record());
    const std::wstring text = L"这台电脑上没有能显示网页的浏览器组件。\r\n\r\n地址：www.example.com";
    view.ShowNotice(text, L"用默认浏览器打开");
    HWND label = nullptr, button = nullptr;
    for (HWND c : Children(view.Window())) {
        if (ClassOf(c) == L"Static") label = c;
        if (ClassOf(c) == L"Button") button = c;
    }
    ASSERT_TRUE(label && button);
    EXPECT_EQ(TextOf(label), text);
    EXPECT_EQ(TextOf(button), L"用默认浏览器打开");
    EXPECT_TRUE(IsWindowVisible(label));
    EXPECT_TRUE(IsWindowVisible(button));
    // The text is laid out whole, and the button under it.
    RECT l{}, b{}, v{};
    GetWindowRect(label, &l);
    GetWindowRect(button, &b);
    GetWindowRect(view.Window(), &v);
    EXPECT_GT(l.bottom - l.top, 20);
    EXPECT_GE(b.top, l.bottom);
    EXPECT_LE(b.bottom, v.bottom);
    EXPECT_GT(b.right - b.left, 60);

    SendMessageW(button, BM_CLICK, 0, 0);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].kind, kBrowserNoticeButton);
    EXPECT_EQ(events[0].name, L"webPage");

    view.ShowNotice(L"", L"");
    EXPECT_FALSE(IsWindowVisible(label));
    EXPECT_FALSE(IsWindowVisible(button));
}

TEST_F(BrowserWindow, FitsTheFormsWidthFromItsTopDownToTheStatusBar) {
    WebBrowserView view(area, L"webPage", Record());
    view.ShowNotice(L"地址：www.example.com", L"用默认浏览器打开");
    for (SIZE size : {SIZE{900, 700}, SIZE{500, 360}}) {
        SetWindowPos(form, nullptr, 0, 0, size.cx, size.cy, SWP_NOZORDER | SWP_NOMOVE);
        SendMessageW(bar, WM_SIZE, 0, 0);
        view.FitToClient();
        RECT client{}, barRect{}, a{}, v{};
        GetClientRect(form, &client);
        GetWindowRect(bar, &barRect);
        GetWindowRect(area, &a);
        MapWindowPoints(nullptr, form, reinterpret_cast<POINT*>(&a), 2);
        EXPECT_EQ(a.left, 0);
        EXPECT_EQ(a.top, kTop);  // the address row keeps its place
        EXPECT_EQ(a.right, client.right);
        EXPECT_EQ(a.bottom, client.bottom - (barRect.bottom - barRect.top));
        GetClientRect(view.Window(), &v);
        EXPECT_EQ(v.right, a.right - a.left);
        EXPECT_EQ(v.bottom, a.bottom - a.top);
    }
}

TEST_F(BrowserWindow, EngineEventsBecomeTitleAndStatusTextEvents) {
    WebBrowserView view(area, L"webPage", Record());
    IDispatch* sink = view.EventSink();
    ASSERT_TRUE(sink);
    auto invoke = [&](DISPID id, const wchar_t* text) {
        VARIANT arg{};
        V_VT(&arg) = VT_BSTR;
        V_BSTR(&arg) = SysAllocString(text);
        DISPPARAMS params{&arg, nullptr, 1, 0};
        const HRESULT hr = sink->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
        SysFreeString(V_BSTR(&arg));
        return hr;
    };
    EXPECT_EQ(invoke(DISPID_TITLECHANGE, L"百度网盘"), S_OK);
    EXPECT_EQ(invoke(DISPID_STATUSTEXTCHANGE, L"完成"), S_OK);
    EXPECT_EQ(invoke(DISPID_DOCUMENTCOMPLETE, L"x"), DISP_E_MEMBERNOTFOUND);
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    EXPECT_NE(sink->Invoke(DISPID_TITLECHANGE, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr), S_OK);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].kind, kBrowserTitleChange);
    EXPECT_EQ(events[0].name, L"webPage");
    EXPECT_EQ(events[0].text, L"百度网盘");
    EXPECT_EQ(events[1].kind, kBrowserStatusTextChange);
    EXPECT_EQ(events[1].text, L"完成");
}

TEST_F(BrowserWindow, AnEngineStartedAnywayIsHostedInPlaceAndNeverHangs) {
    // Wine's control starts even with its HTML library off; it then shows nothing.
    const std::set<HWND> before = TopWindows();
    {
        WebBrowserView view(area, L"webPage", Record(), Usable);
        ASSERT_TRUE(view.CanShowPages());
        const std::vector<HWND> inside = Children(view.Window());
        ASSERT_EQ(inside.size(), 1u) << "the control's own window";
        SetWindowPos(form, nullptr, 0, 0, 800, 600, SWP_NOZORDER | SWP_NOMOVE);
        SendMessageW(bar, WM_SIZE, 0, 0);
        view.FitToClient();
        RECT v{}, c{};
        GetClientRect(view.Window(), &v);
        GetClientRect(inside[0], &c);
        EXPECT_EQ(c.right, v.right);
        EXPECT_EQ(c.bottom, v.bottom);

        view.Navigate(L"http://127.0.0.1:9/");
        view.Refresh();
        // The control reports its status as it goes; its events arrive through the connection point.
        bool spoke = false;
        for (int i = 0; i < 600 && !spoke; ++i) {
            Pump();
            for (const Event& e : events) spoke = spoke || e.kind == kBrowserStatusTextChange;
            if (!spoke) Sleep(50);
        }
        EXPECT_TRUE(spoke);
        MSG key{};
        key.hwnd = view.Window();
        key.message = WM_KEYDOWN;
        key.wParam = VK_TAB;
        view.TranslateAccelerator(key);  // must not fail with a page that has nothing
        Pump();
    }
    Pump();
    EXPECT_TRUE(Children(area).empty());
    EXPECT_EQ(TopWindows(), before);
}

TEST_F(BrowserWindow, TheEngineGoesWhileItsWindowsStillExist) {
    // The form host destroys a window before the controls' objects: the
    // engine must not outlive the windows it was placed in.
    const std::set<HWND> before = TopWindows();
    WebBrowserView view(area, L"webPage", Record(), Usable);
    ASSERT_TRUE(view.CanShowPages());
    ASSERT_TRUE(view.EngineRunning());
    view.Navigate(L"http://127.0.0.1:9/");
    Pump();
    DestroyWindow(area);
    area = nullptr;
    EXPECT_FALSE(view.EngineRunning());
    EXPECT_EQ(view.Window(), nullptr);
    // What the logic may still ask of it does nothing.
    events.clear();
    view.Navigate(L"http://127.0.0.1:9/");
    view.Refresh();
    view.FitToClient();
    view.ShowNotice(L"地址：www.example.com", L"用默认浏览器打开");
    Pump();
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(TopWindows(), before);
}

TEST(BrowserMode, TheNewestModeIsAskedForOnceAndAChoiceMadeStays) {
    const wchar_t* const key =
        L"Software\\Microsoft\\Internet Explorer\\Main\\FeatureControl\\FEATURE_BROWSER_EMULATION";
    const std::wstring exe = L"lanzhan-mode-test.exe", chosen = L"lanzhan-mode-chosen.exe";
    auto read = [&](const std::wstring& name) {
        DWORD value = 0, size = sizeof value, type = 0;
        HKEY k;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, key, 0, KEY_QUERY_VALUE, &k) != ERROR_SUCCESS) return DWORD(0);
        if (RegQueryValueExW(k, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
            type != REG_DWORD)
            value = 0;
        RegCloseKey(k);
        return value;
    };
    EXPECT_TRUE(AskForNewestMode(exe));
    EXPECT_EQ(read(exe), 11001u);
    EXPECT_FALSE(AskForNewestMode(exe));

    HKEY k;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &k, nullptr), ERROR_SUCCESS);
    const DWORD seven = 7000;
    RegSetValueExW(k, chosen.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&seven), sizeof seven);
    EXPECT_FALSE(AskForNewestMode(chosen));
    EXPECT_EQ(read(chosen), 7000u);
    RegDeleteValueW(k, exe.c_str());
    RegDeleteValueW(k, chosen.c_str());
    RegCloseKey(k);
    EXPECT_FALSE(AskForNewestMode(L""));
}

// Puts a stand-in in place of the system's browser for one scheme, and the
// browser back again when it goes.
class BrowserStandIn {
public:
    BrowserStandIn(const std::wstring& scheme, const std::wstring& command) {
        const std::wstring key = L"Software\\Classes\\" + scheme + L"\\shell\\open\\command";
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key_) != ERROR_SUCCESS) {
            key_ = nullptr;
            return;
        }
        wchar_t old[1024] = {};
        DWORD size = sizeof old - sizeof(wchar_t);
        if (RegQueryValueExW(key_, nullptr, nullptr, &type_, reinterpret_cast<BYTE*>(old), &size) == ERROR_SUCCESS)
            old_ = old;
        Set(command, REG_SZ);
    }
    ~BrowserStandIn() {
        if (!key_) return;
        if (!old_.empty()) Set(old_, type_);
        RegCloseKey(key_);
    }
    bool ok() const { return key_ != nullptr; }

private:
    void Set(const std::wstring& value, DWORD type) {
        RegSetValueExW(key_, nullptr, 0, type, reinterpret_cast<const BYTE*>(value.c_str()),
                       DWORD((value.size() + 1) * sizeof(wchar_t)));
    }
    HKEY key_ = nullptr;
    DWORD type_ = REG_SZ;
    std::wstring old_;
};

TEST(DefaultBrowser, OnlyPlainWebAddressesReachTheShell) {
    const std::wstring out = TempFile(L"lanzhan_browser_open.txt");
    DeleteFileW(out.c_str());
    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    const std::wstring note = L"\"" + std::wstring(system) + L"\\cmd.exe\" /c echo \"%1\">>\"" + out + L"\"";
    BrowserStandIn http(L"http", note), https(L"https", note);
    ASSERT_TRUE(http.ok() && https.ok());

    Win32Machine machine;
    test::ChildWatch watch;
    for (const wchar_t* refused :
         {L"", L"file:///C:/windows/win.ini", L"C:\\windows\\notepad.exe", L"\\\\server\\share", L"javascript:alert(1)",
          L"shell:startup", L"www.example.com", L"http://a b", L"http://a\"b", L"http://a\r\nb", L"http://"})
        EXPECT_FALSE(machine.OpenInDefaultBrowser(refused));
    EXPECT_FALSE(watch.AnyNew());

    EXPECT_TRUE(machine.OpenInDefaultBrowser(L"https://pan.baidu.com/s/1abc"));
    std::string seen;
    for (int i = 0; i < 300 && seen.find('\n') == std::string::npos; ++i) {
        Sleep(100);
        seen = test::FileBytes(out);
    }
    EXPECT_EQ(seen, "\"https://pan.baidu.com/s/1abc\"\r\n");
    EXPECT_TRUE(machine.OpenInDefaultBrowser(L"HTTP://www.example.com/a?b=1"));
    for (int i = 0; i < 300 && seen.find("example") == std::string::npos; ++i) {
        Sleep(100);
        seen = test::FileBytes(out);
    }
    EXPECT_NE(seen.find("\"HTTP://www.example.com/a?b=1\"\r\n"), std::string::npos);
    DeleteFileW(out.c_str());
}

}  // namespace
}  // namespace lz
