#include "fonts/frmFonts.h"

#include "fonts/fontinfo.h"
#include "ui/backup_copy.h"

namespace lz {

namespace {

const wchar_t* const kForm = L"frmFonts";
const wchar_t* const kNoFontText = L"没有选择字体";
const wchar_t* const kChooseFontText = L"请选择一种字体";
const wchar_t* const kLatinText = L"标准拉丁字体";
const wchar_t* const kMetricsTitle = L"物理字体规格";
const wchar_t* const kProblemTitle = L"一点小问题";
const wchar_t* const kAddFailedText = L"添加字体失败，请检查添加的字体文件名和路径是否正确";
const wchar_t* const kNoSavePathText = L"备份未成功，请先选择字体文件保存路径";
const wchar_t* const kDialogTitle = L"选择字体";
const wchar_t* const kDialogFilter = L"字体资源文件 |*.Fon;*.FOT;*.TTF;*.FNT;*.FOR";
const wchar_t* const kBackupBusy = L"正在备份";
const wchar_t* const kBackupDone = L"备份成功";
const wchar_t* const kBackupFailed = L"备份失败";
const wchar_t* const kBackupCancelled = L"备份已取消";
const wchar_t* const kBackupFolder = L"\\字体文件夹\\";
const wchar_t* const kSurface = L"Picture1";

// A face the ANSI code page cannot spell would be made as some other font
// without a word; say so instead.
const wchar_t* const kFaceNotAnsiText = L"这种字体的名称含有系统代码页不能表示的字符，无法显示这种字体：";
const wchar_t* const kLanguageFailedText = L"无法读取这种字体的语言信息";

// Positions in twips; the children of the two frames relative to their frame.
FormDef MakeDefinition() {
    FormDef d = NewForm(kForm, L"字体信息", 9600, 6300);

    d.controls.push_back({Kind::Frame, L"Frame1", -1, L"字体信息", 120, 60, 9360, 4560});
    d.controls.push_back({Kind::ListBox, L"List1", -1, L"", 120, 300, 2640, 4080, L"Frame1"});
    const wchar_t* const labels[5] = {L"字体高度", L"字体宽度", L"字体旋转", L"字体粗细", L"样本文字"};
    const wchar_t* const boxes[5] = {L"Text1", L"Text2", L"Text3", L"Text4", L"Text5"};
    const wchar_t* const values[5] = {L"20", L"20", L"0", L"2000", L"岚栈Backup"};
    for (int i = 0; i < 5; ++i) {
        const int top = 300 + i * 420;
        d.controls.push_back({Kind::Label, L"Label1", i, labels[i], 2940, top + 45, 900, 255, L"Frame1"});
        d.controls.push_back({Kind::TextBox, boxes[i], -1, values[i], 3840, top, 1980, 315, L"Frame1"});
    }
    d.controls.push_back({Kind::Check, L"chkItalic", -1, L"斜体", 2940, 2460, 840, 300, L"Frame1"});
    d.controls.push_back({Kind::Check, L"chkUnderline", -1, L"下划线", 3840, 2460, 960, 300, L"Frame1"});
    d.controls.push_back({Kind::Check, L"chkStrikeout", -1, L"删除线", 4860, 2460, 960, 300, L"Frame1"});
    d.controls.push_back({Kind::Button, L"Command1", -1, L"显示字体", 2940, 3000, 2880, 420, L"Frame1"});
    d.controls.push_back({Kind::Button, L"Command2", -1, L"显示字体规格", 2940, 3480, 1380, 420, L"Frame1"});
    d.controls.push_back({Kind::Button, L"Command3", -1, L"显示字体信息", 4440, 3480, 1380, 420, L"Frame1"});
    // The sample surface: a control kind of its own, drawn through FontSurface.
    ControlDef picture{Kind::FontSample, kSurface, -1, L"", 5940, 300, 3300, 4080, L"Frame1", kBorder};
    picture.back = kWhite;
    d.controls.push_back(picture);

    d.controls.push_back({Kind::Frame, L"Frame2", -1, L"增加字体", 120, 4740, 9360, 900});
    d.controls.push_back({Kind::TextBox, L"txtAddFont", -1, L"", 120, 360, 5880, 315, L"Frame2"});
    d.controls.push_back({Kind::Button, L"cmdSelectAdd", -1, L"浏览", 6120, 330, 1440, 375, L"Frame2"});
    d.controls.push_back({Kind::Button, L"cmdAddFont", -1, L"新增字体", 7680, 330, 1560, 375, L"Frame2"});

    d.controls.push_back({Kind::Label, L"lblWindowsPath", -1, L"", 120, 5880, 5880, 255});
    d.controls.push_back({Kind::Button, L"cmdFontBack", -1, L"备份", 6240, 5760, 1440, 420});
    d.controls.push_back({Kind::Button, L"Command4", -1, L"退出", 7800, 5760, 1680, 420});
    return d;
}

// What went wrong in a font backup, and where the files were to go.
std::wstring BackupFailureText(const BackupCopy& copy, const std::wstring& source, const std::wstring& into,
                               const std::wstring& landing) {
    const CopyReport& report = copy.report;
    if (report.sourceMissing) return L"备份失败，找不到系统字体目录：" + source;
    if (report.destinationFailed) return L"备份失败，无法写入：" + into;
    const std::wstring locked = LockedFilesText(copy);
    if (report.failed.empty()) return L"备份不完整：" + locked;
    return L"备份不完整，有" + std::to_wstring(report.failed.size()) + L"个文件没能复制到：" + landing +
           (locked.empty() ? L"" : L"；" + locked);
}

}  // namespace

frmFonts::frmFonts(AppContext& ctx) : ctx_(ctx), def_(MakeDefinition()) {}

const std::vector<Handler<frmFonts>>& frmFonts::Handlers() {
    using E = EventKind;
    using F = frmFonts;
    static const std::vector<Handler<frmFonts>> table = {
        {E::Load, L"", &F::Form_Load},
        {E::Resize, L"", &F::Form_Resize},
        {E::Unload, L"", &F::Form_Unload},
        {E::Click, L"Command1", &F::Command1_Click},
        {E::Click, L"Command2", &F::Command2_Click},
        {E::Click, L"Command3", &F::Command3_Click},
        {E::Click, L"Command4", &F::Command4_Click},
        {E::Click, L"cmdSelectAdd", &F::cmdSelectAdd_Click},
        {E::Click, L"cmdAddFont", &F::cmdAddFont_Click},
        {E::Click, L"cmdFontBack", &F::cmdFontBack_Click},
    };
    return table;
}

FontSurface* frmFonts::Surface() { return dynamic_cast<FontSurface*>(Ctl().Port(kSurface, -1)); }

std::wstring frmFonts::SelectedFace() {
    const int at = Ctl().GetListIndex(L"List1", -1);
    return at < 0 ? L"" : Ctl().Item(L"List1", -1, at);
}

void frmFonts::FillFontList() {
    Ctl().ClearItems(L"List1", -1);
    // The machine shows the hourglass while it asks the system.
    for (const std::wstring& name : ctx_.machine.ScreenFontNames())
        if (!name.empty()) Ctl().AddItem(L"List1", -1, name);
}

void frmFonts::Form_Load() {
    Ctl().SetFormBack(kFormBack);
    FillFontList();
    WinDir = ctx_.machine.GetWinDir();
    Ctl().SetText(L"lblWindowsPath", -1, L"系统字体目录是：" + WinDir + L"\\Fonts\\");
    FormWidth = std::int16_t(Ctl().FormWidth());
    FormHeight = std::int16_t(Ctl().FormHeight());
}

void frmFonts::Form_Resize() {
    if (ctx_.ui.GetWindowState(kForm) != WindowState::Minimized) Ctl().SetFormSize(FormWidth, FormHeight);
}

void frmFonts::Form_Unload() {
    if (CurrentFont != 0) {
        if (FontSurface* s = Surface()) s->DeleteFont(CurrentFont);
        CurrentFont = 0;
    }
    // While the whole program closes, showing the main window would load it again.
    if (ctx_.ui.IsLoaded(L"frmMain")) ctx_.ui.ShowForm(L"frmMain");
}

void frmFonts::Command1_Click() {
    FontSurface* surface = Surface();
    if (!surface) return;
    surface->Clear();
    if (CurrentFont != 0) {
        surface->DeleteFont(CurrentFont);
        CurrentFont = 0;
    }
    FontChoice choice;
    choice.height = Ctl().GetText(L"Text1", -1);
    choice.width = Ctl().GetText(L"Text2", -1);
    choice.rotation = Ctl().GetText(L"Text3", -1);
    choice.weight = Ctl().GetText(L"Text4", -1);
    choice.italic = Ctl().GetChecked(L"chkItalic", -1);
    choice.underline = Ctl().GetChecked(L"chkUnderline", -1);
    choice.strikeOut = Ctl().GetChecked(L"chkStrikeout", -1);
    choice.face = SelectedFace();
    const std::optional<LogFont> lf =
        BuildLogFont(choice, [this](const std::wstring& s) { return ctx_.machine.AnsiBytes(s); });
    if (!lf) {
        ctx_.ui.MsgBox(kFaceNotAnsiText + choice.face, kOkOnly | kQuestion, kProblemTitle);
        return;
    }
    CurrentFont = surface->MakeFont(*lf);
    if (CurrentFont == 0) return;
    const int y = int(RoundHalfEven(surface->ClientHeight() / 4.0));
    surface->DrawSample(CurrentFont, 1, y, Ctl().GetText(L"Text5", -1));
}

void frmFonts::Command2_Click() {
    FontSurface* surface = CurrentFont != 0 ? Surface() : nullptr;
    const std::optional<TextMetrics> tm = surface ? surface->Metrics(CurrentFont) : std::nullopt;
    if (!tm) {
        ctx_.ui.MsgBox(kNoFontText, kOkOnly, kAppTitle);
        return;
    }
    ctx_.ui.MsgBox(MetricsText(SelectedFace(), *tm), kOkOnly, kMetricsTitle);
}

void frmFonts::Command3_Click() { ShowFontLanguageInfo(); }

void frmFonts::ShowFontLanguageInfo() {
    FontSurface* surface = CurrentFont != 0 ? Surface() : nullptr;
    if (!surface) {
        ctx_.ui.MsgBox(kChooseFontText, kOkOnly, L"");
        return;
    }
    const std::uint32_t flags = surface->LanguageInfo(CurrentFont);
    if (flags & kGcpError) {
        ctx_.ui.MsgBox(kLanguageFailedText, kOkOnly, L"");
        return;
    }
    if (flags == 0) {
        ctx_.ui.MsgBox(kLatinText, kOkOnly, L"");
        return;
    }
    ctx_.ui.MsgBox(LanguageText(flags), kOkOnly, LanguageTitle(SelectedFace()));
}

void frmFonts::Command4_Click() { BackToMain(); }

void frmFonts::BackToMain() {
    ctx_.ui.HideForm(kForm);
    if (!ctx_.ui.IsLoaded(L"frmMain")) return;
    ctx_.ui.ShowForm(L"frmMain");
    ctx_.ui.SetWindowState(L"frmMain", WindowState::Normal);
}

void frmFonts::cmdSelectAdd_Click() {
    const std::wstring chosen = ctx_.ui.OpenFileDialog(kDialogTitle, kDialogFilter);
    // A cancelled dialog keeps the name it last gave.
    if (!chosen.empty()) cdlFontFileName = chosen;
    Ctl().SetText(L"txtAddFont", -1, cdlFontFileName);
}

void frmFonts::cmdAddFont_Click() {
    if (ctx_.machine.AddFontFile(Ctl().GetText(L"txtAddFont", -1)) == 0) {
        ctx_.ui.MsgBox(kAddFailedText, kOkOnly | kQuestion, kProblemTitle);
        return;
    }
    ctx_.machine.BroadcastFontChange();
    FillFontList();
}

void frmFonts::cmdFontBack_Click() {
    if (ctx_.SavePath.empty()) {
        ctx_.ui.MsgBox(kNoSavePathText, kOkOnly | kQuestion, kProblemTitle);
        ctx_.ui.ShowForm(L"frmSoftSaveSetting");
        return;
    }
    const std::wstring into = ctx_.SavePath + kBackupFolder;
    const std::wstring source = WinDir + L"\\Fonts";
    (void)ctx_.machine.CreateFolder(into);  // the copy reports a folder it cannot make
    Ctl().SetText(L"cmdFontBack", -1, kBackupBusy);
    const BackupCopy copy = CopyFolderShowingProgress(ctx_.machine, ctx_.ui, source, into);
    if (copy.report.ok()) {
        Ctl().SetText(L"cmdFontBack", -1, kBackupDone);
        return;
    }
    if (copy.report.cancelled) {
        // The user knows: no message, and never a "done".
        Ctl().SetText(L"cmdFontBack", -1, kBackupCancelled);
        return;
    }
    Ctl().SetText(L"cmdFontBack", -1, kBackupFailed);
    ctx_.ui.MsgBox(BackupFailureText(copy, source, into, CopyLanding(source, into)), kOkOnly | kQuestion,
                   kProblemTitle);
}

}  // namespace lz
