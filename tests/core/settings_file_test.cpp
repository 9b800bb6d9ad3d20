// Where SavePath.ini and Screen.ini live: beside the program while its folder
// can be written, else in the user's application data folder, read from there first.
#include "core/settings_file.h"

#include <gtest/gtest.h>

#include "savepath/frmSoftSaveSetting.h"
#include "savepath/savepath.h"
#include "support/app_fixture.h"

namespace lz::test {
namespace {

const wchar_t* const kProgram = L"C:\\Program Files\\Lanzhan";
const wchar_t* const kAppData = L"C:\\Users\\alice\\AppData\\Roaming";
const wchar_t* const kBeside = L"C:\\Program Files\\Lanzhan\\SavePath.ini";
const wchar_t* const kOwn = L"C:\\Users\\alice\\AppData\\Roaming\\岚栈备份专家\\SavePath.ini";

struct Settings : AppFixture, ::testing::Test {
    Settings() {
        machine.programDir = kProgram;
        machine.AddFolder(kProgram);
        machine.AddFolder(kAppData);
        machine.knownFolders[KnownFolder::AppData] = kAppData;
    }
    void LockProgramFolder() { machine.lockedFolders.insert(kProgram); }
    FakeControls& C() { return ui.ControlsOf(L"frmSoftSaveSetting"); }
    void ChooseInDialog(const std::wstring& folder) {
        ui.ShowForm(L"frmSoftSaveSetting");
        C().At(L"txtSavePath").text = folder;
        ui.Logic<frmSoftSaveSetting>(L"frmSoftSaveSetting").cmdYes_Click();
    }
};

TEST_F(Settings, AWritableProgramFolderKeepsTheFileBesideTheProgram) {
    EXPECT_EQ(SettingsReadPath(machine, L"SavePath.ini"), kBeside);
    EXPECT_EQ(SettingsWritePath(machine, L"Screen.ini"), L"C:\\Program Files\\Lanzhan\\Screen.ini");
    ASSERT_EQ(WriteSavePath(machine, L"d:\\Backup"), WriteResult::Ok);
    EXPECT_EQ(machine.Lines(kBeside), std::vector<std::wstring>{L"d:\\Backup"});
    EXPECT_FALSE(machine.FolderExists(AppDataSettingsFolder(machine)));  // nothing made where it is not needed
    ReadSavePath(ctx);
    EXPECT_EQ(ctx.SavePath, L"d:\\Backup");
}

TEST_F(Settings, AnUnwritableProgramFolderSendsTheValueToApplicationData) {
    LockProgramFolder();
    machine.AddFolder(L"d:\\Backup");
    ChooseInDialog(L"d:\\Backup");
    EXPECT_TRUE(ui.prompts.empty()) << ui.prompts[0].text;
    EXPECT_FALSE(ui.IsLoaded(L"frmSoftSaveSetting"));
    EXPECT_EQ(machine.Lines(kOwn), std::vector<std::wstring>{L"d:\\Backup"});
    EXPECT_FALSE(machine.HasFile(kBeside));
    // The next start finds it.
    ctx.SavePath.clear();
    ReadSavePath(ctx);
    EXPECT_EQ(ctx.SavePath, L"d:\\Backup");
}

TEST_F(Settings, TheApplicationDataCopyIsReadFirstAndNeverShadowed) {
    // Installed read-only with a file beside the program: that file is still read.
    machine.AddFile(kBeside, {L"c:\\shipped"});
    LockProgramFolder();
    ReadSavePath(ctx);
    EXPECT_EQ(ctx.SavePath, L"c:\\shipped");
    // A new value goes to application data and is read from there from now on.
    ASSERT_EQ(WriteSavePath(machine, L"e:\\new"), WriteResult::Ok);
    ReadSavePath(ctx);
    EXPECT_EQ(ctx.SavePath, L"e:\\new");
    EXPECT_EQ(machine.Lines(kBeside), std::vector<std::wstring>{L"c:\\shipped"});
    // Even once the program's folder can be written again (run as administrator),
    // a later value goes where it is read from.
    machine.lockedFolders.clear();
    ASSERT_EQ(WriteSavePath(machine, L"f:\\later"), WriteResult::Ok);
    ReadSavePath(ctx);
    EXPECT_EQ(ctx.SavePath, L"f:\\later");
    EXPECT_EQ(machine.Lines(kBeside), std::vector<std::wstring>{L"c:\\shipped"});
}

TEST_F(Settings, WithNowhereToWriteTheMessageNamesTheFile) {
    LockProgramFolder();
    machine.knownFolders.erase(KnownFolder::AppData);  // the system does not say
    EXPECT_EQ(SettingsWritePath(machine, L"SavePath.ini"), kBeside);
    machine.AddFolder(L"d:\\Backup");
    ChooseInDialog(L"d:\\Backup");
    ASSERT_EQ(ui.prompts.size(), 1u);
    EXPECT_NE(ui.prompts[0].text.find(kBeside), std::wstring::npos) << ui.prompts[0].text;
    EXPECT_EQ(ui.prompts[0].title, L"保存设置失败");
    EXPECT_TRUE(ui.IsLoaded(L"frmSoftSaveSetting"));

    // Application data known but its suite folder cannot be made there either.
    machine.knownFolders[KnownFolder::AppData] = kAppData;
    machine.lockedFolders.insert(kAppData);
    std::wstring where;
    EXPECT_EQ(WriteSavePath(machine, L"d:\\Backup", &where), WriteResult::Failed);
    EXPECT_EQ(where, kOwn);
}

TEST_F(Settings, AnApplicationDataFolderGivenWithItsBackslashMakesNoDoubleOne) {
    machine.knownFolders[KnownFolder::AppData] = L"C:\\";
    EXPECT_EQ(AppDataSettingsFolder(machine), L"C:\\岚栈备份专家");
}

}  // namespace
}  // namespace lz::test
