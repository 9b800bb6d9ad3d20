#include "softbackup/frmSoftBackup.h"

#include <iterator>

#include "core/help.h"
#include "softbackup/softbackup_tables.h"

namespace lz {

namespace {

const wchar_t* const kForm = L"frmSoftBackup";
const wchar_t* const kTab = L"SSTab1";
const Color kNoteGrey = Rgb(96, 96, 96);

const wchar_t* const kSoftSetSuccess[3] = {L"成功备份天网安全设置", L"本机网络设置", L"系统文件备份成功"};
const wchar_t* const kSoftSetFailure[3] = {L"天网安全设置备份失败", L"本机网络设置备份失败", L"系统文件备份失败"};
const wchar_t* const kSoftSetNotes[3] = {
    L"选择天网防火墙保存的安全设置文件（*.dat），原样复制一份。",
    L"用系统的netsh命令导出本机的网络配置（IP地址、网关、DNS等），保存为netsh.txt。",
    L"复制系统盘根目录下的启动文件（boot.ini、ntldr等），每个文件加上.bak后缀保存。",
};
const wchar_t* const kBadBatchPathText =
    L"备份文件保存路径中含有批处理文件不支持的字符，无法导出本机网络配置，请换一个保存路径再试";

// Login names are shown as the system's older dialogs showed them; letters
// beyond ASCII keep their case, as they do in the profile path.
std::wstring UpperAscii(std::wstring s) {
    for (wchar_t& c : s)
        if (c >= L'a' && c <= L'z') c = wchar_t(c - L'a' + L'A');
    return s;
}

ControlDef OnPage(ControlDef c, int page) {
    c.container = kTab;
    c.page = page;
    return c;
}

// Three pages in one tab control; every child names its page. Positions are
// twips from the tab control's top-left corner, below its row of tabs.
FormDef MakeDefinition() {
    FormDef d = NewForm(kForm, L"软件相关备份", 9000, 6330);
    d.menuBar = true;

    ControlDef tab{Kind::Tab, kTab, -1, L"", 120, 120, 8760, 5520};
    tab.items = {L"当前登录用户相关备份", L"聊天软件备份", L"软件、系统设置备份"};
    d.controls.push_back(tab);

    // Page 0: the logged-on user's folders.
    ControlDef who{Kind::Label, L"lblLoginName", -1, L"", 360, 600, 8040, 300};
    who.style = kBold;
    d.controls.push_back(OnPage(who, 0));
    for (int i = kPersonalFirst; i <= kPersonalLast; ++i) {
        const int top = 1080 + (i - 1) * 840;
        d.controls.push_back(
            OnPage({Kind::Button, L"cmdSystem", i, PersonalFolderAt(i).caption, 360, top, 2760, 495}, 0));
        d.controls.push_back(
            OnPage({Kind::Label, L"lblSystem", i, L"", 3360, top, 5160, 615, L"", kWordWrap}, 0));
    }

    // Page 1: one row per chat client: its account frame, its button, its result.
    // The account boxes sit on the page over their frames, so that the frame
    // array Frame4 needs no container of its own.
    for (int i = 0; i < kChatCount; ++i) {
        const ChatClient& c = ChatClientAt(i);
        const int top = 480 + i * 990;
        d.controls.push_back(OnPage({Kind::Frame, c.frame, c.frameIndex, c.frameCaption, 240, top, 2520, 780}, 1));
        ControlDef box{Kind::TextBox, c.accountBox, -1, L"", 360, top + 330, 2280, 315};
        box.back = kWhite;
        box.tip = c.tip;
        box.maxLength = c.maxLength;
        d.controls.push_back(OnPage(box, 1));
        d.controls.push_back(OnPage({Kind::Button, L"cmdChat", i, c.caption, 2940, top + 150, 2400, 495}, 1));
        d.controls.push_back(OnPage({Kind::Label, L"lblChat", i, L"", 5520, top + 30, 3120, 750, L"", kWordWrap}, 1));
    }

    // Page 2: firewall file, network settings, system files, each with a note
    // on what it copies.
    for (int i = 0; i < 3; ++i) {
        const int top = 720 + i * 1560;
        d.controls.push_back(OnPage({Kind::Button, L"cmdSoftSet", i, kSoftSetCaptions[i], 360, top, 2760, 495}, 2));
        ControlDef note{Kind::Label, L"lblSoftSetNote", i, kSoftSetNotes[i], 360, top + 600, 2760, 660, L"", kWordWrap};
        note.fore = kNoteGrey;
        d.controls.push_back(OnPage(note, 2));
        d.controls.push_back(
            OnPage({Kind::Label, L"lblsoftSet", i, L"", 3360, top + 60, 5160, 1080, L"", kWordWrap}, 2));
    }

    d.controls.push_back({Kind::Button, L"cmdExit", -1, L"返回主界面", 7320, 5775, 1560, 435});

    d.menus = {
        {L"mnuOption", -1, L"设置(&O)", 0},
        {L"mnuNoClew", -1, L"保存在相同目录", 1, true},
        {L"mnuClew", -1, L"每次都提示保存目录", 1},
        {L"mnuHelp", -1, L"帮助", 0},
        {L"mnuMain", -1, L"帮助主题", 1},
    };
    return d;
}

}  // namespace

frmSoftBackup::frmSoftBackup(AppContext& ctx) : ctx_(ctx), def_(MakeDefinition()) {}

const std::vector<Handler<frmSoftBackup>>& frmSoftBackup::Handlers() {
    using E = EventKind;
    using F = frmSoftBackup;
    static const std::vector<Handler<frmSoftBackup>> table = {
        {E::Load, L"", &F::Form_Load},
        {E::Resize, L"", &F::Form_Resize},
        {E::Unload, L"", &F::Form_Unload},
        {E::Click, L"cmdChat", &F::cmdChat_Click},
        {E::Click, L"cmdSoftSet", &F::cmdSoftSet_Click},
        {E::Click, L"cmdSystem", &F::cmdSystem_Click},
        {E::Click, L"cmdExit", &F::cmdExit_Click},
        {E::Change, L"txtQQ", &F::txtQQ_Change},
        {E::Change, L"txtUC", &F::txtUC_Change},
        {E::Change, L"txtMSN", &F::txtMSN_Change},
        {E::Change, L"txtWYPP", &F::txtWYPP_Change},
        {E::Menu, L"mnuClew", &F::mnuClew_Click},
        {E::Menu, L"mnuNoClew", &F::mnuNoClew_Click},
        {E::Menu, L"mnuMain", &F::mnuMain_Click},
    };
    return table;
}

// ---- The window ----

void frmSoftBackup::Form_Load() {
    Ctl().SetFormBack(kFormBack);
    WinDir = ctx_.machine.GetWinDir();
    SysDir = ctx_.machine.GetSysDir();
    LoginName = ctx_.machine.GetLoginName();
    Ctl().SetText(L"lblLoginName", -1, L"当前登录账户：" + UpperAscii(LoginName));
    FormWidth = static_cast<std::int16_t>(Ctl().FormWidth());
    FormHeight = static_cast<std::int16_t>(Ctl().FormHeight());
}

void frmSoftBackup::Form_Resize() {
    if (ctx_.ui.GetWindowState(kForm) != WindowState::Minimized) Ctl().SetFormSize(FormWidth, FormHeight);
}

void frmSoftBackup::Form_Unload() {
    ctx_.ui.HideForm(kForm);
    // When the main window is what is closing, it must not be brought back.
    if (ctx_.ui.IsLoaded(L"frmMain")) ctx_.ui.ShowForm(L"frmMain");
}

void frmSoftBackup::cmdExit_Click() {
    ctx_.ui.HideForm(kForm);
    ctx_.ui.ShowForm(L"frmMain");
    ctx_.ui.SetWindowState(L"frmMain", WindowState::Normal);
}

void frmSoftBackup::mnuClew_Click() {
    ctx_.SavePath.clear();
    Ctl().SetChecked(L"mnuNoClew", -1, false);
    Ctl().SetChecked(L"mnuClew", -1, true);
}

void frmSoftBackup::mnuNoClew_Click() {
    ctx_.ui.ShowForm(L"frmSoftSaveSetting");
    Ctl().SetChecked(L"mnuClew", -1, false);
    Ctl().SetChecked(L"mnuNoClew", -1, true);
}

void frmSoftBackup::mnuMain_Click() {
    (void)ctx_.machine.Run(HelpCommand(WinDir, ctx_.machine.ProgramDir(), kHelpSoftBackup),
                           WindowStyle::MaximizedFocus);  // silent
}

bool frmSoftBackup::HaveSavePath() {
    if (!ctx_.SavePath.empty()) return true;
    ctx_.ui.ShowForm(L"frmSoftSaveSetting");
    return false;
}

// ---- Chat records ----

void frmSoftBackup::ResetChatCaption(int index) {
    Ctl().SetText(L"cmdChat", index, ChatClientAt(index).caption);
}

void frmSoftBackup::txtQQ_Change() { ResetChatCaption(kChatQQ); }
void frmSoftBackup::txtUC_Change() { ResetChatCaption(kChatUC); }
void frmSoftBackup::txtMSN_Change() { ResetChatCaption(kChatMSN); }
void frmSoftBackup::txtWYPP_Change() { ResetChatCaption(kChatPOPO); }

void frmSoftBackup::cmdChat_Click(int index) {
    if (index < 0 || index >= kChatCount) return;
    const ChatClient& c = ChatClientAt(index);

    std::wstring install;
    if (index != kChatMSN) {
        // A key without a usable value finds nothing either: same answer.
        RegString reg = ctx_.machine.ReadRegString(c.regKey, c.regValue);
        if (reg.status != RegRead::Ok) {
            ctx_.ui.MsgBox(c.keyMissingText);
            return;
        }
        install = reg.value;
    }

    const std::wstring account = Ctl().GetText(c.accountBox, -1);
    if (account.empty()) {
        ctx_.ui.MsgBox(c.emptyAccountText);
        Ctl().SetFocus(c.accountBox, -1);
        return;
    }

    std::optional<std::wstring> source;
    if (IsAccountName(account)) source = ctx_.machine.GetFolder(ChatSource(index, install, account, WinDir));
    if (!source && index == kChatMSN && IsAccountName(account)) {
        // Not on the system drive's classic path: where this system keeps its programs.
        const std::wstring programs = ctx_.machine.GetKnownFolder(KnownFolder::ProgramFiles);
        if (!programs.empty()) source = ctx_.machine.GetFolder(programs + L"\\MSN\\MSNCoreFiles");
    }
    if (!source) {
        ctx_.ui.MsgBox(kChatNotFoundText);
        Ctl().SetText(c.accountBox, -1, L"");
        // Emptying the box is a change: the button forgets its last result (Yahoo keeps it).
        if (index != kChatYahoo) ResetChatCaption(index);
        Ctl().SetFocus(c.accountBox, -1);
        return;
    }

    if (!HaveSavePath()) return;
    ShortenDriveRoot(ctx_.SavePath);
    // A folder that cannot be made shows in the copy's report.
    (void)ctx_.machine.CreateFolder(ctx_.SavePath + c.subFolder);
    Ctl().SetText(L"cmdChat", index, kChatBusyCaption);
    const std::wstring dest = ChatDestination(index, ctx_.SavePath, account);
    const BackupCopy copy = CopyFolderShowingProgress(ctx_.machine, ctx_.ui, *source, dest);
    // A cancelled backup is neither done nor failed: the button is as it was.
    Ctl().SetText(L"cmdChat", index,
                  copy.report.cancelled ? c.caption : copy.report.ok() ? c.successCaption : c.failureCaption);
    Ctl().SetText(L"lblChat", index, CopyOutcomeText(copy, kChatDonePrefix, *source, dest));
}

// ---- Personal folders ----

// The classic profile path first; where profiles live elsewhere, the folder
// the system keeps for this user.
std::optional<std::wstring> frmSoftBackup::PersonalSource(int index) {
    const PersonalFolder& f = PersonalFolderAt(index);
    const std::wstring classic = ProfileRoot(WinDir, LoginName) + f.sourceSuffix;
    if (ctx_.machine.FolderExists(classic)) return classic;
    const std::wstring known = ctx_.machine.GetKnownFolder(f.known);
    if (!known.empty() && ctx_.machine.FolderExists(known)) return known;
    return std::nullopt;
}

void frmSoftBackup::cmdSystem_Click(int index) {
    if (index < kPersonalFirst || index > kPersonalLast) return;
    if (!HaveSavePath()) return;
    ShortenDriveRoot(ctx_.SavePath);
    const PersonalFolder& f = PersonalFolderAt(index);
    const auto source = PersonalSource(index);
    if (!source) {
        Ctl().SetText(L"cmdSystem", index, f.failureCaption);
        Ctl().SetText(L"lblSystem", index, SourceMissingText(ProfileRoot(WinDir, LoginName) + f.sourceSuffix));
        return;
    }
    (void)ctx_.machine.CreateFolder(ctx_.SavePath + f.made);
    const std::wstring dest = ctx_.SavePath + f.copyTo;
    const BackupCopy copy = CopyFolderShowingProgress(ctx_.machine, ctx_.ui, *source, dest);
    Ctl().SetText(L"cmdSystem", index,
                  copy.report.cancelled ? f.caption : copy.report.ok() ? f.successCaption : f.failureCaption);
    Ctl().SetText(L"lblSystem", index, CopyOutcomeText(copy, kSoftSetDonePrefix, *source, dest));
}

// ---- Settings and system files ----

void frmSoftBackup::cmdSoftSet_Click(int index) {
    if (index < 0 || index > 2) return;
    if (!HaveSavePath()) return;
    switch (index) {
    case 0: return BackupFirewall();
    case 1: return BackupNetwork();
    case 2: return BackupSystemFiles();
    }
}

void frmSoftBackup::SoftSetResult(int index, bool ok, const std::wstring& label) {
    Ctl().SetText(L"cmdSoftSet", index, ok ? kSoftSetSuccess[index] : kSoftSetFailure[index]);
    Ctl().SetText(L"lblsoftSet", index, label);
}

void frmSoftBackup::BackupFirewall() {
    const std::wstring file = ctx_.ui.OpenFileDialog(L"指定需要备份的文件", L"设置文件.dat|*.dat");
    if (file.empty()) return;
    const std::wstring folder = ctx_.SavePath + kFirewallFolder;
    (void)ctx_.machine.CreateFolder(folder);
    const std::wstring dest = folder + FileNameOf(file);
    if (!ctx_.machine.FileExists(file)) return SoftSetResult(0, false, SourceMissingText(file));
    if (!ctx_.machine.CopyOneFile(file, dest, true)) return SoftSetResult(0, false, NotWritableText(dest));
    SoftSetResult(0, true, kSoftSetDonePrefix + dest);
}

void frmSoftBackup::BackupNetwork() {
    const std::wstring folder = ctx_.SavePath + kNetworkFolder;
    const std::wstring output = NetshOutput(ctx_.SavePath);
    const auto line = NetshLine(ctx_.SavePath);
    // cmd.exe would read a character outside the code page as some other path.
    if (!line || !ctx_.machine.FitsAnsi(*line)) {
        ctx_.ui.MsgBox(kBadBatchPathText);
        return;
    }
    (void)ctx_.machine.CreateFolder(folder);
    if (!ctx_.machine.FolderExists(folder)) return SoftSetResult(1, false, NotWritableText(folder));
    (void)ctx_.machine.CreateFolder(kWorkDir);
    const WriteResult written = ctx_.machine.WriteTextFile(kNetshBat, {*line}, CodePage::Oem);
    if (written == WriteResult::NotRepresentable) {
        ctx_.ui.MsgBox(kBadBatchPathText);
        return;
    }
    if (written != WriteResult::Ok) return SoftSetResult(1, false, NotWritableText(kNetshBat));

    const int run = ++*netshRun_;
    std::weak_ptr<int> alive = netshRun_;
    const bool started = ctx_.machine.RunNotify(kNetshBat, WindowStyle::Hidden, [this, alive, run, output](
                                                                                     unsigned long exitCode) {
        auto current = alive.lock();
        if (!current || *current != run) return;
        if (exitCode != 0 || !ctx_.machine.FileExists(output))
            SoftSetResult(1, false, L"备份失败，netsh没能导出网络配置到：" + output);
    });
    if (!started) return SoftSetResult(1, false, L"备份失败，无法运行：" + std::wstring(kNetshBat));
    // Shown at once; netsh may still be writing. Its end corrects this if it failed.
    SoftSetResult(1, true, kSoftSetDonePrefix + output);
}

void frmSoftBackup::BackupSystemFiles() {
    const std::wstring root = SystemRoot(WinDir);
    const std::wstring folder = ctx_.SavePath + kSystemFolder;
    (void)ctx_.machine.CreateFolder(folder);
    int found = 0, copied = 0;
    bool cancelled = false;
    // Like every backup: off this thread, with the progress window when it takes a while.
    ctx_.ui.RunWithProgress(L"正在备份", [&](ProgressSink& sink) {
        int tried = 0;
        for (const SystemFile& f : kSystemFiles) {
            const std::wstring source = root + f.source;
            ProgressView view;
            view.line = L"正在复制：" + source;
            view.counts = L"已复制" + std::to_wstring(copied) + L"个系统文件";
            view.permille = tried++ * 1000 / int(std::size(kSystemFiles));
            sink.Show(view);
            if (sink.Cancelled()) {
                cancelled = true;
                return;
            }
            if (!ctx_.machine.FileExists(source)) continue;
            ++found;
            if (ctx_.machine.CopyOneFile(source, ctx_.SavePath + f.destination, true)) ++copied;
        }
    });
    if (cancelled) {
        Ctl().SetText(L"cmdSoftSet", 2, kSoftSetCaptions[2]);
        return Ctl().SetText(L"lblsoftSet", 2, CancelledText(copied, folder));
    }
    const std::wstring n = std::to_wstring(found), m = std::to_wstring(copied);
    if (found == 0) return SoftSetResult(2, false, L"备份失败，在" + root + L"下没有找到任何一个系统文件");
    if (copied < found)
        return SoftSetResult(2, false, L"备份不完整：找到" + n + L"个系统文件，只复制了" + m + L"个到：" + folder);
    SoftSetResult(2, true, kSoftSetDonePrefix + folder + L"（8个系统文件中找到" + n + L"个，已全部复制）");
}

}  // namespace lz
