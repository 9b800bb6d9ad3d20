// The tools window in the real form host: opened from the main window, its
// grid, hover text, hand cursor, status bar menu and launches.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <cwchar>
#include <functional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "support/gui_harness_win.h"
#include "tools/children_win.h"
#include "tools/toolcatalogue.h"

namespace lz::test {
namespace {

const wchar_t* const kTools = L"frmXPTools";

struct ToolsGui : ::testing::Test {
    ChildWatch children;
    GuiApp app;
    void SetUp() override {
        app.ui.ShowForm(L"frmMain");
        app.Pump(50);
        app.Click(L"frmMain", L"imgPIC", 1);
        app.Pump(50);
    }
    FormWindow& T() { return app.W(kTools); }
    std::wstring Label() { return T().GetText(L"lblXpTools", -1); }
    int Px(int twips) {
        HDC dc = GetDC(nullptr);
        int dpi = GetDeviceCaps(dc, LOGPIXELSX);
        ReleaseDC(nullptr, dc);
        return MulDiv(twips, dpi, 1440);
    }
    // A click on the status bar's panel, as the common control reports it.
    void ClickStatusBar() {
        HWND bar = T().ChildHandle(L"StatusBar1", -1);
        NMMOUSE nm{};
        nm.hdr.hwndFrom = bar;
        nm.hdr.idFrom = UINT_PTR(GetDlgCtrlID(bar));
        nm.hdr.code = NM_CLICK;
        nm.dwItemSpec = 0;
        SendMessageW(GetParent(bar), WM_NOTIFY, nm.hdr.idFrom, reinterpret_cast<LPARAM>(&nm));
        app.Pump(20);
    }
};

// While the pop-up menu's own loop runs, this thread looks at the menu and
// then works it with the keys a user would press.
class MenuDriver {
public:
    using Step = std::function<void(HWND menuWindow)>;
    explicit MenuDriver(Step step) : thread_([this, step] {
        for (int i = 0; i < 1200 && !menu_; ++i) {
            HWND m = FindWindowW(L"#32768", nullptr);
            if (m && IsWindowVisible(m)) menu_ = m;
            else Sleep(50);
        }
        if (menu_) {
            Sleep(300);
            step(menu_);
        }
    }) {}
    ~MenuDriver() { thread_.join(); }
    bool Seen() const { return menu_ != nullptr; }
    static void Key(HWND menuWindow, WPARAM key) {
        PostMessageW(menuWindow, WM_KEYDOWN, key, 0);
        Sleep(200);
    }

private:
    std::atomic<HWND> menu_{nullptr};
    std::thread thread_;
};

std::wstring MenuText(HMENU menu, int pos) {
    wchar_t buf[128] = {};
    GetMenuStringW(menu, UINT(pos), buf, 128, MF_BYPOSITION);
    return buf;
}

bool SaveMenuShot(HWND form, const std::wstring& file) {
    const wchar_t* dir = _wgetenv(L"LANZHAN_SHOTS");
    if (!dir || !*dir) return false;
    RECT r, m;
    GetWindowRect(form, &r);
    // Every menu window open now: the pop-up and any sub-menu.
    for (HWND w = FindWindowExW(nullptr, nullptr, L"#32768", nullptr); w;
         w = FindWindowExW(nullptr, w, L"#32768", nullptr))
        if (IsWindowVisible(w) && GetWindowRect(w, &m)) UnionRect(&r, &r, &m);
    return SaveScreenBmp(r, std::wstring(dir) + L"\\" + file + L".bmp");
}

TEST_F(ToolsGui, OpensFromTheTileAtItsFixedSizeWithTheGridAndStatusLine) {
    HWND h = T().Handle();
    ASSERT_TRUE(IsWindowVisible(h));
    EXPECT_FALSE(app.ui.IsVisible(L"frmMain"));
    EXPECT_EQ(T().GetCaption(), L"系统工具大全");
    RECT rc;
    GetClientRect(h, &rc);
    EXPECT_EQ(rc.right, Px(10590));
    EXPECT_EQ(rc.bottom, Px(7335));
    for (int i = 0; i <= 35; ++i) {
        HWND b = T().ChildHandle(L"cmdXpTools", i);
        ASSERT_NE(b, nullptr) << i;
        EXPECT_EQ(IsWindowVisible(b) != FALSE, i != 18) << i;
    }
    wchar_t caption[64];
    GetWindowTextW(T().ChildHandle(L"cmdXpTools", 35), caption, 64);
    EXPECT_STREQ(caption, L"放大镜");
    const std::wstring status = T().GetPanelText(L"StatusBar1", 0);
    const std::wstring lead = L"←更多工具     你的操作系统是：";
    EXPECT_EQ(status.substr(0, lead.size()), lead);
    EXPECT_NE(status.find(L"    系统安装路径为：" + app.machine.GetWinDir()), std::wstring::npos);
    EXPECT_EQ(Label().substr(0, 5), L"岚栈：\r\n");

    SetWindowPos(h, nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER);
    app.Pump(20);
    GetClientRect(h, &rc);
    EXPECT_EQ(rc.right, Px(10590));
    app.Screenshot(kTools, L"tools");
}

TEST_F(ToolsGui, HoverShowsTheDescriptionAndTheBackgroundTheDefault) {
    app.MouseMove(kTools, L"cmdXpTools", 27);
    EXPECT_EQ(Label().substr(0, 4), L"证书\r\n");
    app.MouseMove(kTools, L"Frame1");
    EXPECT_EQ(Label().substr(0, 4), L"证书\r\n");
    SendMessageW(T().Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    app.Pump(5);
    EXPECT_EQ(Label().substr(0, 5), L"岚栈：\r\n");
}

TEST_F(ToolsGui, EveryDescriptionFitsItsBox) {
    HWND box = T().ContainerOf(L"lblXpTools", -1);
    RECT r = T().ControlRect(L"lblXpTools", -1);
    HDC dc = GetDC(box);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(T().Handle(), WM_GETFONT, 0, 0)));
    for (int i = 0; i <= 35; ++i) {
        if (i == 18) continue;
        T().Fire({EventKind::MouseMove, L"cmdXpTools", i});
        const std::wstring text = Label();
        // Wrapped at the label's width, it must end above the label's bottom.
        RECT need{0, 0, r.right - r.left, 0};
        DrawTextW(dc, text.c_str(), int(text.size()), &need, DT_CALCRECT | DT_WORDBREAK);
        EXPECT_LE(need.bottom, r.bottom - r.top) << "button " << i;
    }
    SelectObject(dc, old);
    ReleaseDC(box, dc);
    // The longest, with the usage line of regsvr32.
    T().Fire({EventKind::MouseMove, L"cmdXpTools", 17});
    EXPECT_NE(Label().find(L"regsvr32 [/s] [/n] [/i(:cmdline)] dllname"), std::wstring::npos);
    app.Screenshot(kTools, L"tools-hover");
}

TEST_F(ToolsGui, EveryVisibleButtonShowsTheHandCursor) {
    for (int i = 0; i <= 35; ++i) {
        if (i == 18) continue;
        HWND b = T().ChildHandle(L"cmdXpTools", i);
        SetCursor(LoadCursorW(nullptr, IDC_ARROW));
        SendMessageW(GetParent(b), WM_SETCURSOR, reinterpret_cast<WPARAM>(b), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        EXPECT_EQ(GetCursor(), HandCursor()) << i;
    }
}

TEST_F(ToolsGui, StatusBarOpensTheToolMenuWithItsTreeAndExitGoesBack) {
    std::vector<std::wstring> top, others;
    {
        MenuDriver driver([&](HWND menu) {
            HMENU m = reinterpret_cast<HMENU>(SendMessageW(menu, MN_GETHMENU, 0, 0));
            for (int i = 0; i < GetMenuItemCount(m); ++i) top.push_back(MenuText(m, i));
            SaveMenuShot(T().Handle(), L"tools-menu");
            // From the top, Up wraps to "退出"; once more is "其它工具".
            MenuDriver::Key(menu, VK_UP);
            MenuDriver::Key(menu, VK_UP);
            MenuDriver::Key(menu, VK_RIGHT);
            HMENU sub = GetSubMenu(m, GetMenuItemCount(m) - 3);
            for (int i = 0; sub && i < GetMenuItemCount(sub); ++i) others.push_back(MenuText(sub, i));
            SaveMenuShot(T().Handle(), L"tools-menu-others");
            MenuDriver::Key(menu, VK_LEFT);
            MenuDriver::Key(menu, VK_DOWN);
            MenuDriver::Key(menu, VK_RETURN);
        });
        ClickStatusBar();
        EXPECT_TRUE(driver.Seen());
    }
    app.Pump(100);
    ASSERT_EQ(top.size(), 20u);
    EXPECT_EQ(top[0], L"Internet Explorer浏览器");
    EXPECT_EQ(top[3], L"");  // separator
    EXPECT_EQ(top[9], L"注册表编辑工具");
    EXPECT_EQ(top[17], L"其它工具");
    EXPECT_EQ(top[19], L"退出");
    ASSERT_EQ(others.size(), 27u);
    EXPECT_EQ(others[0], L"音量控制程序");
    EXPECT_EQ(others[5], L"");
    EXPECT_EQ(others[26], L"通讯簿");
    // "退出" was chosen: the window hides, still loaded, and the main window is back.
    EXPECT_TRUE(app.ui.IsLoaded(kTools));
    EXPECT_FALSE(app.ui.IsVisible(kTools));
    EXPECT_TRUE(app.ui.IsVisible(L"frmMain"));
}

TEST_F(ToolsGui, ButtonsAndMenuItemsStartToolsOrSayWhyNot) {
    std::set<DWORD> seen;
    app.Click(kTools, L"cmdXpTools", 22);
    EXPECT_NE(children.WaitFor(L"taskmgr.exe", seen), 0u);
    app.Menu(kTools, L"mnuTaskmgr");
    EXPECT_NE(children.WaitFor(L"taskmgr.exe", seen), 0u);
    app.Menu(kTools, L"mnuNotepad");
    EXPECT_NE(children.WaitFor(L"notepad.exe", seen), 0u);
    app.Menu(kTools, L"mnuRegedit");
    EXPECT_NE(children.WaitFor(L"regedit.exe", seen), 0u);
    EXPECT_TRUE(app.ui.prompts.empty());

    ChildWatch none;
    app.Click(kTools, L"cmdXpTools", 17);
    Sleep(300);
    EXPECT_TRUE(app.ui.prompts.empty());
    EXPECT_FALSE(none.AnyNew());
    app.Click(kTools, L"cmdXpTools", 0);  // no tour program on this system
    ASSERT_EQ(app.ui.prompts.size(), 1u);
    EXPECT_EQ(app.ui.prompts[0].text, L"请确认你是否有足够的权限打开或者因为此程序需要在XP版本下才能运行");
    EXPECT_EQ(app.ui.prompts[0].title, L"打开程序错误");
    EXPECT_EQ(app.ui.prompts[0].flags, kOkOnly);
    EXPECT_TRUE(IsWindowVisible(T().Handle()));
}

}  // namespace
}  // namespace lz::test
