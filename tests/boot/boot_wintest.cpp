// The boot menu window on the real machine under Wine: boot.bat as cmd.exe
// reads it and runs it with attrib, the CD start appended to a real
// c:\boot.ini, and the machine operations it relies on. Whatever
// c:\boot.ini the test prefix holds is put back afterwards.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "boot/bootini.h"
#include "boot/frmGhost.h"
#include "core/form_registry.h"
#include "env/machine_win.h"
#include "support/fake_ui.h"
#include "support/files_win.h"
#include "support/form_stand_in.h"
#include "tools/children_win.h"

namespace lz {
namespace {

using test::BatchesRunning;
using test::FileBytes;
using test::MakeFile;
using test::RemoveTree;

const wchar_t* const kIni = L"c:\\boot.ini";
const wchar_t* const kBat = L"c:\\BackTemp\\boot.bat";
const wchar_t* const kCopy = L"c:\\backtemp\\BOOTSECT.cdr";
const DWORD kProtection = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

// The default description in the ANSI code page (936 in the test prefix).
const std::string kDefaultGbk = "\xce\xde\xd0\xe8" "BIOS\xc9\xe8\xd6\xc3\xb4\xd3\xb9\xe2\xc5\xcc\xc6\xf4\xb6\xaf";
const std::string kEntry = "C:\\BackTemp\\BOOTSECT.cdr=\"" + kDefaultGbk + "\"\r\n";
const std::string kXp =
    "[boot loader]\r\ntimeout=30\r\ndefault=multi(0)disk(0)rdisk(0)partition(1)\\WINDOWS\r\n"
    "[operating systems]\r\nmulti(0)disk(0)rdisk(0)partition(1)\\WINDOWS=\"Microsoft Windows XP\" /fastdetect";

DWORD Attributes(const std::wstring& path) { return GetFileAttributesW(path.c_str()); }
bool Protected(const std::wstring& path) {
    DWORD a = Attributes(path);
    return a != INVALID_FILE_ATTRIBUTES && (a & kProtection) == kProtection;
}
bool Lifted(const std::wstring& path) {
    DWORD a = Attributes(path);
    return a != INVALID_FILE_ATTRIBUTES && (a & kProtection) == 0;
}

// cmd.exe and attrib start slowly on a busy machine: a minute at most.
template <class Done>
bool WaitLong(Done done) {
    for (int i = 0; i < 2400 && !done(); ++i) Sleep(25);
    return done();
}

// Wine's own attrib takes only the last of several +x or -x options, so
// "attrib +r +h +s" sets only the system attribute there. A copy of this test
// program named attrib.exe, first on cmd.exe's path, stands in for it: it
// notes its arguments and applies all of them, as the systems' attrib does.
const wchar_t* const kAttribTraceVar = L"LANZHAN_ATTRIB_TRACE";

const bool kAttribStandIn = [] {
    wchar_t trace[MAX_PATH], self[MAX_PATH];
    DWORD n = GetEnvironmentVariableW(kAttribTraceVar, trace, MAX_PATH);
    DWORD m = GetModuleFileNameW(nullptr, self, MAX_PATH);
    if (n == 0 || n >= MAX_PATH || m < 11 || m >= MAX_PATH || lstrcmpiW(self + m - 11, L"\\attrib.exe") != 0)
        return false;
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::wstring args, file;
    DWORD set = 0, clear = 0;
    for (int i = 1; argv && i < argc; ++i) {
        std::wstring a = argv[i];
        args += (i > 1 ? L" " : L"") + a;
        DWORD bit = 0;
        if (a.size() == 2 && (a[0] == L'+' || a[0] == L'-')) {
            switch (a[1] | 0x20) {
            case L'r': bit = FILE_ATTRIBUTE_READONLY; break;
            case L'h': bit = FILE_ATTRIBUTE_HIDDEN; break;
            case L's': bit = FILE_ATTRIBUTE_SYSTEM; break;
            case L'a': bit = FILE_ATTRIBUTE_ARCHIVE; break;
            }
        }
        if (!bit) file = a;
        else if (a[0] == L'+') set |= bit;
        else clear |= bit;
    }
    DWORD old = GetFileAttributesW(file.c_str());
    if (old != INVALID_FILE_ATTRIBUTES) {
        DWORD now = (old & ~clear) | set;
        SetFileAttributesW(file.c_str(), now ? now : FILE_ATTRIBUTE_NORMAL);
    }
    HANDLE f = CreateFileW(trace, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, 0, nullptr);
    if (f != INVALID_HANDLE_VALUE) {
        args += L"\n";
        DWORD written = 0;
        WriteFile(f, args.data(), DWORD(args.size() * sizeof(wchar_t)), &written, nullptr);
        CloseHandle(f);
    }
    ExitProcess(0);
}();

std::wstring ReadTrace(const std::wstring& path) {
    std::string bytes = FileBytes(path);
    return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
}

// While it lives, cmd.exe started by this program finds the stand-in attrib first.
class AttribStandIn {
public:
    explicit AttribStandIn(const std::wstring& folder) : folder_(folder) {
        CreateDirectoryW(folder_.c_str(), nullptr);
        wchar_t self[MAX_PATH];
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        ok = CopyFileW(self, (folder_ + L"\\attrib.exe").c_str(), FALSE) != FALSE;
        trace = folder_ + L"\\trace.txt";
        DeleteFileW(trace.c_str());
        DWORD n = GetEnvironmentVariableW(L"PATH", nullptr, 0);
        path_.resize(n);
        if (n) GetEnvironmentVariableW(L"PATH", &path_[0], n);
        path_.resize(n ? n - 1 : 0);
        SetEnvironmentVariableW(L"PATH", (folder_ + L";" + path_).c_str());
        SetEnvironmentVariableW(kAttribTraceVar, trace.c_str());
    }
    ~AttribStandIn() {
        SetEnvironmentVariableW(L"PATH", path_.c_str());
        SetEnvironmentVariableW(kAttribTraceVar, nullptr);
    }
    bool ok = false;
    std::wstring trace;

private:
    std::wstring folder_, path_;
};

void WriteIni(const std::string& bytes, bool protect) {
    SetFileAttributesW(kIni, FILE_ATTRIBUTE_NORMAL);
    MakeFile(kIni, bytes);
    if (protect) SetFileAttributesW(kIni, kProtection);
}

// The program folder is the test's own, with or without the image.
class BootMachine : public Win32Machine {
public:
    std::wstring dir;
    std::wstring ProgramDir() override { return dir; }
};

// Puts back c:\boot.ini and the work folder as the test found them.
class Keep {
public:
    Keep() {
        iniAttributes_ = Attributes(kIni);
        if (iniAttributes_ != INVALID_FILE_ATTRIBUTES) ini_ = FileBytes(kIni);
        madeWorkDir_ = CreateDirectoryW(L"c:\\BackTemp", nullptr) != FALSE;
        batWas_ = Attributes(kBat) != INVALID_FILE_ATTRIBUTES;
        bat_ = FileBytes(kBat);
        copyWas_ = Attributes(kCopy) != INVALID_FILE_ATTRIBUTES;
    }
    ~Keep() {
        WaitLong([] { return BatchesRunning() == 0; });
        SetFileAttributesW(kIni, FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(kIni);
        if (iniAttributes_ != INVALID_FILE_ATTRIBUTES) {
            MakeFile(kIni, ini_);
            SetFileAttributesW(kIni, iniAttributes_);
        }
        if (batWas_) MakeFile(kBat, bat_);
        else DeleteFileW(kBat);
        if (!copyWas_) DeleteFileW(kCopy);
        if (madeWorkDir_) RemoveDirectoryW(L"c:\\BackTemp");
    }

private:
    DWORD iniAttributes_ = INVALID_FILE_ATTRIBUTES;
    std::string ini_, bat_;
    bool madeWorkDir_ = false, batWas_ = false, copyWas_ = false;
};

class BootWine : public ::testing::Test {
protected:
    BootWine() : ui(registry) {
        registry.Add(L"frmGhost", [](AppContext& c) { return std::make_unique<frmGhost>(c); });
        // Closing shows the main window: the real one would load the task window and start the scheduler.
        registry.Add(L"frmMain", [](AppContext&) { return std::make_unique<test::FormStandIn>(L"frmMain"); });
        registry.Attach(ctx);
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        machine.dir = std::wstring(temp) + L"lz boot 测试";
        RemoveTree(machine.dir);
        MakeFile(machine.dir + L"\\boot\\BOOTSECT.cdr", image);
    }
    ~BootWine() override {
        ui.UnloadForm(L"frmGhost");
        WaitLong([] { return BatchesRunning() == 0; });
        RemoveTree(machine.dir);
    }
    void Open() { ui.ShowForm(L"frmGhost"); }
    void ClickCD() { ui.Fire(L"frmGhost", {EventKind::Click, L"cmdCD"}); }
    void Tick() { ui.Fire(L"frmGhost", {EventKind::Timer, L"timeBoot"}); }
    std::wstring Text(const std::wstring& name) { return ui.ControlsOf(L"frmGhost").At(name).text; }

    Keep keep;
    const std::string image = std::string("\xEB\x3C\x90MSWIN4.1\0\0", 13) + std::string(500, '\x5A');
    BootMachine machine;
    FormRegistry registry;
    test::FakeUi ui;
    AppContext ctx{machine, ui, L""};
};

TEST_F(BootWine, BootBatLiftsTheAttributesAtLoadAndSetsThemAtUnload) {
    WriteIni(kXp + "\r\n", true);
    AttribStandIn attrib(machine.dir + L"\\bin");
    ASSERT_TRUE(attrib.ok);
    Open();
    EXPECT_EQ(FileBytes(kBat), "attrib -r -h -s c:\\boot.ini\r\n");
    EXPECT_TRUE(WaitLong([] { return Lifted(kIni); })) << std::hex << Attributes(kIni);
    ui.UnloadForm(L"frmGhost");
    EXPECT_EQ(FileBytes(kBat), "attrib +r +h +s c:\\boot.ini\r\n");
    EXPECT_TRUE(WaitLong([] { return Protected(kIni); })) << std::hex << Attributes(kIni);
    EXPECT_EQ(ReadTrace(attrib.trace), L"-r -h -s c:\\boot.ini\n+r +h +s c:\\boot.ini\n");
    EXPECT_EQ(FileBytes(kIni), kXp + "\r\n");
}

TEST_F(BootWine, WinesOwnAttribRunsFromBootBatToo) {
    // It applies only the last option: the system attribute shows that the
    // batch file ran at load and at unload.
    WriteIni(kXp + "\r\n", true);
    Open();
    EXPECT_TRUE(WaitLong([] { return !(Attributes(kIni) & FILE_ATTRIBUTE_SYSTEM); })) << std::hex << Attributes(kIni);
    ui.UnloadForm(L"frmGhost");
    EXPECT_TRUE(WaitLong([] { return (Attributes(kIni) & FILE_ATTRIBUTE_SYSTEM) != 0; }))
        << std::hex << Attributes(kIni);
}

TEST_F(BootWine, TwoClicksRightAfterOpeningAppendTwoEntriesOnLinesOfTheirOwn) {
    // No line end after the last entry, and still protected: boot.bat may not have run yet.
    WriteIni(kXp, true);
    Open();
    ClickCD();
    ClickCD();
    EXPECT_TRUE(ui.prompts.empty());
    EXPECT_EQ(Text(L"cmdCD"), L"从光盘启动添加成功");
    EXPECT_EQ(FileBytes(kIni), kXp + "\r\n" + kEntry + kEntry);
    EXPECT_EQ(FileBytes(kCopy), image);
    Tick();
    EXPECT_EQ(Text(L"txtBoot"),
              L"\"Microsoft Windows XP\" /fastdetect\r\n\"无需BIOS设置从光盘启动\"\r\n\"无需BIOS设置从光盘启动\"\r\n");
}

TEST_F(BootWine, AnEmptyDescriptionEndsInTwoQuotationMarks) {
    WriteIni(kXp + "\r\n", false);
    Open();
    ui.ControlsOf(L"frmGhost").At(L"txtCD").text = L"";
    ClickCD();
    EXPECT_TRUE(ui.prompts.empty());
    EXPECT_EQ(FileBytes(kIni), kXp + "\r\nC:\\BackTemp\\BOOTSECT.cdr=\"\"\r\n");
}

TEST_F(BootWine, NothingIsWrittenWithoutTheImageOrWithoutBootIni) {
    WriteIni(kXp + "\r\n", false);
    DeleteFileW((machine.dir + L"\\boot\\BOOTSECT.cdr").c_str());
    DeleteFileW(kCopy);
    Open();
    ClickCD();
    ASSERT_EQ(ui.prompts.size(), 1u);
    EXPECT_NE(ui.prompts[0].text.find(machine.dir + L"\\boot\\BOOTSECT.cdr"), std::wstring::npos);
    EXPECT_EQ(FileBytes(kIni), kXp + "\r\n");
    EXPECT_EQ(Attributes(kCopy), INVALID_FILE_ATTRIBUTES);

    WaitLong([] { return BatchesRunning() == 0; });
    SetFileAttributesW(kIni, FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(kIni);
    Tick();
    EXPECT_NE(Text(L"txtBoot").find(L"c:\\boot.ini"), std::wstring::npos);
    ClickCD();
    ASSERT_EQ(ui.prompts.size(), 2u);
    EXPECT_EQ(Attributes(kIni), INVALID_FILE_ATTRIBUTES);
}

TEST_F(BootWine, AppendingEndsTheLastLineOnlyWhenItHasNoEnd) {
    const std::wstring file = machine.dir + L"\\append.ini";
    const std::pair<std::string, std::string> cases[] = {
        {"", ""}, {"a", "a\r\n"}, {"a\r\n", "a\r\n"}, {"a\n", "a\n"}, {"a\r", "a\r\n"},
    };
    for (const auto& [before, kept] : cases) {
        MakeFile(file, before);
        EXPECT_EQ(machine.AppendLineToExisting(file, L"光盘"), WriteResult::Ok);
        EXPECT_EQ(FileBytes(file), kept + "\xb9\xe2\xc5\xcc\r\n") << before.size();
    }
    // Never creates a file and never writes what the code page cannot hold.
    // (Read-only is not tried: the tests may run as root, whom Wine lets write.)
    EXPECT_EQ(machine.AppendLineToExisting(machine.dir + L"\\none.ini", L"x"), WriteResult::Failed);
    EXPECT_EQ(Attributes(machine.dir + L"\\none.ini"), INVALID_FILE_ATTRIBUTES);
    MakeFile(file, "a\r\n");
    EXPECT_EQ(machine.AppendLineToExisting(file, L"\U0001F600"), WriteResult::NotRepresentable);
    EXPECT_EQ(FileBytes(file), "a\r\n");
}

TEST_F(BootWine, ProtectionOnAndOffAndTheShortDate) {
    const std::wstring file = machine.dir + L"\\p.ini";
    MakeFile(file, "x");
    SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_ARCHIVE);
    EXPECT_TRUE(machine.SetProtected(file, true));
    EXPECT_EQ(Attributes(file) & (kProtection | FILE_ATTRIBUTE_ARCHIVE), kProtection | FILE_ATTRIBUTE_ARCHIVE);
    EXPECT_TRUE(machine.SetProtected(file, false));
    EXPECT_EQ(Attributes(file) & (kProtection | FILE_ATTRIBUTE_ARCHIVE), DWORD(FILE_ATTRIBUTE_ARCHIVE));
    EXPECT_FALSE(machine.SetProtected(machine.dir + L"\\none", true));
    EXPECT_FALSE(machine.SetProtected(machine.dir, true));  // a folder is not the boot loader's file

    std::tm day{};
    day.tm_year = 2033 - 1900;
    day.tm_mon = 10;
    day.tm_mday = 22;
    const std::wstring date = machine.ShortDate(day);
    EXPECT_NE(date.find(L"2033"), std::wstring::npos) << date.size();
    EXPECT_NE(date.find(L"22"), std::wstring::npos);
    EXPECT_EQ(date.find(L' '), std::wstring::npos);
}

}  // namespace
}  // namespace lz
