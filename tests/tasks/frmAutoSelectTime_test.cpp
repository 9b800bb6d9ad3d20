// The task window driven through its controls on the in-memory machine: what
// it writes, starts and says for each choice.
#include "tasks/frmAutoSelectTime.h"

#include <gtest/gtest.h>

#include "app/frmMain.h"
#include "savepath/frmSoftSaveSetting.h"
#include "core/form_registry.h"
#include "support/fake_machine.h"
#include "support/fake_ui.h"

namespace lz::test {
namespace {

const wchar_t* const kForm = L"frmAutoSelectTime";
const wchar_t* const kAction = L"c:\\BackTemp\\2005_01_09_15_30_45.bat";
const wchar_t* const kTaskBat = L"c:\\BackTemp\\Task.bat";
const wchar_t* const kTaskList = L"c:\\BackTemp\\TaskList.txt";
const wchar_t* const kVersionKey = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";

struct TaskWindow : ::testing::Test {
    FormRegistry registry;
    FakeMachine machine;
    FakeUi ui{registry};
    AppContext ctx{machine, ui, L""};

    TaskWindow() {
        registry.Add(L"frmMain", [](AppContext& c) { return std::make_unique<frmMain>(c); });
        registry.Add(kForm, [](AppContext& c) { return std::make_unique<frmAutoSelectTime>(c); });
        registry.Add(L"frmSoftSaveSetting", [](AppContext& c) { return std::make_unique<frmSoftSaveSetting>(c); });
        machine.AddFolder(L"C:\\");
        machine.AddFolder(machine.programDir);
        machine.AddFolder(L"d:\\Backup");
        machine.AddFile(machine.programDir + L"\\SavePath.ini", {L"d:\\Backup"});
        machine.SetReg(kVersionKey, L"ProductName", L"Microsoft Windows XP");
        registry.Attach(ctx);
    }
    void Load() { ui.LoadForm(kForm); }
    FakeControls& C() { return ui.ControlsOf(kForm); }
    frmAutoSelectTime& W() { return ui.Logic<frmAutoSelectTime>(kForm); }
    void Fire(EventKind kind, const std::wstring& name, int index = -1) { ui.Fire(kForm, {kind, name, index}); }
    void Click(const std::wstring& name, int index = -1) {
        // The host checks an option before it reports the click.
        if (C().At(name, index).kind == Kind::Option) C().SetChecked(name, index, true);
        Fire(EventKind::Click, name, index);
    }
    void Choose(const wchar_t* schedule) {
        C().SetText(L"cboSelect", -1, schedule);
        Click(L"cboSelect");
    }
    void SetTime(int h, int m, int s) {
        std::tm t = machine.clock;
        t.tm_hour = h, t.tm_min = m, t.tm_sec = s;
        C().SetDateTime(L"dtpTime", -1, t);
    }
    void ChooseTreeFolder(const std::wstring& path) {
        C().At(L"treeFolder").text = path;
        Fire(EventKind::Select, L"treeFolder");
    }
    std::wstring Tip() { return C().At(L"lblTipText").text; }
    std::vector<std::wstring> ListItems() { return C().At(L"cboTaskList").items; }
    // Everything the window starts after its load.
    void ForgetLoad() {
        machine.runs.clear();
        ui.prompts.clear();
    }
};

using Lines = std::vector<std::wstring>;

TEST_F(TaskWindow, LoadPreparesTheWorkDirectoryAndAsksForTheList) {
    Load();
    EXPECT_EQ(C().caption, L"自动任务设置     你的操作系统是：Microsoft Windows XP");
    EXPECT_EQ(ctx.SavePath, L"d:\\Backup");
    ASSERT_TRUE(machine.File(L"c:\\BackTemp\\setting.bat"));
    EXPECT_EQ(machine.File(L"c:\\BackTemp\\setting.bat")->lines, Lines{L"attrib +h c:\\BackTemp"});
    EXPECT_EQ(machine.File(L"c:\\BackTemp\\setting.bat")->codePage, CodePage::Oem);
    EXPECT_EQ(machine.Lines(L"c:\\backtemp\\alltasks.cmd"),
              Lines{L"schtasks /query /fo Table /nh  > c:\\backtemp\\alltasks.txt"});
    ASSERT_EQ(machine.runs.size(), 2u);
    EXPECT_EQ(machine.runs[0].commandLine, L"c:\\BackTemp\\setting.bat");
    EXPECT_EQ(machine.runs[1].commandLine, L"c:\\backtemp\\alltasks.cmd");
    EXPECT_EQ(machine.runs[1].style, WindowStyle::Hidden);
    EXPECT_TRUE(C().At(L"timAlltask").timerEnabled);
    EXPECT_EQ(C().At(L"cmdRefurbish").text, L"刷新中…");
    EXPECT_EQ(C().At(L"staBarTime").text, L"现在的时间是:2005-1-9 15:30:45");
    EXPECT_EQ(C().At(L"cboSelect").text, L"每天");
    EXPECT_FALSE(C().At(L"fraDocument").visible);
    EXPECT_FALSE(C().At(L"fraSelectTime").enabled);
    EXPECT_FALSE(C().At(L"optSystemTask", 4).enabled);
    EXPECT_TRUE(C().At(L"chkWeek", 6).checked);
    EXPECT_TRUE(C().At(L"chkMonth", 11).checked);

    ui.UnloadForm(kForm);
    machine.registry.clear();
    machine.regKeys.clear();
    Load();
    EXPECT_EQ(C().caption, L"自动任务设置     你的操作系统是：你的系统不是NT内核，此功能可能无法正常运行");
}

TEST_F(TaskWindow, DailyFolderBackupEndToEnd) {
    Load();
    ForgetLoad();
    Click(L"optRunMode", 1);
    EXPECT_TRUE(C().At(L"fraDocument").visible);
    EXPECT_FALSE(C().At(L"fraSystemTask").visible);
    EXPECT_TRUE(C().At(L"dtpTime").enabled);  // "每天" counts as chosen
    ChooseTreeFolder(L"C:\\data\\photos");
    EXPECT_EQ(Tip(), L"你选择备份的文件夹名称是：C:\\data\\photos");
    SetTime(8, 30, 0);
    ui.inputAnswers = {L"secret"};
    Click(L"cmdAdd");

    ASSERT_EQ(ui.prompts.size(), 1u);
    EXPECT_EQ(ui.prompts[0].text, L"当前机器名：MYPC当前登陆的用户名alice\r\n请输入进入系统时的登陆密码");
    EXPECT_EQ(ui.prompts[0].title, L"这个一定不要输错了");
    EXPECT_TRUE(machine.FolderExists(L"d:\\Backup\\photos"));
    EXPECT_EQ(machine.Lines(kAction), Lines{L"xcopy /e /y C:\\data\\photos d:\\Backup\\photos\\"});
    EXPECT_EQ(machine.File(kAction)->codePage, CodePage::Oem);
    const std::wstring name = L"每天08_30_00时153045备份文件夹";
    EXPECT_EQ(machine.Lines(kTaskBat),
              Lines{L"schtasks /create /tn " + name + L" /tr " + kAction +
                    L" /sc DAILY /st 08:30:00 /s MYPC /ru alice /rp secret"});
    EXPECT_EQ(machine.Lines(kTaskList), Lines{L"2005-1-9 15:30:45添加的任务是："});
    EXPECT_EQ(ListItems(), Lines{name + L"|"});
    EXPECT_EQ(C().At(L"cboTaskList").text, name + L"|");
    ASSERT_EQ(machine.runs.size(), 1u);
    EXPECT_EQ(machine.runs[0].commandLine, kTaskBat);
    EXPECT_TRUE(machine.runs[0].notify);
    EXPECT_EQ(machine.runs[0].style, WindowStyle::Hidden);

    // The password stays on disk only while the scheduler command runs.
    machine.FinishRuns(0);
    EXPECT_FALSE(machine.HasFile(kTaskBat));
    EXPECT_NE(Tip().find(name), std::wstring::npos);

    // Asked once; the second add reuses it and, in the same second, appends.
    Click(L"cmdAdd");
    EXPECT_EQ(ui.prompts.size(), 1u);
    EXPECT_EQ(machine.Lines(kAction).size(), 2u);
    EXPECT_EQ(ListItems().size(), 2u);
}

TEST_F(TaskWindow, PasswordsFromTheMenuCancelledOrUnsafe) {
    Load();
    ForgetLoad();
    Click(L"optRunMode", 1);
    ChooseTreeFolder(L"C:\\data");
    Click(L"cmdAdd");  // the password box cancelled
    EXPECT_FALSE(machine.HasFile(kTaskBat));
    EXPECT_FALSE(machine.HasFile(kTaskList));
    EXPECT_FALSE(machine.HasFile(kAction));
    EXPECT_TRUE(ListItems().empty());

    ui.inputAnswers = {L"a\"b"};
    Click(L"cmdAdd");
    EXPECT_FALSE(machine.HasFile(kTaskBat));
    EXPECT_TRUE(W().RunPassword.empty());

    ui.inputAnswers = {L"p&ss 100%"};
    Fire(EventKind::Menu, L"mnuRunPasswordSetting");
    EXPECT_EQ(ui.prompts.back().text, L"请输入当前登陆的用户登陆密码\r\n请正确输入,否则不会运行");
    EXPECT_EQ(ui.prompts.back().title, L"运行密码设置");
    const std::size_t asked = ui.prompts.size();
    Click(L"cmdAdd");
    EXPECT_EQ(ui.prompts.size(), asked);
    const std::wstring line = machine.Lines(kTaskBat).at(0);
    const std::wstring tail = L" /rp \"p&ss 100%%\"";
    EXPECT_EQ(line.substr(line.size() - tail.size()), tail);
}

TEST_F(TaskWindow, FailedOrUnstartedRegistrationIsReported) {
    Load();
    ForgetLoad();
    Click(L"optRunMode", 3);
    ui.inputAnswers = {L"pw"};
    Click(L"cmdAdd");
    machine.FinishRuns(1);
    EXPECT_FALSE(machine.HasFile(kTaskBat));
    EXPECT_NE(Tip().find(L"拒绝"), std::wstring::npos);

    machine.startFails = true;
    Click(L"cmdAdd");
    EXPECT_FALSE(machine.HasFile(kTaskBat));
    EXPECT_NE(Tip().find(L"无法启动"), std::wstring::npos);

    // A run that ends after the window has gone still removes the password.
    machine.startFails = false;
    Click(L"cmdAdd");
    ui.UnloadForm(kForm);
    machine.FinishRuns(1);
    EXPECT_FALSE(machine.HasFile(kTaskBat));
}

TEST_F(TaskWindow, OneFileBackupRetriesAndKeepsItsClassicLines) {
    Load();
    ForgetLoad();
    ui.fileAnswers = {L"", L"C:\\doc\\a.txt"};
    ui.msgAnswers = {kAnsYes};
    Click(L"optRunMode", 0);
    EXPECT_TRUE(machine.FolderExists(L"d:\\Backup\\单个文件备份"));
    EXPECT_EQ(ui.prompts[0].title, L"请选择文件");
    EXPECT_EQ(ui.prompts[0].text, L"全部文件(*.*)|*.*");
    EXPECT_EQ(ui.prompts[1].text, L"床前明月光，好像没选它。弹出是否框，请问重来吗？");
    EXPECT_EQ(ui.prompts[1].flags, kYesNo | kQuestion);
    EXPECT_FALSE(C().At(L"optRunMode", 0).checked);
    EXPECT_EQ(Tip(), L"你选择备份文件是：C:\\doc\\a.txt");
    ui.inputAnswers = {L"pw"};
    Click(L"cmdAdd");
    EXPECT_EQ(machine.Lines(kAction), Lines{L"copy /y C:\\doc\\a.txt d:\\Backup\\单个文件备份\\a.txt.bak"});
    EXPECT_EQ(Tip(), L"提示：尚未选择要运行的方式");
    EXPECT_EQ(machine.Lines(kTaskList).back(), L"2005-1-9 15:30:45添加的任务是：C:\\doc\\a.txt");
    Click(L"cmdAdd");  // no file chosen again
    EXPECT_EQ(machine.Lines(kAction).back(), L"copy /y  d:\\Backup\\单个文件备份\\.bak");

    ui.msgAnswers = {kAnsNo};
    Click(L"optRunMode", 0);
    EXPECT_EQ(W().RunMode, 0);
    EXPECT_EQ(Tip(), L"提示：尚未选择要运行的方式");

    // What the code page cannot hold, and a Task.bat that cannot be written,
    // are said and leave no entry behind.
    machine.notAnsi.insert(L'\u0e01');
    ui.fileAnswers = {L"C:\\doc\\\u0e01.txt"};
    Click(L"optRunMode", 0);
    const std::size_t lines = machine.Lines(kAction).size();
    Click(L"cmdAdd");
    EXPECT_NE(ui.prompts.back().text.find(L"C:\\doc\\\u0e01.txt"), std::wstring::npos);
    EXPECT_EQ(machine.Lines(kAction).size(), lines);
    machine.notAnsi.clear();
    machine.unwritable.insert(FakeMachine::Normalize(kTaskBat));
    ui.fileAnswers = {L"C:\\doc\\b.txt"};
    Click(L"optRunMode", 0);
    Click(L"cmdAdd");
    EXPECT_EQ(ui.prompts.back().text.rfind(L"无法写入文件 c:\\BackTemp\\Task.bat", 0), 0u);
    EXPECT_FALSE(machine.HasFile(kTaskBat));
    EXPECT_EQ(ListItems().size(), 2u);
}

TEST_F(TaskWindow, ProgramsAndSystemActions) {
    Load();
    ForgetLoad();
    ui.inputAnswers = {L"pw"};
    ui.fileAnswers = {L"C:\\My Tools\\app.exe"};
    Click(L"optRunMode", 2);
    Click(L"cmdAdd");
    EXPECT_FALSE(machine.HasFile(kAction));
    EXPECT_NE(machine.Lines(kTaskBat).at(0).find(L"/tr \"\\\"C:\\My Tools\\app.exe\\\"\" /sc DAILY"),
              std::wstring::npos);
    // The add used the chosen file up: a second one would run nothing.
    const std::size_t entries = ListItems().size();
    Click(L"cmdAdd");
    EXPECT_NE(ui.prompts.back().text.find(L"还没有选择要运行的文件"), std::wstring::npos);
    EXPECT_EQ(ListItems().size(), entries);

    // The first action counts as chosen until another is clicked.
    Click(L"optRunMode", 3);
    EXPECT_TRUE(C().At(L"optSystemTask", 0).checked);
    EXPECT_TRUE(C().At(L"optSystemTask", 4).enabled);
    Click(L"cmdAdd");
    EXPECT_EQ(machine.Lines(kAction), Lines{L"Shutdown -s"});
    EXPECT_EQ(ListItems().back(), L"每天15_30_45时153045运行系统程序|自动关机");

    Click(L"optSystemTask", 3);
    EXPECT_EQ(Tip(), L"你要定时运行系统程序的名是：运行IE");
    Click(L"cmdAdd");
    EXPECT_EQ(machine.Lines(kAction).size(), 1u);  // the browser needs no batch file
    EXPECT_NE(machine.Lines(kTaskBat).at(0).find(L"/tr \"C:\\Progra~1\\Intern~1\\iexplore.exe\" /sc"),
              std::wstring::npos);
    EXPECT_EQ(ListItems().back(), L"每天15_30_45时153045运行系统程序|运行IE");
    EXPECT_EQ(W().RunMode, 3);
}

TEST_F(TaskWindow, AddsTheSystemCannotScheduleAreRefusedBeforeAnythingIsWritten) {
    Load();
    ForgetLoad();
    Click(L"cmdAdd");  // no task kind
    ASSERT_EQ(ui.prompts.size(), 1u);
    EXPECT_EQ(ui.prompts[0].type, ShownPrompt::Message);

    machine.SetReg(kVersionKey, L"ProductName", L"Microsoft Windows 2000");
    ui.UnloadForm(kForm);
    Load();
    ForgetLoad();
    Click(L"optRunMode", 3);
    Choose(L"在登陆时");
    EXPECT_FALSE(C().At(L"dtpTime").enabled);
    Click(L"cmdAdd");
    EXPECT_EQ(ui.prompts.size(), 1u);  // a message, and no password asked
    EXPECT_NE(ui.prompts[0].text.find(L"Windows 2000"), std::wstring::npos);
    EXPECT_FALSE(machine.HasFile(kTaskBat));
    EXPECT_FALSE(machine.HasFile(kTaskList));
    EXPECT_TRUE(machine.runs.empty());

    machine.SetReg(kVersionKey, L"ProductName", L"Microsoft Windows Server 2003");
    ui.UnloadForm(kForm);
    Load();
    ForgetLoad();
    Click(L"optRunMode", 3);
    Click(L"cmdAdd");
    EXPECT_EQ(ui.prompts.size(), 1u);
    EXPECT_FALSE(machine.HasFile(kTaskBat));
}

TEST_F(TaskWindow, AnEmptyUserOrComputerNameStopsTheAddBeforeThePasswordIsAsked) {
    for (int which = 0; which < 2; ++which) {
        machine.userName = which == 0 ? L"" : L"alice";
        machine.computerName = which == 1 ? L"" : L"MYPC";
        Load();
        ForgetLoad();
        Click(L"optRunMode", 3);
        ui.inputAnswers = {L"secret"};
        Click(L"cmdAdd");
        ASSERT_EQ(ui.prompts.size(), 1u) << which;
        EXPECT_EQ(ui.prompts[0].type, ShownPrompt::Message);
        EXPECT_NE(ui.prompts[0].text.find(which == 0 ? L"用户名" : L"计算机名"), std::wstring::npos);
        EXPECT_FALSE(machine.HasFile(kTaskBat));
        EXPECT_FALSE(machine.HasFile(kAction));
        EXPECT_TRUE(machine.runs.empty());
        EXPECT_TRUE(ListItems().empty());
        ui.UnloadForm(kForm);
    }
    // at needs neither name: a weekly task on XP is still added.
    machine.userName = L"";
    Load();
    ForgetLoad();
    Click(L"optRunMode", 3);
    Choose(L"每周");
    ui.inputAnswers = {L"secret"};
    Click(L"cmdAdd");
    ASSERT_EQ(machine.Lines(kTaskBat).size(), 1u);
    EXPECT_EQ(machine.Lines(kTaskBat)[0].rfind(L"at ", 0), 0u);
}

TEST_F(TaskWindow, PathsTheCommandsWouldMisreadOrCannotTakeAreRefusedAtAdd) {
    Load();
    ForgetLoad();
    // One file of 270 characters: copy cannot read it, and says so only at night.
    const std::wstring deep = L"C:\\" + std::wstring(263, L'深') + L".txt";
    ASSERT_EQ(deep.size(), 270u);
    ui.fileAnswers = {deep};
    ui.inputAnswers = {L"pw"};
    Click(L"optRunMode", 0);
    Click(L"cmdAdd");
    ASSERT_EQ(ui.prompts.back().type, ShownPrompt::Message);
    const std::wstring said = ui.prompts.back().text;
    EXPECT_NE(said.find(L"270 个字符"), std::wstring::npos) << said;
    EXPECT_NE(said.find(L"259 个字符"), std::wstring::npos) << said;
    EXPECT_NE(said.find(L"copy"), std::wstring::npos) << said;
    EXPECT_NE(said.find(deep), std::wstring::npos);
    EXPECT_FALSE(machine.HasFile(kAction));
    EXPECT_FALSE(machine.HasFile(kTaskBat));
    EXPECT_TRUE(ListItems().empty());

    // A folder named "data." beside "data": xcopy would copy "data"; and no
    // target folder is made for a task that was not added.
    machine.AddFolder(L"C:\\x\\data.");
    Click(L"optRunMode", 1);
    ChooseTreeFolder(L"C:\\x\\data.");
    Click(L"cmdAdd");
    EXPECT_NE(ui.prompts.back().text.find(L"以点或空格结尾"), std::wstring::npos);
    EXPECT_NE(ui.prompts.back().text.find(L"C:\\x\\data."), std::wstring::npos);
    EXPECT_FALSE(machine.FolderExists(L"d:\\Backup\\data."));
    EXPECT_FALSE(machine.HasFile(kAction));

    // A destination so deep that xcopy's target passes its limit.
    ctx.SavePath = L"d:\\" + std::wstring(240, L'b');
    machine.AddFolder(ctx.SavePath);
    ChooseTreeFolder(L"C:\\x\\photos");
    Click(L"cmdAdd");
    EXPECT_NE(ui.prompts.back().text.find(L"247 个字符"), std::wstring::npos);
    EXPECT_FALSE(machine.FolderExists(ctx.SavePath + L"\\photos"));

    // A program for the scheduler itself.
    ui.fileAnswers = {L"C:\\" + std::wstring(257, L'p') + L".exe"};
    Click(L"optRunMode", 2);
    Click(L"cmdAdd");
    EXPECT_NE(ui.prompts.back().text.find(L"计划任务程序最多只能处理 259 个字符"), std::wstring::npos);
    EXPECT_FALSE(machine.HasFile(kTaskBat));
    EXPECT_TRUE(ListItems().empty());
    EXPECT_TRUE(machine.runs.empty());
}

TEST_F(TaskWindow, ScheduleKindsWeekIdleAndModernSyntax) {
    Load();
    ForgetLoad();
    Click(L"optRunMode", 3);
    SetTime(8, 30, 0);
    Choose(L"每周");
    EXPECT_TRUE(C().At(L"fraWeek").visible);
    EXPECT_FALSE(C().At(L"fraMonth").visible);
    C().SetChecked(L"chkWeek", 0, false);
    ui.inputAnswers = {L"pw"};
    Click(L"cmdAdd");
    EXPECT_EQ(machine.Lines(kTaskBat), Lines{L"at 08:30:00 /interactive  /every:,T,W,TH,F,S,SU " + std::wstring(kAction)});

    Choose(L"空闲时");
    EXPECT_TRUE(C().At(L"fraFree").visible);
    EXPECT_FALSE(C().At(L"dtpTime").enabled);
    C().SetText(L"txtFreeTime", -1, L"abc");
    Fire(EventKind::Change, L"txtFreeTime");
    EXPECT_EQ(C().At(L"txtFreeTime").text, L"10");
    Click(L"cmdAdd");
    const std::wstring idle = machine.Lines(kTaskBat).at(0);
    EXPECT_EQ(idle.substr(idle.size() - 6), L" /i 10");

    C().SetText(L"txtFreeTime", -1, L"7abc");
    Fire(EventKind::Change, L"txtFreeTime");
    EXPECT_EQ(C().At(L"txtFreeTime").text, L"7abc");
    C().SetText(L"txtMonthDay", -1, L"");
    Fire(EventKind::Change, L"txtMonthDay");
    EXPECT_EQ(C().At(L"txtMonthDay").text, L"1");

    machine.osVersion = {10, 0};
    ui.UnloadForm(kForm);
    Load();
    EXPECT_EQ(machine.Lines(L"c:\\backtemp\\alltasks.cmd"),
              Lines{L"schtasks /query /fo CSV /nh  > c:\\backtemp\\alltasks.txt"});
    Click(L"optRunMode", 3);
    Choose(L"一次性");
    SetTime(8, 30, 0);
    ui.inputAnswers = {L"pw"};
    Click(L"cmdAdd");
    const std::wstring once = machine.Lines(kTaskBat).at(0);
    EXPECT_NE(once.find(L" /sc ONCE /st 08:30 /s MYPC /ru alice /rp pw /sd 2005/01/09"), std::wstring::npos);
}

TEST_F(TaskWindow, PersonalFoldersAndAccountFolders) {
    Load();
    ForgetLoad();
    Click(L"optRunMode", 1);
    machine.AddFolder(L"C:\\Docume~1\\alice\\My Documents");
    Click(L"optDocuments", 1);
    EXPECT_EQ(W().SourceFolder, L"C:\\Docume~1\\alice\\My Documents");
    EXPECT_TRUE(machine.FolderExists(L"d:\\Backup\\我的文档"));
    ui.inputAnswers = {L"pw"};
    Click(L"cmdAdd");
    EXPECT_EQ(machine.Lines(kAction),
              Lines{L"xcopy /e /y \"C:\\Docume~1\\alice\\My Documents\" d:\\Backup\\我的文档\\"});
    EXPECT_EQ(ListItems().back().substr(ListItems().back().find(L'|')), L"|我的文档");

    // Profiles elsewhere: the folder the system reports.
    machine.knownFolders[KnownFolder::Favorites] = L"C:\\users\\alice\\Favorites";
    Click(L"optDocuments", 0);
    EXPECT_EQ(W().SourceFolder, L"C:\\users\\alice\\Favorites");

    Click(L"optDocuments", 3);  // no QQ installed
    EXPECT_EQ(ui.prompts.back().text, L"咋搞的？怎么你的QQ没在注册表中安家？我是挖表三尺咋连个影子也没见着！");
    machine.SetReg(L"SOFTWARE\\TENCENT\\QQ", L"Install", L"C:\\QQ\\");
    machine.AddFolder(L"C:\\QQ\\12345");
    ui.inputAnswers = {L"12345"};
    Click(L"optDocuments", 3);
    EXPECT_EQ(W().SourceFolder, L"C:\\QQ\\12345");
    ui.inputAnswers = {L"999"};
    Click(L"optDocuments", 3);
    EXPECT_EQ(ui.prompts.back().text, L"没找到你要备份的号码或文件夹,请核对后重新输入");
    EXPECT_FALSE(C().At(L"optDocuments", 3).checked);
    EXPECT_EQ(W().SourceFolder, L"C:\\QQ\\12345");

    // Names and drive roots in the tree change nothing but the action options.
    C().SetChecked(L"optSystemTask", 2, true);
    for (const wchar_t* p : {L"我的电脑", L"控制面板", L"D:\\"}) ChooseTreeFolder(p);
    EXPECT_EQ(W().SourceFolder, L"C:\\QQ\\12345");
    EXPECT_FALSE(C().At(L"optSystemTask", 2).checked);
}

TEST_F(TaskWindow, RefreshReadsTheWholeListing) {
    Load();
    std::vector<std::wstring> listing = {L"", L"TaskA  08:30:00, 2005-1-10", L"TaskB  09:00:00, 2005-1-10",
                                         L"TaskC  10:00:00, 2005-1-10"};
    machine.AddFile(L"c:\\backtemp\\alltasks.txt", listing);
    Fire(EventKind::Timer, L"timAlltask");
    EXPECT_EQ(ListItems(), Lines(listing.begin() + 1, listing.end()));
    EXPECT_EQ(C().At(L"cboTaskList").text, listing[1]);
    EXPECT_FALSE(C().At(L"timAlltask").timerEnabled);
    EXPECT_EQ(C().At(L"cmdRefurbish").text, L"刷新");

    machine.AddFile(L"c:\\backtemp\\alltasks.txt", {L"Only"});
    Fire(EventKind::Timer, L"timAlltask");
    EXPECT_EQ(ListItems(), Lines{L"Only"});
    EXPECT_EQ(C().At(L"cboTaskList").text, L"Only");

    machine.DeleteOneFile(L"c:\\backtemp\\alltasks.txt");
    Fire(EventKind::Timer, L"timAlltask");
    EXPECT_TRUE(ListItems().empty());
    EXPECT_EQ(C().At(L"cboTaskList").text, L"");
}

TEST_F(TaskWindow, DeleteOneAndClearAll) {
    Load();
    ForgetLoad();
    Click(L"cmdDel");
    EXPECT_EQ(ui.prompts.back().text, L"没有任务可以删除");
    EXPECT_FALSE(machine.HasFile(L"c:\\BackTemp\\del.bat"));

    machine.AddFile(L"c:\\backtemp\\alltasks.txt", {L"", L"每天08_30_00时153045备份文件  08:30:00, 2005-1-10"});
    Fire(EventKind::Timer, L"timAlltask");
    Click(L"cmdDel");
    EXPECT_EQ(machine.Lines(L"c:\\BackTemp\\del.bat"), Lines{L"schtasks /delete /tn 每天08_30_00时153045备份文件 /f"});
    EXPECT_EQ(machine.runs.back().commandLine, L"c:\\BackTemp\\del.bat");
    EXPECT_TRUE(ListItems().empty());

    // An entry of an add: the name ends at the bar; typed text removes nothing.
    Click(L"optRunMode", 3);
    ui.inputAnswers = {L"pw"};
    Click(L"cmdAdd");
    C().SetText(L"cboTaskList", -1, L"Typed Name|x");
    C().At(L"cboTaskList").listIndex = -1;
    Click(L"cmdDel");
    EXPECT_EQ(machine.Lines(L"c:\\BackTemp\\del.bat"), Lines{L"schtasks /delete /tn \"Typed Name\" /f"});
    EXPECT_EQ(ListItems().size(), 1u);

    machine.FinishRuns(0);
    ui.msgAnswers = {kAnsNo};
    Fire(EventKind::Menu, L"mnuClear");
    EXPECT_EQ(ui.prompts.back().text, L"真的想让一切随风而去吗？");
    EXPECT_EQ(ui.prompts.back().title, L"确认删除");
    EXPECT_TRUE(machine.HasFile(kAction));
    EXPECT_EQ(ListItems().size(), 1u);

    ui.msgAnswers = {kAnsYes};
    Fire(EventKind::Menu, L"mnuClear");
    EXPECT_FALSE(machine.HasFile(kAction));
    EXPECT_FALSE(machine.HasFile(L"c:\\BackTemp\\setting.bat"));
    EXPECT_TRUE(machine.HasFile(kTaskList));
    EXPECT_TRUE(machine.HasFile(L"c:\\backtemp\\alltasks.cmd"));
    EXPECT_TRUE(ListItems().empty());
    EXPECT_EQ(machine.Lines(L"c:\\BackTemp\\DelAll.bat"), (Lines{L"schtasks /delete /tn * /f", L"at /delete /yes"}));
    EXPECT_EQ(machine.runs.back().style, WindowStyle::MinimizedFocus);
}

TEST_F(TaskWindow, ADeleteThatCannotReachTheSchedulerKeepsTheRowAndSaysSo) {
    Load();
    ForgetLoad();
    machine.AddFile(L"c:\\backtemp\\alltasks.txt", {L"", L"Nightly  08:30:00, 2005-1-10"});
    Fire(EventKind::Timer, L"timAlltask");
    machine.unwritable.insert(L"c:\\BackTemp\\del.bat");
    Click(L"cmdDel");
    EXPECT_EQ(ListItems().size(), 1u);
    EXPECT_NE(ui.prompts.back().text.find(L"任务“Nightly”没有删除"), std::wstring::npos);

    machine.unwritable.clear();
    machine.startFails = true;
    const size_t shown = ui.prompts.size();
    Click(L"cmdDel");
    EXPECT_EQ(ListItems().size(), 1u);
    EXPECT_EQ(ui.prompts.size(), shown + 1);

    // Clearing all: a DelAll.bat that did not start leaves the tasks; the list reads them again.
    ui.msgAnswers = {kAnsYes};
    Fire(EventKind::Menu, L"mnuClear");
    EXPECT_NE(ui.prompts.back().text.find(L"没有清除"), std::wstring::npos);
    EXPECT_EQ(C().At(L"cmdRefurbish").text, L"刷新中…");
}

TEST_F(TaskWindow, ClockSizeHelpAndClosing) {
    ui.ShowForm(L"frmMain");
    ASSERT_TRUE(ui.IsLoaded(kForm));  // pre-loaded hidden by the main window
    EXPECT_FALSE(ui.IsVisible(kForm));
    Fire(EventKind::Timer, L"timNOW");
    EXPECT_EQ(C().At(L"staBarTime").text, L"现在是:2005-1-9 15:30:45     你选择把文件备份到这里：d:\\Backup");
    ctx.SavePath.clear();
    Fire(EventKind::Timer, L"timNOW");
    EXPECT_EQ(C().At(L"staBarTime").text, L"现在是:2005-1-9 15:30:45");

    C().formWidth += 300;
    Fire(EventKind::Resize, L"");
    EXPECT_EQ(C().formWidth, W().FormWidth);

    Fire(EventKind::Menu, L"mnuHelpUse");
    EXPECT_EQ(machine.runs.back().commandLine, L"C:\\WINDOWS\\hh.exe D:\\Tools\\Backup\\lanzhan.chm::/tasks.htm");
    EXPECT_EQ(machine.runs.back().style, WindowStyle::MaximizedFocus);

    ui.HideForm(L"frmMain");
    Click(L"cmdExit");
    EXPECT_FALSE(ui.IsLoaded(kForm));
    EXPECT_TRUE(ui.IsVisible(L"frmMain"));
}

}  // namespace
}  // namespace lz::test
