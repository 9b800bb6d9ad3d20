// The tools window's launches on a real system: programs that exist start,
// missing ones give the message, and a planted C:\Program.exe never runs.
#include <windows.h>

#include <gtest/gtest.h>

#include <cwchar>
#include <set>
#include <string>

#include "env/machine_win.h"
#include "support/fake_ui.h"
#include "tools/children_win.h"
#include "tools/toolcatalogue.h"
#include "ui/form_registry.h"

namespace lz {
namespace {

const wchar_t* const kTraceVar = L"LANZHAN_TOOLS_TRACE";

// A copy of this test program planted as C:\Program.exe: when anything starts
// it, it only notes its command line and ends.
const bool kStandIn = [] {
    wchar_t trace[MAX_PATH];
    DWORD n = GetEnvironmentVariableW(kTraceVar, trace, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return false;
    HANDLE f = CreateFileW(trace, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, 0, nullptr);
    if (f != INVALID_HANDLE_VALUE) {
        const wchar_t* line = GetCommandLineW();
        DWORD written = 0;
        WriteFile(f, line, DWORD(lstrlenW(line) * sizeof(wchar_t)), &written, nullptr);
        CloseHandle(f);
    }
    ExitProcess(0);
}();

class ToolsLaunch : public ::testing::Test {
protected:
    ToolsLaunch() : ui(registry), ctx{machine, ui, L""} {
        RegisterAllForms(registry);
        ui.Attach(ctx);
        ui.ShowForm(L"frmXPTools");
    }
    void Fire(EventKind kind, const std::wstring& name, int index = -1) {
        ui.Fire(L"frmXPTools", {kind, name, index});
    }

    test::ChildWatch children;  // first made, last ended: it outlives every launch
    FormRegistry registry;
    Win32Machine machine;
    test::FakeUi ui;
    AppContext ctx;
};

TEST_F(ToolsLaunch, ExistingToolsStartFromTheirButtonsAndMenuItems) {
    struct Case {
        EventKind kind;
        const wchar_t* name;
        int index;
        const wchar_t* exe;
    };
    const Case cases[] = {
        {EventKind::Click, L"cmdXpTools", 22, L"taskmgr.exe"},
        {EventKind::Menu, L"mnuTaskmgr", -1, L"taskmgr.exe"},
        {EventKind::Menu, L"mnuNotepad", -1, L"notepad.exe"},
        {EventKind::Menu, L"mnuRegedit", -1, L"regedit.exe"},
    };
    std::set<DWORD> seen;
    for (const Case& c : cases) {
        Fire(c.kind, c.name, c.index);
        EXPECT_NE(children.WaitFor(c.exe, seen), 0u)
            << "nothing started for " << std::string(c.name, c.name + wcslen(c.name));
    }
    EXPECT_TRUE(ui.prompts.empty());
}

TEST_F(ToolsLaunch, AMissingToolShowsTheMessageAndButton17NothingAtAll) {
    const std::wstring sys = machine.GetSysDir();
    ASSERT_FALSE(machine.FileExists(sys + L"\\tourstart.exe"));
    Fire(EventKind::Click, L"cmdXpTools", 0);
    ASSERT_EQ(ui.prompts.size(), 1u);
    EXPECT_EQ(ui.prompts[0].text, L"请确认你是否有足够的权限打开或者因为此程序需要在XP版本下才能运行");
    EXPECT_EQ(ui.prompts[0].title, L"打开程序错误");
    EXPECT_EQ(ui.prompts[0].flags, kOkOnly);

    ui.prompts.clear();
    Fire(EventKind::Click, L"cmdXpTools", 17);
    Sleep(500);
    EXPECT_TRUE(ui.prompts.empty());
    EXPECT_FALSE(children.AnyNew()) << "a process was started";
}

TEST_F(ToolsLaunch, APlantedProgramExeIsNeverStartedByAProgramFilesRow) {
    const std::wstring planted = L"C:\\Program.exe";
    ASSERT_FALSE(machine.FileExists(planted)) << "the test prefix already has one";
    wchar_t self[MAX_PATH];
    ASSERT_LT(GetModuleFileNameW(nullptr, self, MAX_PATH), DWORD(MAX_PATH));
    ASSERT_TRUE(CopyFileW(self, planted.c_str(), TRUE));
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring trace = std::wstring(temp) + L"lanzhan_program_exe.txt";
    DeleteFileW(trace.c_str());
    SetEnvironmentVariableW(kTraceVar, trace.c_str());

    // The stand-in works: started on purpose, it leaves its note.
    ASSERT_TRUE(machine.Run(planted + L" check", WindowStyle::NormalFocus));
    for (int i = 0; i < 100 && GetFileAttributesW(trace.c_str()) == INVALID_FILE_ATTRIBUTES; ++i) Sleep(100);
    ASSERT_TRUE(DeleteFileW(trace.c_str())) << "the planted program did not run when asked";

    // Rows whose program is missing: unquoted, the system would fall back to C:\Program.exe.
    int tried = 0;
    for (const Tool& t : ToolCatalogue()) {
        if (t.form != ToolForm::ProgramFiles) continue;
        const std::wstring target = L"C:" + std::wstring(t.path);
        if (machine.FileExists(target)) continue;
        ++tried;
        ui.prompts.clear();
        if (t.button >= 0) Fire(EventKind::Click, L"cmdXpTools", t.button);
        else Fire(EventKind::Menu, t.menu);
        EXPECT_EQ(ui.prompts.size(), 1u) << "something started for a missing program";
    }
    Sleep(1000);
    const bool ran = GetFileAttributesW(trace.c_str()) != INVALID_FILE_ATTRIBUTES;

    SetEnvironmentVariableW(kTraceVar, nullptr);
    DeleteFileW(trace.c_str());
    for (int i = 0; i < 50 && !DeleteFileW(planted.c_str()); ++i) Sleep(100);
    EXPECT_GE(tried, 3);
    EXPECT_FALSE(ran) << "C:\\Program.exe was started";
}

}  // namespace
}  // namespace lz
