#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "app/frmMain.h"
#include "support/gui_harness_win.h"
#include "ui/inputbox.h"

namespace lz::test {
namespace {

const UINT kTray = WM_APP + 1;

struct MainGui : ::testing::Test {
    GuiApp app;
    void SetUp() override {
        app.ui.ShowForm(L"frmMain");
        app.Pump(50);
    }
    FormWindow& M() { return app.W(L"frmMain"); }
};

TEST_F(MainGui, OpensCentredAtItsSizeWithTilesTitlesAndIcon) {
    HWND h = M().Handle();
    ASSERT_TRUE(IsWindowVisible(h));
    EXPECT_EQ(M().GetCaption(), L"岚栈备份专家 V1.5.3");
    RECT rc;
    GetClientRect(h, &rc);
    HDC dc = GetDC(nullptr);
    int dpi = GetDeviceCaps(dc, LOGPIXELSX);
    ReleaseDC(nullptr, dc);
    EXPECT_EQ(rc.right, MulDiv(632, dpi, 96));
    EXPECT_EQ(rc.bottom, MulDiv(468, dpi, 96));
    EXPECT_FALSE(GetWindowLongW(h, GWL_STYLE) & WS_MAXIMIZEBOX);
    EXPECT_FALSE(GetWindowLongW(h, GWL_STYLE) & WS_THICKFRAME);
    EXPECT_NE(SendMessageW(h, WM_GETICON, ICON_SMALL, 0), 0);
    // tile 0 sits 600 twips (40 px) into the white box
    RECT tile = M().ControlRect(L"imgPIC", 0), box = M().ControlRect(L"PicICO", -1);
    EXPECT_EQ(tile.right - tile.left, MulDiv(55, dpi, 96));
    EXPECT_NEAR(tile.left - box.left, MulDiv(40, dpi, 96), 3);
    EXPECT_NE(LoadBitmapResource(L"bmp8"), nullptr);
    app.Screenshot(L"frmMain", L"main");
}

TEST_F(MainGui, HoverAndTheWhiteBox) {
    app.MouseMove(L"frmMain", L"imgPIC", 3);
    app.MouseMove(L"frmMain", L"imgPIC", 5);
    EXPECT_EQ(M().GetForeColor(L"lblTitle", 3), Rgb(55, 152, 229));
    EXPECT_EQ(M().GetForeColor(L"lblTitle", 5), Rgb(55, 152, 229));
    EXPECT_EQ(M().GetText(L"lblCaption", -1).substr(0, 5), L"字体备份：");
    app.MouseMove(L"frmMain", L"PicICO");
    EXPECT_EQ(M().GetForeColor(L"lblTitle", 3), kBlack);
    EXPECT_EQ(M().GetForeColor(L"lblTitle", 5), kBlack);
    app.MouseMove(L"frmMain", L"imgPIC", 1);
    app.Screenshot(L"frmMain", L"main-hover");
}

TEST_F(MainGui, TheSpiderMovesAndTurnsOnEachTick) {
    auto top = [&] { return M().GetTop(L"imgAraneid", -1); };
    // Its timer runs by itself...
    ASSERT_TRUE(M().GetTimerEnabled(L"timAraneid"));
    const int first = top();
    EXPECT_TRUE(app.PumpUntil([&] { return top() != first; }));
    // ...and each tick moves it 10 twips down and shows the other picture.
    M().SetTimer(L"timAraneid", false, 0);
    const int start = top();
    const std::wstring picture = M().GetPicture(L"imgAraneid", -1);
    app.Tick(L"frmMain", L"timAraneid");
    EXPECT_EQ(top(), start + 10);
    EXPECT_NE(M().GetPicture(L"imgAraneid", -1), picture);
    app.Tick(L"frmMain", L"timAraneid");
    EXPECT_EQ(top(), start + 20);
    EXPECT_EQ(M().GetPicture(L"imgAraneid", -1), picture);
    EXPECT_EQ(M().GetLeft(L"imgAraneid", -1), 600);
    // The picture window follows.
    EXPECT_EQ(M().ControlRect(L"imgAraneid", -1).top, MulDiv(start + 20, M().Dpi(), 1440));
}

// The working windows load after the main window is up; a click that comes
// before they have finds them loaded all the same.
TEST(MainStartGui, TheWorkingWindowsLoadWhenIdleAndAFirstClickFindsThemLoaded) {
    GuiApp app;
    const std::wstring ini = app.machine.ProgramDir() + L"\\SavePath.ini";
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring destination = std::wstring(temp) + L"lz-first-click";
    CreateDirectoryW(destination.c_str(), nullptr);
    ASSERT_EQ(app.machine.WriteTextFile(ini, {destination}), WriteResult::Ok);

    app.ui.ShowForm(L"frmMain");
    EXPECT_TRUE(IsWindowVisible(app.W(L"frmMain").Handle()));
    EXPECT_FALSE(app.ui.IsLoaded(L"frmSoftBackup"));
    EXPECT_FALSE(app.ui.IsLoaded(L"frmAutoSelectTime"));
    EXPECT_FALSE(app.ui.IsLoaded(L"frmFonts"));
    // The software backup tile before any idle moment: the destination the
    // task window reads at its load is known, so no destination dialog.
    app.Click(L"frmMain", L"imgPIC", 7);
    EXPECT_TRUE(app.ui.IsLoaded(L"frmAutoSelectTime"));
    EXPECT_TRUE(app.ui.IsLoaded(L"frmFonts"));
    EXPECT_TRUE(app.ui.IsVisible(L"frmSoftBackup"));
    EXPECT_FALSE(app.ui.IsLoaded(L"frmSoftSaveSetting"));
    EXPECT_EQ(app.ctx.SavePath, destination);
    EXPECT_FALSE(app.ui.IsVisible(L"frmMain"));
    DeleteFileW(ini.c_str());
    RemoveDirectoryW(destination.c_str());
}

TEST(MainStartGui, IdleLoadsThemInOrderWithoutAClick) {
    GuiApp app;
    app.ui.ShowForm(L"frmMain");
    EXPECT_TRUE(app.ui.HasWaitingForms());
    // The tray icon comes first of the idle work, once the window is up.
    EXPECT_TRUE(app.W(L"frmMain").TrayIconWaiting());
    EXPECT_TRUE(app.ui.DoIdleWork());
    EXPECT_FALSE(app.W(L"frmMain").TrayIconWaiting());
    EXPECT_FALSE(app.ui.IsLoaded(L"frmSoftBackup"));
    app.Pump(1);
    EXPECT_FALSE(app.ui.HasWaitingForms());
    EXPECT_TRUE(app.ui.IsLoaded(L"frmSoftBackup"));
    EXPECT_TRUE(app.ui.IsLoaded(L"frmAutoSelectTime"));
    EXPECT_TRUE(app.ui.IsLoaded(L"frmFonts"));
    EXPECT_FALSE(app.ui.IsVisible(L"frmAutoSelectTime"));
}

TEST_F(MainGui, MinimizeHidesTheTrayBringsItBackAndSizeStaysFixed) {
    HWND h = M().Handle();
    RECT before;
    GetWindowRect(h, &before);
    SetWindowPos(h, nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER);
    app.Pump(20);
    RECT after;
    GetWindowRect(h, &after);
    EXPECT_EQ(after.right - after.left, before.right - before.left);
    EXPECT_EQ(after.bottom - after.top, before.bottom - before.top);

    ShowWindow(h, SW_MINIMIZE);
    app.Pump(50);
    EXPECT_FALSE(IsWindowVisible(h));
    SendMessageW(h, kTray, 1, WM_LBUTTONUP);
    app.Pump(50);
    EXPECT_TRUE(IsWindowVisible(h));
    EXPECT_FALSE(IsIconic(h));
    GetWindowRect(h, &after);
    EXPECT_EQ(after.right - after.left, before.right - before.left);
}

HWND g_seenMenu = nullptr;
void CALLBACK CloseMenu(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    g_seenMenu = FindWindowW(L"#32768", nullptr);
    if (g_seenMenu) {
        RECT r;
        GetWindowRect(g_seenMenu, &r);
        if (const wchar_t* dir = _wgetenv(L"LANZHAN_SHOTS")) SaveScreenBmp(r, std::wstring(dir) + L"\\tray-menu.bmp");
    }
    EndMenu();
}

TEST_F(MainGui, RightClickOnTheTrayPopsTheMenuWhileHidden) {
    HWND h = M().Handle();
    app.ui.HideForm(L"frmMain");
    g_seenMenu = nullptr;
    SetTimer(nullptr, 0, 400, CloseMenu);
    SendMessageW(h, kTray, 1, WM_RBUTTONUP);
    app.Pump(50);
    EXPECT_NE(g_seenMenu, nullptr);
    EXPECT_FALSE(IsWindowVisible(h));
    // greyed: the windows this build does not have
    EXPECT_TRUE(app.ui.IsLoaded(L"frmMain"));
}

TEST_F(MainGui, DestinationDialogThroughItsControls) {
    app.Menu(L"frmMain", L"mnuSavetoPath");
    ASSERT_TRUE(app.ui.IsVisible(L"frmSoftSaveSetting"));
    EXPECT_TRUE(app.ui.IsVisible(L"frmMain"));
    FormWindow& d = app.W(L"frmSoftSaveSetting");
    EXPECT_TRUE(GetWindowLongW(d.Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    RECT r;
    GetWindowRect(d.Handle(), &r);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    app.Screenshot(L"frmSoftSaveSetting", L"savepath");

    // "我的电脑" is chosen at the start: no path, and OK says so.
    HWND tree = d.ChildHandle(L"FolderSavePath", -1);
    auto root = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    auto drive = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(root)));
    ASSERT_NE(drive, nullptr);
    SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(drive));
    app.Pump(10);
    std::wstring chosen = d.GetText(L"txtSavePath", -1);
    ASSERT_EQ(chosen.size(), 3u);  // a drive root keeps its backslash
    SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(root));
    app.Pump(10);
    EXPECT_EQ(d.GetText(L"txtSavePath", -1), L"");
    app.Click(L"frmSoftSaveSetting", L"cmdYes");
    ASSERT_EQ(app.ui.prompts.size(), 1u);
    EXPECT_EQ(app.ui.prompts[0].text, L"请核对你输入的文件保存路径是否正确");
    EXPECT_FALSE(GetWindowLongW(d.Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);

    // An option then Cancel: empty destination, file untouched.
    const std::wstring ini = app.machine.ProgramDir() + L"\\SavePath.ini";
    DeleteFileW(ini.c_str());
    app.ctx.SavePath = L"C:\\x";
    app.Click(L"frmSoftSaveSetting", L"optSave", 1);
    EXPECT_TRUE(d.GetChecked(L"optSave", 1));
    EXPECT_FALSE(d.GetChecked(L"optSave", 0));
    app.Click(L"frmSoftSaveSetting", L"cmdCancel");
    EXPECT_EQ(app.ctx.SavePath, L"");
    EXPECT_FALSE(app.ui.IsLoaded(L"frmSoftSaveSetting"));
    EXPECT_EQ(GetFileAttributesW(ini.c_str()), INVALID_FILE_ATTRIBUTES);

    // OK with a drive root stores it with its backslash.
    app.Menu(L"frmMain", L"mnuSavetoPath");
    FormWindow& d2 = app.W(L"frmSoftSaveSetting");
    app.Type(L"frmSoftSaveSetting", L"txtSavePath", -1, chosen);
    app.Click(L"frmSoftSaveSetting", L"cmdYes");
    EXPECT_FALSE(app.ui.IsLoaded(L"frmSoftSaveSetting"));
    (void)d2;
    EXPECT_EQ(app.ctx.SavePath.size(), 3u);
    auto lines = app.machine.ReadTextLines(ini);
    ASSERT_TRUE(lines.has_value());
    EXPECT_EQ(*lines, std::vector<std::wstring>{app.ctx.SavePath});
    DeleteFileW(ini.c_str());
}

TEST_F(MainGui, ExitFromTheMenuUnloadsEverything) {
    app.Menu(L"frmMain", L"mnuSavetoPath");
    app.Menu(L"frmMain", L"mnuExit");
    EXPECT_FALSE(app.ui.IsLoaded(L"frmMain"));
    EXPECT_FALSE(app.ui.IsLoaded(L"frmSoftSaveSetting"));
}

TEST_F(MainGui, AClickOnTheSpiderEndsLikeExit) {
    app.ui.ShowForm(L"frmSoftSaveSetting");
    app.Click(L"frmMain", L"imgAraneid");
    EXPECT_FALSE(app.ui.IsLoaded(L"frmMain"));
    EXPECT_FALSE(app.ui.IsLoaded(L"frmSoftSaveSetting"));
    EXPECT_TRUE(app.ui.prompts.empty());
}

TEST_F(MainGui, CloseBoxEndsLikeExit) {
    app.ui.ShowForm(L"frmSoftSaveSetting");
    SendMessageW(M().Handle(), WM_CLOSE, 0, 0);
    app.Pump(10);
    EXPECT_FALSE(app.ui.IsLoaded(L"frmMain"));
    EXPECT_FALSE(app.ui.IsLoaded(L"frmSoftSaveSetting"));
}

void CALLBACK AnswerInput(HWND, UINT, UINT_PTR id, DWORD) {
    HWND box = FindWindowW(L"LanzhanInputBox", nullptr);
    if (!box) return;
    KillTimer(nullptr, id);
    SetDlgItemTextW(box, 100, L"密码 &\"x");
    SendMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}
void CALLBACK CancelInput(HWND, UINT, UINT_PTR id, DWORD) {
    HWND box = FindWindowW(L"LanzhanInputBox", nullptr);
    if (!box) return;
    KillTimer(nullptr, id);
    SendMessageW(box, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

TEST(InputBoxGui, OkGivesTheTextAndCancelGivesNothing) {
    SetTimer(nullptr, 0, 100, AnswerInput);
    EXPECT_EQ(RunInputBox(GetModuleHandleW(nullptr), nullptr, L"请输入密码", L"岚栈备份专家", L"默认"),
              L"密码 &\"x");
    SetTimer(nullptr, 0, 100, CancelInput);
    EXPECT_EQ(RunInputBox(GetModuleHandleW(nullptr), nullptr, L"请输入密码", L"岚栈备份专家", L"默认"), L"");
}

void CALLBACK CancelOpenFile(HWND, UINT, UINT_PTR id, DWORD) {
    HWND box = FindWindowW(L"#32770", L"请选择字体文件");
    if (!box) return;
    KillTimer(nullptr, id);
    SendMessageW(box, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

// The common dialogs are loaded when a file is first asked for, not at start:
// nothing in the test program asks for one through the system before this.
TEST(OpenFileGui, TheSystemDialogOpensWhenFirstAskedForAndCancelGivesNothing) {
    EXPECT_EQ(GetModuleHandleW(L"comdlg32.dll"), nullptr);
    FormRegistry registry;
    Win32Ui ui(GetModuleHandleW(nullptr), registry);
    SetTimer(nullptr, 0, 100, CancelOpenFile);
    EXPECT_EQ(ui.OpenFileDialog(L"请选择字体文件", L"字体文件(*.ttf)|*.ttf|所有文件(*.*)|*.*"), L"");
    EXPECT_NE(GetModuleHandleW(L"comdlg32.dll"), nullptr);
}

}  // namespace
}  // namespace lz::test
