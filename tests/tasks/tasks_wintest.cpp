// The task window on the real machine under Wine: the bytes of the files it
// writes, the action batch files doing their work when cmd.exe runs them, and
// what the scheduler front end finally receives from Task.bat.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "env/machine_win.h"
#include "tasks/frmAutoSelectTime.h"
#include "core/form_registry.h"
#include "support/fake_ui.h"
#include "support/files_win.h"
#include "support/hostile_corpus.h"
#include "tasks/schtasks_standin_win.h"

namespace lz {
namespace {

using test::FileBytes;
using test::MakeFile;
using test::RemoveTree;

const std::wstring kRoot = L"C:\\lztasks";
const wchar_t* const kWork = L"c:\\BackTemp";
const wchar_t* const kForm = L"frmAutoSelectTime";

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Every file or folder named `name` under `folder`, at any depth.
int CountNamed(const std::wstring& folder, const std::wstring& name) {
    int n = 0;
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return 0;
    do {
        const std::wstring item = found.cFileName;
        if (item == L"." || item == L"..") continue;
        if (lstrcmpiW(item.c_str(), name.c_str()) == 0) ++n;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) n += CountNamed(folder + L"\\" + item, name);
    } while (FindNextFileW(find, &found));
    FindClose(find);
    return n;
}

std::string Utf8(const std::wstring& text) {
    int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(std::size_t(n > 0 ? n : 0), '\0');
    if (n > 0) WideCharToMultiByte(CP_UTF8, 0, text.c_str(), int(text.size()), &out[0], n, nullptr, nullptr);
    return out;
}

// The action batch files the window wrote (named after the time of the add).
std::vector<std::wstring> ActionFiles() {
    std::vector<std::wstring> files;
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((std::wstring(kWork) + L"\\2*.bat").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return files;
    do files.push_back(std::wstring(kWork) + L"\\" + found.cFileName);
    while (FindNextFileW(find, &found));
    FindClose(find);
    return files;
}

// Runs a batch file through cmd.exe in `folder` and waits for it.
DWORD RunBatch(const std::wstring& bat, const std::wstring& folder) {
    std::wstring line = L"cmd.exe /c \"" + bat + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, folder.c_str(), &si,
                        &pi))
        return DWORD(-1);
    WaitForSingleObject(pi.hProcess, 60000);
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return code;
}

// The machine of an XP or Windows 2000 system at a fixed time, otherwise real.
class OldSystem : public Win32Machine {
public:
    explicit OldSystem(std::wstring product) : product_(std::move(product)) {}
    OsVersion GetOsVersion() override { return {5, product_ == L"Microsoft Windows XP" ? 1u : 0u}; }
    RegString ReadRegString(const std::wstring& key, const std::wstring& value) override {
        if (value == L"ProductName") return {RegRead::Ok, product_};
        return Win32Machine::ReadRegString(key, value);
    }
    std::wstring GetComputerName100() override { return L"MYPC"; }
    std::wstring GetUserName100() override { return L"alice"; }
    std::tm Now() override {
        std::tm t{};
        t.tm_year = 105, t.tm_mon = 0, t.tm_mday = 9, t.tm_hour = 15, t.tm_min = 30, t.tm_sec = 45;
        return t;
    }

private:
    std::wstring product_;
};

class TaskWine : public ::testing::Test {
protected:
    void SetUp() override {
        registry.Add(kForm, [](AppContext& c) { return std::make_unique<frmAutoSelectTime>(c); });
        RemoveTree(kRoot);
        RemoveTree(kWork);
        CreateDirectoryW(kRoot.c_str(), nullptr);
    }
    void TearDown() override {
        if (ctx && ui->IsLoaded(kForm)) {
            PumpUntil([] { return !Exists(L"c:\\BackTemp\\Task.bat"); });
            ui->UnloadForm(kForm);
        }
        RemoveTree(kRoot);
        RemoveTree(kWork);
    }
    // The machines live as long as the test: their runs call back through them.
    void Open(std::unique_ptr<Machine> m, const std::wstring& savePath) {
        machines.push_back(std::move(m));
        ui = std::make_unique<test::FakeUi>(registry);
        ctx = std::make_unique<AppContext>(AppContext{*machines.back(), *ui, L""});
        registry.Attach(*ctx);
        ui->LoadForm(kForm);
        ctx->SavePath = savePath;
    }
    test::FakeControls& C() { return ui->ControlsOf(kForm); }
    void Click(const std::wstring& name, int index = -1) {
        if (C().At(name, index).kind == Kind::Option) C().SetChecked(name, index, true);
        ui->Fire(kForm, {EventKind::Click, name, index});
    }
    void Choose(const wchar_t* schedule) {
        C().SetText(L"cboSelect", -1, schedule);
        Click(L"cboSelect");
    }
    void At0830() {
        std::tm t = ctx->machine.Now();
        t.tm_hour = 8, t.tm_min = 30, t.tm_sec = 0;
        C().SetDateTime(L"dtpTime", -1, t);
    }
    void ChooseFolder(const std::wstring& path) {
        C().At(L"treeFolder").text = path;
        ui->Fire(kForm, {EventKind::Select, L"treeFolder"});
    }
    // Lets RunNotify's callbacks arrive, as the program's message loop does.
    template <class F> bool PumpUntil(F done) {
        const DWORD start = GetTickCount();
        while (!done()) {
            if (GetTickCount() - start > 30000) return false;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        }
        return true;
    }
    std::wstring Tip() { return C().At(L"lblTipText").text; }

    std::vector<std::unique_ptr<Machine>> machines;
    FormRegistry registry;
    std::unique_ptr<test::FakeUi> ui;
    std::unique_ptr<AppContext> ctx;
};

TEST_F(TaskWine, ClassicFilesAreGbkWithCrLf) {
    Open(std::make_unique<OldSystem>(L"Microsoft Windows XP"), L"d:\\Backup");
    ui->fileAnswers = {L"C:\\doc\\a.txt"};
    ui->inputAnswers = {L"secret"};
    Click(L"optRunMode", 0);
    At0830();
    Click(L"cmdAdd");
    const std::string action = "c:\\BackTemp\\2005_01_09_15_30_45.bat";
    EXPECT_EQ(FileBytes(L"c:\\BackTemp\\2005_01_09_15_30_45.bat"),
              "copy /y C:\\doc\\a.txt d:\\Backup\\\xB5\xA5\xB8\xF6\xCE\xC4\xBC\xFE\xB1\xB8\xB7\xDD\\a.txt.bak\r\n");
    EXPECT_EQ(FileBytes(L"c:\\BackTemp\\Task.bat"),
              "schtasks /create /tn \xC3\xBF\xCC\xEC" "08_30_00\xCA\xB1" "153045\xB1\xB8\xB7\xDD\xCE\xC4\xBC\xFE /tr " +
                  action + " /sc DAILY /st 08:30:00 /s MYPC /ru alice /rp secret\r\n");
    const std::string list = FileBytes(L"c:\\BackTemp\\TaskList.txt");
    EXPECT_NE(list.find("\xCC\xED\xBC\xD3\xB5\xC4\xC8\xCE\xCE\xF1\xCA\xC7\xA3\xBA" "C:\\doc\\a.txt\r\n"), std::string::npos);
    EXPECT_EQ(FileBytes(L"c:\\BackTemp\\setting.bat"), "attrib +h c:\\BackTemp\r\n");
    EXPECT_EQ(FileBytes(L"c:\\backtemp\\alltasks.cmd"), "schtasks /query /fo Table /nh  > c:\\backtemp\\alltasks.txt\r\n");
    ASSERT_TRUE(PumpUntil([] { return !Exists(L"c:\\BackTemp\\Task.bat"); }));
    ui->UnloadForm(kForm);

    Open(std::make_unique<OldSystem>(L"Microsoft Windows 2000"), L"d:\\Backup");
    ui->inputAnswers = {L"secret"};
    Click(L"optRunMode", 3);
    Click(L"optSystemTask", 1);
    Choose(L"每周");
    C().SetChecked(L"chkWeek", 0, false);
    At0830();
    Click(L"cmdAdd");
    EXPECT_EQ(FileBytes(L"c:\\BackTemp\\Task.bat"), "at 08:30:00 /interactive  /every:,T,W,TH,F,S,SU " + action + "\r\n");
    // Two adds in the same second share one action file.
    EXPECT_EQ(FileBytes(L"c:\\BackTemp\\2005_01_09_15_30_45.bat"),
              "copy /y C:\\doc\\a.txt d:\\Backup\\\xB5\xA5\xB8\xF6\xCE\xC4\xBC\xFE\xB1\xB8\xB7\xDD\\a.txt.bak\r\n"
              "Shutdown -r\r\n");
}

TEST_F(TaskWine, ActionFilesCopyWhatWasChosenAndRunNothingElse) {
    const std::wstring save = kRoot + L"\\备份 目录";
    CreateDirectoryW(save.c_str(), nullptr);
    const std::wstring src = kRoot + L"\\src";
    MakeFile(src + L"\\My Files\\报告 1.txt", "report");
    const std::vector<std::wstring> folders = {L"新年", L"My Pictures", L"R&D&mkdir stray", L"100%"};
    for (const std::wstring& f : folders) {
        MakeFile(src + L"\\" + f + L"\\a.txt", "a");
        MakeFile(src + L"\\" + f + L"\\sub\\b.txt", "b");
    }
    Open(std::make_unique<Win32Machine>(), save);
    ui->inputAnswers = {L"pw"};
    ui->fileAnswers = {src + L"\\My Files\\报告 1.txt"};
    Click(L"optRunMode", 0);
    Click(L"cmdAdd");
    Click(L"optRunMode", 1);
    for (const std::wstring& f : folders) {
        ChooseFolder(src + L"\\" + f);
        Click(L"cmdAdd");
    }
    const std::vector<std::wstring> actions = ActionFiles();
    ASSERT_FALSE(actions.empty());
    const std::wstring cwd = kRoot + L"\\cwd";
    CreateDirectoryW(cwd.c_str(), nullptr);
    for (const std::wstring& bat : actions) EXPECT_EQ(RunBatch(bat, cwd), 0u) << std::string(bat.begin(), bat.end());

    EXPECT_EQ(FileBytes(save + L"\\单个文件备份\\报告 1.txt.bak"), "report");
    for (const std::wstring& f : folders) {
        EXPECT_EQ(FileBytes(save + L"\\" + f + L"\\a.txt"), "a") << f.size();
        EXPECT_EQ(FileBytes(save + L"\\" + f + L"\\sub\\b.txt"), "b") << f.size();
    }
    // An unquoted "&" would have run "mkdir stray" here.
    EXPECT_FALSE(Exists(cwd + L"\\stray"));
    EXPECT_FALSE(Exists(kRoot + L"\\stray"));
}

// The nastiest names of the hostile corpus, as real files and folders: the
// window's action files copy exactly them through cmd.exe, the scheduler
// receives exactly their programs, and the command planted in them never runs.
TEST_F(TaskWine, HostileNamesCopyWhatWasChosenAndThePlantedCommandNeverRuns) {
    std::vector<std::wstring> names;
    for (const auto& e : test::HostileCorpus())
        if (e.onWine) names.push_back(e.text);
    ASSERT_GE(names.size(), 5u) << "the hostile corpus was not read";

    const std::wstring save = kRoot + L"\\备份 目录", src = kRoot + L"\\src", cwd = kRoot + L"\\cwd";
    CreateDirectoryW(save.c_str(), nullptr);
    CreateDirectoryW(cwd.c_str(), nullptr);
    for (std::size_t i = 0; i < names.size(); ++i) {
        MakeFile(src + L"\\" + names[i] + L"\\" + names[i] + L".txt", "file " + std::to_string(i));
        MakeFile(src + L"\\" + names[i] + L"\\sub\\b.txt", "sub " + std::to_string(i));
    }
    Open(std::make_unique<Win32Machine>(), save);
    test::SchtasksStandIn standIn(kRoot + L"\\bin");
    ASSERT_TRUE(standIn.ok());
    const std::wstring log = kRoot + L"\\schtasks.log";
    SetEnvironmentVariableW(L"LZ_SCHTASKS_LOG", log.c_str());

    ui->inputAnswers = {L"pw"};
    // Each add waits for the last one's Task.bat run, as a user would.
    auto add = [&] {
        Click(L"cmdAdd");
        return PumpUntil([] { return !Exists(L"c:\\BackTemp\\Task.bat"); });
    };
    for (const std::wstring& name : names) {
        ui->fileAnswers = {src + L"\\" + name + L"\\" + name + L".txt"};
        Click(L"optRunMode", 0);
        ASSERT_TRUE(add());
        Click(L"optRunMode", 1);
        ChooseFolder(src + L"\\" + name);
        ASSERT_TRUE(add());
        ui->fileAnswers = {src + L"\\" + name + L"\\run.exe"};
        Click(L"optRunMode", 2);
        ASSERT_TRUE(add());
    }
    for (const auto& prompt : ui->prompts)
        EXPECT_NE(prompt.type, test::ShownPrompt::Message) << Utf8(prompt.text);  // no refusal

    const std::vector<std::wstring> actions = ActionFiles();
    ASSERT_FALSE(actions.empty());
    for (const std::wstring& bat : actions) EXPECT_EQ(RunBatch(bat, cwd), 0u) << Utf8(bat);
    for (std::size_t i = 0; i < names.size(); ++i) {
        SCOPED_TRACE(Utf8(names[i]));
        EXPECT_EQ(FileBytes(save + L"\\单个文件备份\\" + names[i] + L".txt.bak"), "file " + std::to_string(i));
        EXPECT_EQ(FileBytes(save + L"\\" + names[i] + L"\\" + names[i] + L".txt"), "file " + std::to_string(i));
        EXPECT_EQ(FileBytes(save + L"\\" + names[i] + L"\\sub\\b.txt"), "sub " + std::to_string(i));
    }
    // Nothing but the copies arrived: no half of a split or joined path.
    std::vector<std::wstring> single;
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((save + L"\\单个文件备份\\*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do
            if (found.cFileName[0] != L'.') single.push_back(found.cFileName);
        while (FindNextFileW(find, &found));
        FindClose(find);
    }
    EXPECT_EQ(single.size(), names.size());
    for (const std::wstring& where : {kRoot, std::wstring(kWork)}) {
        EXPECT_EQ(CountNamed(where, L"PLANTED"), 0) << Utf8(where);
        EXPECT_EQ(CountNamed(where, L"PLANTED%"), 0) << Utf8(where);
    }
    EXPECT_FALSE(Exists(L"C:\\PLANTED"));

    // What the scheduler received after /tr, run by run.
    std::ifstream in(log.c_str(), std::ios::binary);
    std::vector<std::string> received;
    std::string previous;
    for (std::string a; std::getline(in, a); previous = a)
        if (previous == "/tr") received.push_back(a);
    ASSERT_EQ(received.size(), names.size() * 3);
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::wstring program = src + L"\\" + names[i] + L"\\run.exe";
        const bool blank = program.find(L' ') != std::wstring::npos;
        EXPECT_EQ(received[i * 3 + 2], Utf8(blank ? L"\"" + program + L"\"" : program));
    }
}

TEST_F(TaskWine, SchedulerReceivesWholePathsAndPasswordsAndItsAnswerIsReported) {
    Open(std::make_unique<Win32Machine>(), kRoot);  // before PATH changes: the load's own listing uses the system's schtasks
    test::SchtasksStandIn standIn(kRoot + L"\\bin");
    ASSERT_TRUE(standIn.ok());
    const std::wstring log = kRoot + L"\\schtasks.log";
    SetEnvironmentVariableW(L"LZ_SCHTASKS_LOG", log.c_str());
    SetEnvironmentVariableW(L"LZ_SCHTASKS_EXIT", L"1");

    const std::wstring program = kRoot + L"\\My Tools\\app (1).exe";
    const std::wstring password = L"p&ss w%rd^|<x>!";
    ui->inputAnswers = {password};
    ui->fileAnswers = {program};
    ui->Fire(kForm, {EventKind::Menu, L"mnuRunPasswordSetting"});
    Click(L"optRunMode", 2);
    Click(L"cmdAdd");
    ASSERT_TRUE(PumpUntil([] { return !Exists(L"c:\\BackTemp\\Task.bat"); }));

    std::ifstream in(log.c_str(), std::ios::binary);
    std::vector<std::string> args;
    for (std::string a; std::getline(in, a);) args.push_back(a);
    auto after = [&](const std::string& key) {
        for (std::size_t i = 0; i + 1 < args.size(); ++i)
            if (args[i] == key) return args[i + 1];
        return std::string("(missing)");
    };
    EXPECT_EQ(after("/tr"), "\"C:\\lztasks\\My Tools\\app (1).exe\"");
    EXPECT_EQ(after("/rp"), "p&ss w%rd^|<x>!");
    EXPECT_EQ(after("/sc"), "DAILY");
    EXPECT_NE(Tip().find(L"拒绝"), std::wstring::npos);
    EXPECT_TRUE(ActionFiles().empty());

    SetEnvironmentVariableW(L"LZ_SCHTASKS_EXIT", L"0");
    ui->fileAnswers = {program};  // each add uses up the chosen file
    Click(L"optRunMode", 2);
    Click(L"cmdAdd");
    ASSERT_TRUE(PumpUntil([] { return !Exists(L"c:\\BackTemp\\Task.bat"); }));
    EXPECT_EQ(Tip().find(L"拒绝"), std::wstring::npos);
}

}  // namespace
}  // namespace lz
