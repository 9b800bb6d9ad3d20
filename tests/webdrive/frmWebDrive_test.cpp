// The web storage window driven through in-memory controls and a fake
// browser: what it opens, what the browser's events change, and how it hands
// back to the main window.
#include <gtest/gtest.h>

#include <algorithm>

#include "support/app_fixture.h"
#include "webdrive/frmWebDrive.h"
#include "webdrive/webaddress.h"

namespace lz::test {
namespace {

struct FakeBrowser : BrowserPort {
    bool engine = true;
    std::vector<std::wstring> navigated;
    int refreshes = 0;
    int fits = 0;
    int engineAsked = 0;
    std::wstring notice, noticeButton;

    bool CanShowPages() override {
        ++engineAsked;
        return engine;
    }
    void Navigate(const std::wstring& address) override { navigated.push_back(address); }
    void Refresh() override { ++refreshes; }
    void FitToClient() override { ++fits; }
    void ShowNotice(const std::wstring& text, const std::wstring& button) override {
        notice = text;
        noticeButton = button;
    }
};

// The real host gives the window its browser before Load; so does this one.
class WithBrowser : public frmWebDrive {
public:
    WithBrowser(AppContext& ctx, FakeBrowser& b) : frmWebDrive(ctx), browser_(b) {}
    void OnEvent(const Event& e) override {
        if (e.kind == EventKind::Load) dynamic_cast<FakeControls&>(Ctl()).ports[{L"webPage", -1}] = &browser_;
        frmWebDrive::OnEvent(e);
    }

private:
    FakeBrowser& browser_;
};

struct WebDrive : AppFixture, ::testing::Test {
    FakeBrowser browser;
    void Open(bool engine = true) {
        browser.engine = engine;
        registry.Add(L"frmWebDrive", [this](AppContext& c) { return std::make_unique<WithBrowser>(c, browser); });
        ui.ShowForm(L"frmMain");
        ui.Fire(L"frmMain", {EventKind::Click, L"imgPIC", 2});
        ASSERT_TRUE(ui.IsVisible(L"frmWebDrive"));
    }
    FakeControls& C() { return ui.ControlsOf(L"frmWebDrive"); }
    frmWebDrive& W() { return ui.Logic<frmWebDrive>(L"frmWebDrive"); }
    void Fire(const Event& e) { ui.Fire(L"frmWebDrive", e); }
    void Type(const std::wstring& text) { C().SetText(L"cboAddress", -1, text); }
    // Enter in the box; true when the window took the key for itself.
    bool PressKey(wchar_t key) {
        bool handled = false;
        Event e{EventKind::KeyPress, L"cboAddress"};
        e.key = key;
        e.cancel = &handled;
        Fire(e);
        return handled;
    }
    Event BrowserEvent(EventKind kind, const std::wstring& text) {
        Event e{kind, L"webPage"};
        e.text = text;
        return e;
    }
};

TEST_F(WebDrive, OpensOnTheHomePageWithTheNineAddresses) {
    Open();
    ASSERT_EQ(browser.navigated.size(), 1u);
    // The home page goes to the browser as a bare host name.
    EXPECT_EQ(browser.navigated[0], kWebHomePage);
    EXPECT_EQ(browser.navigated[0].find(L"://"), std::wstring::npos);
    EXPECT_EQ(C().At(L"cboAddress").items, WebDriveAddresses());
    EXPECT_EQ(C().At(L"cboAddress").text, WebDriveAddresses()[0]);
    EXPECT_EQ(C().At(L"cboAddress").fore, Rgb(55, 152, 229));
    EXPECT_EQ(C().formBack, Rgb(236, 233, 216));
    EXPECT_EQ(C().caption, L"网络硬盘");
    EXPECT_EQ(C().GetPanelText(L"statusBar", 0), L"提示：");
    EXPECT_EQ(C().GetPanelText(L"statusBar", 1), L"单击此处退出");
    EXPECT_EQ(C().At(L"lblAddress").text, L"网络硬盘列表：");
    EXPECT_EQ(C().At(L"cmdSearch").text, L"刷新");
    EXPECT_GE(browser.fits, 1);
    EXPECT_TRUE(browser.notice.empty());
    // The tile leaves the main window up.
    EXPECT_TRUE(ui.IsVisible(L"frmMain"));
    const FormDef& d = W().Definition();
    EXPECT_EQ(d.border, Border::Sizable);
    EXPECT_EQ(d.clientWidth, 11715);
    EXPECT_EQ(d.clientHeight, 7380);
}

TEST_F(WebDrive, TitleGoesToTheCaptionAndStatusTextToTheSecondPanel) {
    Open();
    Fire(BrowserEvent(kBrowserTitleChange, L"百度网盘"));
    EXPECT_EQ(C().caption, L"岚栈备份专家,让你选择自已喜欢的网络硬盘=百度网盘");
    Fire(BrowserEvent(kBrowserTitleChange, L""));
    EXPECT_EQ(C().caption, L"岚栈备份专家,让你选择自已喜欢的网络硬盘=");
    Fire(BrowserEvent(kBrowserStatusTextChange, L"完成"));
    EXPECT_EQ(C().GetPanelText(L"statusBar", 1), L"完成");
    EXPECT_EQ(C().GetPanelText(L"statusBar", 0), L"提示：");
    // Once the browser has spoken, a click on either panel still goes back.
    for (int panel : {0, 1}) {
        ui.ShowForm(L"frmWebDrive");
        ui.SetWindowState(L"frmMain", WindowState::Minimized);
        ui.HideForm(L"frmMain");
        Fire({EventKind::Click, L"statusBar", panel});
        EXPECT_TRUE(ui.IsVisible(L"frmMain"));
        EXPECT_EQ(ui.GetWindowState(L"frmMain"), WindowState::Normal);
        EXPECT_FALSE(ui.IsVisible(L"frmWebDrive"));
        // Only hidden: the page is still there at the next opening.
        EXPECT_TRUE(ui.IsLoaded(L"frmWebDrive"));
    }
    EXPECT_EQ(browser.navigated.size(), 1u);
    // With a page shown there is no notice: a click there opens nothing elsewhere.
    Fire({kBrowserNoticeButton, L"webPage"});
    EXPECT_TRUE(machine.browserOpens.empty());
}

TEST_F(WebDrive, EnterOpensWhatWasTypedAndOtherKeysAreTyped) {
    Open();
    Type(L"  example.com/网盘?a=1 ");
    EXPECT_FALSE(PressKey(L'a'));
    EXPECT_EQ(browser.navigated.size(), 1u);
    EXPECT_TRUE(PressKey(13));
    ASSERT_EQ(browser.navigated.size(), 2u);
    EXPECT_EQ(browser.navigated[1], L"  example.com/网盘?a=1 ");  // unchanged, not in the list
    EXPECT_EQ(W().Address, L"  example.com/网盘?a=1 ");
    // Nothing typed: nothing to open, nothing to say.
    Type(L"   ");
    EXPECT_TRUE(PressKey(13));
    EXPECT_EQ(browser.navigated.size(), 2u);
    EXPECT_TRUE(ui.prompts.empty());
}

TEST_F(WebDrive, AChoiceFromTheListOpensThatEntry) {
    Open();
    for (int at : {3, 8, 0}) {
        C().SetListIndex(L"cboAddress", -1, at);
        Fire({EventKind::Click, L"cboAddress", -1, 1});
        EXPECT_EQ(browser.navigated.back(), WebDriveAddresses()[at]);
    }
    EXPECT_EQ(browser.navigated.size(), 4u);
    // A click with nothing chosen opens nothing.
    C().SetListIndex(L"cboAddress", -1, -1);
    Fire({EventKind::Click, L"cboAddress", -1, 1});
    EXPECT_EQ(browser.navigated.size(), 4u);
}

TEST_F(WebDrive, RefreshReloadsThePageShownOrOpensTheNewText) {
    Open();
    Type(L"https://pan.baidu.com/");
    Fire({EventKind::Click, L"cmdSearch"});
    ASSERT_EQ(browser.navigated.size(), 2u);
    EXPECT_EQ(browser.navigated[1], L"https://pan.baidu.com/");
    EXPECT_EQ(browser.refreshes, 0);
    Fire({EventKind::Click, L"cmdSearch"});
    EXPECT_EQ(browser.refreshes, 1);
    EXPECT_EQ(browser.navigated.size(), 2u);
    Type(L"www.weiyun.com");
    Fire({EventKind::Click, L"cmdSearch"});
    EXPECT_EQ(browser.navigated.back(), L"www.weiyun.com");
    EXPECT_EQ(browser.refreshes, 1);
}

TEST_F(WebDrive, AddressesThatWouldRunSomethingHereAreRefusedWithAReason) {
    Open();
    const std::size_t runs = machine.runs.size();  // the start-up's own
    const std::pair<const wchar_t*, AddressKind> refused[] = {
        {L"file:///C:/boot.ini", AddressKind::LocalPath},
        {L"C:\\WINDOWS\\system32\\cmd.exe", AddressKind::LocalPath},
        {L"\\\\server\\share", AddressKind::LocalPath},
        {L"javascript:alert(1)", AddressKind::Script},
        {L"VBScript:MsgBox(1)", AddressKind::Script},
        {L"shell:startup", AddressKind::OtherScheme},
    };
    for (const auto& [text, kind] : refused) {
        ui.prompts.clear();
        Type(text);
        PressKey(13);
        ASSERT_EQ(ui.prompts.size(), 1u);
        EXPECT_EQ(ui.prompts[0].text, RefusalText(kind));
        EXPECT_EQ(ui.prompts[0].flags, kOkOnly | kExclamation);
        // Refused from the list's button and from the list alike.
        Fire({EventKind::Click, L"cmdSearch"});
        EXPECT_EQ(ui.prompts.size(), 2u);
    }
    EXPECT_EQ(browser.navigated.size(), 1u);
    EXPECT_EQ(browser.refreshes, 0);
    EXPECT_EQ(W().Address, kWebHomePage);
    EXPECT_EQ(machine.runs.size(), runs);
    EXPECT_TRUE(machine.browserOpens.empty());
}

TEST_F(WebDrive, WithoutAnEngineTheWindowSaysSoAndOffersTheDefaultBrowser) {
    Open(false);
    EXPECT_TRUE(browser.navigated.empty());
    EXPECT_EQ(browser.notice, NoEngineNotice(kWebHomePage));
    EXPECT_NE(browser.notice.find(kWebHomePage), std::wstring::npos);
    EXPECT_EQ(browser.noticeButton, L"用默认浏览器打开");
    EXPECT_TRUE(ui.prompts.empty());

    C().SetListIndex(L"cboAddress", -1, 1);
    Fire({EventKind::Click, L"cboAddress", -1, 1});
    EXPECT_EQ(browser.notice, NoEngineNotice(L"https://pan.baidu.com/"));
    Fire({kBrowserNoticeButton, L"webPage"});
    ASSERT_EQ(machine.browserOpens.size(), 1u);
    EXPECT_EQ(machine.browserOpens[0], L"https://pan.baidu.com/");

    // A bare host name goes to the default browser as a web address.
    Type(L"www.jianguoyun.com");
    Fire({EventKind::Click, L"cmdSearch"});
    EXPECT_EQ(browser.refreshes, 0);
    EXPECT_EQ(browser.notice, NoEngineNotice(L"www.jianguoyun.com"));
    Fire({kBrowserNoticeButton, L"webPage"});
    EXPECT_EQ(machine.browserOpens.back(), L"http://www.jianguoyun.com");
    // Asked again with no change: shown again, nothing to reload.
    Fire({EventKind::Click, L"cmdSearch"});
    EXPECT_EQ(browser.refreshes, 0);
    EXPECT_TRUE(ui.prompts.empty());

    machine.browserFails = true;
    Fire({kBrowserNoticeButton, L"webPage"});
    ASSERT_EQ(ui.prompts.size(), 1u);
    EXPECT_EQ(ui.prompts[0].text, L"无法用系统的默认浏览器打开www.jianguoyun.com。");
    EXPECT_TRUE(browser.navigated.empty());
}

TEST_F(WebDrive, TheBrowserFollowsTheWindowsSizeUnlessMinimized) {
    Open();
    const int fits = browser.fits;
    Fire({EventKind::Resize, L""});
    EXPECT_EQ(browser.fits, fits + 1);
    ui.SetWindowState(L"frmWebDrive", WindowState::Minimized);
    Fire({EventKind::Resize, L""});
    EXPECT_EQ(browser.fits, fits + 1);
    ui.SetWindowState(L"frmWebDrive", WindowState::Maximized);
    Fire({EventKind::Resize, L""});
    EXPECT_EQ(browser.fits, fits + 2);
    // The address row keeps its place.
    EXPECT_EQ(C().At(L"cboAddress").left, 1320);
    EXPECT_EQ(C().At(L"cboAddress").top, 75);
}

TEST_F(WebDrive, ClosingGoesBackToTheMainWindowAndTheNextOpeningLoadsAgain) {
    Open();
    ui.Fire(L"frmMain", {EventKind::Menu, L"mnuWEB"});
    EXPECT_FALSE(ui.IsVisible(L"frmMain"));
    ui.UnloadForm(L"frmWebDrive");
    EXPECT_TRUE(ui.IsVisible(L"frmMain"));
    EXPECT_FALSE(ui.IsLoaded(L"frmWebDrive"));
    ui.Fire(L"frmMain", {EventKind::Menu, L"mnuWEB"});
    EXPECT_TRUE(ui.IsVisible(L"frmWebDrive"));
    EXPECT_FALSE(ui.IsVisible(L"frmMain"));
    EXPECT_EQ(browser.navigated, (std::vector<std::wstring>{kWebHomePage, kWebHomePage}));
    EXPECT_EQ(C().caption, L"网络硬盘");

    // The program's exit unloads it after the main window: that is not brought back.
    ui.Fire(L"frmMain", {EventKind::Menu, L"mnuExit"});
    EXPECT_FALSE(ui.IsLoaded(L"frmWebDrive"));
    EXPECT_FALSE(ui.IsLoaded(L"frmMain"));
    EXPECT_EQ(std::count(ui.log.begin(), ui.log.end(), L"load frmMain"), 1);
}

TEST_F(WebDrive, WithoutABrowserControlTheWindowStillWorks) {
    // A host that has no browser kind yet: the window opens and nothing breaks.
    ui.ShowForm(L"frmMain");
    ui.Fire(L"frmMain", {EventKind::Menu, L"mnuWEB"});
    ASSERT_TRUE(ui.IsVisible(L"frmWebDrive"));
    EXPECT_EQ(ui.ControlsOf(L"frmWebDrive").At(L"cboAddress").items.size(), 9u);
    ui.Fire(L"frmWebDrive", {EventKind::Click, L"cmdSearch"});
    ui.Fire(L"frmWebDrive", {EventKind::Resize, L""});
    EXPECT_EQ(ui.Logic<frmWebDrive>(L"frmWebDrive").Address, WebDriveAddresses()[0]);
}

}  // namespace
}  // namespace lz::test
