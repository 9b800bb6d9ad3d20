#include "boot/frmGhost.h"

#include "boot/bootini.h"
#include "core/help.h"
#include "env/quote.h"

namespace lz {

namespace {

const wchar_t* const kForm = L"frmGhost";
const wchar_t* const kCdCaption = L"添加从光盘启动功能";
const wchar_t* const kCdDone = L"从光盘启动添加成功";
const wchar_t* const kNotes =
    L"①.由于此工具原理是通过物理硬盘参数定位引导文件的，所以整理磁盘后须要重     新设置运行,要不然会无效\r\n"
    L"②.此工具无法运行在98下(因为在98下无法定位引导文件).而且建议分区格式最好    是NTFS,不推荐FAT32和NTFS并存";
const wchar_t* const kMendWarning =
    L"如果不熟悉此文件的格式,请慎重编辑。如果需要手动编辑请在编辑前请做好备份工作。具体命令格式说明请查看帮助文档。";
const Color kWarningRed = Rgb(192, 0, 0);

// What the list shows when there is no boot.ini to read.
const wchar_t* const kListNoBootIniNew =
    L"此系统（Windows Vista 及以后）的启动菜单由启动管理器保存，不在 c:\\boot.ini 中。";
const wchar_t* const kListNoBootIni = L"找不到 c:\\boot.ini 文件。";
const wchar_t* const kListUnreadable = L"无法读取 c:\\boot.ini 文件。";

FormDef MakeDefinition() {
    FormDef d = NewForm(kForm, L"GHOST工具+DOSNTFS工具+光盘启动", 9600, 7440);
    d.menuBar = true;
    auto& c = d.controls;

    // The choices the boot loader offers now.
    c.push_back({Kind::Frame, L"Frame1", -1, L"启动时显示的操作系统选择菜单：", 120, 120, 9360, 2760});
    ControlDef list{Kind::TextBox, L"txtBoot", -1, L"", 120, 270, 9120, 1875, L"Frame1", kMultiLine};
    list.back = kWhite;
    c.push_back(list);
    ControlDef mend{Kind::Button, L"cmdMend", -1, L"编辑BOOT.INI文件", 120, 2250, 2055, 405, L"Frame1"};
    mend.tip = L"手动编辑启动文件BOOT.INI";
    c.push_back(mend);
    ControlDef tip{Kind::Label, L"lblBootTip", -1, L"", 2295, 2220, 6945, 465, L"Frame1", kWordWrap};
    tip.fore = kWarningRed;
    c.push_back(tip);

    // The CD start.
    c.push_back({Kind::Frame, L"Frame2", -1,
                  L"开机时显示的选择菜单名称(可自定义)：  添加成功以后将会在下一次启动机器的时候显示选择菜单", 120, 2985,
                  9360, 960});
    ControlDef text{Kind::TextBox, L"txtCD", -1, kBootTxtCD, 120, 375, 6480, 345, L"Frame2"};
    text.back = kWhite;
    c.push_back(text);
    ControlDef cd{Kind::Button, L"cmdCD", -1, kCdCaption, 6720, 345, 2520, 405, L"Frame2"};
    cd.tip = L"无需BIOS设置从光盘启动功能";
    c.push_back(cd);

    // The Ghost image tool and its notes.
    c.push_back({Kind::Frame, L"Frame3", -1,
                  L"自定义添加启动时的镜像文件(如果启动时选择GHOST备份总是出现\"LOAD\"请用以下虚拟启动软件设置)", 120,
                  4050, 9360, 3000});
    c.push_back({Kind::Button, L"cmdFloppy", -1, L"添  加  中  文  GHOST  功  能 (虚拟启动软盘-Zelvar)", 120, 300,
                 9120, 435, L"Frame3"});
    c.push_back({Kind::Button, L"cmdFloppyHelp", -1, L"查  看  具  体  添  加  方  法", 120, 810, 9120, 435,
                 L"Frame3"});
    c.push_back({Kind::Frame, L"Frame4", -1, L"使用过程中的注意事项:", 120, 1350, 9120, 1530, L"Frame3"});
    // The blanks inside the notes end their first lines at this width.
    c.push_back({Kind::Label, L"lblZY", -1, L"", 240, 300, 6630, 1110, L"Frame4", kWordWrap});

    ControlDef bar{Kind::StatusBar, L"StatusBar1", -1, L"", 0, 7110, 9600, 330};
    bar.items = {L"欢迎使用\"岚栈备份专家\"", L"", L"单击此处退出"};
    c.push_back(bar);

    c.push_back({Kind::Timer, L"timeBoot", -1, L"", 0, 0, 0, 0, L"", kDisabled});

    d.menus = {
        {L"mnuHelp", -1, L"帮助(&H)", 0},
        {L"mnuShowHelp", -1, L"显示帮助文档", 1},
    };
    return d;
}

}  // namespace

frmGhost::frmGhost(AppContext& ctx) : ctx_(ctx), def_(MakeDefinition()) {}

const std::vector<Handler<frmGhost>>& frmGhost::Handlers() {
    using E = EventKind;
    using F = frmGhost;
    static const std::vector<Handler<frmGhost>> table = {
        {E::Load, L"", &F::Form_Load},
        {E::Resize, L"", &F::Form_Resize},
        {E::Unload, L"", &F::Form_Unload},
        {E::Timer, L"timeBoot", &F::timeBoot_Timer},
        {E::Click, L"cmdCD", &F::cmdCD_Click},
        {E::Click, L"cmdMend", &F::cmdMend_Click},
        {E::MouseMove, L"cmdMend", &F::cmdMend_MouseMove},
        {E::Click, L"cmdFloppy", &F::cmdFloppy_Click},
        {E::Click, L"cmdFloppyHelp", &F::cmdFloppyHelp_Click},
        {E::Menu, L"mnuShowHelp", &F::mnuShowHelp_Click},
        {E::Click, L"StatusBar1", &F::StatusBar1_PanelClick},
    };
    return table;
}

// ------------------------------------------------------------ loading, closing

void frmGhost::Form_Load() {
    Ctl().SetFormBack(kFormBack);
    SysDir = ctx_.machine.GetSysDir();
    WinDir = ctx_.machine.GetWinDir();
    bootManager_ = ctx_.machine.GetOsVersion().major >= 6;
    RunBootBat(true);
    Ctl().SetTimer(L"timeBoot", true, 1000);
    FormWidth = Ctl().FormWidth();
    FormHeight = Ctl().FormHeight();
    Ctl().SetText(L"lblZY", -1, kNotes);
    Ctl().SetPanelText(L"StatusBar1", 1, ctx_.machine.ShortDate(ctx_.machine.Now()));
}

void frmGhost::Form_Resize() {
    if (ctx_.ui.GetWindowState(kForm) != WindowState::Minimized) Ctl().SetFormSize(FormWidth, FormHeight);
}

// The main window comes back also after it was exited while this window
// stayed open: it is then loaded afresh.
void frmGhost::Form_Unload() {
    RunBootBat(false);
    ctx_.ui.ShowForm(L"frmMain");
}

void frmGhost::StatusBar1_PanelClick() {
    ctx_.ui.ShowForm(L"frmMain");
    ctx_.ui.SetWindowState(L"frmMain", WindowState::Normal);
    ctx_.ui.UnloadForm(kForm);
}

// boot.bat is written and started as it always was. When it cannot be, the
// attributes are set here instead: closing must not leave the boot loader's
// file unprotected without a word. (Lifting them is the CD start's own step.)
void frmGhost::RunBootBat(bool lift) {
    bool started = ctx_.machine.WriteTextFile(kBootBat, {BootBatLine(lift)}, CodePage::Oem) == WriteResult::Ok &&
                   ctx_.machine.Run(kBootBat, WindowStyle::Hidden);
    if (!started && !lift) (void)ctx_.machine.SetProtected(kBootIni, true);
}

// ------------------------------------------------------------ the list

void frmGhost::timeBoot_Timer() {
    std::wstring text;
    if (auto lines = ctx_.machine.ReadTextLines(kBootIni)) {
        std::wstring all;
        for (const std::wstring& line : *lines) all += line + L"\n";
        text = BootListText(ReadBootChoices(all));
    } else if (ctx_.machine.FileExists(kBootIni)) {
        text = std::wstring(kListUnreadable) + L"\r\n";
    } else {
        text = std::wstring(bootManager_ ? kListNoBootIniNew : kListNoBootIni) + L"\r\n";
    }
    // Setting the same text again would only move the caret and the scroll
    // position back to the top, once a second.
    if (Ctl().GetText(L"txtBoot", -1) != text) Ctl().SetText(L"txtBoot", -1, text);
    Ctl().SetPanelText(L"StatusBar1", 1, ctx_.machine.ShortDate(ctx_.machine.Now()));
}

// ------------------------------------------------------------ the CD start

void frmGhost::cmdCD_Click() {
    if (AddCdStart()) Ctl().SetText(L"cmdCD", -1, kCdDone);
}

// Copies the boot sector image and appends the entry; says what went wrong
// when either cannot be done, and then writes nothing it can avoid.
bool frmGhost::AddCdStart() {
    if (!ctx_.machine.FileExists(kBootIni)) {
        if (bootManager_)
            Tell(L"此系统（Windows Vista 及以后）的启动菜单由启动管理器保存，不在 c:\\boot.ini 中，"
                 L"所以无法在这里添加从光盘启动的菜单。没有写入任何文件。");
        else
            Tell(L"找不到 c:\\boot.ini 文件，无法添加从光盘启动的菜单。没有写入任何文件。");
        return false;
    }
    const std::wstring description = Ctl().GetText(L"txtCD", -1);
    switch (CheckDescription(description)) {
    case DescriptionFault::None: break;
    case DescriptionFault::Quote:
        Tell(L"启动菜单名称中不能有双引号(\")：它会提前结束 boot.ini 中的名称，使这一项无法使用。请修改后再添加。");
        return false;
    case DescriptionFault::Control:
        Tell(L"启动菜单名称中不能有回车、换行等控制字符：它们会把 boot.ini 中的这一项拆断。请修改后再添加。");
        return false;
    }
    if (!ctx_.machine.FitsAnsi(description)) {
        Tell(L"启动菜单名称中有本系统的文字编码无法保存的字符，写入 boot.ini 会变成乱码。请修改后再添加。");
        return false;
    }
    const std::wstring image = ctx_.machine.ProgramDir() + L"\\boot\\BOOTSECT.cdr";
    if (!ctx_.machine.FileExists(image)) {
        Tell(L"找不到光盘启动所需的引导扇区镜像文件：\r\n" + image +
             L"\r\n\r\n请把引导扇区镜像文件 BOOTSECT.cdr 放到本程序所在文件夹的 boot 文件夹中，然后再添加。");
        return false;
    }
    if (!ctx_.machine.CopyOneFile(image, kBootSectCopy, true)) {
        Tell(std::wstring(L"无法把引导扇区镜像文件复制到 ") + kBootSectCopy +
             L"。\r\n请确认工作目录 c:\\BackTemp 存在并且可以写入。启动菜单没有改变。");
        return false;
    }
    // The batch file started at load may not have run yet: lift the
    // attributes here, so that the append cannot come before it.
    (void)ctx_.machine.SetProtected(kBootIni, false);  // a file still locked fails the append below
    if (ctx_.machine.AppendLineToExisting(kBootIni, CdStartEntry(description)) != WriteResult::Ok) {
        Tell(L"无法写入 c:\\boot.ini：文件是只读的，或者没有修改它的权限。启动菜单没有改变。");
        return false;
    }
    return true;
}

void frmGhost::Tell(const std::wstring& text) { ctx_.ui.MsgBox(text, kOkOnly); }

// ------------------------------------------------------------ Notepad, vFloppy, help

void frmGhost::cmdMend_Click() {
    (void)ctx_.machine.Run(QuoteProgram(SysDir + L"\\notepad.exe") + L" c:\\boot.ini", WindowStyle::NormalFocus);
}

void frmGhost::cmdMend_MouseMove() { Ctl().SetText(L"lblBootTip", -1, kMendWarning); }

void frmGhost::cmdFloppy_Click() {
    const std::wstring program = ctx_.machine.ProgramDir() + L"\\boot\\vFloppy.exe";
    if (!ctx_.machine.FileExists(program)) {
        Tell(L"找不到虚拟启动软盘程序：\r\n" + program + L"\r\n\r\n请把 vFloppy.exe 放到本程序所在文件夹的 boot 文件夹中。");
        return;
    }
    if (!ctx_.machine.Run(QuoteProgram(program), WindowStyle::NormalFocus))
        Tell(L"无法启动虚拟启动软盘程序：\r\n" + program);
}

void frmGhost::cmdFloppyHelp_Click() { ShowHelp(kHelpFloppy); }

void frmGhost::mnuShowHelp_Click() { ShowHelp(kHelpBoot); }

void frmGhost::ShowHelp(const wchar_t* page) {
    (void)ctx_.machine.Run(HelpCommand(WinDir, ctx_.machine.ProgramDir(), page),
                           WindowStyle::MaximizedFocus);  // silent
}

}  // namespace lz
