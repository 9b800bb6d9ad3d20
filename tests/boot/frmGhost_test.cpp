// The boot menu window driven through in-memory controls: what it shows and
// lists, what the CD start writes or refuses, and how it hands back to the
// main window.
#include <gtest/gtest.h>

#include <algorithm>

#include "boot/bootini.h"
#include "boot/frmGhost.h"
#include "core/help.h"
#include "support/app_fixture.h"

namespace lz::test {
namespace {

const wchar_t* const kImage = L"C:\\Lanzhan\\boot\\BOOTSECT.cdr";
const wchar_t* const kVFloppy = L"C:\\Lanzhan\\boot\\vFloppy.exe";
const wchar_t* const kEntry = L"C:\\BackTemp\\BOOTSECT.cdr=\"无需BIOS设置从光盘启动\"";
const std::vector<std::wstring> kXp = {
    L"[boot loader]",
    L"timeout=30",
    L"default=multi(0)disk(0)rdisk(0)partition(1)\\WINDOWS",
    L"[operating systems]",
    L"multi(0)disk(0)rdisk(0)partition(1)\\WINDOWS=\"Microsoft Windows XP Professional\" /fastdetect",
};
const wchar_t* const kXpChoice = L"\"Microsoft Windows XP Professional\" /fastdetect\r\n";

struct Ghost : AppFixture, ::testing::Test {
    Ghost() {
        machine.AddFolder(L"C:\\BackTemp");
        machine.AddFile(L"c:\\boot.ini", kXp);
        machine.SetProtected(L"c:\\boot.ini", true);
        machine.AddFile(kImage, {L"boot sector"});
    }
    void Open() { ui.ShowForm(L"frmGhost"); }
    FakeControls& C() { return ui.ControlsOf(L"frmGhost"); }
    void Fire(EventKind kind, const std::wstring& name, int index = -1) { ui.Fire(L"frmGhost", {kind, name, index}); }
    void Tick() { Fire(EventKind::Timer, L"timeBoot"); }
    void ClickCD() { Fire(EventKind::Click, L"cmdCD"); }
    std::vector<std::wstring> Runs() const {
        std::vector<std::wstring> lines;
        for (const auto& r : machine.runs) lines.push_back(r.commandLine);
        return lines;
    }
    bool Ran(const std::wstring& line, WindowStyle style) const {
        return std::any_of(machine.runs.begin(), machine.runs.end(),
                           [&](const FakeMachine::RunRecord& r) { return r.commandLine == line && r.style == style; });
    }
    std::wstring LastMessage() const { return ui.prompts.empty() ? L"" : ui.prompts.back().text; }
    bool Mentions(const std::wstring& text) const { return LastMessage().find(text) != std::wstring::npos; }
};

TEST_F(Ghost, OpensWithItsTextsAndLiftsTheAttributesThroughBootBat) {
    Open();
    FakeControls& c = C();
    EXPECT_EQ(c.caption, L"GHOST工具+DOSNTFS工具+光盘启动");
    EXPECT_EQ(c.At(L"Frame3").text,
              L"自定义添加启动时的镜像文件(如果启动时选择GHOST备份总是出现\"LOAD\"请用以下虚拟启动软件设置)");
    EXPECT_EQ(c.At(L"cmdFloppy").text, L"添  加  中  文  GHOST  功  能 (虚拟启动软盘-Zelvar)");
    EXPECT_EQ(c.At(L"cmdFloppyHelp").text, L"查  看  具  体  添  加  方  法");
    EXPECT_EQ(c.At(L"Frame4").text, L"使用过程中的注意事项:");
    EXPECT_EQ(c.At(L"lblZY").text,
              L"①.由于此工具原理是通过物理硬盘参数定位引导文件的，所以整理磁盘后须要重     新设置运行,要不然会无效\r\n"
              L"②.此工具无法运行在98下(因为在98下无法定位引导文件).而且建议分区格式最好    是NTFS,不推荐FAT32和NTFS并存");
    EXPECT_EQ(c.At(L"Frame2").text,
              L"开机时显示的选择菜单名称(可自定义)：  添加成功以后将会在下一次启动机器的时候显示选择菜单");
    EXPECT_EQ(c.At(L"txtCD").text, L"无需BIOS设置从光盘启动");
    EXPECT_EQ(c.At(L"cmdCD").text, L"添加从光盘启动功能");
    EXPECT_EQ(c.At(L"Frame1").text, L"启动时显示的操作系统选择菜单：");
    EXPECT_EQ(c.At(L"cmdMend").text, L"编辑BOOT.INI文件");
    EXPECT_EQ(c.At(L"lblBootTip").text, L"");
    EXPECT_EQ(c.GetPanelText(L"StatusBar1", 0), L"欢迎使用\"岚栈备份专家\"");
    EXPECT_EQ(c.GetPanelText(L"StatusBar1", 1), L"2005-1-9");
    EXPECT_EQ(c.GetPanelText(L"StatusBar1", 2), L"单击此处退出");
    EXPECT_EQ(c.formBack, Rgb(236, 233, 216));
    // The tool tips and the menu are in the layout.
    const FormDef& d = ui.Logic<frmGhost>(L"frmGhost").Definition();
    auto tip = [&](const wchar_t* name) {
        for (const ControlDef& cd : d.controls)
            if (cd.name == name) return cd.tip;
        return std::wstring(L"?");
    };
    EXPECT_EQ(tip(L"cmdCD"), L"无需BIOS设置从光盘启动功能");
    EXPECT_EQ(tip(L"cmdMend"), L"手动编辑启动文件BOOT.INI");
    ASSERT_EQ(d.menus.size(), 2u);
    EXPECT_TRUE(d.menuBar);
    EXPECT_EQ(d.menus[0].caption, L"帮助(&H)");
    EXPECT_EQ(d.menus[1].caption, L"显示帮助文档");
    EXPECT_EQ(d.menus[1].level, 1);

    frmGhost& g = ui.Logic<frmGhost>(L"frmGhost");
    EXPECT_EQ(g.SysDir, L"C:\\WINDOWS\\system32");
    EXPECT_EQ(g.WinDir, L"C:\\WINDOWS");
    EXPECT_TRUE(c.GetTimerEnabled(L"timeBoot"));
    EXPECT_EQ(c.At(L"timeBoot").interval, 1000);
    // boot.bat: one line, for cmd.exe, started hidden; the list waits for the first tick.
    ASSERT_NE(machine.File(L"c:\\BackTemp\\boot.bat"), nullptr);
    EXPECT_EQ(machine.Lines(L"c:\\BackTemp\\boot.bat"), std::vector<std::wstring>{L"attrib -r -h -s c:\\boot.ini"});
    EXPECT_EQ(machine.File(L"c:\\BackTemp\\boot.bat")->codePage, CodePage::Oem);
    EXPECT_TRUE(Ran(L"c:\\BackTemp\\boot.bat", WindowStyle::Hidden));
    EXPECT_EQ(c.At(L"txtBoot").text, L"");
    // Loading lifts nothing by itself: that is the batch file's work.
    EXPECT_TRUE(machine.IsProtected(L"c:\\boot.ini"));
}

TEST_F(Ghost, EachTickListsTheChoicesAndReplacesWhatWasTyped) {
    Open();
    Tick();
    EXPECT_EQ(C().At(L"txtBoot").text, kXpChoice);
    C().At(L"txtBoot").text = L"typed";
    machine.AddFile(L"c:\\boot.ini", {kXp[3], kXp[4], L"C:\\x=\"Two, parts\" /s", L"\"quoted\""});
    machine.clock = FakeMachine::MakeTime(2005, 1, 10, 0, 0, 1);
    Tick();
    EXPECT_EQ(C().At(L"txtBoot").text, std::wstring(kXpChoice) + L"\"Two\r\n\" /s\r\n");
    EXPECT_EQ(C().GetPanelText(L"StatusBar1", 1), L"2005-1-10");
    // The timer is never switched off.
    EXPECT_TRUE(C().GetTimerEnabled(L"timeBoot"));
}

TEST_F(Ghost, WithoutBootIniTheListSaysWhyInOneLine) {
    machine.DeleteOneFile(L"c:\\boot.ini");
    machine.osVersion = {6, 1};
    Open();
    Tick();
    EXPECT_EQ(C().At(L"txtBoot").text,
              L"此系统（Windows Vista 及以后）的启动菜单由启动管理器保存，不在 c:\\boot.ini 中。\r\n");

    AppFixture xp;
    xp.ui.ShowForm(L"frmGhost");
    xp.ui.Fire(L"frmGhost", {EventKind::Timer, L"timeBoot"});
    EXPECT_EQ(xp.ui.ControlsOf(L"frmGhost").At(L"txtBoot").text, L"找不到 c:\\boot.ini 文件。\r\n");
    xp.machine.AddFile(L"c:\\boot.ini", kXp);
    xp.machine.unreadable.insert(L"c:\\boot.ini");
    xp.ui.Fire(L"frmGhost", {EventKind::Timer, L"timeBoot"});
    EXPECT_EQ(xp.ui.ControlsOf(L"frmGhost").At(L"txtBoot").text, L"无法读取 c:\\boot.ini 文件。\r\n");
    xp.machine.unreadable.clear();
    xp.machine.AddFile(L"c:\\boot.ini", {});
    xp.ui.Fire(L"frmGhost", {EventKind::Timer, L"timeBoot"});
    EXPECT_EQ(xp.ui.ControlsOf(L"frmGhost").At(L"txtBoot").text, L"");
}

TEST_F(Ghost, CdStartRightAfterOpeningLiftsTheAttributesItselfAndAppends) {
    Open();
    // boot.bat has not run yet: c:\boot.ini is still read-only.
    ASSERT_TRUE(machine.IsProtected(L"c:\\boot.ini"));
    ClickCD();
    EXPECT_TRUE(ui.prompts.empty()) << LastMessage().size();
    EXPECT_EQ(C().At(L"cmdCD").text, L"从光盘启动添加成功");
    EXPECT_EQ(machine.Lines(L"c:\\backtemp\\BOOTSECT.cdr"), std::vector<std::wstring>{L"boot sector"});
    std::vector<std::wstring> want = kXp;
    want.push_back(kEntry);
    EXPECT_EQ(machine.Lines(L"c:\\boot.ini"), want);
    EXPECT_TRUE(machine.IsUnprotected(L"c:\\boot.ini"));
    // A second click appends the same line again; the list shows it twice.
    ClickCD();
    want.push_back(kEntry);
    EXPECT_EQ(machine.Lines(L"c:\\boot.ini"), want);
    Tick();
    EXPECT_EQ(C().At(L"txtBoot").text,
              std::wstring(kXpChoice) + L"\"无需BIOS设置从光盘启动\"\r\n\"无需BIOS设置从光盘启动\"\r\n");
}

TEST_F(Ghost, CdStartEndsAnUnendedLastLineAndTakesAnEmptyDescription) {
    machine.noFinalLineEnd.insert(L"c:\\boot.ini");
    Open();
    C().At(L"txtCD").text = L"";
    ClickCD();
    EXPECT_TRUE(ui.prompts.empty());
    EXPECT_EQ(machine.Lines(L"c:\\boot.ini").back(), L"C:\\BackTemp\\BOOTSECT.cdr=\"\"");
    EXPECT_EQ(machine.Lines(L"c:\\boot.ini").size(), kXp.size() + 1);
    EXPECT_EQ(machine.noFinalLineEnd.count(L"c:\\boot.ini"), 0u);
}

TEST_F(Ghost, CdStartWithoutTheImageSaysWhereToPutItAndWritesNothing) {
    machine.DeleteOneFile(kImage);
    Open();
    ClickCD();
    ASSERT_EQ(ui.prompts.size(), 1u);
    EXPECT_TRUE(Mentions(kImage));
    EXPECT_TRUE(Mentions(L"boot 文件夹"));
    EXPECT_EQ(C().At(L"cmdCD").text, L"添加从光盘启动功能");
    EXPECT_EQ(machine.Lines(L"c:\\boot.ini"), kXp);
    EXPECT_FALSE(machine.HasFile(L"c:\\backtemp\\BOOTSECT.cdr"));
}

TEST_F(Ghost, CdStartOnABootIniThatCannotBeWrittenSaysSo) {
    machine.attributesLocked.insert(L"c:\\boot.ini");
    Open();
    ClickCD();
    ASSERT_EQ(ui.prompts.size(), 1u);
    EXPECT_TRUE(Mentions(L"无法写入 c:\\boot.ini"));
    EXPECT_TRUE(Mentions(L"只读"));
    EXPECT_EQ(C().At(L"cmdCD").text, L"添加从光盘启动功能");
    EXPECT_EQ(machine.Lines(L"c:\\boot.ini"), kXp);

    // Not read-only, but not writable either.
    machine.attributesLocked.clear();
    machine.unwritable.insert(L"c:\\boot.ini");
    ClickCD();
    ASSERT_EQ(ui.prompts.size(), 2u);
    EXPECT_TRUE(Mentions(L"无法写入 c:\\boot.ini"));
    EXPECT_EQ(C().At(L"cmdCD").text, L"添加从光盘启动功能");
}

TEST_F(Ghost, CdStartWhenTheImageCannotBeCopiedLeavesBootIniAlone) {
    machine.unwritable.insert(L"c:\\backtemp\\BOOTSECT.cdr");
    Open();
    ClickCD();
    ASSERT_EQ(ui.prompts.size(), 1u);
    EXPECT_TRUE(Mentions(L"c:\\backtemp\\BOOTSECT.cdr"));
    EXPECT_EQ(machine.Lines(L"c:\\boot.ini"), kXp);
    EXPECT_EQ(C().At(L"cmdCD").text, L"添加从光盘启动功能");
}

TEST_F(Ghost, DescriptionsThatWouldBreakBootIniAreRefused) {
    machine.notAnsi.insert(L'😀');
    Open();
    const std::pair<std::wstring, std::wstring> cases[] = {
        {L"我的\"光盘\"", L"双引号"},
        {L"第一行\r\n第二行", L"换行"},
        {L"只有\n换行", L"换行"},
        {L"只有\r回车", L"回车"},
        {L"表情😀", L"编码"},
    };
    for (const auto& [text, word] : cases) {
        C().At(L"txtCD").text = text;
        std::size_t before = ui.prompts.size();
        ClickCD();
        ASSERT_EQ(ui.prompts.size(), before + 1);
        EXPECT_TRUE(Mentions(word)) << before;
    }
    EXPECT_EQ(machine.Lines(L"c:\\boot.ini"), kXp);
    EXPECT_FALSE(machine.HasFile(L"c:\\backtemp\\BOOTSECT.cdr"));
    EXPECT_EQ(C().At(L"cmdCD").text, L"添加从光盘启动功能");
    EXPECT_TRUE(machine.IsProtected(L"c:\\boot.ini"));
}

TEST_F(Ghost, WithoutBootIniTheCdStartExplainsAndCreatesNothing) {
    machine.DeleteOneFile(L"c:\\boot.ini");
    machine.osVersion = {10, 0};
    Open();
    ClickCD();
    ASSERT_EQ(ui.prompts.size(), 1u);
    EXPECT_TRUE(Mentions(L"Windows Vista 及以后"));
    EXPECT_TRUE(Mentions(L"没有写入任何文件"));
    EXPECT_FALSE(machine.HasFile(L"c:\\boot.ini"));
    EXPECT_FALSE(machine.HasFile(L"c:\\backtemp\\BOOTSECT.cdr"));
    EXPECT_EQ(C().At(L"cmdCD").text, L"添加从光盘启动功能");

    // On XP the file is only missing.
    AppFixture xp;
    xp.machine.AddFolder(L"C:\\BackTemp");
    xp.machine.AddFile(kImage);
    xp.ui.ShowForm(L"frmGhost");
    xp.ui.Fire(L"frmGhost", {EventKind::Click, L"cmdCD"});
    ASSERT_EQ(xp.ui.prompts.size(), 1u);
    EXPECT_NE(xp.ui.prompts[0].text.find(L"找不到 c:\\boot.ini"), std::wstring::npos);
    EXPECT_FALSE(xp.machine.HasFile(L"c:\\boot.ini"));
}

TEST_F(Ghost, NotepadAndTheWarning) {
    Open();
    Fire(EventKind::MouseMove, L"cmdMend");
    EXPECT_EQ(C().At(L"lblBootTip").text,
              L"如果不熟悉此文件的格式,请慎重编辑。如果需要手动编辑请在编辑前请做好备份工作。具体命令格式说明请查看帮助文档。");
    Fire(EventKind::Click, L"cmdMend");
    EXPECT_TRUE(Ran(L"C:\\WINDOWS\\system32\\notepad.exe c:\\boot.ini", WindowStyle::NormalFocus));

    // A system folder with a blank is quoted, so that no shorter path runs.
    AppFixture odd;
    odd.machine.sysDir = L"C:\\My Windows\\system32";
    odd.ui.ShowForm(L"frmGhost");
    odd.ui.Fire(L"frmGhost", {EventKind::Click, L"cmdMend"});
    EXPECT_EQ(odd.machine.runs.back().commandLine, L"\"C:\\My Windows\\system32\\notepad.exe\" c:\\boot.ini");
}

TEST_F(Ghost, VFloppyStartsOrNamesTheFileItLookedFor) {
    Open();
    const std::size_t runs = machine.runs.size();
    Fire(EventKind::Click, L"cmdFloppy");
    ASSERT_EQ(ui.prompts.size(), 1u);
    EXPECT_TRUE(Mentions(kVFloppy));
    EXPECT_EQ(machine.runs.size(), runs);

    machine.AddFile(kVFloppy);
    Fire(EventKind::Click, L"cmdFloppy");
    EXPECT_EQ(ui.prompts.size(), 1u);
    EXPECT_TRUE(Ran(kVFloppy, WindowStyle::NormalFocus));

    machine.startFails = true;
    Fire(EventKind::Click, L"cmdFloppy");
    ASSERT_EQ(ui.prompts.size(), 2u);
    EXPECT_TRUE(Mentions(L"无法启动"));
    EXPECT_TRUE(Mentions(kVFloppy));
}

TEST_F(Ghost, HelpFromTheButtonAndTheMenu) {
    Open();
    // The button opens the page of the floppy's steps, the menu the window's own page.
    Fire(EventKind::Click, L"cmdFloppyHelp");
    EXPECT_TRUE(Ran(L"C:\\WINDOWS\\hh.exe C:\\Lanzhan\\lanzhan.chm::/floppy.htm", WindowStyle::MaximizedFocus));
    Fire(EventKind::Menu, L"mnuShowHelp");
    EXPECT_TRUE(Ran(L"C:\\WINDOWS\\hh.exe C:\\Lanzhan\\lanzhan.chm::/boot.htm", WindowStyle::MaximizedFocus));
}

TEST_F(Ghost, TheTileOpensItAndAnyPanelClosesItBackToTheMainWindow) {
    for (int panel = 0; panel < 3; ++panel) {
        ui.ShowForm(L"frmMain");
        ui.SetWindowState(L"frmMain", WindowState::Minimized);
        ui.Fire(L"frmMain", {EventKind::Click, L"imgPIC", 6});
        ASSERT_TRUE(ui.IsVisible(L"frmGhost"));
        EXPECT_FALSE(ui.IsVisible(L"frmMain"));
        machine.runs.clear();
        Fire(EventKind::Click, L"StatusBar1", panel);
        EXPECT_FALSE(ui.IsLoaded(L"frmGhost")) << panel;
        EXPECT_TRUE(ui.IsVisible(L"frmMain"));
        EXPECT_EQ(ui.GetWindowState(L"frmMain"), WindowState::Normal);
        EXPECT_EQ(machine.Lines(L"c:\\BackTemp\\boot.bat"),
                  std::vector<std::wstring>{L"attrib +r +h +s c:\\boot.ini"});
        EXPECT_EQ(Runs(), std::vector<std::wstring>{L"c:\\BackTemp\\boot.bat"});
        EXPECT_EQ(machine.runs[0].style, WindowStyle::Hidden);
    }
    // Opened again, the button has its first caption back.
    Open();
    ClickCD();
    ui.UnloadForm(L"frmGhost");
    Open();
    EXPECT_EQ(C().At(L"cmdCD").text, L"添加从光盘启动功能");
}

TEST_F(Ghost, TheMenuItemOpensItAndTheMainExitLeavesItOpen) {
    ui.ShowForm(L"frmMain");
    EXPECT_TRUE(ui.ControlsOf(L"frmMain").At(L"mnuGhost").enabled);
    ui.Fire(L"frmMain", {EventKind::Menu, L"mnuGhost"});
    EXPECT_TRUE(ui.IsVisible(L"frmGhost"));
    EXPECT_FALSE(ui.IsVisible(L"frmMain"));
    ui.Fire(L"frmMain", {EventKind::Menu, L"mnuExit"});
    EXPECT_FALSE(ui.IsLoaded(L"frmMain"));
    ASSERT_TRUE(ui.IsLoaded(L"frmGhost"));
    // Its close box brings the main window back, loaded afresh.
    ui.log.clear();
    ui.UnloadForm(L"frmGhost");
    EXPECT_TRUE(ui.IsVisible(L"frmMain"));
    EXPECT_NE(std::find(ui.log.begin(), ui.log.end(), L"load frmMain"), ui.log.end());
    EXPECT_EQ(machine.Lines(L"c:\\BackTemp\\boot.bat"), std::vector<std::wstring>{L"attrib +r +h +s c:\\boot.ini"});
}

TEST_F(Ghost, ClosingWithoutAWorkFolderStillProtectsBootIni) {
    Open();
    machine.SetProtected(L"c:\\boot.ini", false);  // as boot.bat left it
    machine.folders.erase(L"C:\\BackTemp");
    machine.files.erase(L"C:\\BackTemp\\boot.bat");
    ui.UnloadForm(L"frmGhost");
    EXPECT_FALSE(machine.HasFile(L"c:\\BackTemp\\boot.bat"));
    EXPECT_TRUE(machine.IsProtected(L"c:\\boot.ini"));

    // With the work folder, the batch file does it, as it always has.
    machine.AddFolder(L"C:\\BackTemp");
    Open();
    machine.SetProtected(L"c:\\boot.ini", false);
    ui.UnloadForm(L"frmGhost");
    EXPECT_TRUE(machine.IsUnprotected(L"c:\\boot.ini"));
    EXPECT_EQ(machine.Lines(L"c:\\BackTemp\\boot.bat"), std::vector<std::wstring>{L"attrib +r +h +s c:\\boot.ini"});
}

TEST_F(Ghost, KeepsItsSizeUnlessMinimized) {
    Open();
    frmGhost& g = ui.Logic<frmGhost>(L"frmGhost");
    EXPECT_EQ(g.FormWidth, 9600);
    EXPECT_EQ(g.FormHeight, 7440);
    C().formWidth = 3000;
    Fire(EventKind::Resize, L"");
    EXPECT_EQ(C().formWidth, 9600);
    ui.SetWindowState(L"frmGhost", WindowState::Minimized);
    C().formWidth = 3000;
    Fire(EventKind::Resize, L"");
    EXPECT_EQ(C().formWidth, 3000);
}

}  // namespace
}  // namespace lz::test
