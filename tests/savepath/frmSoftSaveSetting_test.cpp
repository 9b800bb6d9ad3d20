#include <gtest/gtest.h>

#include "savepath/frmSoftSaveSetting.h"
#include "savepath/savepath.h"
#include "support/app_fixture.h"

namespace lz::test {
namespace {

const wchar_t* const kIni = L"C:\\Lanzhan\\SavePath.ini";

struct Destination : AppFixture, ::testing::Test {
    void Open() { ui.ShowForm(L"frmSoftSaveSetting"); }
    FakeControls& C() { return ui.ControlsOf(L"frmSoftSaveSetting"); }
    frmSoftSaveSetting& D() { return ui.Logic<frmSoftSaveSetting>(L"frmSoftSaveSetting"); }
};

TEST_F(Destination, ReadingTakesTheLastLine) {
    machine.AddFile(kIni, {L"c:\\first", L"d:\\second"});
    ReadSavePath(ctx);
    EXPECT_EQ(ctx.SavePath, L"d:\\second");
    machine.AddFile(kIni, {});
    ReadSavePath(ctx);
    EXPECT_EQ(ctx.SavePath, L"");
    machine.unreadable.insert(FakeMachine::Normalize(kIni));
    ctx.SavePath = L"x";
    ReadSavePath(ctx);
    EXPECT_EQ(ctx.SavePath, L"");
}

TEST_F(Destination, OpensTopmostWithTheDefaultFolderWhenDriveDExists) {
    machine.AddFolder(L"d:\\");
    Open();
    EXPECT_TRUE(machine.FolderExists(L"d:\\Backup"));
    EXPECT_TRUE(ui.Form(L"frmSoftSaveSetting")->topmost);
    EXPECT_TRUE(ui.Form(L"frmSoftSaveSetting")->movedToOrigin);
    EXPECT_FALSE(C().At(L"txtSavePath").text.empty());
    EXPECT_TRUE(C().At(L"optSave", 0).checked);
}

TEST_F(Destination, NoDriveDLeavesTheBoxEmptyAndDefaultThenFails) {
    Open();
    EXPECT_EQ(C().At(L"txtSavePath").text, L"");
    D().cmdDefaultPath_Click();
    EXPECT_EQ(C().At(L"txtSavePath").text, L"d:\\Backup");
    D().cmdYes_Click();
    ASSERT_EQ(ui.prompts.size(), 1u);
    EXPECT_EQ(ui.prompts[0].text, L"请核对你输入的文件保存路径是否正确");
    EXPECT_EQ(ui.prompts[0].title, L"文件保存路径错误");
    EXPECT_EQ(ui.prompts[0].flags, kOkOnly);
    EXPECT_FALSE(ui.Form(L"frmSoftSaveSetting")->topmost);
    EXPECT_EQ(C().focus, L"txtSavePath");
    EXPECT_TRUE(ui.IsLoaded(L"frmSoftSaveSetting"));
}

TEST_F(Destination, OkWithADriveRootKeepsTheBackslashAndWritesTheFile) {
    machine.AddFolder(L"E:\\");
    Open();
    C().At(L"FolderSavePath").text = L"E:\\";
    ui.Fire(L"frmSoftSaveSetting", {EventKind::Select, L"FolderSavePath"});
    EXPECT_EQ(C().At(L"txtSavePath").text, L"E:\\");
    D().cmdYes_Click();
    EXPECT_EQ(ctx.SavePath, L"E:\\");
    EXPECT_EQ(machine.Lines(kIni), std::vector<std::wstring>{L"E:\\"});
    EXPECT_FALSE(ui.IsLoaded(L"frmSoftSaveSetting"));
}

TEST_F(Destination, ShellFoldersEmptyTheBox) {
    Open();
    for (const wchar_t* name : {L"我的电脑", L"控制面板", L"桌面", L"网上邻居", L"回收站"}) {
        C().At(L"txtSavePath").text = L"x";
        C().At(L"FolderSavePath").text = name;
        D().FolderSavePath_Select();
        EXPECT_EQ(C().At(L"txtSavePath").text, L"");
    }
    D().cmdYes_Click();
    ASSERT_EQ(ui.prompts.size(), 1u);
    EXPECT_EQ(ui.prompts[0].text, L"请核对你输入的文件保存路径是否正确");
}

TEST_F(Destination, AnOptionThenCancelEmptiesTheDestinationButNotTheFile) {
    machine.AddFile(kIni, {L"d:\\Backup"});
    ctx.SavePath = L"d:\\Backup";
    Open();
    D().optSave_Click(1);
    D().cmdCancel_Click();
    EXPECT_EQ(ctx.SavePath, L"");
    EXPECT_EQ(machine.Lines(kIni), std::vector<std::wstring>{L"d:\\Backup"});
    EXPECT_FALSE(ui.IsLoaded(L"frmSoftSaveSetting"));
}

TEST_F(Destination, RefusesWhatTheCodePageCannotHoldAndReportsAFailedWrite) {
    machine.AddFolder(L"d:\\Ünicode€");
    machine.notAnsi.insert(L'€');
    Open();
    C().At(L"txtSavePath").text = L"d:\\Ünicode€";
    D().cmdYes_Click();
    ASSERT_EQ(ui.prompts.size(), 1u);
    EXPECT_NE(ui.prompts[0].text.find(L"不支持的字符"), std::wstring::npos);
    EXPECT_EQ(ctx.SavePath, L"");
    EXPECT_FALSE(machine.HasFile(kIni));

    machine.AddFolder(L"d:\\ok");
    machine.unwritable.insert(FakeMachine::Normalize(kIni));
    C().At(L"txtSavePath").text = L"d:\\ok";
    D().cmdYes_Click();
    ASSERT_EQ(ui.prompts.size(), 2u);
    EXPECT_NE(ui.prompts[1].text.find(L"SavePath.ini"), std::wstring::npos);
    EXPECT_NE(ui.prompts[1].text, L"请核对你输入的文件保存路径是否正确");
    EXPECT_TRUE(ui.IsLoaded(L"frmSoftSaveSetting"));
}

}  // namespace
}  // namespace lz::test
