// The font window driven through in-memory controls, a fake sample surface
// and the in-memory machine: the list, the sample, the two messages, the
// install and the backup of the font folder.
#include <gtest/gtest.h>

#include <algorithm>

#include "fonts/fontinfo.h"
#include "fonts/frmFonts.h"
#include "support/app_fixture.h"
#include "fonts/fake_font_surface.h"

namespace lz::test {
namespace {

struct FontsWindow : AppFixture, ::testing::Test {
    void SetUp() override {
        machine.screenFonts = {L"宋体", L"", L"黑体", L"Arial", L"Courier New"};
        ui.LoadForm(L"frmFonts");
        C().ports[{L"Picture1", -1}] = &surface;
    }
    frmFonts& W() { return ui.Logic<frmFonts>(L"frmFonts"); }
    FakeControls& C() { return ui.ControlsOf(L"frmFonts"); }
    void Click(const std::wstring& name) { ui.Fire(L"frmFonts", {EventKind::Click, name, -1}); }
    void Choose(const std::wstring& face) {
        const auto& items = C().At(L"List1").items;
        auto it = std::find(items.begin(), items.end(), face);
        ASSERT_NE(it, items.end());
        C().SetListIndex(L"List1", -1, int(it - items.begin()));
    }
    const ShownPrompt& LastPrompt() {
        EXPECT_FALSE(ui.prompts.empty());
        return ui.prompts.back();
    }
    // The Windows font folder with a few files.
    void MakeFontFolder() {
        machine.AddFile(L"C:\\WINDOWS\\Fonts\\simsun.ttc");
        machine.AddFile(L"C:\\WINDOWS\\Fonts\\arial.ttf");
        machine.AddFile(L"C:\\WINDOWS\\Fonts\\sserife.fon");
    }

    FakeFontSurface surface;
};

TEST_F(FontsWindow, LoadListsTheScreenFontsAndTheFontFolder) {
    EXPECT_EQ(C().At(L"List1").items, (std::vector<std::wstring>{L"宋体", L"黑体", L"Arial", L"Courier New"}));
    EXPECT_EQ(C().At(L"List1").listIndex, -1);
    EXPECT_EQ(C().At(L"lblWindowsPath").text, L"系统字体目录是：C:\\WINDOWS\\Fonts\\");
    EXPECT_EQ(W().WinDir, L"C:\\WINDOWS");
    EXPECT_EQ(W().CurrentFont, 0u);
    EXPECT_EQ(W().FormWidth, 9600);
    EXPECT_EQ(W().FormHeight, 6300);
    EXPECT_EQ(C().caption, L"字体信息");
    EXPECT_EQ(C().formBack, kFormBack);
    EXPECT_EQ(C().At(L"Picture1").kind, Kind::FontSample);
}

TEST_F(FontsWindow, IsTheMainWindowsThirdPreloadedWindowAndItsTileOpensIt) {
    AppFixture app;
    app.ui.ShowForm(L"frmMain");
    const std::vector<std::wstring>& log = app.ui.log;
    auto at = [&](const std::wstring& line) { return std::find(log.begin(), log.end(), line) - log.begin(); };
    EXPECT_LT(at(L"load frmAutoSelectTime"), at(L"load frmFonts"));
    EXPECT_LT(at(L"load frmFonts"), at(L"show frmMain"));
    EXPECT_FALSE(app.ui.IsVisible(L"frmFonts"));

    app.ui.Fire(L"frmMain", {EventKind::Click, L"imgPIC", 5});
    EXPECT_TRUE(app.ui.IsVisible(L"frmFonts"));
    EXPECT_FALSE(app.ui.IsVisible(L"frmMain"));
    // Leaving shows the main window again, not minimised.
    app.ui.SetWindowState(L"frmMain", WindowState::Minimized);
    app.ui.Fire(L"frmFonts", {EventKind::Click, L"Command4", -1});
    EXPECT_FALSE(app.ui.IsVisible(L"frmFonts"));
    EXPECT_TRUE(app.ui.IsLoaded(L"frmFonts"));
    EXPECT_TRUE(app.ui.IsVisible(L"frmMain"));
    EXPECT_EQ(app.ui.GetWindowState(L"frmMain"), WindowState::Normal);

    app.ui.Fire(L"frmMain", {EventKind::Menu, L"mnuFont"});
    EXPECT_TRUE(app.ui.IsVisible(L"frmFonts"));
}

TEST_F(FontsWindow, TheSampleWithTheDesignTimeValues) {
    Choose(L"宋体");
    surface.height = 274;  // a quarter is 68.5: halves go to the even neighbour
    Click(L"Command1");
    EXPECT_EQ(surface.calls, (std::vector<std::wstring>{L"clear", L"make", L"draw"}));
    ASSERT_EQ(surface.made.size(), 1u);
    const LogFont& lf = surface.made[0];
    EXPECT_EQ(lf.height, 20);
    EXPECT_EQ(lf.width, 20);
    EXPECT_EQ(lf.escapement, 0);
    EXPECT_EQ(lf.weight, 2000);
    EXPECT_EQ(lf.charSet, 1);
    EXPECT_EQ(std::string(lf.faceName.data()), "\xCB\xCE\xCC\xE5");
    ASSERT_EQ(surface.drawn.size(), 1u);
    EXPECT_EQ(surface.drawn[0].x, 1);
    EXPECT_EQ(surface.drawn[0].y, 68);
    EXPECT_EQ(surface.drawn[0].text, L"岚栈Backup");
    EXPECT_EQ(surface.drawn[0].font, W().CurrentFont);
    EXPECT_NE(W().CurrentFont, 0u);
    EXPECT_TRUE(ui.prompts.empty());
}

TEST_F(FontsWindow, EachSampleReplacesTheFontOfTheLast) {
    Choose(L"Arial");
    Click(L"Command1");
    const FontHandle first = W().CurrentFont;
    C().At(L"Text3").text = L"45";
    C().At(L"Text5").text = L"斜的";
    C().SetChecked(L"chkItalic", -1, true);
    C().SetChecked(L"chkStrikeout", -1, true);
    surface.height = 275;
    Click(L"Command1");
    EXPECT_EQ(surface.calls,
              (std::vector<std::wstring>{L"clear", L"make", L"draw", L"clear", L"delete", L"make", L"draw"}));
    EXPECT_FALSE(surface.alive.count(first));
    EXPECT_EQ(surface.alive.size(), 1u);
    const LogFont& lf = surface.made.back();
    EXPECT_EQ(lf.escapement, 450);
    EXPECT_EQ(lf.italic, 1);
    EXPECT_EQ(lf.underline, 0);
    EXPECT_EQ(lf.strikeOut, 1);
    EXPECT_EQ(surface.drawn.back().y, 69);
    EXPECT_EQ(surface.drawn.back().text, L"斜的");

    // The window deletes its font when it unloads.
    surface.calls.clear();
    ui.UnloadForm(L"frmFonts");
    EXPECT_EQ(surface.calls, (std::vector<std::wstring>{L"delete"}));
    EXPECT_TRUE(surface.alive.empty());
}

TEST_F(FontsWindow, AFontThatCannotBeMadeLeavesNoFont) {
    Choose(L"黑体");
    Click(L"Command1");
    surface.makeFails = true;
    Click(L"Command1");
    EXPECT_EQ(W().CurrentFont, 0u);
    EXPECT_EQ(surface.drawn.size(), 1u);
    EXPECT_TRUE(surface.alive.empty());
    Click(L"Command2");
    EXPECT_EQ(LastPrompt().text, L"没有选择字体");
    Click(L"Command3");
    EXPECT_EQ(LastPrompt().text, L"请选择一种字体");
}

TEST_F(FontsWindow, NoEntryChosenGivesAnEmptyFaceName) {
    Click(L"Command1");
    ASSERT_EQ(surface.made.size(), 1u);
    EXPECT_EQ(surface.made[0].faceName[0], 0);
    surface.metrics.pitchAndFamily = 0;
    Click(L"Command2");
    EXPECT_EQ(LastPrompt().text.rfind(L"字体名称为：,这是一种定宽字体\r\n", 0), 0u);
}

TEST_F(FontsWindow, AFaceTheCodePageCannotSpellIsReported) {
    machine.screenFonts.push_back(L"바탕");
    ui.UnloadForm(L"frmFonts");
    ui.LoadForm(L"frmFonts");
    C().ports[{L"Picture1", -1}] = &surface;
    Choose(L"Arial");
    Click(L"Command1");
    Choose(L"바탕");
    Click(L"Command1");
    ASSERT_EQ(ui.prompts.size(), 1u);
    EXPECT_EQ(LastPrompt().text, L"这种字体的名称含有系统代码页不能表示的字符，无法显示这种字体：바탕");
    EXPECT_EQ(LastPrompt().title, L"一点小问题");
    EXPECT_EQ(surface.made.size(), 1u);
    EXPECT_EQ(W().CurrentFont, 0u);
    EXPECT_TRUE(surface.alive.empty());
}

TEST_F(FontsWindow, MetricsAndLanguageBeforeAnyFont) {
    Click(L"Command2");
    ASSERT_EQ(ui.prompts.size(), 1u);
    EXPECT_EQ(ui.prompts[0].text, L"没有选择字体");
    EXPECT_EQ(ui.prompts[0].title, L"岚栈备份专家");
    EXPECT_EQ(ui.prompts[0].flags, kOkOnly);
    Click(L"Command3");
    ASSERT_EQ(ui.prompts.size(), 2u);
    EXPECT_EQ(ui.prompts[1].text, L"请选择一种字体");
    EXPECT_EQ(ui.prompts[1].title, L"");
    EXPECT_EQ(ui.prompts[1].flags, kOkOnly);
}

TEST_F(FontsWindow, MetricsNameTheEntryChosenNow) {
    Choose(L"宋体");
    Click(L"Command1");
    // The list's choice may have moved on since the font was made.
    Choose(L"黑体");
    surface.metrics.pitchAndFamily = kPitchTrueType | kPitchVariable;
    surface.metrics.height = 20;
    surface.metrics.firstChar = 32;
    surface.metrics.lastChar = 255;
    Click(L"Command2");
    EXPECT_EQ(LastPrompt().text, MetricsText(L"黑体", surface.metrics));
    EXPECT_EQ(LastPrompt().text.rfind(L"字体名称为：黑体,这是一种TrueType字体\r\n,这是一种变宽字体\r\n", 0), 0u);
    EXPECT_EQ(LastPrompt().title, L"物理字体规格");
    EXPECT_EQ(LastPrompt().flags, kOkOnly);
}

TEST_F(FontsWindow, LanguageInformation) {
    Choose(L"宋体");
    Click(L"Command1");
    surface.languageFlags = 0;
    Click(L"Command3");
    EXPECT_EQ(LastPrompt().text, L"标准拉丁字体");
    EXPECT_EQ(LastPrompt().title, L"");

    surface.languageFlags = 0x0001 | 0x0008;
    Click(L"Command3");
    EXPECT_EQ(LastPrompt().text, L"双字节字符集\r\n字体含有字距调整表\r\n");
    EXPECT_EQ(LastPrompt().title, L"字体名称为：宋体");
    EXPECT_EQ(LastPrompt().flags, kOkOnly);

    // A failed query says so rather than showing an empty message.
    surface.languageFlags = kGcpError;
    Click(L"Command3");
    EXPECT_EQ(LastPrompt().text, L"无法读取这种字体的语言信息");
}

TEST_F(FontsWindow, WithoutASurfaceNothingIsDrawnAndNoFontIsHeld) {
    C().ports.clear();
    Click(L"Command1");
    EXPECT_EQ(W().CurrentFont, 0u);
    Click(L"Command2");
    EXPECT_EQ(LastPrompt().text, L"没有选择字体");
}

TEST_F(FontsWindow, KeepsItsSizeUnlessMinimised) {
    C().SetFormSize(12000, 8000);
    ui.Fire(L"frmFonts", {EventKind::Resize, L""});
    EXPECT_EQ(C().formWidth, 9600);
    EXPECT_EQ(C().formHeight, 6300);
    ui.SetWindowState(L"frmFonts", WindowState::Minimized);
    C().SetFormSize(2000, 400);
    ui.Fire(L"frmFonts", {EventKind::Resize, L""});
    EXPECT_EQ(C().formWidth, 2000);
}

TEST_F(FontsWindow, UnloadShowsTheMainWindow) {
    ui.ShowForm(L"frmMain");
    ui.HideForm(L"frmMain");
    ui.UnloadForm(L"frmFonts");
    EXPECT_TRUE(ui.IsVisible(L"frmMain"));
    EXPECT_TRUE(surface.calls.empty());  // no font to delete
}

TEST_F(FontsWindow, TheFileDialogKeepsItsLastName) {
    Click(L"cmdSelectAdd");
    ASSERT_EQ(ui.prompts.size(), 1u);
    EXPECT_EQ(ui.prompts[0].type, ShownPrompt::OpenFile);
    EXPECT_EQ(ui.prompts[0].title, L"选择字体");
    EXPECT_EQ(ui.prompts[0].text, L"字体资源文件 |*.Fon;*.FOT;*.TTF;*.FNT;*.FOR");
    EXPECT_EQ(C().At(L"txtAddFont").text, L"");

    ui.fileAnswers.push_back(L"E:\\字体\\方正舒体.TTF");
    Click(L"cmdSelectAdd");
    EXPECT_EQ(C().At(L"txtAddFont").text, L"E:\\字体\\方正舒体.TTF");
    // Cancelled: the dialog still holds the name it gave last.
    C().At(L"txtAddFont").text = L"typed";
    Click(L"cmdSelectAdd");
    EXPECT_EQ(C().At(L"txtAddFont").text, L"E:\\字体\\方正舒体.TTF");
}

TEST_F(FontsWindow, InstallAddsTheFontAndFillsTheListAgain) {
    machine.fontFiles[L"E:\\字体\\fzst.ttf"] = {L"方正舒体"};
    C().At(L"List1").listIndex = 2;
    C().At(L"txtAddFont").text = L"E:\\字体\\fzst.ttf";
    Click(L"cmdAddFont");
    EXPECT_TRUE(ui.prompts.empty());
    EXPECT_EQ(machine.addedFontFiles, (std::vector<std::wstring>{L"E:\\字体\\fzst.ttf"}));
    EXPECT_EQ(machine.fontChangeBroadcasts, 1);
    EXPECT_EQ(C().At(L"List1").items,
              (std::vector<std::wstring>{L"宋体", L"黑体", L"Arial", L"Courier New", L"方正舒体"}));
    EXPECT_EQ(C().At(L"List1").listIndex, -1);
}

TEST_F(FontsWindow, AFailedInstallSaysSoAndChangesNothing) {
    for (const wchar_t* path : {L"", L"E:\\nothing.ttf"}) {
        C().At(L"txtAddFont").text = path;
        Click(L"cmdAddFont");
        EXPECT_EQ(LastPrompt().text, L"添加字体失败，请检查添加的字体文件名和路径是否正确");
        EXPECT_EQ(LastPrompt().title, L"一点小问题");
        EXPECT_EQ(LastPrompt().flags, kOkOnly | kQuestion);
    }
    EXPECT_EQ(ui.prompts.size(), 2u);
    EXPECT_EQ(machine.fontChangeBroadcasts, 0);
    EXPECT_EQ(C().At(L"List1").items.size(), 4u);
}

TEST_F(FontsWindow, BackupWithoutADestinationAsksForOne) {
    Click(L"cmdFontBack");
    ASSERT_EQ(ui.prompts.size(), 1u);
    EXPECT_EQ(ui.prompts[0].text, L"备份未成功，请先选择字体文件保存路径");
    EXPECT_EQ(ui.prompts[0].title, L"一点小问题");
    EXPECT_EQ(ui.prompts[0].flags, kOkOnly | kQuestion);
    EXPECT_TRUE(ui.IsVisible(L"frmSoftSaveSetting"));
    EXPECT_TRUE(machine.folderCopies.empty());
    EXPECT_EQ(C().At(L"cmdFontBack").text, L"备份");
}

TEST_F(FontsWindow, BackupCopiesTheFontFolderIntoItsOwnFolder) {
    MakeFontFolder();
    machine.AddFolder(L"D:\\Backup");
    ctx.SavePath = L"D:\\Backup";
    Click(L"cmdFontBack");
    EXPECT_TRUE(ui.prompts.empty());
    ASSERT_EQ(machine.folderCopies.size(), 1u);
    EXPECT_EQ(machine.folderCopies[0].first, L"C:\\WINDOWS\\Fonts");
    EXPECT_EQ(machine.folderCopies[0].second, L"D:\\Backup\\字体文件夹\\");
    EXPECT_TRUE(machine.HasFile(L"D:\\Backup\\字体文件夹\\Fonts\\simsun.ttc"));
    EXPECT_TRUE(machine.HasFile(L"D:\\Backup\\字体文件夹\\Fonts\\sserife.fon"));
    EXPECT_EQ(C().At(L"cmdFontBack").text, L"备份成功");
    EXPECT_EQ(ctx.SavePath, L"D:\\Backup");
}

TEST_F(FontsWindow, BackupShowsProgressAndACancelIsNotDone) {
    MakeFontFolder();
    machine.AddFolder(L"D:\\Backup");
    ctx.SavePath = L"D:\\Backup";
    ui.cancelAfterShows = 1;
    Click(L"cmdFontBack");
    EXPECT_EQ(ui.progressShown.size(), 1u);
    EXPECT_EQ(C().At(L"cmdFontBack").text, L"备份已取消");
    EXPECT_TRUE(ui.prompts.empty());

    // A font in use is named, with the list beside the copy.
    ui.cancelAfterShows = -1;
    machine.heldOpen.insert(L"C:\\WINDOWS\\Fonts\\simsun.ttc");
    Click(L"cmdFontBack");
    EXPECT_EQ(C().At(L"cmdFontBack").text, L"备份失败");
    EXPECT_EQ(LastPrompt().text,
              L"备份不完整：有1个文件正被其他程序使用，没有复制：simsun.ttc。完整的清单在：D:\\Backup\\字体文件夹\\Fonts"
              L"\\未复制的文件.txt。请关闭聊天软件等正在使用这些文件的程序，再备份一次。");
    EXPECT_TRUE(machine.HasFile(L"D:\\Backup\\字体文件夹\\Fonts\\未复制的文件.txt"));
}

TEST_F(FontsWindow, BackupIntoADriveRootKeepsThePathAsBuilt) {
    MakeFontFolder();
    machine.AddFolder(L"D:\\");
    ctx.SavePath = L"D:\\";
    Click(L"cmdFontBack");
    ASSERT_EQ(machine.folderCopies.size(), 1u);
    EXPECT_EQ(machine.folderCopies[0].second, L"D:\\\\字体文件夹\\");
    EXPECT_TRUE(machine.HasFile(L"D:\\字体文件夹\\Fonts\\arial.ttf"));
    EXPECT_EQ(ctx.SavePath, L"D:\\");  // not shortened
    EXPECT_EQ(C().At(L"cmdFontBack").text, L"备份成功");
}

TEST_F(FontsWindow, AFailedBackupSaysWhatWasNotCopiedAndWhere) {
    MakeFontFolder();
    machine.unreadable.insert(L"C:\\WINDOWS\\Fonts\\simsun.ttc");
    machine.unreadable.insert(L"C:\\WINDOWS\\Fonts\\arial.ttf");
    machine.AddFolder(L"D:\\Backup");
    ctx.SavePath = L"D:\\Backup";
    Click(L"cmdFontBack");
    EXPECT_EQ(C().At(L"cmdFontBack").text, L"备份失败");
    ASSERT_EQ(ui.prompts.size(), 1u);
    EXPECT_EQ(ui.prompts[0].text, L"备份不完整，有2个文件没能复制到：D:\\Backup\\字体文件夹\\Fonts");
    EXPECT_EQ(ui.prompts[0].title, L"一点小问题");
    EXPECT_TRUE(machine.HasFile(L"D:\\Backup\\字体文件夹\\Fonts\\sserife.fon"));

    // A destination that has gone since it was chosen.
    ctx.SavePath = L"D:\\Gone";
    Click(L"cmdFontBack");
    EXPECT_EQ(LastPrompt().text, L"备份失败，无法写入：D:\\Gone\\字体文件夹\\");
    EXPECT_EQ(C().At(L"cmdFontBack").text, L"备份失败");

    // A system without its font folder.
    machine.winDir = L"C:\\WINNT";
    ui.UnloadForm(L"frmFonts");
    ui.LoadForm(L"frmFonts");
    ctx.SavePath = L"D:\\Backup";
    Click(L"cmdFontBack");
    EXPECT_EQ(LastPrompt().text, L"备份失败，找不到系统字体目录：C:\\WINNT\\Fonts");

    // A later backup that works says so again.
    machine.winDir = L"C:\\WINDOWS";
    machine.unreadable.clear();
    ui.UnloadForm(L"frmFonts");
    ui.LoadForm(L"frmFonts");
    const std::size_t shown = ui.prompts.size();
    Click(L"cmdFontBack");
    EXPECT_EQ(ui.prompts.size(), shown);
    EXPECT_EQ(C().At(L"cmdFontBack").text, L"备份成功");
}

}  // namespace
}  // namespace lz::test
