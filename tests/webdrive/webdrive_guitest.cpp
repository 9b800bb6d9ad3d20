// The web storage window in the real form host under Wine, where no engine
// can show a page: it opens from the tile and the menu, lists its addresses,
// navigates on Enter and on a choice (its notice then shows the address),
// refuses what is not a web address, never brings up a dialog, hands back to
// the main window, and every text in it can be read from outside.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <exdispid.h>
#include <ole2.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "support/gui_harness_win.h"
#include "webdrive/browser_win.h"
#include "webdrive/frmWebDrive.h"
#include "webdrive/webaddress.h"
#include "support/window_text_win.h"

namespace lz::test {
namespace {

const wchar_t* const kForm = L"frmWebDrive";

std::wstring PanelOf(HWND bar, int panel) {
    const LRESULT n = LOWORD(SendMessageW(bar, SB_GETTEXTLENGTHW, panel, 0));
    std::wstring s(size_t(n) + 1, L'\0');
    SendMessageW(bar, SB_GETTEXTW, panel, reinterpret_cast<LPARAM>(s.data()));
    s.resize(size_t(n));
    return s;
}

std::vector<std::wstring> ItemsOf(HWND combo) {
    std::vector<std::wstring> items;
    const LRESULT n = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT k = 0; k < n; ++k) {
        std::wstring s(size_t(SendMessageW(combo, CB_GETLBTEXTLEN, k, 0)) + 1, L'\0');
        s.resize(size_t(SendMessageW(combo, CB_GETLBTEXT, k, reinterpret_cast<LPARAM>(s.data()))));
        items.push_back(s);
    }
    return items;
}

// Every text of a window that another program can read: captions and the
// texts of its windows, the items of its lists and its status bar's panels,
// the tips of its tool tip windows.
std::set<std::wstring> OutsideTexts(HWND form) {
    std::set<std::wstring> texts{TextOf(form)};
    for (HWND h : Descendants(form)) {
        if (!IsWindowVisible(h)) continue;
        texts.insert(TextOf(h));
        const std::wstring cls = ClassOf(h);
        if (lstrcmpiW(cls.c_str(), L"ComboBox") == 0)
            for (const std::wstring& item : ItemsOf(h)) texts.insert(item);
        if (cls == STATUSCLASSNAMEW) {
            const int parts = int(SendMessageW(h, SB_GETPARTS, 0, 0));
            for (int k = 0; k < parts; ++k) texts.insert(PanelOf(h, k));
        }
    }
    texts.erase(L"");
    return texts;
}

// The visible top-level windows of this process: a dialog would be one.
std::set<HWND> OurTopWindows() {
    std::set<HWND> all;
    EnumWindows(
        [](HWND h, LPARAM l) {
            DWORD pid = 0;
            GetWindowThreadProcessId(h, &pid);
            if (pid == GetCurrentProcessId() && IsWindowVisible(h)) reinterpret_cast<std::set<HWND>*>(l)->insert(h);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&all));
    return all;
}

// The tool tips of the form's tip window for parts of `tool`, by their id.
struct Tip {
    UINT_PTR id;
    std::wstring text;
    RECT rect;
};
std::vector<Tip> TipsOf(HWND form, HWND tool) {
    std::vector<Tip> tips;
    std::pair<HWND, HWND> owned{form, nullptr};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND h, LPARAM l) {
            auto* p = reinterpret_cast<std::pair<HWND, HWND>*>(l);
            if (ClassOf(h) == TOOLTIPS_CLASSW && GetWindow(h, GW_OWNER) == p->first) p->second = h;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&owned));
    HWND tipWindow = owned.second;
    if (!tipWindow) return tips;
    const LRESULT n = SendMessageW(tipWindow, TTM_GETTOOLCOUNT, 0, 0);
    for (LRESULT k = 0; k < n; ++k) {
        wchar_t text[256] = {};
        TOOLINFOW ti{};
        ti.cbSize = TTTOOLINFOW_V2_SIZE;
        ti.lpszText = text;
        if (!SendMessageW(tipWindow, TTM_ENUMTOOLSW, k, reinterpret_cast<LPARAM>(&ti)) || ti.hwnd != tool) continue;
        tips.push_back({ti.uId, text, ti.rect});
    }
    return tips;
}

struct WebGui : ::testing::Test {
    GuiApp app;
    void SetUp() override {
        app.ui.ShowForm(L"frmMain");
        app.Pump(50);
    }
    FormWindow& W() { return app.W(kForm); }
    HWND Main() { return app.W(L"frmMain").Handle(); }
    void OpenFromTile() {
        app.Click(L"frmMain", L"imgPIC", 2);
        ASSERT_TRUE(app.PumpUntil([&] { return app.ui.IsVisible(kForm); }));
    }
    HWND Combo() { return W().ChildHandle(L"cboAddress", -1); }
    HWND Edit() { return FindWindowExW(Combo(), nullptr, L"Edit", nullptr); }
    HWND Bar() { return W().ChildHandle(L"statusBar", -1); }
    HWND Area() { return W().ChildHandle(L"webPage", -1); }
    HWND View() { return GetWindow(Area(), GW_CHILD); }
    HWND NoticeChild(const wchar_t* cls) {
        for (HWND h = GetWindow(View(), GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT))
            if (lstrcmpiW(ClassOf(h).c_str(), cls) == 0) return h;
        return nullptr;
    }
    std::wstring Notice() { return TextOf(NoticeChild(L"Static")); }
    // What the user types into the box and Enter.
    void Enter(const std::wstring& text) {
        app.Type(kForm, L"cboAddress", -1, text);
        app.Press(kForm, L"cboAddress", -1, L'\r');
    }
    // A choice from the open list, as the box reports it.
    void Choose(int at) {
        HWND box = Combo();
        SendMessageW(box, CB_SETCURSEL, at, 0);
        SendMessageW(GetParent(box), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(box), CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(box));
        app.Pump(5);
    }
    // A click of the left button on a status bar panel.
    void ClickPanel(int panel) {
        RECT r{};
        SendMessageW(Bar(), SB_GETRECT, panel, reinterpret_cast<LPARAM>(&r));
        const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        SendMessageW(Bar(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(Bar(), WM_LBUTTONUP, 0, at);
        app.Pump(5);
    }
    // An event of the engine, through the interface the engine calls.
    void EngineEvent(DISPID id, const wchar_t* text) {
        auto* view = dynamic_cast<WebBrowserView*>(W().Port(L"webPage", -1));
        ASSERT_NE(view, nullptr);
        VARIANT arg{};
        V_VT(&arg) = VT_BSTR;
        V_BSTR(&arg) = SysAllocString(text);
        DISPPARAMS params{&arg, nullptr, 1, 0};
        EXPECT_EQ(view->EventSink()->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr),
                  S_OK);
        SysFreeString(V_BSTR(&arg));
        app.Pump(5);
    }
    // Nothing of this process on screen but the windows it shows itself.
    void ExpectNoDialog() {
        for (HWND h : OurTopWindows())
            EXPECT_TRUE(h == Main() || (app.ui.IsLoaded(kForm) && h == W().Handle()))
                << "a window of class " << ClassOf(h) << " appeared";
    }
};

TEST_F(WebGui, OpensFromTheTileBesideTheMainWindowWithItsAddressesAndNotice) {
    OpenFromTile();
    EXPECT_TRUE(app.ui.IsVisible(L"frmMain"));
    HWND h = W().Handle();
    EXPECT_EQ(TextOf(h), L"网络硬盘");
    const LONG style = GetWindowLongW(h, GWL_STYLE);
    EXPECT_TRUE(style & WS_THICKFRAME);
    EXPECT_TRUE(style & WS_MAXIMIZEBOX);
    EXPECT_NE(SendMessageW(h, WM_GETICON, ICON_SMALL, 0), 0);
    RECT client{};
    GetClientRect(h, &client);
    EXPECT_EQ(client.right, MulDiv(781, W().Dpi(), 96));
    EXPECT_EQ(client.bottom, MulDiv(492, W().Dpi(), 96));

    EXPECT_EQ(ItemsOf(Combo()), WebDriveAddresses());
    EXPECT_EQ(TextOf(Combo()), WebDriveAddresses().front());
    // The box's text in its own blue, as the box asks its form for it.
    HDC dc = CreateCompatibleDC(nullptr);
    EXPECT_NE(SendMessageW(Combo(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(Edit())),
              0);
    EXPECT_EQ(GetTextColor(dc), COLORREF(Rgb(55, 152, 229)));
    DeleteDC(dc);
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(Combo(), WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_EQ(font.lfHeight, -MulDiv(105, W().Dpi(), 720));

    // No engine here: the home page the window opens with is in its notice.
    EXPECT_EQ(Notice(), NoEngineNotice(kWebHomePage));
    HWND button = NoticeChild(L"Button");
    ASSERT_NE(button, nullptr);
    EXPECT_TRUE(IsWindowVisible(button));
    EXPECT_EQ(TextOf(button), kOpenInDefaultBrowser);
    EXPECT_EQ(PanelOf(Bar(), 0), L"提示：");
    EXPECT_EQ(PanelOf(Bar(), 1), L"单击此处退出");
    EXPECT_TRUE(app.ui.prompts.empty());
    ExpectNoDialog();
    app.Screenshot(kForm, L"webdrive");
}

TEST_F(WebGui, FromTheMenuTheMainWindowHides) {
    app.Menu(L"frmMain", L"mnuWEB");
    ASSERT_TRUE(app.PumpUntil([&] { return app.ui.IsVisible(kForm); }));
    EXPECT_FALSE(app.ui.IsVisible(L"frmMain"));
    EXPECT_EQ(ItemsOf(Combo()).size(), 9u);
    ExpectNoDialog();
}

TEST_F(WebGui, EnterAChoiceAndRefreshNavigateAndOtherKeysAreTyped) {
    OpenFromTile();
    Enter(L"pan.example.net/共享");
    EXPECT_EQ(Notice(), NoEngineNotice(L"pan.example.net/共享"));
    EXPECT_EQ(TextOf(Combo()), L"pan.example.net/共享");

    // Any other key goes into the box and opens nothing.
    const std::wstring before = TextOf(Combo());
    SendMessageW(Edit(), EM_SETSEL, before.size(), before.size());
    app.Press(kForm, L"cboAddress", -1, L'x');
    EXPECT_EQ(TextOf(Combo()), before + L"x");
    EXPECT_EQ(Notice(), NoEngineNotice(L"pan.example.net/共享"));

    Choose(3);
    EXPECT_EQ(Notice(), NoEngineNotice(WebDriveAddresses()[3]));

    // Enter with the list open opens what the box holds and closes the list.
    SendMessageW(Combo(), CB_SHOWDROPDOWN, TRUE, 0);
    app.Pump(5);
    ASSERT_TRUE(SendMessageW(Combo(), CB_GETDROPPEDSTATE, 0, 0));
    Enter(L"www.example.com/盘");
    EXPECT_FALSE(SendMessageW(Combo(), CB_GETDROPPEDSTATE, 0, 0));
    EXPECT_EQ(Notice(), NoEngineNotice(L"www.example.com/盘"));
    EXPECT_EQ(TextOf(Combo()), L"www.example.com/盘");

    app.Type(kForm, L"cboAddress", -1, L"https://cloud.example.org/");
    app.Click(kForm, L"cmdSearch");
    EXPECT_EQ(Notice(), NoEngineNotice(L"https://cloud.example.org/"));
    EXPECT_TRUE(app.ui.prompts.empty());
    ExpectNoDialog();
}

TEST_F(WebGui, WhatIsNotAWebAddressIsRefusedWithTheReason) {
    OpenFromTile();
    Enter(L"www.example.com");
    const std::wstring shown = Notice();
    struct Case {
        const wchar_t* typed;
        AddressKind why;
    };
    for (const Case& c : {Case{L"file:///C:/windows/win.ini", AddressKind::LocalPath},
                          Case{L"C:\\windows", AddressKind::LocalPath},
                          Case{L"\\\\server\\share", AddressKind::LocalPath},
                          Case{L"javascript:alert(1)", AddressKind::Script},
                          Case{L" VBScript:msgbox(1)", AddressKind::Script},
                          Case{L"shell:startup", AddressKind::OtherScheme}}) {
        app.ui.prompts.clear();
        Enter(c.typed);
        ASSERT_EQ(app.ui.prompts.size(), 1u) << std::wstring(c.typed);
        EXPECT_EQ(app.ui.prompts[0].text, RefusalText(c.why));
        EXPECT_NE(app.ui.prompts[0].text, L"");
        // Nothing was opened: the notice still shows the page before.
        EXPECT_EQ(Notice(), shown);
        ExpectNoDialog();
    }
    // The same through "刷新".
    app.ui.prompts.clear();
    app.Type(kForm, L"cboAddress", -1, L"file://server/share/a.exe");
    app.Click(kForm, L"cmdSearch");
    ASSERT_EQ(app.ui.prompts.size(), 1u);
    EXPECT_EQ(app.ui.prompts[0].text, RefusalText(AddressKind::LocalPath));
    EXPECT_EQ(Notice(), shown);
}

TEST_F(WebGui, EngineTitleAndStatusTextReachCaptionAndPanelAndTheBarLeads) {
    app.Menu(L"frmMain", L"mnuWEB");
    ASSERT_TRUE(app.PumpUntil([&] { return app.ui.IsVisible(kForm); }));
    EngineEvent(DISPID_TITLECHANGE, L"我的网盘");
    EXPECT_EQ(TextOf(W().Handle()), std::wstring(kWebDriveCaptionLead) + L"我的网盘");
    EngineEvent(DISPID_STATUSTEXTCHANGE, L"正在打开网页 https://pan.example.net/ ...");
    EXPECT_EQ(PanelOf(Bar(), 1), L"正在打开网页 https://pan.example.net/ ...");
    EXPECT_EQ(PanelOf(Bar(), 0), L"提示：");

    // Any panel goes back, also after the exit text was replaced; the main
    // window comes back in its normal state.
    ShowWindow(Main(), SW_MINIMIZE);
    app.Pump(20);
    ClickPanel(1);
    EXPECT_TRUE(IsWindowVisible(Main()));
    EXPECT_FALSE(IsIconic(Main()));
    EXPECT_FALSE(app.ui.IsVisible(kForm));
    ASSERT_TRUE(app.ui.IsLoaded(kForm));

    // Only hidden: it comes back with its page and caption.
    OpenFromTile();
    EXPECT_EQ(TextOf(W().Handle()), std::wstring(kWebDriveCaptionLead) + L"我的网盘");
    ClickPanel(0);
    EXPECT_TRUE(IsWindowVisible(Main()));
    EXPECT_FALSE(app.ui.IsVisible(kForm));
    ExpectNoDialog();
}

TEST_F(WebGui, ClosingShowsTheMainWindowAndTheNextOpeningLoadsAgain) {
    app.Menu(L"frmMain", L"mnuWEB");
    ASSERT_TRUE(app.PumpUntil([&] { return app.ui.IsVisible(kForm); }));
    EngineEvent(DISPID_TITLECHANGE, L"旧的标题");
    Enter(L"www.example.com");
    SendMessageW(W().Handle(), WM_CLOSE, 0, 0);
    app.Pump(20);
    EXPECT_FALSE(app.ui.IsLoaded(kForm));
    EXPECT_TRUE(IsWindowVisible(Main()));

    OpenFromTile();
    EXPECT_EQ(TextOf(W().Handle()), L"网络硬盘");
    EXPECT_EQ(Notice(), NoEngineNotice(kWebHomePage));
    EXPECT_EQ(TextOf(Combo()), WebDriveAddresses().front());
    ExpectNoDialog();
}

TEST_F(WebGui, TheBrowserFillsTheWindowAsItGrowsAndTheAddressRowStays) {
    OpenFromTile();
    HWND h = W().Handle();
    const RECT row = W().ControlRect(L"cboAddress", -1);
    const RECT button = W().ControlRect(L"cmdSearch", -1);
    auto check = [&] {
        RECT client{}, bar{}, area{}, view{};
        GetClientRect(h, &client);
        GetWindowRect(Bar(), &bar);
        MapWindowPoints(nullptr, h, reinterpret_cast<POINT*>(&bar), 2);
        area = W().ControlRect(L"webPage", -1);
        EXPECT_EQ(area.left, 0);
        EXPECT_EQ(area.top, MulDiv(480, W().Dpi(), 1440));
        EXPECT_EQ(area.right, client.right);
        EXPECT_EQ(area.bottom, bar.top);
        EXPECT_EQ(bar.bottom, client.bottom);
        GetClientRect(View(), &view);
        EXPECT_EQ(view.right, area.right - area.left);
        EXPECT_EQ(view.bottom, area.bottom - area.top);
        const RECT nowRow = W().ControlRect(L"cboAddress", -1), nowButton = W().ControlRect(L"cmdSearch", -1);
        EXPECT_TRUE(EqualRect(&row, &nowRow));
        EXPECT_TRUE(EqualRect(&button, &nowButton));
        // "提示：" keeps its narrow panel; the other takes the rest, and each
        // tip covers its panel.
        int edges[2] = {};
        ASSERT_EQ(SendMessageW(Bar(), SB_GETPARTS, 2, reinterpret_cast<LPARAM>(edges)), 2);
        EXPECT_EQ(edges[0], MulDiv(1440, W().Dpi(), 1440));
        EXPECT_EQ(edges[1], -1);
        const std::vector<Tip> tips = TipsOf(h, Bar());
        ASSERT_EQ(tips.size(), 2u);
        for (const Tip& t : tips) {
            RECT panel{};
            SendMessageW(Bar(), SB_GETRECT, t.id, reinterpret_cast<LPARAM>(&panel));
            EXPECT_TRUE(EqualRect(&panel, &t.rect)) << "panel " << t.id;
            EXPECT_EQ(t.text, t.id == 0 ? L"提示：" : L"单击此处退出");
        }
        // The notice stays inside the browser's area.
        RECT notice{};
        GetWindowRect(NoticeChild(L"Button"), &notice);
        MapWindowPoints(nullptr, h, reinterpret_cast<POINT*>(&notice), 2);
        EXPECT_LE(notice.bottom, area.bottom);
    };
    check();
    ShowWindow(h, SW_MAXIMIZE);
    app.Pump(20);
    RECT big{};
    GetClientRect(h, &big);
    EXPECT_GT(big.right, MulDiv(781, W().Dpi(), 96));
    check();
    ShowWindow(h, SW_RESTORE);
    app.Pump(20);
    check();
    // Enlarged by its frame, as the user drags it (on the screen, for the picture).
    SetWindowPos(h, nullptr, 0, 0, 960, 700, SWP_NOZORDER);
    app.Pump(20);
    check();
    app.Screenshot(kForm, L"webdrive-larger");
    // Minimized and back: nothing is lost.
    ShowWindow(h, SW_MINIMIZE);
    app.Pump(20);
    ShowWindow(h, SW_RESTORE);
    app.Pump(20);
    check();
}

TEST_F(WebGui, EveryTextCanBeReadFromOutside) {
    OpenFromTile();
    EngineEvent(DISPID_TITLECHANGE, L"标题");
    Enter(L"www.example.com");
    const std::set<std::wstring> texts = OutsideTexts(W().Handle());
    std::vector<std::wstring> expected = {std::wstring(kWebDriveCaptionLead) + L"标题",
                                          L"网络硬盘列表：",
                                          L"刷新",
                                          L"提示：",
                                          L"单击此处退出",
                                          L"www.example.com",
                                          NoEngineNotice(L"www.example.com"),
                                          kOpenInDefaultBrowser};
    for (const std::wstring& a : WebDriveAddresses()) expected.push_back(a);
    for (const std::wstring& t : expected)
        EXPECT_TRUE(texts.count(t)) << "not readable: " << t;
    // The panels' tips say what the panels say.
    std::set<std::wstring> tips;
    for (const Tip& t : TipsOf(W().Handle(), Bar())) tips.insert(t.text);
    EXPECT_EQ(tips, (std::set<std::wstring>{L"提示：", L"单击此处退出"}));
}

}  // namespace
}  // namespace lz::test
