// Where the settings files live, on the real system: a program folder that
// really cannot be written (made immutable, or read-only for a user who is not
// root, on the Linux side) sends SavePath.ini to the user's application data.
#include "core/settings_file.h"

#include <gtest/gtest.h>

#include "env/machine_win.h"
#include "savepath/savepath.h"
#include "support/files_win.h"

namespace lz::test {
namespace {

// The real machine, with the program in a folder of the test's choosing.
class MovedProgram : public Win32Machine {
public:
    std::wstring folder;
    std::wstring ProgramDir() override { return folder; }
};

class SettingsOnTheSystem : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        m.folder = std::wstring(temp) + L"lz-program-" + std::to_wstring(GetCurrentProcessId());
        RemoveTree(m.folder);
        ASSERT_TRUE(CreateDirectoryW(m.folder.c_str(), nullptr));
        own = AppDataSettingsFolder(m);
        ASSERT_FALSE(own.empty()) << "the system names no application data folder";
        DeleteFileW((own + L"\\SavePath.ini").c_str());  // left by an interrupted run
    }
    void TearDown() override {
        if (locked) Unlock();
        RemoveTree(m.folder);
        // Other tests read SavePath.ini beside the program: none may be left here.
        DeleteFileW((own + L"\\SavePath.ini").c_str());
        RemoveDirectoryW(own.c_str());
    }
    // On the Linux side, since Wine does not keep Windows' folder rights: the
    // immutable flag stops root too; a user who is not root is stopped by the mode.
    bool Lock() {
        const std::wstring unix = UnixPath(m.folder);
        if (unix.empty()) return false;
        locked = StartUnix(L"Z:\\bin\\sh -c \"chattr +i '" + unix + L"' 2>/dev/null || chmod a-w '" + unix + L"'\"");
        return locked && WaitFor([&] { return !m.CanWriteInFolder(m.folder); });
    }
    void Unlock() {
        const std::wstring unix = UnixPath(m.folder);
        StartUnix(L"Z:\\bin\\sh -c \"chattr -i '" + unix + L"' 2>/dev/null; chmod u+w '" + unix + L"'\"");
        EXPECT_TRUE(WaitFor([&] { return m.CanWriteInFolder(m.folder); }));
        locked = false;
    }
    MovedProgram m;
    std::wstring own;
    bool locked = false;
};

TEST_F(SettingsOnTheSystem, AWritableFolderKeepsTheFileBesideTheProgram) {
    EXPECT_TRUE(m.CanWriteInFolder(m.folder));
    EXPECT_FALSE(m.CanWriteInFolder(m.folder + L"\\missing"));
    std::wstring where;
    ASSERT_EQ(WriteSavePath(m, L"D:\\备份", &where), WriteResult::Ok);
    EXPECT_EQ(where, m.folder + L"\\SavePath.ini");
    EXPECT_EQ(FileBytes(where), "D:\\\xB1\xB8\xB7\xDD\r\n");
    EXPECT_EQ(GetFileAttributesW((own + L"\\SavePath.ini").c_str()), INVALID_FILE_ATTRIBUTES);
    // The probe leaves nothing behind.
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((m.folder + L"\\~lz*").c_str(), &found);
    EXPECT_EQ(find, INVALID_HANDLE_VALUE);
    if (find != INVALID_HANDLE_VALUE) FindClose(find);
}

TEST_F(SettingsOnTheSystem, AnUnwritableFolderSendsTheFileToApplicationDataReadFirst) {
    // A file beside the program from before (a shipped or older setting).
    ASSERT_EQ(WriteSavePath(m, L"c:\\old"), WriteResult::Ok);
    if (!Lock()) GTEST_SKIP() << "this machine cannot make a folder unwritable (neither chattr +i nor chmod works)";
    // Still read where it is while nothing newer exists.
    auto lines = ReadSettingsFile(m, L"SavePath.ini");
    ASSERT_TRUE(lines.has_value());
    EXPECT_EQ(lines->back(), L"c:\\old");

    std::wstring where;
    ASSERT_EQ(WriteSavePath(m, L"D:\\备份", &where), WriteResult::Ok);
    EXPECT_EQ(where, own + L"\\SavePath.ini");
    EXPECT_EQ(FileBytes(where), "D:\\\xB1\xB8\xB7\xDD\r\n");
    lines = ReadSettingsFile(m, L"SavePath.ini");
    ASSERT_TRUE(lines.has_value());
    EXPECT_EQ(lines->back(), L"D:\\备份");
    EXPECT_EQ(FileBytes(m.folder + L"\\SavePath.ini"), "c:\\old\r\n");

    // Writable again: the value stays where it is read from.
    Unlock();
    ASSERT_EQ(WriteSavePath(m, L"E:\\later", &where), WriteResult::Ok);
    EXPECT_EQ(where, own + L"\\SavePath.ini");
    EXPECT_EQ(ReadSettingsFile(m, L"SavePath.ini")->back(), L"E:\\later");
}

}  // namespace
}  // namespace lz::test
