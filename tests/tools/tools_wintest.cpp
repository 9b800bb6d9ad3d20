// A planted C:\Program.exe is never what a tool with a blank in its path runs.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "env/machine_win.h"
#include "support/fake_ui.h"
#include "tools/toolcatalogue.h"
#include "core/form_registry.h"

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
        registry.Attach(ctx);
        ui.ShowForm(L"frmXPTools");
    }
    void Fire(EventKind kind, const std::wstring& name, int index = -1) {
        ui.Fire(L"frmXPTools", {kind, name, index});
    }

    FormRegistry registry;
    Win32Machine machine;
    test::FakeUi ui;
    AppContext ctx;
};

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
    for (int i = 0; i < 600 && GetFileAttributesW(trace.c_str()) == INVALID_FILE_ATTRIBUTES; ++i) Sleep(100);
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
