// The software backup window on an in-memory machine: where each backup reads
// and writes, what it says, and what it refuses.
#include <gtest/gtest.h>

#include "app/frmMain.h"
#include "core/help.h"
#include "softbackup/frmSoftBackup.h"
#include "softbackup/softbackup_tables.h"
#include "core/form_registry.h"
#include "support/fake_machine.h"
#include "support/fake_ui.h"

namespace lz {
namespace {

using test::FakeMachine;
using test::FakeUi;

const wchar_t* const kQQKey = LR"(SOFTWARE\TENCENT\QQ)";
const wchar_t* const kYahooKey = LR"(SOFTWARE\Classes\Ypager.Messenger.1\shell\open\command)";

TEST(SoftBackupPaths, ChatSourcesAndDestinations) {
    const std::wstring win = L"C:\\WINDOWS";
    EXPECT_EQ(ChatSource(kChatQQ, LR"(C:\Program Files\Tencent\QQ\)", L"12345", win),
              LR"(C:\Program Files\Tencent\QQ\12345)");
    EXPECT_EQ(ChatSource(kChatUC, LR"(C:\UC\)", L"888", win), LR"(C:\UC\users\888)");
    EXPECT_EQ(ChatSource(kChatMSN, L"", L"anyone", win), LR"(C:\Program Files\MSN\MSNCoreFiles)");
    EXPECT_EQ(ChatSource(kChatPOPO, LR"(C:\Popo)", L"bob", win), LR"(C:\Popo\users\bob@163.com)");
    EXPECT_EQ(ChatSource(kChatYahoo, LR"(C:\Program Files\Yahoo!\Messenger\YPager.exe %1)", L"abc", win),
              LR"(C:\Program Files\Yahoo!\Messenger\Profiles\abc)");
    EXPECT_EQ(ChatSource(kChatYahoo, LR"("C:\Y!\YPager.exe" %1)", L"abc", win), LR"("C:\Y!\Messenger\Profiles\abc)");
    EXPECT_EQ(ChatSource(kChatYahoo, LR"(C:\Yahoo\YPager.exe)", L"abc", win), LR"(\Messenger\Profiles\abc)");

    EXPECT_EQ(ChatDestination(kChatUC, L"D:\\Backup", L"12345"), LR"(D:\Backup\UC聊天记录\12345)");
    EXPECT_EQ(ChatDestination(kChatMSN, L"D:", L"abc"), LR"(D:\MSN聊天记录\abchotmail.com)");
    EXPECT_EQ(ChatDestination(kChatPOPO, L"D:", L"bob"), LR"(D:\网易泡泡聊天记录\bob@163.com)");

    for (const wchar_t* bad : {L"..", L".", L"a\\b", L"a/b", L"x:", L"   ", L"abc."}) EXPECT_FALSE(IsAccountName(bad));
    EXPECT_TRUE(IsAccountName(L"zhang san"));
}

TEST(SoftBackupPaths, NetshLineAndFileNames) {
    EXPECT_EQ(*NetshLine(L"D:\\Backup"), L"netsh  dump  > D:\\Backup\\本机网络设置\\netsh.txt");
    EXPECT_EQ(*NetshLine(L"D:\\"), L"netsh  dump  > D:\\\\本机网络设置\\netsh.txt");
    EXPECT_EQ(*NetshLine(L"D:\\My Backup"), L"netsh  dump  > \"D:\\My Backup\\本机网络设置\\netsh.txt\"");
    EXPECT_EQ(*NetshLine(L"D:\\100%"), L"netsh  dump  > \"D:\\100%%\\本机网络设置\\netsh.txt\"");
    EXPECT_FALSE(NetshLine(L"D:\\a\"b"));
    EXPECT_EQ(FileNameOf(LR"(C:\Program Files\Firewall\rules.dat)"), L"rules.dat");
    EXPECT_EQ(FileNameOf(L"rules.dat"), L"rules.dat");
}

class SoftBackupWindow : public ::testing::Test {
protected:
    SoftBackupWindow() : ui(registry) {
        RegisterAllForms(registry);
        registry.Attach(ctx);
        machine.loginName = L"zhang";
        machine.AddFolder(L"D:\\Backup");
        machine.AddFolder(L"C:\\BackTemp");
        ctx.SavePath = L"D:\\Backup";
        ui.LoadForm(L"frmSoftBackup");
    }
    test::FakeControls& Ctl() { return ui.ControlsOf(L"frmSoftBackup"); }
    std::wstring Text(const std::wstring& name, int index = -1) { return Ctl().At(name, index).text; }
    void Click(const std::wstring& name, int index) { ui.Fire(L"frmSoftBackup", {EventKind::Click, name, index}); }
    void Menu(const std::wstring& name) { ui.Fire(L"frmSoftBackup", {EventKind::Menu, name}); }
    std::wstring LastMessage() { return ui.prompts.empty() ? L"" : ui.prompts.back().text; }

    FakeMachine machine;
    FormRegistry registry;
    FakeUi ui;
    AppContext ctx{machine, ui, L""};
};

TEST_F(SoftBackupWindow, ChatCaptionsAndTheirReset) {
    machine.SetReg(kYahooKey, L"", LR"(C:\Program Files\Yahoo!\Messenger\YPager.exe %1)");
    machine.AddFolder(LR"(C:\Program Files\Yahoo!\Messenger\Profiles\abc)");
    machine.AddFolder(LR"(C:\Program Files\MSN\MSNCoreFiles)");
    Ctl().At(L"txtYahoo").text = L"abc";
    Ctl().At(L"txtMSN").text = L"abc";
    Click(L"cmdChat", kChatYahoo);
    Click(L"cmdChat", kChatMSN);
    EXPECT_EQ(Text(L"cmdChat", kChatYahoo), L"备份雅虎通聊天记录成功");
    EXPECT_EQ(Text(L"lblChat", kChatMSN), LR"(成功备份文件到：D:\Backup\MSN聊天记录\abchotmail.com)");

    // Typing resets a caption; the Yahoo box has no such handler.
    ui.Fire(L"frmSoftBackup", {EventKind::Change, L"txtMSN"});
    ui.Fire(L"frmSoftBackup", {EventKind::Change, L"txtYahoo"});
    EXPECT_EQ(Text(L"cmdChat", kChatMSN), L"MSN聊天记录备份");
    EXPECT_EQ(Text(L"cmdChat", kChatYahoo), L"备份雅虎通聊天记录成功");
}

TEST_F(SoftBackupWindow, MsnOutsideTheClassicPathComesFromTheSystemsProgramFolder) {
    machine.knownFolders[KnownFolder::ProgramFiles] = LR"(E:\Programs (x86))";
    Ctl().At(L"txtMSN").text = L"abc";
    Click(L"cmdChat", kChatMSN);
    EXPECT_EQ(LastMessage(), kChatNotFoundText);  // nowhere at all
    machine.AddFolder(LR"(E:\Programs (x86)\MSN\MSNCoreFiles)");
    Ctl().At(L"txtMSN").text = L"abc";
    Click(L"cmdChat", kChatMSN);
    ASSERT_EQ(machine.folderCopies.size(), 1u);
    EXPECT_EQ(machine.folderCopies[0].first, LR"(E:\Programs (x86)\MSN\MSNCoreFiles)");
    EXPECT_EQ(Text(L"lblChat", kChatMSN), LR"(成功备份文件到：D:\Backup\MSN聊天记录\abchotmail.com)");
}

TEST_F(SoftBackupWindow, ChatMessagesInTheirSituations) {
    // Key missing, and a key whose value is missing or not a string.
    machine.regKeys.insert(LR"(SOFTWARE\Sina\UC\Version\uc)");
    machine.SetRegNonString(LR"(SOFTWARE\Popo2004)", L"InstallDir");
    for (int i : {kChatQQ, kChatUC, kChatPOPO, kChatYahoo}) {
        Ctl().At(ChatClientAt(i).accountBox).text = L"1";
        Click(L"cmdChat", i);
        EXPECT_EQ(LastMessage(), ChatClientAt(i).keyMissingText) << i;
        EXPECT_EQ(ui.prompts.back().title, L"");
        EXPECT_EQ(ui.prompts.back().flags, kOkOnly);
    }
    machine.SetReg(kQQKey, L"Install", LR"(C:\QQ\)");
    machine.AddFolder(LR"(C:\QQ)");
    for (int i : {kChatQQ, kChatMSN}) {
        Ctl().At(ChatClientAt(i).accountBox).text = L"";
        Click(L"cmdChat", i);
        EXPECT_EQ(LastMessage(), ChatClientAt(i).emptyAccountText);
        EXPECT_EQ(Ctl().focus, ChatClientAt(i).accountBox);
    }
    // Only spaces, or a name that would climb out of the client's folder.
    for (const wchar_t* account : {L"   ", L".."}) {
        Ctl().At(L"txtQQ").text = account;
        Ctl().At(L"cmdChat", kChatQQ).text = L"备份QQ聊天记录成功";
        Click(L"cmdChat", kChatQQ);
        EXPECT_EQ(LastMessage(), kChatNotFoundText);
        EXPECT_EQ(Text(L"txtQQ"), L"");
        EXPECT_EQ(Text(L"cmdChat", kChatQQ), L"QQ聊天记录备份");
        EXPECT_EQ(Ctl().focus, L"txtQQ");
    }
    EXPECT_TRUE(machine.folderCopies.empty());
}

TEST_F(SoftBackupWindow, FailedCopiesAreNotReportedAsDone) {
    machine.SetReg(kQQKey, L"Install", LR"(C:\QQ\)");
    machine.AddFile(LR"(C:\QQ\1\a.db)");
    machine.AddFile(LR"(C:\QQ\1\b.db)");
    machine.unreadable.insert(LR"(C:\QQ\1\b.db)");
    Ctl().At(L"txtQQ").text = L"1";
    Click(L"cmdChat", kChatQQ);
    EXPECT_EQ(Text(L"cmdChat", kChatQQ), L"备份QQ聊天记录失败");
    EXPECT_EQ(Text(L"lblChat", kChatQQ), LR"(备份不完整，有1个文件没能复制到：D:\Backup\QQ聊天记录\1)");

    ctx.SavePath = L"E:\\Gone";
    Click(L"cmdChat", kChatQQ);
    EXPECT_EQ(Text(L"lblChat", kChatQQ), LR"(备份失败，无法写入：E:\Gone\QQ聊天记录\1)");
}

TEST_F(SoftBackupWindow, ACopyShowsItsProgressAndACancelIsNeverDone) {
    machine.SetReg(kQQKey, L"Install", LR"(C:\QQ\)");
    for (const wchar_t* name : {L"a.db", L"b.db", L"c.db"}) machine.AddFile(std::wstring(LR"(C:\QQ\1\)") + name, {L"x"});
    machine.AddFile(LR"(D:\Backup\QQ聊天记录\1\b.db)", {L"old"});
    Ctl().At(L"txtQQ").text = L"1";
    ui.cancelAfterShows = 2;  // the user cancels while the second file is copied
    Click(L"cmdChat", kChatQQ);
    ASSERT_EQ(ui.progressShown.size(), 2u);
    EXPECT_EQ(ui.progressShown[1].line, LR"(正在复制：C:\QQ\1\b.db)");
    EXPECT_EQ(ui.progressShown[1].counts, L"已复制1/3个文件，0.0 MB/0.0 MB");
    EXPECT_EQ(ui.progressShown[1].permille, 333);
    EXPECT_EQ(Text(L"cmdChat", kChatQQ), L"QQ聊天记录备份");  // neither done nor failed
    EXPECT_EQ(Text(L"lblChat", kChatQQ), LR"(备份已取消，只复制了1个文件到：D:\Backup\QQ聊天记录\1)");
    EXPECT_EQ(machine.Lines(LR"(D:\Backup\QQ聊天记录\1\b.db)"), std::vector<std::wstring>{L"old"});

    ui.cancelAfterShows = -1;
    Click(L"cmdChat", kChatQQ);
    EXPECT_EQ(Text(L"cmdChat", kChatQQ), L"备份QQ聊天记录成功");

    // Personal folders go through the same window.
    const std::wstring profile = LR"(C:\Documents and Settings\zhang)";
    machine.AddFile(profile + LR"(\Favorites\news.url)");
    ui.cancelAfterShows = 0;
    Click(L"cmdSystem", 1);
    EXPECT_EQ(Text(L"cmdSystem", 1), PersonalFolderAt(1).caption);
    EXPECT_EQ(Text(L"lblSystem", 1), LR"(备份已取消，只复制了0个文件到：D:\Backup\IE收藏夹\)");
    EXPECT_EQ(ui.progressTitles.size(), 3u);
}

TEST_F(SoftBackupWindow, FilesHeldByTheChatClientAreNamedAndListed) {
    machine.SetReg(kQQKey, L"Install", LR"(C:\QQ\)");
    const std::wstring from = LR"(C:\QQ\1\)", into = LR"(D:\Backup\QQ聊天记录\1)";
    for (const wchar_t* name : {L"Msg2.0.db", L"Info.db", L"Face.db", L"Misc.db", L"ok.txt"})
        machine.AddFile(from + name);
    for (const wchar_t* name : {L"Msg2.0.db", L"Info.db", L"Face.db", L"Misc.db"}) machine.heldOpen.insert(from + name);
    Ctl().At(L"txtQQ").text = L"1";
    Click(L"cmdChat", kChatQQ);
    EXPECT_EQ(Text(L"cmdChat", kChatQQ), L"备份QQ聊天记录失败");
    const std::wstring list = into + L"\\未复制的文件.txt";
    EXPECT_EQ(Text(L"lblChat", kChatQQ),
              L"备份不完整：有4个文件正被其他程序使用，没有复制：Face.db、Info.db、Misc.db等。完整的清单在：" + list +
                  L"。请关闭聊天软件等正在使用这些文件的程序，再备份一次。");
    EXPECT_EQ(machine.Lines(list),
              (std::vector<std::wstring>{L"以下文件正被其他程序使用，没有复制：", from + L"Face.db", from + L"Info.db",
                                         from + L"Misc.db", from + L"Msg2.0.db"}));
    EXPECT_TRUE(machine.HasFile(into + L"\\ok.txt"));

    // With a file that failed otherwise too, both are said; a list that
    // cannot be written is not promised.
    machine.AddFile(from + L"bad.txt");
    machine.unreadable.insert(from + L"bad.txt");
    machine.unwritable.insert(list);
    Click(L"cmdChat", kChatQQ);
    EXPECT_EQ(Text(L"lblChat", kChatQQ),
              L"备份不完整，有1个文件没能复制到：" + into +
                  L"；有4个文件正被其他程序使用，没有复制：Face.db、Info.db、Misc.db等。请关闭聊天软件等正在使用这些文件的程序，再备份一次。");

    // The client closed: a complete backup removes the list that is no longer true.
    machine.unwritable.clear();
    machine.unreadable.clear();
    machine.heldOpen.clear();
    Click(L"cmdChat", kChatQQ);
    EXPECT_EQ(Text(L"cmdChat", kChatQQ), L"备份QQ聊天记录成功");
    EXPECT_FALSE(machine.HasFile(list));
}

TEST_F(SoftBackupWindow, EmptySavePathOpensTheDialogAndCopiesNothing) {
    machine.SetReg(kQQKey, L"Install", LR"(C:\QQ\)");
    machine.AddFolder(LR"(C:\QQ\1)");
    machine.AddFolder(LR"(C:\Documents and Settings\zhang\Favorites)");
    machine.AddFile(LR"(C:\boot.ini)");
    Ctl().At(L"txtQQ").text = L"1";
    Menu(L"mnuClew");
    EXPECT_TRUE(ctx.SavePath.empty());
    EXPECT_TRUE(Ctl().At(L"mnuClew").checked);
    EXPECT_FALSE(Ctl().At(L"mnuNoClew").checked);
    for (auto [name, index] : std::initializer_list<std::pair<const wchar_t*, int>>{
             {L"cmdChat", 0}, {L"cmdSystem", 1}, {L"cmdSoftSet", 0}, {L"cmdSoftSet", 1}, {L"cmdSoftSet", 2}}) {
        ui.UnloadForm(L"frmSoftSaveSetting");
        Click(name, index);
        EXPECT_TRUE(ui.IsVisible(L"frmSoftSaveSetting")) << index;
    }
    EXPECT_TRUE(machine.folderCopies.empty());
    EXPECT_TRUE(machine.runs.empty());
    EXPECT_TRUE(ui.prompts.empty());

    // The dialog's own options set this window's check marks.
    ui.Fire(L"frmSoftSaveSetting", {EventKind::Click, L"optSave", 0});
    EXPECT_TRUE(Ctl().At(L"mnuNoClew").checked);
    EXPECT_FALSE(Ctl().At(L"mnuClew").checked);
}

TEST_F(SoftBackupWindow, PersonalFoldersLandAsTheTableShows) {
    const std::wstring profile = LR"(C:\Documents and Settings\zhang)";
    machine.AddFile(profile + LR"(\Favorites\news.url)", {L"old"});
    machine.AddFile(profile + LR"(\My Documents\My Pictures\p.jpg)");
    Click(L"cmdSystem", 1);
    Click(L"cmdSystem", 2);
    EXPECT_TRUE(machine.HasFile(LR"(D:\Backup\IE收藏夹\Favorites\news.url)"));
    EXPECT_TRUE(machine.HasFile(LR"(D:\Backup\图片收藏夹\p.jpg)"));
    EXPECT_EQ(Text(L"cmdSystem", 1), L"备份ＩＥ收藏夹成功");
    EXPECT_EQ(Text(L"lblSystem", 1), LR"(成功备份到：D:\Backup\IE收藏夹\)");
    EXPECT_EQ(Text(L"lblSystem", 2), LR"(成功备份到：D:\Backup\图片收藏夹)");

    // A second press merges and overwrites.
    machine.AddFile(profile + LR"(\Favorites\news.url)", {L"new"});
    machine.AddFile(profile + LR"(\Favorites\mail.url)");
    Click(L"cmdSystem", 1);
    EXPECT_EQ(machine.Lines(LR"(D:\Backup\IE收藏夹\Favorites\news.url)"), std::vector<std::wstring>{L"new"});
    EXPECT_TRUE(machine.HasFile(LR"(D:\Backup\IE收藏夹\Favorites\mail.url)"));

    // No videos anywhere: said so. Music only where the system keeps it.
    machine.AddFile(LR"(C:\users\zhang\Music\song.mp3)");
    machine.knownFolders[KnownFolder::MyMusic] = LR"(C:\users\zhang\Music)";
    machine.AddFolder(L"D:\\");
    ctx.SavePath = L"D:\\";
    Click(L"cmdSystem", 4);
    Click(L"cmdSystem", 3);
    EXPECT_EQ(Text(L"cmdSystem", 4), L"备份视频文件夹失败");
    EXPECT_EQ(Text(L"lblSystem", 4), L"备份失败，找不到：" + profile + LR"(\My Documents\My Videos)");
    EXPECT_TRUE(machine.HasFile(LR"(D:\音乐收藏夹\song.mp3)"));
    EXPECT_EQ(Text(L"lblSystem", 3), LR"(成功备份到：D:\音乐收藏夹)");
    EXPECT_EQ(ctx.SavePath, L"D:");
}

TEST_F(SoftBackupWindow, NetworkSettingsThroughNetshBat) {
    Click(L"cmdSoftSet", 1);
    const FakeMachine::FakeFile* bat = machine.File(L"c:\\BackTemp\\netsh.bat");
    ASSERT_TRUE(bat);
    EXPECT_EQ(bat->lines, std::vector<std::wstring>{L"netsh  dump  > D:\\Backup\\本机网络设置\\netsh.txt"});
    EXPECT_EQ(bat->codePage, CodePage::Oem);
    ASSERT_EQ(machine.runs.size(), 1u);
    EXPECT_EQ(machine.runs[0].commandLine, L"c:\\BackTemp\\netsh.bat");
    EXPECT_EQ(machine.runs[0].style, WindowStyle::Hidden);
    EXPECT_EQ(Text(L"cmdSoftSet", 1), L"本机网络设置");
    EXPECT_EQ(Text(L"lblsoftSet", 1), LR"(成功备份到：D:\Backup\本机网络设置\netsh.txt)");
    machine.FinishRuns(1);  // netsh failed after the texts were shown
    EXPECT_EQ(Text(L"cmdSoftSet", 1), L"本机网络设置备份失败");

    // A drive root is used as it is; a run that ends after the window is gone is ignored.
    machine.AddFolder(L"D:\\");
    ctx.SavePath = L"D:\\";
    Click(L"cmdSoftSet", 1);
    EXPECT_EQ(machine.Lines(L"c:\\BackTemp\\netsh.bat")[0], L"netsh  dump  > D:\\\\本机网络设置\\netsh.txt");
    EXPECT_EQ(ctx.SavePath, L"D:\\");
    ui.UnloadForm(L"frmSoftBackup");
    machine.FinishRuns(0);

    // A destination the code page cannot hold is refused before anything is written.
    ui.LoadForm(L"frmSoftBackup");
    machine.notAnsi.insert(L'\u00e9');
    machine.AddFolder(L"D:\\caf\u00e9");
    ctx.SavePath = L"D:\\caf\u00e9";
    machine.DeleteOneFile(L"c:\\BackTemp\\netsh.bat");
    Click(L"cmdSoftSet", 1);
    EXPECT_NE(LastMessage().find(L"不支持的字符"), std::wstring::npos);
    EXPECT_FALSE(machine.HasFile(L"c:\\BackTemp\\netsh.bat"));
    EXPECT_EQ(machine.runs.size(), 2u);
}

TEST_F(SoftBackupWindow, FirewallFileAndSystemFiles) {
    machine.AddFile(LR"(C:\Program Files\Firewall\rules.dat)");
    ui.fileAnswers = {LR"(C:\Program Files\Firewall\rules.dat)", L""};
    Click(L"cmdSoftSet", 0);
    EXPECT_EQ(ui.prompts[0].title, L"指定需要备份的文件");
    EXPECT_EQ(ui.prompts[0].text, L"设置文件.dat|*.dat");
    EXPECT_TRUE(machine.HasFile(LR"(D:\Backup\天网安全设置文件\rules.dat)"));
    EXPECT_EQ(Text(L"lblsoftSet", 0), LR"(成功备份到：D:\Backup\天网安全设置文件\rules.dat)");
    Ctl().At(L"lblsoftSet", 0).text = L"";
    Click(L"cmdSoftSet", 0);  // cancelled
    EXPECT_EQ(Text(L"lblsoftSet", 0), L"");

    Click(L"cmdSoftSet", 2);
    EXPECT_EQ(Text(L"cmdSoftSet", 2), L"系统文件备份失败");
    EXPECT_EQ(Text(L"lblsoftSet", 2), L"备份失败，在C:\\下没有找到任何一个系统文件");
    machine.AddFile(L"C:\\boot.ini");
    machine.AddFile(L"C:\\ntldr");
    machine.AddFile(L"C:\\NTDETECT.COM");
    Click(L"cmdSoftSet", 2);
    EXPECT_TRUE(machine.HasFile(LR"(D:\Backup\系统文件\boot.ini.bak)"));
    EXPECT_TRUE(machine.HasFile(LR"(D:\Backup\系统文件\ntldr.bak)"));
    EXPECT_EQ(Text(L"cmdSoftSet", 2), L"系统文件备份成功");
    EXPECT_EQ(Text(L"lblsoftSet", 2), LR"(成功备份到：D:\Backup\系统文件\（8个系统文件中找到3个，已全部复制）)");
    machine.unreadable.insert(L"C:\\ntldr");
    Click(L"cmdSoftSet", 2);
    EXPECT_EQ(Text(L"lblsoftSet", 2), LR"(备份不完整：找到3个系统文件，只复制了2个到：D:\Backup\系统文件\)");

    // Through the progress window, file by file; a cancel is neither done nor failed.
    ui.progressShown.clear();
    ui.cancelAfterShows = 3;  // at the third file: only boot.ini was there before it
    Click(L"cmdSoftSet", 2);
    ASSERT_EQ(ui.progressShown.size(), 3u);
    EXPECT_EQ(ui.progressShown[1].line, std::wstring(L"正在复制：C:\\") + kSystemFiles[1].source);
    EXPECT_EQ(Text(L"cmdSoftSet", 2), kSoftSetCaptions[2]);
    EXPECT_EQ(Text(L"lblsoftSet", 2), LR"(备份已取消，只复制了1个文件到：D:\Backup\系统文件\)");
}

TEST_F(SoftBackupWindow, WindowComesAndGoesWithTheMainWindow) {
    EXPECT_EQ(Text(L"lblLoginName"), L"当前登录账户：ZHANG");
    ui.LoadForm(L"frmMain");
    ui.Fire(L"frmMain", {EventKind::Click, L"imgPIC", 7});
    EXPECT_TRUE(ui.IsVisible(L"frmSoftBackup"));
    EXPECT_FALSE(ui.IsVisible(L"frmMain"));
    ui.SetWindowState(L"frmMain", WindowState::Minimized);
    Click(L"cmdExit", -1);
    EXPECT_FALSE(ui.IsVisible(L"frmSoftBackup"));
    EXPECT_TRUE(ui.IsVisible(L"frmMain"));
    EXPECT_EQ(ui.GetWindowState(L"frmMain"), WindowState::Normal);

    Ctl().SetFormSize(1, 1);
    ui.Fire(L"frmSoftBackup", {EventKind::Resize, L""});
    EXPECT_EQ(Ctl().formWidth, ui.Logic<frmSoftBackup>(L"frmSoftBackup").FormWidth);

    Menu(L"mnuMain");
    EXPECT_EQ(machine.runs.back().commandLine, L"C:\\WINDOWS\\hh.exe D:\\Tools\\Backup\\lanzhan.chm::/softbackup.htm");
    EXPECT_EQ(machine.runs.back().style, WindowStyle::MaximizedFocus);
    Menu(L"mnuNoClew");
    EXPECT_TRUE(ui.IsVisible(L"frmSoftSaveSetting"));

    // Closed by its close box: the main window comes back, the account boxes start empty.
    Ctl().At(L"txtQQ").text = L"1";
    ui.HideForm(L"frmMain");
    ui.UnloadForm(L"frmSoftBackup");
    EXPECT_TRUE(ui.IsVisible(L"frmMain"));
    ui.ShowForm(L"frmSoftBackup");
    EXPECT_EQ(Text(L"txtQQ"), L"");
}

}  // namespace
}  // namespace lz
