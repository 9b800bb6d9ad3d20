// The software backup window in the real form host: opened from the main
// window, its fixed size, its three tabs, the menu's check marks, and a chat
// backup driven through the controls. Screenshots of the three tabs.
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <atomic>
#include <fstream>
#include <string>
#include <thread>

#include "softbackup/softbackup_tables.h"
#include "support/files_win.h"
#include "support/gui_harness_win.h"
#include "ui/progress_win.h"
#include "support/window_text_win.h"

namespace lz::test {
namespace {

const wchar_t* const kForm = L"frmSoftBackup";
const wchar_t* const kQQKey = LR"(SOFTWARE\TENCENT\QQ)";

struct SoftBackupGui : ::testing::Test {
    GuiApp app;
    std::wstring root;

    void SetUp() override {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        root = std::wstring(temp) + L"lz softbackup 窗口";
        SHCreateDirectoryExW(nullptr, (root + L"\\QQ\\12345").c_str(), nullptr);
        SHCreateDirectoryExW(nullptr, (root + L"\\备份").c_str(), nullptr);
        std::ofstream((root + L"\\QQ\\12345\\msg.db").c_str()) << "qq";
        app.ui.ShowForm(L"frmMain");
        app.Pump(50);
    }
    // The chat client's install folder in the registry, as its installer leaves it.
    bool InstallQQ() {
        HKEY k;
        if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kQQKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &k, nullptr) !=
            ERROR_SUCCESS)
            return false;
        const std::wstring install = root + L"\\QQ\\";
        const LONG set = RegSetValueExW(k, L"Install", 0, REG_SZ, reinterpret_cast<const BYTE*>(install.c_str()),
                                        DWORD((install.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(k);
        return set == ERROR_SUCCESS;
    }
    void TearDown() override {
        SHDeleteKeyW(HKEY_LOCAL_MACHINE, kQQKey);
        // Double NUL ended, as SHFileOperation wants it.
        std::wstring from = root + L'\0';
        SHFILEOPSTRUCTW op{};
        op.wFunc = FO_DELETE;
        op.pFrom = from.c_str();
        op.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
        SHFileOperationW(&op);
    }
    FormWindow& B() { return app.W(kForm); }
    int Px(int twips) {
        HDC dc = GetDC(nullptr);
        const int dpi = GetDeviceCaps(dc, LOGPIXELSX);
        ReleaseDC(nullptr, dc);
        return MulDiv(twips, dpi, 1440);
    }
    bool MenuChecked(const std::wstring& item) {
        return GetMenuState(GetMenu(B().Handle()), B().MenuId(item, -1), MF_BYCOMMAND) & MF_CHECKED;
    }
    bool Shown(const std::wstring& name, int index) {
        HWND h = B().ChildHandle(name, index);
        return h && IsWindowVisible(h);
    }
};

TEST_F(SoftBackupGui, TileOpensItAtItsFixedSizeWithTheDestinationDialog) {
    ASSERT_TRUE(app.ui.IsLoaded(kForm));  // pre-loaded, hidden
    EXPECT_FALSE(app.ui.IsVisible(kForm));
    app.Click(L"frmMain", L"imgPIC", 7);
    app.Pump(50);
    EXPECT_TRUE(app.ui.IsVisible(kForm));
    EXPECT_TRUE(app.ui.IsVisible(L"frmSoftSaveSetting"));
    EXPECT_FALSE(app.ui.IsVisible(L"frmMain"));
    EXPECT_EQ(B().GetCaption(), L"软件相关备份");

    RECT rc;
    GetClientRect(B().Handle(), &rc);
    EXPECT_EQ(rc.right, Px(9000));
    SetWindowPos(B().Handle(), nullptr, 0, 0, 200, 150, SWP_NOMOVE | SWP_NOZORDER);
    app.Pump(20);
    RECT after;
    GetClientRect(B().Handle(), &after);
    EXPECT_EQ(after.right, rc.right);
    EXPECT_EQ(after.bottom, rc.bottom);

    app.Click(kForm, L"cmdExit");
    app.Pump(20);
    EXPECT_FALSE(app.ui.IsVisible(kForm));
    EXPECT_TRUE(app.ui.IsVisible(L"frmMain"));

    // Closed by its close box it is unloaded: shown again, it starts afresh.
    app.Click(L"frmMain", L"imgPIC", 7);
    app.Pump(20);
    app.Type(kForm, L"txtQQ", -1, L"12345");
    SendMessageW(B().Handle(), WM_CLOSE, 0, 0);
    app.Pump(50);
    EXPECT_TRUE(app.ui.IsVisible(L"frmMain"));
    EXPECT_FALSE(app.ui.IsVisible(kForm));
    app.Click(L"frmMain", L"imgPIC", 7);
    app.Pump(20);
    EXPECT_EQ(B().GetText(L"txtQQ", -1), L"");
}

TEST_F(SoftBackupGui, TabsMenuAndAChatBackupThroughTheControls) {
    app.ctx.SavePath = root + L"\\备份";
    app.Click(L"frmMain", L"imgPIC", 7);
    app.Pump(50);
    EXPECT_EQ(SendMessageW(B().ChildHandle(L"txtQQ", -1), EM_GETLIMITTEXT, 0, 0), 12);

    // Each page shows only its own controls.
    B().SetTab(L"SSTab1", 0);
    app.Pump(20);
    EXPECT_TRUE(Shown(L"cmdSystem", 1));
    EXPECT_FALSE(Shown(L"cmdChat", 0));
    app.Click(kForm, L"cmdSystem", 1);  // the favourites of the test prefix
    EXPECT_NE(B().GetText(L"lblSystem", 1).find(L"IE收藏夹"), std::wstring::npos);
    app.Screenshot(kForm, L"softbackup-personal");

    B().SetTab(L"SSTab1", 1);
    app.Pump(20);
    EXPECT_TRUE(Shown(L"cmdChat", 4));
    EXPECT_FALSE(Shown(L"cmdSystem", 1));
    ASSERT_TRUE(InstallQQ());
    app.Type(kForm, L"txtQQ", -1, L"12345");
    app.Click(kForm, L"cmdChat", kChatQQ);
    EXPECT_EQ(B().GetText(L"cmdChat", kChatQQ), L"备份QQ聊天记录成功");
    EXPECT_EQ(B().GetText(L"lblChat", kChatQQ), L"成功备份文件到：" + root + L"\\备份\\QQ聊天记录\\12345");
    EXPECT_TRUE(PathFileExistsW((root + L"\\备份\\QQ聊天记录\\12345\\msg.db").c_str()));
    app.Click(kForm, L"cmdChat", kChatUC);  // no UC here: its message
    ASSERT_FALSE(app.ui.prompts.empty());
    EXPECT_EQ(app.ui.prompts.back().text, ChatClientAt(kChatUC).keyMissingText);
    app.Screenshot(kForm, L"softbackup-chat");
    app.Type(kForm, L"txtQQ", -1, L"123456");  // typing puts the caption back
    EXPECT_EQ(B().GetText(L"cmdChat", kChatQQ), L"QQ聊天记录备份");

    B().SetTab(L"SSTab1", 2);
    app.Pump(20);
    EXPECT_TRUE(Shown(L"cmdSoftSet", 2));
    EXPECT_FALSE(Shown(L"cmdChat", 0));
    app.Click(kForm, L"cmdSoftSet", 2);
    EXPECT_FALSE(B().GetText(L"lblsoftSet", 2).empty());
    app.Screenshot(kForm, L"softbackup-settings");

    EXPECT_TRUE(MenuChecked(L"mnuNoClew"));
    app.Menu(kForm, L"mnuClew");
    EXPECT_TRUE(MenuChecked(L"mnuClew"));
    EXPECT_FALSE(MenuChecked(L"mnuNoClew"));
    EXPECT_TRUE(app.ctx.SavePath.empty());
}

bool Contains(const std::wstring& text, const std::wstring& part) { return text.find(part) != std::wstring::npos; }

TEST_F(SoftBackupGui, ALongBackupShowsItsProgressWindowWhichCancelsIt) {
    const std::wstring records = root + L"\\QQ\\12345", into = root + L"\\备份\\QQ聊天记录\\12345";
    for (int i = 0; i < 120; ++i) MakeFile(records + L"\\rec" + std::to_wstring(i) + L".db", std::string(20000, 'n'));
    for (int i = 0; i < 120; ++i) MakeFile(into + L"\\rec" + std::to_wstring(i) + L".db", "old");
    app.ctx.SavePath = root + L"\\备份";
    ASSERT_TRUE(InstallQQ());
    app.Click(L"frmMain", L"imgPIC", 7);
    app.Pump(50);
    B().SetTab(L"SSTab1", 1);
    app.Type(kForm, L"txtQQ", -1, L"12345");
    app.Pump(20);

    // The copy waits at its third report until this test has looked once, and
    // at its eighth until it has looked again and pressed cancel.
    HANDLE looked = CreateEventW(nullptr, TRUE, FALSE, nullptr), release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::atomic<int> views{0};
    SetProgressDelay(0);
    SetProgressProbe([&](const ProgressView&) {
        const int n = ++views;
        if (n == 3) WaitForSingleObject(looked, 120000);
        if (n == 8) WaitForSingleObject(release, 120000);
    });
    HWND owner = B().Handle(), mainWindow = app.W(L"frmMain").Handle();
    std::wstring line, counts, laterCounts, button, caption;
    std::vector<DWORD> pixels, laterPixels;
    bool ownerDisabled = false, ownerRepainted = false, cancelling = false;
    std::thread outsider([&] {
        HWND w = nullptr;
        test::WaitFor([&] { return (w = FindWindowW(kProgressWindowClass, nullptr)) && IsWindowVisible(w); });
        if (w) {
            test::WaitFor([&] { return Contains(TextOf(GetDlgItem(w, kProgressLineId)), L"rec"); });
            line = TextOf(GetDlgItem(w, kProgressLineId));
            counts = TextOf(GetDlgItem(w, kProgressCountsId));
            button = TextOf(GetDlgItem(w, IDCANCEL));
            caption = TextOf(w);
            ownerDisabled = !IsWindowEnabled(owner);
            RECT r;
            GetWindowRect(w, &r);
            test::WaitFor([&] { return !GetUpdateRect(w, nullptr, FALSE); });
            pixels = GrabPixels(nullptr, r);
            // The numbers move on, on screen too.
            SetEvent(looked);
            test::WaitFor([&] { return TextOf(GetDlgItem(w, kProgressCountsId)) != counts; });
            laterCounts = TextOf(GetDlgItem(w, kProgressCountsId));
            test::WaitFor([&] { return GrabPixels(nullptr, r) != pixels; });
            laterPixels = GrabPixels(nullptr, r);
            // Uncovered, the window behind paints again.
            InvalidateRect(owner, nullptr, TRUE);
            ownerRepainted = test::WaitFor([&] { return !GetUpdateRect(owner, nullptr, FALSE); });
            if (const wchar_t* dir = _wgetenv(L"LANZHAN_SHOTS"); dir && *dir)
                SaveScreenBmp(r, std::wstring(dir) + L"\\progress-window.bmp");
            // A close that reaches the hidden main window meanwhile (the task
            // bar, the tray) does not end the program under the backup.
            SendMessageTimeoutW(mainWindow, WM_CLOSE, 0, 0, SMTO_NORMAL, 10000, nullptr);
            SendMessageTimeoutW(GetDlgItem(w, IDCANCEL), BM_CLICK, 0, 0, SMTO_NORMAL, 10000, nullptr);
            cancelling = test::WaitFor([&] { return TextOf(GetDlgItem(w, IDCANCEL)) == L"正在取消"; });
        }
        SetEvent(looked);
        SetEvent(release);
    });
    app.Click(kForm, L"cmdChat", kChatQQ);
    outsider.join();
    SetProgressProbe(nullptr);
    SetProgressDelay(500);
    CloseHandle(looked);
    CloseHandle(release);

    EXPECT_TRUE(Contains(line, L"正在复制：" + records + L"\\rec")) << line;
    // While the tree is still walked the total is what was found so far.
    EXPECT_EQ(counts.rfind(L"已复制", 0), 0u) << counts;
    EXPECT_TRUE(Contains(counts, L"个文件") && Contains(counts, L" MB")) << counts;
    EXPECT_NE(laterCounts, counts);
    EXPECT_FALSE(pixels.empty());
    EXPECT_NE(laterPixels, pixels);
    EXPECT_EQ(button, L"取消");
    EXPECT_EQ(caption, L"正在备份");
    EXPECT_TRUE(ownerDisabled);
    EXPECT_TRUE(ownerRepainted);
    EXPECT_TRUE(app.ui.IsLoaded(L"frmMain"));
    EXPECT_TRUE(app.ui.IsLoaded(kForm));
    EXPECT_TRUE(cancelling);
    EXPECT_EQ(FindWindowW(kProgressWindowClass, nullptr), nullptr);
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_EQ(B().GetText(L"cmdChat", kChatQQ), L"QQ聊天记录备份");
    const std::wstring result = B().GetText(L"lblChat", kChatQQ);
    EXPECT_EQ(result.rfind(L"备份已取消，只复制了", 0), 0u) << result;
    EXPECT_TRUE(Contains(result, L"个文件到：" + into));
    // Every target is the old one or the whole new one.
    int copied = FileBytes(into + L"\\msg.db") == "qq" ? 1 : 0;
    for (int i = 0; i < 120; ++i) {
        const std::string now = FileBytes(into + L"\\rec" + std::to_wstring(i) + L".db");
        if (now == "old") continue;
        EXPECT_EQ(now, std::string(20000, 'n'));
        ++copied;
    }
    EXPECT_LT(copied, 121);
    EXPECT_TRUE(Contains(result, L"只复制了" + std::to_wstring(copied) + L"个文件")) << copied;
}

}  // namespace
}  // namespace lz::test
