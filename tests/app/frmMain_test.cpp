#include <gtest/gtest.h>

#include <algorithm>

#include "app/frmMain.h"
#include "core/help.h"
#include "lock/fake_surface.h"
#include "support/app_fixture.h"

namespace lz::test {
namespace {

struct MainWindow : AppFixture, ::testing::Test {
    void SetUp() override { ui.ShowForm(L"frmMain"); }
    frmMain& Main() { return ui.Logic<frmMain>(L"frmMain"); }
    FakeControls& C() { return ui.ControlsOf(L"frmMain"); }
    bool Logged(const std::wstring& line) {
        return std::find(ui.log.begin(), ui.log.end(), line) != ui.log.end();
    }
};

TEST_F(MainWindow, StartsWithTheIntroductionAndRecordsItsSize) {
    EXPECT_EQ(C().At(L"lblCaption").text,
              L"软件介绍：\r\n     岚栈备份专家是个性化备份的最佳工具，它集成了定时备份、软件资料备份、网络硬盘备份和系统隐藏工具等众多功能，是使用Windows必备助手工具之一。");
    EXPECT_EQ(C().At(L"lblCaption").fore, Rgb(55, 152, 225));
    EXPECT_EQ(Main().FormWidth, 9480);
    EXPECT_EQ(Main().FormHeight, 7020);
    EXPECT_EQ(Main().WinDir, L"C:\\WINDOWS");
    for (int i = 0; i < 8; ++i) EXPECT_EQ(C().At(L"imgPIC", i).picture, L"bmp" + std::to_wstring(i));
    EXPECT_EQ(C().At(L"lblTitle", 6).text, L"一键GHOST");
}

TEST_F(MainWindow, ReadsTheDestinationAtStartUp) {
    AppFixture other;
    other.machine.AddFile(L"C:\\Lanzhan\\SavePath.ini", {L"c:\\old", L"E:\\备份"});
    other.ui.ShowForm(L"frmMain");
    EXPECT_EQ(other.ctx.SavePath, L"E:\\备份");
    // No file: an empty destination, and start-up goes on.
    EXPECT_EQ(ctx.SavePath, L"");
    EXPECT_TRUE(ui.IsVisible(L"frmMain"));
}

TEST_F(MainWindow, HoverShowsEachTileAndOnlyTheBoxResetsTitles) {
    for (int i = 0; i < 8; ++i) {
        Main().ShowDescription(i);
        const std::wstring text = C().At(L"lblCaption").text;
        const std::wstring head = Tile(i).heading;
        ASSERT_EQ(text.substr(0, head.size() + 2), head + L"\r\n");
        const std::wstring body = text.substr(head.size() + 2);
        const size_t spaces = body.find_first_not_of(L' ');
        EXPECT_EQ(spaces, i == 6 ? 4u : 5u) << "tile " << i;
    }
    Main().PicICO_MouseMove();
    ui.Fire(L"frmMain", {EventKind::MouseMove, L"imgPIC", 3});
    ui.Fire(L"frmMain", {EventKind::MouseMove, L"imgPIC", 5});
    EXPECT_EQ(C().At(L"lblTitle", 3).fore, Rgb(55, 152, 229));
    EXPECT_EQ(C().At(L"lblTitle", 5).fore, Rgb(55, 152, 229));
    EXPECT_EQ(C().At(L"lblTitle", 0).fore, kBlack);
    ui.Fire(L"frmMain", {EventKind::MouseMove, L"PicICO", -1});
    for (int i = 0; i < 8; ++i) EXPECT_EQ(C().At(L"lblTitle", i).fore, kBlack);
    EXPECT_EQ(C().At(L"lblCaption").text.substr(0, 5), L"字体备份：");
}

TEST_F(MainWindow, SpiderClimbsDownTurnsAboveFiveThousandAndBelowTwelveHundred) {
    std::vector<int> tops;
    for (int step = 0; step < 900; ++step) {
        Main().timAraneid_Timer();
        tops.push_back(C().At(L"imgAraneid").top);
        EXPECT_EQ(C().At(L"imgAraneid").left, 600);
        EXPECT_EQ(C().At(L"imgAraneid").picture, step % 2 == 0 ? L"bmp9" : L"bmp10");
    }
    EXPECT_EQ(tops.front(), 1090);
    EXPECT_EQ(*std::max_element(tops.begin(), tops.end()), 5010);
    // after the turn at the bottom it climbs to the first value below 1200, then down again
    auto bottom = std::find(tops.begin(), tops.end(), 5010);
    auto top = std::min_element(bottom, tops.end());
    EXPECT_EQ(*top, 1190);
    ASSERT_NE(top + 1, tops.end());
    EXPECT_EQ(*(top + 1), 1200);
}

TEST_F(MainWindow, MinimizingHidesAndTheTrayBringsItBack) {
    C().formWidth = 5000;  // dragged
    ui.Fire(L"frmMain", {EventKind::Resize, L""});
    EXPECT_EQ(C().formWidth, 9480);
    ui.SetWindowState(L"frmMain", WindowState::Minimized);
    ui.Fire(L"frmMain", {EventKind::Resize, L""});
    EXPECT_FALSE(ui.IsVisible(L"frmMain"));
    // a right click pops the menu up without showing the window
    Main().cSysTray1_Mouse(2, false);
    EXPECT_EQ(C().popups, std::vector<std::wstring>{L"mnuMain"});
    EXPECT_FALSE(ui.IsVisible(L"frmMain"));
    Main().cSysTray1_Mouse(1, false);
    EXPECT_TRUE(ui.IsVisible(L"frmMain"));
    EXPECT_EQ(ui.GetWindowState(L"frmMain"), WindowState::Normal);
}

TEST_F(MainWindow, BackupPathMenuShowsTheDialogAndKeepsTheMainWindow) {
    ui.Fire(L"frmMain", {EventKind::Menu, L"mnuSavetoPath"});
    EXPECT_TRUE(ui.IsVisible(L"frmSoftSaveSetting"));
    EXPECT_TRUE(ui.IsVisible(L"frmMain"));
}

TEST_F(MainWindow, ExitUnloadsEveryWindowAndCloseBoxDoesTheSame) {
    ui.ShowForm(L"frmSoftSaveSetting");
    ui.Fire(L"frmMain", {EventKind::Menu, L"mnuExit"});
    EXPECT_FALSE(ui.IsLoaded(L"frmMain"));
    EXPECT_FALSE(ui.IsLoaded(L"frmSoftSaveSetting"));

    AppFixture spider;
    spider.ui.ShowForm(L"frmMain");
    spider.ui.ShowForm(L"frmSoftSaveSetting");
    spider.ui.Fire(L"frmMain", {EventKind::Click, L"imgAraneid"});
    EXPECT_FALSE(spider.ui.IsLoaded(L"frmMain"));
    EXPECT_FALSE(spider.ui.IsLoaded(L"frmSoftSaveSetting"));
    EXPECT_TRUE(spider.ui.prompts.empty());  // without asking
}

TEST_F(MainWindow, HelpStartsMaximizedAndQuotesAProgramFolderWithABlank) {
    machine.runs.clear();  // what the pre-loaded windows started
    ui.Fire(L"frmMain", {EventKind::Menu, L"mnuHelp"});
    ui.Fire(L"frmMain", {EventKind::Menu, L"mnuLanzhan"});
    ASSERT_EQ(machine.runs.size(), 2u);
    EXPECT_EQ(machine.runs[0].commandLine, L"C:\\WINDOWS\\hh.exe C:\\Lanzhan\\lanzhan.chm::/main.htm");
    EXPECT_EQ(machine.runs[0].style, WindowStyle::MaximizedFocus);
    EXPECT_EQ(machine.runs[1].commandLine, L"C:\\WINDOWS\\hh.exe C:\\Lanzhan\\lanzhan.chm::/index.htm");
    EXPECT_EQ(HelpCommand(L"C:\\WINDOWS", L"C:\\Program Files\\岚栈", L"tasks.htm"),
              L"C:\\WINDOWS\\hh.exe \"C:\\Program Files\\岚栈\\lanzhan.chm::/tasks.htm\"");
}

TEST_F(MainWindow, BurningNeedsTheRegistryEntry) {
    machine.runs.clear();  // what the pre-loaded windows started
    ui.prompts.clear();
    Main().imgPIC_Click(3);
    ASSERT_EQ(ui.prompts.size(), 1u);
    EXPECT_EQ(ui.prompts[0].text, L"很抱歉,该功能需要NERO刻录软件和刻录机支持,请你先安装。谢谢！");
    EXPECT_EQ(ui.prompts[0].title, L"注册表中找不到");
    EXPECT_TRUE(machine.runs.empty());

    machine.regKeys.insert(L"SOFTWARE\\ahead\\Shared");
    Main().imgPIC_Click(3);  // key without the value: nothing
    EXPECT_EQ(ui.prompts.size(), 1u);
    EXPECT_TRUE(machine.runs.empty());

    machine.SetReg(L"SOFTWARE\\ahead\\Shared", L"NeroAPI", L"C:\\Program Files\\Ahead\\Nero");
    ui.Fire(L"frmMain", {EventKind::Menu, L"mnuNero"});
    ASSERT_EQ(machine.runs.size(), 1u);
    EXPECT_EQ(machine.runs[0].commandLine, L"\"C:\\Program Files\\Ahead\\Nero\\nero.exe\"");
    EXPECT_EQ(machine.runs[0].style, WindowStyle::NormalFocus);
    EXPECT_TRUE(ui.IsVisible(L"frmMain"));
}

TEST_F(MainWindow, ToolsNotInThisBuildAreGreyedAndDoNothing) {
    for (const wchar_t* item : {L"mnuAuto", L"mnuXPtools", L"mnuWEB", L"mnuFont", L"mnuGhost", L"mnuGetPic",
                                L"mnuSoftSet"}) {
        const std::wstring form = item == std::wstring(L"mnuAuto")      ? L"frmAutoSelectTime"
                                  : item == std::wstring(L"mnuXPtools") ? L"frmXPTools"
                                  : item == std::wstring(L"mnuWEB")     ? L"frmWebDrive"
                                  : item == std::wstring(L"mnuFont")    ? L"frmFonts"
                                  : item == std::wstring(L"mnuGhost")   ? L"frmGhost"
                                  : item == std::wstring(L"mnuGetPic")  ? L"frmSet"
                                                                        : L"frmSoftBackup";
        EXPECT_EQ(C().At(item).enabled, ui.IsAvailable(form)) << std::string(item, item + 4);
        if (!ui.IsAvailable(form)) {
            ui.Fire(L"frmMain", {EventKind::Menu, item});
            EXPECT_TRUE(ui.IsVisible(L"frmMain"));
        }
    }
    EXPECT_TRUE(C().At(L"mnuSavetoPath").enabled);
}

// Tile 4 and its menu item: the main window goes, the password is made sure
// of, and the lock settings open, which lock at once.
struct LockTile : LockedApp, ::testing::Test {
    void SetUp() override {
        ui.ShowForm(L"frmMain");
        ui.log.clear();
        ui.inputAnswers = {L"Pw"};
    }
    std::ptrdiff_t At(const std::wstring& line) {
        return std::find(ui.log.begin(), ui.log.end(), line) - ui.log.begin();
    }
    void ExpectOpened() {
        EXPECT_FALSE(ui.IsVisible(L"frmMain"));
        ASSERT_EQ(ui.prompts.size(), 1u);
        EXPECT_EQ(ui.prompts[0].text, L"请输入要锁定屏幕时的密码");
        // The password asked for is the one the lock then takes: asked before the settings loaded.
        EXPECT_EQ(machine.Lines(IniPath()), std::vector<std::wstring>{L"Pw"});
        EXPECT_LT(At(L"hide frmMain"), At(L"load frmSet"));
        EXPECT_TRUE(ui.IsVisible(L"frmSet"));
        ASSERT_TRUE(Locked());
        ui.inputAnswers = {L"Pw"};
        ui.Fire(L"frmScreen", {EventKind::DblClick, L""});
        EXPECT_FALSE(ui.IsLoaded(L"frmScreen"));
    }
};

TEST_F(LockTile, TheTileHidesTheMainWindowChecksThePasswordAndLocks) {
    ui.Fire(L"frmMain", {EventKind::Click, L"imgPIC", 4});
    ExpectOpened();
}

TEST_F(LockTile, TheMenuItemDoesWhatTheTileDoes) {
    EXPECT_TRUE(ui.ControlsOf(L"frmMain").At(L"mnuGetPic").enabled);
    ui.Fire(L"frmMain", {EventKind::Menu, L"mnuGetPic"});
    ExpectOpened();
}

TEST_F(LockTile, TheTrayCannotEndTheSuiteWhileLocked) {
    ui.Fire(L"frmMain", {EventKind::Click, L"imgPIC", 4});
    ASSERT_TRUE(Locked());
    ui.Fire(L"frmMain", {EventKind::Menu, L"mnuExit"});
    EXPECT_TRUE(ui.IsLoaded(L"frmMain"));
    EXPECT_TRUE(Locked());
    EXPECT_FALSE(ui.ended);
}

}  // namespace
}  // namespace lz::test
