// The task window in the real form host under Wine, driven through its
// controls: schtasks is a recording stand-in on PATH, so that the test sees
// Task.bat while the scheduler command runs and what the command was given.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <iterator>

#include "support/files_win.h"
#include "support/gui_harness_win.h"
#include "tools/children_win.h"
#include "tasks/frmAutoSelectTime.h"
#include "tasks/schtasks_standin_win.h"

namespace lz::test {
namespace {

const wchar_t* const kForm = L"frmAutoSelectTime";
const std::wstring kRoot = L"C:\\lztaskgui";
const std::wstring kSave = kRoot + L"\\备份";
const std::wstring kTaskBat = L"c:\\BackTemp\\Task.bat";

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::wstring Gbk(const std::string& bytes) {
    std::wstring out(bytes.size(), L'\0');
    int n = MultiByteToWideChar(936, 0, bytes.data(), int(bytes.size()), out.data(), int(out.size()));
    out.resize(n > 0 ? n : 0);
    return out;
}

std::string ToGbk(const std::wstring& text) {
    std::string out(text.size() * 2, '\0');
    int n = WideCharToMultiByte(936, 0, text.data(), int(text.size()), out.data(), int(out.size()), nullptr, nullptr);
    out.resize(n > 0 ? n : 0);
    return out;
}

std::wstring Text(const std::wstring& path) { return Gbk(FileBytes(path)); }

bool HasActionFile() {
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW(L"c:\\BackTemp\\2*.bat", &found);
    if (find == INVALID_HANDLE_VALUE) return false;
    FindClose(find);
    return true;
}

struct TaskGui : ::testing::Test {
    GuiApp app;
    std::unique_ptr<SchtasksStandIn> standIn;
    const std::wstring gate = kRoot + L"\\gate";
    const std::wstring log = kRoot + L"\\schtasks.log";

    void SetUp() override {
        RemoveTree(kRoot);
        RemoveTree(L"c:\\BackTemp");
        CreateDirectoryW(kRoot.c_str(), nullptr);
        CreateDirectoryW(kSave.c_str(), nullptr);
        standIn = std::make_unique<SchtasksStandIn>(kRoot + L"\\bin");
        SetEnvironmentVariableW(L"LZ_SCHTASKS_LOG", log.c_str());
        SetEnvironmentVariableW(L"LZ_SCHTASKS_GATE", gate.c_str());
        app.registry.Add(kForm, [](AppContext& c) { return std::make_unique<frmAutoSelectTime>(c); });
        app.ui.ShowForm(L"frmMain");
        app.Pump(50);
        app.ctx.SavePath = kSave;
    }
    void TearDown() override {
        DeleteFileW(gate.c_str());
        WaitForTaskBat();
        app.ui.UnloadForm(L"frmMain");
        app.Pump(200);
        standIn.reset();
        RemoveTree(kRoot);
        RemoveTree(L"c:\\BackTemp");
    }
    FormWindow& T() { return app.W(kForm); }
    // Shows the window once the listing asked for at its load has been read,
    // which would otherwise empty the list in the middle of a test.
    void Open() {
        app.Click(L"frmMain", L"imgPIC", 0);
        ReadListing();
    }
    // The listing is read once the command that writes it has ended, however
    // long that takes: the window's one-second timer is delivered then.
    void ReadListing() {
        EXPECT_TRUE(app.PumpUntil([] {
            for (const Child& c : Children())
                if (c.exe == L"cmd.exe") return false;
            return true;
        }));
        if (T().GetTimerEnabled(L"timAlltask")) app.Tick(kForm, L"timAlltask");
        EXPECT_EQ(T().GetText(L"cmdRefurbish", -1), L"刷新");
    }
    // The scheduler command holds at its start until the gate is removed.
    void Hold() { std::ofstream(gate.c_str()) << "x"; }
    bool WaitForTaskBat() {
        return app.PumpUntil([&] { return !Exists(kTaskBat); });
    }
    void Choose(const wchar_t* schedule) {
        HWND box = T().ChildHandle(L"cboSelect", -1);
        SendMessageW(box, CB_SELECTSTRING, WPARAM(-1), reinterpret_cast<LPARAM>(schedule));
        SendMessageW(GetParent(box), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(box), CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(box));
        app.Pump(5);
    }
    // Walks the folder tree down to `path`, as a user opens its branches.
    bool SelectFolder(const std::wstring& path) {
        HWND tree = T().ChildHandle(L"treeFolder", -1);
        auto item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
        auto select = [&](HTREEITEM i) {
            SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(i));
            app.Pump(5);
            return T().GetText(L"treeFolder", -1);
        };
        for (;;) {
            SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
            app.Pump(5);
            auto child = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CHILD,
                                                                  reinterpret_cast<LPARAM>(item)));
            HTREEITEM next = nullptr;
            for (; child && !next; child = reinterpret_cast<HTREEITEM>(SendMessageW(
                                       tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(child)))) {
                std::wstring p = select(child);
                if (p.empty() || p.size() > path.size()) continue;
                if (CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, p.c_str(), int(p.size()), path.c_str(),
                                   int(p.size())) != CSTR_EQUAL)
                    continue;
                if (p.size() == path.size()) return true;
                if (p.back() == L'\\' || path[p.size()] == L'\\') next = child;
            }
            if (!next) return false;
            item = next;
        }
    }
    std::wstring Tip() { return T().GetText(L"lblTipText", -1); }
};

TEST_F(TaskGui, PreloadedHiddenShownFromTheTileAndHandsBackOnExit) {
    ASSERT_TRUE(app.ui.IsLoaded(kForm));
    EXPECT_FALSE(app.ui.IsVisible(kForm));
    Open();
    EXPECT_TRUE(app.ui.IsVisible(kForm));
    EXPECT_FALSE(app.ui.IsVisible(L"frmMain"));
    EXPECT_EQ(T().GetCaption().rfind(L"自动任务设置     你的操作系统是：", 0), 0u);
    app.Click(kForm, L"cmdExit");
    EXPECT_FALSE(app.ui.IsLoaded(kForm));
    EXPECT_TRUE(app.ui.IsVisible(L"frmMain"));
    app.Menu(L"frmMain", L"mnuAuto");
    EXPECT_TRUE(app.ui.IsVisible(kForm));
    EXPECT_FALSE(app.ui.IsVisible(L"frmMain"));
}

TEST_F(TaskGui, DailyFolderBackupEndToEnd) {
    const std::wstring folder = kRoot + L"\\data\\新年 照片";
    CreateDirectoryW((kRoot + L"\\data").c_str(), nullptr);
    CreateDirectoryW(folder.c_str(), nullptr);
    Open();
    app.Click(kForm, L"optRunMode", 1);
    EXPECT_TRUE(T().GetVisible(L"fraDocument", -1));
    EXPECT_TRUE(T().GetEnabled(L"dtpTime", -1));
    ASSERT_TRUE(SelectFolder(folder));
    EXPECT_EQ(Tip(), L"你选择备份的文件夹名称是：" + folder);
    app.Pump(100);
    app.Screenshot(kForm, L"tasks-folder");
    std::tm at = T().GetDateTime(L"dtpTime", -1);
    at.tm_hour = 8, at.tm_min = 30, at.tm_sec = 0;
    T().SetDateTime(L"dtpTime", -1, at);

    app.ui.inputAnswers = {L"pw 1"};
    Hold();
    app.Click(kForm, L"cmdAdd");
    ASSERT_EQ(app.ui.prompts.size(), 1u);
    EXPECT_EQ(app.ui.prompts[0].title, L"这个一定不要输错了");
    EXPECT_TRUE(Exists(kSave + L"\\新年 照片"));
    const std::wstring task = Text(kTaskBat);
    EXPECT_NE(task.find(L"schtasks /create /tn 每天08_30_00时"), std::wstring::npos) << task.size();
    EXPECT_NE(task.find(L"备份文件夹 /tr c:\\BackTemp\\"), std::wstring::npos);
    EXPECT_NE(task.find(L" /sc DAILY /st 08:30 /s "), std::wstring::npos);
    EXPECT_NE(task.find(L" /rp \"pw 1\"\r\n"), std::wstring::npos);
    EXPECT_NE(Text(L"c:\\BackTemp\\TaskList.txt").find(L"添加的任务是：\r\n"), std::wstring::npos);
    HWND list = T().ChildHandle(L"cboTaskList", -1);
    ASSERT_EQ(SendMessageW(list, CB_GETCOUNT, 0, 0), 1);
    const std::wstring entry = T().GetText(L"cboTaskList", -1);
    EXPECT_EQ(entry.rfind(L"每天08_30_00时", 0), 0u);
    EXPECT_EQ(entry.back(), L'|');
    DeleteFileW(gate.c_str());
    EXPECT_TRUE(WaitForTaskBat());
    EXPECT_NE(Tip().find(L"已交给"), std::wstring::npos);

    app.Click(kForm, L"cmdAdd");
    EXPECT_EQ(app.ui.prompts.size(), 1u);  // the password is asked once
    EXPECT_EQ(SendMessageW(list, CB_GETCOUNT, 0, 0), 2);
    EXPECT_TRUE(WaitForTaskBat());
}

TEST_F(TaskGui, InputChecksWeekWithoutMondayAndTheBrowser) {
    Open();
    app.Type(kForm, L"txtFreeTime", -1, L"abc");
    EXPECT_EQ(T().GetText(L"txtFreeTime", -1), L"10");
    app.Type(kForm, L"txtFreeTime", -1, L"7abc");
    EXPECT_EQ(T().GetText(L"txtFreeTime", -1), L"7abc");
    app.Type(kForm, L"txtMonthDay", -1, L"");
    EXPECT_EQ(T().GetText(L"txtMonthDay", -1), L"1");

    app.Click(kForm, L"optRunMode", 3);
    EXPECT_TRUE(T().GetChecked(L"optSystemTask", 0));
    app.Click(kForm, L"optSystemTask", 3);
    Choose(L"每月");
    EXPECT_TRUE(T().GetVisible(L"fraMonth", -1));
    app.Pump(50);
    app.Screenshot(kForm, L"tasks-system-monthly");
    Choose(L"每周");
    EXPECT_TRUE(T().GetVisible(L"fraWeek", -1));
    SendMessageW(T().ChildHandle(L"chkWeek", 0), BM_CLICK, 0, 0);
    app.Pump(5);
    EXPECT_FALSE(T().GetChecked(L"chkWeek", 0));
    app.ui.inputAnswers = {L"pw"};
    Hold();
    app.Click(kForm, L"cmdAdd");
    const std::wstring task = Text(kTaskBat);
    EXPECT_NE(task.find(L" /tr \"C:\\Progra~1\\Intern~1\\iexplore.exe\" /sc WEEKLY /d TUE,WED,THU,FRI,SAT,SUN /st "),
              std::wstring::npos);
    EXPECT_FALSE(HasActionFile());
    const std::wstring entry = T().GetText(L"cboTaskList", -1);
    EXPECT_EQ(entry.substr(entry.find(L'|') - 6), L"运行系统程序|运行IE");
}

TEST_F(TaskGui, RefreshDeleteAndClearAll) {
    const std::wstring listing = kRoot + L"\\listing.txt";
    std::ofstream(listing.c_str(), std::ios::binary)
        << ToGbk(L"\r\n\"\\每天08_30_00时153045备份文件\",\"N/A\",\"就绪\"\r\n"
                 L"\"\\Microsoft\\Windows\\Defrag\\ScheduledDefrag\",\"N/A\",\"Ready\"\r\n"
                 L"\"\\Nightly Backup\",\"2024/5/1 2:00:00\",\"Ready\"\r\n");
    SetEnvironmentVariableW(L"LZ_SCHTASKS_LISTING", listing.c_str());
    Open();
    HWND list = T().ChildHandle(L"cboTaskList", -1);
    app.Click(kForm, L"cmdRefurbish");
    EXPECT_EQ(T().GetText(L"cmdRefurbish", -1), L"刷新中…");
    ReadListing();
    ASSERT_EQ(SendMessageW(list, CB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(T().GetText(L"cboTaskList", -1), L"每天08_30_00时153045备份文件  N/A  就绪");

    T().SetListIndex(L"cboTaskList", -1, 1);
    app.Click(kForm, L"cmdDel");
    EXPECT_EQ(Text(L"c:\\BackTemp\\del.bat"), L"schtasks /delete /tn \"Nightly Backup\" /f\r\n");
    EXPECT_EQ(SendMessageW(list, CB_GETCOUNT, 0, 0), 1);

    app.ui.msgAnswers = {kAnsNo};
    app.Menu(kForm, L"mnuClear");
    EXPECT_EQ(app.ui.prompts.back().text, L"真的想让一切随风而去吗？");
    EXPECT_TRUE(Exists(L"c:\\BackTemp\\del.bat"));
    EXPECT_EQ(SendMessageW(list, CB_GETCOUNT, 0, 0), 1);
    EXPECT_FALSE(Exists(L"c:\\BackTemp\\DelAll.bat"));

    app.ui.msgAnswers = {kAnsYes};
    app.Menu(kForm, L"mnuClear");
    EXPECT_FALSE(Exists(L"c:\\BackTemp\\del.bat"));
    EXPECT_TRUE(Exists(L"c:\\backtemp\\alltasks.cmd"));
    EXPECT_EQ(SendMessageW(list, CB_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(Text(L"c:\\BackTemp\\DelAll.bat"), L"schtasks /delete /tn * /f\r\nat /delete /yes\r\n");
}

}  // namespace
}  // namespace lz::test
