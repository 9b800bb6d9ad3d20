// Screen.ini: the last line is the password, the file is written whole, and
// the check before the settings open asks until a password is set.
#include <gtest/gtest.h>

#include "lock/screen_ini.h"
#include "support/app_fixture.h"

namespace lz::test {
namespace {

struct ScreenIni : AppFixture, ::testing::Test {
    const std::wstring ini = L"C:\\Lanzhan\\Screen.ini";
};

// Installed where the program's folder cannot be written, the password goes
// to the suite's folder under application data and is read from there.
TEST_F(ScreenIni, AnUnwritableProgramFolderKeepsThePasswordInApplicationData) {
    const std::wstring appData = L"C:\\Users\\alice\\AppData\\Roaming";
    machine.AddFolder(appData);
    machine.knownFolders[KnownFolder::AppData] = appData;
    machine.lockedFolders.insert(machine.programDir);
    ASSERT_EQ(WriteLockPassword(machine, L"秘密"), PasswordWrite::Ok);
    EXPECT_FALSE(machine.HasFile(ini));
    const std::wstring own = appData + L"\\岚栈备份专家\\Screen.ini";
    EXPECT_EQ(machine.Lines(own), std::vector<std::wstring>{L"秘密"});
    EXPECT_EQ(ScreenIniPath(machine), own);
    EXPECT_EQ(ReadLockPassword(machine).text, L"秘密");
}

TEST_F(ScreenIni, TheLastLineIsThePasswordAndAMissingFileIsNoneYet) {
    EXPECT_EQ(ScreenIniPath(machine), ini);
    machine.AddFile(ini, {L"first", L"Second"});
    StoredPassword p = ReadLockPassword(machine);
    EXPECT_EQ(p.status, PasswordRead::Ok);
    EXPECT_EQ(p.text, L"Second");
    machine.AddFile(ini, {L"old", L""});
    EXPECT_EQ(ReadLockPassword(machine).text, L"");
    machine.AddFile(ini, {});
    EXPECT_EQ(ReadLockPassword(machine).status, PasswordRead::Ok);
    machine.unreadable.insert(ini);
    EXPECT_EQ(ReadLockPassword(machine).status, PasswordRead::Unreadable);
    machine.files.clear();
    EXPECT_EQ(ReadLockPassword(machine).status, PasswordRead::Missing);
}

TEST_F(ScreenIni, WritingReplacesTheFileWithOneLineOrRefusesWhatCannotBeKept) {
    machine.AddFile(ini, {L"a", L"b"});
    EXPECT_EQ(WriteLockPassword(machine, L"新 Pass"), PasswordWrite::Ok);
    EXPECT_EQ(machine.Lines(ini), std::vector<std::wstring>{L"新 Pass"});
    EXPECT_EQ(machine.File(ini)->codePage, CodePage::Ansi);

    machine.notAnsi.insert(L'☃');
    EXPECT_EQ(WriteLockPassword(machine, L"snow☃"), PasswordWrite::NotRepresentable);
    EXPECT_EQ(WriteLockPassword(machine, L"two\r\nlines"), PasswordWrite::NotRepresentable);
    EXPECT_EQ(WriteLockPassword(machine, L"cr\ronly"), PasswordWrite::NotRepresentable);
    EXPECT_EQ(machine.Lines(ini), std::vector<std::wstring>{L"新 Pass"});

    machine.unwritable.insert(ini);
    EXPECT_EQ(WriteLockPassword(machine, L"x"), PasswordWrite::Failed);
    EXPECT_EQ(machine.Lines(ini), std::vector<std::wstring>{L"新 Pass"});
}

TEST_F(ScreenIni, CheckAsksOnlyWhenNoPasswordIsSet) {
    machine.AddFile(ini, {L"set"});
    CheckLockPassword(ctx);
    EXPECT_TRUE(ui.prompts.empty());

    machine.AddFile(ini, {L"set", L""});
    ui.inputAnswers = {L"Secret"};
    CheckLockPassword(ctx);
    ASSERT_EQ(ui.prompts.size(), 1u);
    EXPECT_EQ(ui.prompts[0].type, ShownPrompt::Input);
    EXPECT_EQ(ui.prompts[0].text, L"请输入要锁定屏幕时的密码");
    EXPECT_EQ(ui.prompts[0].title, L"有必要");
    EXPECT_EQ(ui.prompts[0].defaultText, L"");
    EXPECT_EQ(machine.Lines(ini), std::vector<std::wstring>{L"Secret"});
}

TEST_F(ScreenIni, ACancelledPromptLeavesTheFileAskingAgain) {
    CheckLockPassword(ctx);  // no file yet: asked, and cancelled
    EXPECT_EQ(machine.Lines(ini), std::vector<std::wstring>{L""});
    ui.inputAnswers = {L"now"};
    CheckLockPassword(ctx);
    EXPECT_EQ(ui.prompts.size(), 2u);
    EXPECT_EQ(machine.Lines(ini), std::vector<std::wstring>{L"now"});
    for (const ShownPrompt& p : ui.prompts) EXPECT_EQ(p.type, ShownPrompt::Input);
}

TEST_F(ScreenIni, ACheckThatCannotReadOrWriteSaysSo) {
    machine.AddFile(ini, {L"x"});
    machine.unreadable.insert(ini);
    CheckLockPassword(ctx);
    ASSERT_EQ(ui.prompts.size(), 1u);
    EXPECT_EQ(ui.prompts[0].type, ShownPrompt::Message);
    EXPECT_EQ(ui.prompts[0].text, L"读取设置文件错误,请检查设置文件Screen.ini是否位为程序相同目录");
    EXPECT_EQ(ui.prompts[0].flags, kOkOnly);
    EXPECT_EQ(ui.prompts[0].title, L"");

    AppFixture other;
    other.machine.programDir = L"C:\\NoSuchFolder";  // the file cannot be created there
    other.ui.inputAnswers = {L"pw"};
    CheckLockPassword(other.ctx);
    ASSERT_EQ(other.ui.prompts.size(), 2u);
    EXPECT_EQ(other.ui.prompts[1].text, kScreenIniError);

    AppFixture odd;
    odd.machine.notAnsi.insert(L'☃');
    odd.ui.inputAnswers = {L"☃"};
    CheckLockPassword(odd.ctx);
    ASSERT_EQ(odd.ui.prompts.size(), 2u);
    EXPECT_EQ(odd.ui.prompts[1].text, kPasswordNotStorable);
    EXPECT_FALSE(odd.machine.HasFile(L"C:\\Lanzhan\\Screen.ini"));
}

}  // namespace
}  // namespace lz::test
