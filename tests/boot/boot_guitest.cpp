// The boot menu window in the real form host under Wine: opened from the main
// window's tile and menu, its list of c:\boot.ini, the CD start, Notepad,
// vFloppy, the warning on hover and the ways it closes. What a user reads is
// read back as another program would: through the windows' own texts.
// Whatever c:\boot.ini the test prefix holds is put back afterwards.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <iterator>
#include <set>
#include <utility>
#include <string>
#include <vector>

#include "support/files_win.h"
#include "support/gui_harness_win.h"
#include "tools/children_win.h"
#include "support/window_text_win.h"

namespace lz::test {
namespace {

const wchar_t* const kForm = L"frmGhost";
const wchar_t* const kIni = L"c:\\boot.ini";
const wchar_t* const kBat = L"c:\\BackTemp\\boot.bat";
const wchar_t* const kCopy = L"c:\\backtemp\\BOOTSECT.cdr";
const DWORD kProtection = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

const wchar_t* const kCdCaption = L"添加从光盘启动功能";
const wchar_t* const kCdDone = L"从光盘启动添加成功";
const wchar_t* const kWarning =
    L"如果不熟悉此文件的格式,请慎重编辑。如果需要手动编辑请在编辑前请做好备份工作。具体命令格式说明请查看帮助文档。";

std::string ToGbk(const std::wstring& text) {
    std::string out(text.size() * 2, '\0');
    int n = WideCharToMultiByte(936, 0, text.data(), int(text.size()), out.data(), int(out.size()), nullptr, nullptr);
    out.resize(n > 0 ? n : 0);
    return out;
}

const std::wstring kXp =
    L"[boot loader]\r\ntimeout=30\r\ndefault=multi(0)disk(0)rdisk(0)partition(1)\\WINDOWS\r\n"
    L"[operating systems]\r\n"
    L"multi(0)disk(0)rdisk(0)partition(1)\\WINDOWS=\"Microsoft Windows XP Professional\" /noexecute=optin "
    L"/fastdetect\r\n"
    L"multi(0)disk(0)rdisk(0)partition(2)\\WINNT=\"Windows 2000 专业版\" /fastdetect";
const std::wstring kXpList =
    L"\"Microsoft Windows XP Professional\" /noexecute=optin /fastdetect\r\n\"Windows 2000 专业版\" /fastdetect\r\n";
const std::wstring kEntry = L"C:\\BackTemp\\BOOTSECT.cdr=\"无需BIOS设置从光盘启动\"\r\n";

DWORD Attributes(const std::wstring& path) { return GetFileAttributesW(path.c_str()); }
bool Exists(const std::wstring& path) { return Attributes(path) != INVALID_FILE_ATTRIBUTES; }

void WriteIni(const std::wstring& text, bool protect) {
    SetFileAttributesW(kIni, FILE_ATTRIBUTE_NORMAL);
    MakeFile(kIni, ToGbk(text));
    if (protect) SetFileAttributesW(kIni, kProtection);
}

bool NoBatchRunning() { return BatchesRunning() == 0; }

BOOL CALLBACK CollectText(HWND h, LPARAM l) {
    auto* texts = reinterpret_cast<std::multiset<std::wstring>*>(l);
    if (IsWindowVisible(h)) texts->insert(TextOf(h));
    return TRUE;
}

// Every text the window's visible child windows give out.
std::multiset<std::wstring> ChildTexts(HWND form) {
    std::multiset<std::wstring> texts;
    EnumChildWindows(form, CollectText, reinterpret_cast<LPARAM>(&texts));
    return texts;
}

BOOL CALLBACK FindTips(HWND h, LPARAM l) {
    auto* found = reinterpret_cast<std::pair<HWND, HWND>*>(l);
    wchar_t cls[64] = {};
    GetClassNameW(h, cls, 64);
    if (lstrcmpiW(cls, TOOLTIPS_CLASSW) == 0 && GetWindow(h, GW_OWNER) == found->first) found->second = h;
    return TRUE;
}

// The texts of the tool tips the window's tool tip control holds.
std::multiset<std::wstring> TipTexts(HWND form) {
    std::pair<HWND, HWND> found{form, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), FindTips, reinterpret_cast<LPARAM>(&found));
    std::multiset<std::wstring> texts;
    if (!found.second) return texts;
    const LRESULT n = SendMessageW(found.second, TTM_GETTOOLCOUNT, 0, 0);
    for (LRESULT i = 0; i < n; ++i) {
        wchar_t text[256] = {};
        TOOLINFOW ti{};
        ti.cbSize = TTTOOLINFOW_V2_SIZE;
        ti.lpszText = text;
        if (SendMessageW(found.second, TTM_ENUMTOOLSW, WPARAM(i), reinterpret_cast<LPARAM>(&ti))) texts.insert(text);
    }
    return texts;
}

// Puts c:\boot.ini, boot.bat, the copied image and the program's boot folder
// back as the test found them, once every batch file the window started has
// ended. Made before the program, so that it ends after it.
class Keep {
public:
    explicit Keep(const std::wstring& bootFolder) : bootFolder_(bootFolder) {
        iniAttributes_ = Attributes(kIni);
        if (iniAttributes_ != INVALID_FILE_ATTRIBUTES) ini_ = FileBytes(kIni);
        batWas_ = Exists(kBat);
        bat_ = FileBytes(kBat);
        copyWas_ = Exists(kCopy);
        copy_ = FileBytes(kCopy);
    }
    ~Keep() {
        WaitFor(NoBatchRunning);
        SetFileAttributesW(kIni, FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(kIni);
        if (iniAttributes_ != INVALID_FILE_ATTRIBUTES) {
            MakeFile(kIni, ini_);
            SetFileAttributesW(kIni, iniAttributes_);
        }
        if (batWas_) MakeFile(kBat, bat_);
        else DeleteFileW(kBat);
        if (copyWas_) MakeFile(kCopy, copy_);
        else DeleteFileW(kCopy);
        for (const wchar_t* f : {L"\\BOOTSECT.cdr", L"\\vFloppy.exe"}) DeleteFileW((bootFolder_ + f).c_str());
    }

private:
    std::wstring bootFolder_;
    DWORD iniAttributes_ = INVALID_FILE_ATTRIBUTES;
    std::string ini_, bat_, copy_;
    bool batWas_ = false, copyWas_ = false;
};

std::wstring ProgramFolder() {
    wchar_t self[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path(self, n);
    return path.substr(0, path.rfind(L'\\'));
}

struct BootGui : ::testing::Test {
    const std::wstring bootFolder = ProgramFolder() + L"\\boot";
    const std::string image = std::string("\xEB\x3C\x90MSWIN4.1\0\0", 13) + std::string(500, '\x5A');
    ChildWatch children;  // Notepad, help, vFloppy: ended with the test
    Keep keep{bootFolder};
    GuiApp app;

    void SetUp() override {
        for (const wchar_t* f : {L"\\BOOTSECT.cdr", L"\\vFloppy.exe"}) DeleteFileW((bootFolder + f).c_str());
        app.ui.ShowForm(L"frmMain");
        app.Pump(50);
    }
    FormWindow& G() { return app.W(kForm); }
    HWND H(const std::wstring& name) { return G().ChildHandle(name, -1); }
    std::wstring Text(const std::wstring& name) { return TextOf(H(name)); }
    void Open() {
        app.Click(L"frmMain", L"imgPIC", 6);
        app.Pump(20);
        ASSERT_TRUE(app.ui.IsVisible(kForm));
    }
    // A click on a status bar panel, as the common control reports it.
    void ClickPanel(int panel) {
        HWND bar = H(L"StatusBar1");
        NMMOUSE nm{};
        nm.hdr.hwndFrom = bar;
        nm.hdr.idFrom = UINT_PTR(GetDlgCtrlID(bar));
        nm.hdr.code = NM_CLICK;
        nm.dwItemSpec = DWORD_PTR(panel);
        SendMessageW(GetParent(bar), WM_NOTIFY, nm.hdr.idFrom, reinterpret_cast<LPARAM>(&nm));
        app.Pump(20);
    }
    std::wstring Panel(int panel) {
        HWND bar = H(L"StatusBar1");
        const LRESULT len = LOWORD(SendMessageW(bar, SB_GETTEXTLENGTHW, panel, 0));
        std::wstring s(size_t(len) + 1, L'\0');
        SendMessageW(bar, SB_GETTEXTW, panel, reinterpret_cast<LPARAM>(s.data()));
        s.resize(size_t(len));
        return s;
    }
    std::wstring LastMessage() { return app.ui.prompts.empty() ? L"" : app.ui.prompts.back().text; }
};

TEST_F(BootGui, TileAndMenuOpenItHidingTheMainWindowAndEveryWayOutShowsItAgain) {
    WriteIni(kXp + L"\r\n", true);
    Open();
    EXPECT_FALSE(app.ui.IsVisible(L"frmMain"));
    EXPECT_EQ(TextOf(G().Handle()), L"GHOST工具+DOSNTFS工具+光盘启动");
    EXPECT_EQ(FileBytes(kBat), "attrib -r -h -s c:\\boot.ini\r\n");

    // Its size is fixed.
    RECT before, after;
    GetWindowRect(G().Handle(), &before);
    SetWindowPos(G().Handle(), nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER);
    app.Pump(20);
    GetWindowRect(G().Handle(), &after);
    EXPECT_EQ(after.right - after.left, before.right - before.left);
    EXPECT_EQ(after.bottom - after.top, before.bottom - before.top);

    // The close box unloads it; boot.bat then protects the file again.
    SendMessageW(G().Handle(), WM_CLOSE, 0, 0);
    app.Pump(20);
    EXPECT_FALSE(app.ui.IsLoaded(kForm));
    EXPECT_TRUE(app.ui.IsVisible(L"frmMain"));
    EXPECT_EQ(FileBytes(kBat), "attrib +r +h +s c:\\boot.ini\r\n");

    // The menu item, then each panel of the status bar: the main window comes
    // back in its normal state, also when it was minimized meanwhile.
    for (int panel = 0; panel < 3; ++panel) {
        app.Menu(L"frmMain", L"mnuGhost");
        ASSERT_TRUE(app.ui.IsVisible(kForm)) << panel;
        EXPECT_FALSE(app.ui.IsVisible(L"frmMain"));
        if (panel == 1) {
            ShowWindow(app.W(L"frmMain").Handle(), SW_MINIMIZE);
            app.Pump(20);
        }
        ClickPanel(panel);
        EXPECT_FALSE(app.ui.IsLoaded(kForm)) << panel;
        EXPECT_TRUE(app.ui.IsVisible(L"frmMain")) << panel;
        EXPECT_FALSE(IsIconic(app.W(L"frmMain").Handle()));
    }
    EXPECT_TRUE(app.ui.prompts.empty());
}

TEST_F(BootGui, TheListShowsBootIniAndANewEntryAfterATick) {
    WriteIni(kXp + L"\r\n", false);
    Open();
    app.Tick(kForm, L"timeBoot");
    EXPECT_EQ(Text(L"txtBoot"), kXpList);
    EXPECT_TRUE(G().GetTimerEnabled(L"timeBoot"));

    // A choice saved by another program appears at the next tick, and what
    // was typed into the list is replaced.
    SetWindowTextW(H(L"txtBoot"), L"typed");
    WriteIni(kXp + L"\r\nC:\\CMDCONS\\BOOTSECT.DAT=\"Microsoft Windows Recovery Console\" /cmdcons\r\n", false);
    app.Tick(kForm, L"timeBoot");
    EXPECT_EQ(Text(L"txtBoot"), kXpList + L"\"Microsoft Windows Recovery Console\" /cmdcons\r\n");
    app.Screenshot(kForm, L"ghost");

    // Without the file the list says so in one line.
    WaitFor(NoBatchRunning);
    SetFileAttributesW(kIni, FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(kIni);
    app.Tick(kForm, L"timeBoot");
    const std::wstring none = Text(L"txtBoot");
    EXPECT_NE(none.find(L"c:\\boot.ini"), std::wstring::npos);
    EXPECT_EQ(none.find(L"\r\n"), none.size() - 2);
    app.Screenshot(kForm, L"ghost-no-bootini");
}

TEST_F(BootGui, TwoCdStartsAppendTwoEntriesAndTheListShowsBoth) {
    // Protected and without a final line end: the click may come before boot.bat has run.
    WriteIni(kXp, true);
    MakeFile(bootFolder + L"\\BOOTSECT.cdr", image);
    Open();
    EXPECT_EQ(Text(L"cmdCD"), kCdCaption);
    EXPECT_EQ(Text(L"txtCD"), L"无需BIOS设置从光盘启动");
    app.Click(kForm, L"cmdCD");
    app.Click(kForm, L"cmdCD");
    EXPECT_TRUE(app.ui.prompts.empty()) << LastMessage();
    EXPECT_EQ(Text(L"cmdCD"), kCdDone);
    EXPECT_EQ(FileBytes(kIni), ToGbk(kXp + L"\r\n" + kEntry + kEntry));
    EXPECT_EQ(FileBytes(kCopy), image);
    app.Tick(kForm, L"timeBoot");
    EXPECT_EQ(Text(L"txtBoot"), kXpList + L"\"无需BIOS设置从光盘启动\"\r\n\"无需BIOS设置从光盘启动\"\r\n");
    app.Screenshot(kForm, L"ghost-cd");

    // A description the entry cannot hold is refused with a message.
    app.Type(kForm, L"txtCD", -1, L"光盘 \"启动\"");
    app.Click(kForm, L"cmdCD");
    ASSERT_EQ(app.ui.prompts.size(), 1u);
    EXPECT_NE(LastMessage().find(L"双引号"), std::wstring::npos);
    EXPECT_EQ(FileBytes(kIni), ToGbk(kXp + L"\r\n" + kEntry + kEntry));

    // An empty one ends in two quotation marks.
    app.Type(kForm, L"txtCD", -1, L"");
    app.Click(kForm, L"cmdCD");
    EXPECT_EQ(app.ui.prompts.size(), 1u);
    EXPECT_EQ(FileBytes(kIni), ToGbk(kXp + L"\r\n" + kEntry + kEntry + L"C:\\BackTemp\\BOOTSECT.cdr=\"\"\r\n"));
}

TEST_F(BootGui, WithoutTheImageOrWithoutBootIniTheCdStartSaysWhyAndWritesNothing) {
    WriteIni(kXp + L"\r\n", false);
    DeleteFileW(kCopy);
    Open();
    app.Click(kForm, L"cmdCD");
    ASSERT_EQ(app.ui.prompts.size(), 1u);
    EXPECT_NE(LastMessage().find(bootFolder + L"\\BOOTSECT.cdr"), std::wstring::npos) << LastMessage();
    EXPECT_EQ(Text(L"cmdCD"), kCdCaption);
    EXPECT_EQ(FileBytes(kIni), ToGbk(kXp + L"\r\n"));
    EXPECT_FALSE(Exists(kCopy));

    MakeFile(bootFolder + L"\\BOOTSECT.cdr", image);
    WaitFor(NoBatchRunning);
    SetFileAttributesW(kIni, FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(kIni);
    app.Click(kForm, L"cmdCD");
    ASSERT_EQ(app.ui.prompts.size(), 2u);
    EXPECT_NE(LastMessage().find(L"c:\\boot.ini"), std::wstring::npos) << LastMessage();
    EXPECT_EQ(Text(L"cmdCD"), kCdCaption);
    EXPECT_FALSE(Exists(kIni));
    EXPECT_FALSE(Exists(kCopy));
}

TEST_F(BootGui, NotepadOnBootIniAndTheMessagesOfVFloppy) {
    WriteIni(kXp + L"\r\n", false);
    Open();
    std::set<DWORD> seen;
    app.Click(kForm, L"cmdMend");
    EXPECT_NE(children.WaitFor(L"notepad.exe", seen), 0u);
    EXPECT_TRUE(app.ui.prompts.empty()) << LastMessage();

    // Missing: the message names the file it looked for.
    const std::wstring vfloppy = bootFolder + L"\\vFloppy.exe";
    app.Click(kForm, L"cmdFloppy");
    ASSERT_EQ(app.ui.prompts.size(), 1u);
    EXPECT_NE(LastMessage().find(vfloppy), std::wstring::npos) << LastMessage();
    EXPECT_NE(LastMessage().find(L"找不到"), std::wstring::npos);

    // There but no program: it cannot be started, and says so.
    MakeFile(vfloppy, "not a program");
    app.Click(kForm, L"cmdFloppy");
    ASSERT_EQ(app.ui.prompts.size(), 2u);
    EXPECT_NE(LastMessage().find(vfloppy), std::wstring::npos) << LastMessage();
    EXPECT_NE(LastMessage().find(L"无法启动"), std::wstring::npos);

    // A program that starts: no message.
    ASSERT_TRUE(CopyFileW((ProgramFolder() + L"\\waitwindow.exe").c_str(), vfloppy.c_str(), FALSE));
    app.Click(kForm, L"cmdFloppy");
    EXPECT_EQ(app.ui.prompts.size(), 2u) << LastMessage();
}

TEST_F(BootGui, HoverShowsTheWarningInRedUntilTheWindowCloses) {
    WriteIni(kXp + L"\r\n", false);
    Open();
    EXPECT_EQ(Text(L"lblBootTip"), L"");
    app.MouseMove(kForm, L"cmdMend");
    EXPECT_EQ(Text(L"lblBootTip"), kWarning);
    EXPECT_EQ(G().GetForeColor(L"lblBootTip", -1), Rgb(192, 0, 0));
    app.MouseMove(kForm, L"cmdCD");
    EXPECT_EQ(Text(L"lblBootTip"), kWarning);
    app.Tick(kForm, L"timeBoot");
    app.Screenshot(kForm, L"ghost-warning");
}

TEST_F(BootGui, EveryTextCanBeReadFromOutside) {
    WriteIni(kXp + L"\r\n", false);
    Open();
    app.Tick(kForm, L"timeBoot");
    app.MouseMove(kForm, L"cmdMend");
    const std::multiset<std::wstring> texts = ChildTexts(G().Handle());
    const std::wstring expected[] = {
        L"启动时显示的操作系统选择菜单：",
        kXpList,
        L"编辑BOOT.INI文件",
        kWarning,
        L"开机时显示的选择菜单名称(可自定义)：  添加成功以后将会在下一次启动机器的时候显示选择菜单",
        L"无需BIOS设置从光盘启动",
        kCdCaption,
        L"自定义添加启动时的镜像文件(如果启动时选择GHOST备份总是出现\"LOAD\"请用以下虚拟启动软件设置)",
        L"添  加  中  文  GHOST  功  能 (虚拟启动软盘-Zelvar)",
        L"查  看  具  体  添  加  方  法",
        L"使用过程中的注意事项:",
        L"①.由于此工具原理是通过物理硬盘参数定位引导文件的，所以整理磁盘后须要重     新设置运行,要不然会无效\r\n"
        L"②.此工具无法运行在98下(因为在98下无法定位引导文件).而且建议分区格式最好    是NTFS,不推荐FAT32和NTFS并存",
    };
    for (size_t i = 0; i < std::size(expected); ++i) EXPECT_EQ(texts.count(expected[i]), 1u) << i;

    // The status bar's panels, as a screen reader's status bar proxy reads them.
    EXPECT_EQ(Panel(0), L"欢迎使用\"岚栈备份专家\"");
    EXPECT_NE(Panel(1).find(std::to_wstring(app.machine.Now().tm_year + 1900)), std::wstring::npos) << Panel(1).size();
    EXPECT_EQ(Panel(2), L"单击此处退出");

    // The tool tips.
    EXPECT_EQ(TipTexts(G().Handle()),
              (std::multiset<std::wstring>{L"手动编辑启动文件BOOT.INI", L"无需BIOS设置从光盘启动功能"}));

    // The menu bar and the help item.
    HMENU bar = GetMenu(G().Handle());
    ASSERT_NE(bar, nullptr);
    wchar_t item[64] = {};
    GetMenuStringW(bar, 0, item, 64, MF_BYPOSITION);
    EXPECT_STREQ(item, L"帮助(&H)");
    GetMenuStringW(GetSubMenu(bar, 0), 0, item, 64, MF_BYPOSITION);
    EXPECT_STREQ(item, L"显示帮助文档");
}

TEST_F(BootGui, HelpFromTheButtonAndTheMenuStartsTheHelpViewer) {
    WriteIni(kXp + L"\r\n", false);
    Open();
    std::set<DWORD> seen;
    app.Click(kForm, L"cmdFloppyHelp");
    EXPECT_NE(children.WaitFor(L"hh.exe", seen), 0u);
    app.Menu(kForm, L"mnuShowHelp");
    EXPECT_NE(children.WaitFor(L"hh.exe", seen), 0u);
    EXPECT_TRUE(app.ui.prompts.empty()) << LastMessage();
}

}  // namespace
}  // namespace lz::test
