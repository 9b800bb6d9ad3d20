#include "tasks/frmAutoSelectTime.h"

#include "core/help.h"
#include "env/quote.h"
#include "savepath/savepath.h"

namespace lz {

using namespace tasks;

namespace {

const wchar_t* const kForm = L"frmAutoSelectTime";
const wchar_t* const kNoChoiceTip = L"提示：尚未选择要运行的方式";
const wchar_t* const kFriendlyTitle = L"“岚栈”友情提示";
const Color kFrameBlue = Rgb(0, 0, 255);

const wchar_t* const kSystemCaptions[5] = {L"自动关机", L"重新启动", L"注销用户", L"运行IE", L"MediaPlayer"};
const wchar_t* const kSystemCommands[5] = {
    L"Shutdown -s", L"Shutdown -r", L"Shutdown -l", L"C:\\Progra~1\\Intern~1\\iexplore.exe",
    L"C:\\Progra~1\\Windows Media Player\\wmplayer.exe"};
const wchar_t* const kDocumentCaptions[5] = {L"我的收藏夹", L"我的文档", L"Cookies", L"QQ聊天记录", L"UC聊天记录"};
const wchar_t* const kWeekCaptions[7] = {L"星期一", L"星期二", L"星期三", L"星期四", L"星期五", L"星期六", L"星期日"};
const wchar_t* const kMonthCaptions[12] = {L"一月", L"二月", L"三月", L"四月",   L"五月",   L"六月",
                                           L"七月", L"八月", L"九月", L"十月", L"十一月", L"十二月"};

// Task.bat holds the run password: each add rewrites it, and only the run
// of the latest one may delete it, also after the window that wrote it has
// been closed and loaded again.
struct TaskBatRuns {
    unsigned written = 0;
    int pending = 0;
};
TaskBatRuns& TaskBat() {
    static TaskBatRuns runs;
    return runs;
}

FormDef MakeDefinition() {
    FormDef d = NewForm(kForm, L"自动任务设置", 9600, 7350);
    d.menuBar = true;
    auto frame = [](const wchar_t* name, const wchar_t* caption, int l, int t, int w, int h,
                    const wchar_t* in = L"", unsigned style = 0) {
        ControlDef c{Kind::Frame, name, -1, caption, l, t, w, h, in, style};
        c.fore = kFrameBlue;
        return c;
    };
    auto& c = d.controls;

    // Step ①: what the task does.
    c.push_back(frame(L"frmRunMode", L"第①步 请选择任务方式(方法是单击)", 120, 60, 9360, 660));
    const wchar_t* const kinds[4] = {L"备份单个文件", L"备份文件夹或子文件夹", L"在设定时间运行指定文件", L"运行系统相关程序"};
    const int kindLeft[4] = {240, 2280, 4800, 7320};
    const int kindWidth[4] = {1920, 2400, 2400, 1920};
    for (int i = 0; i < 4; ++i)
        c.push_back({Kind::Option, L"optRunMode", i, kinds[i], kindLeft[i], 300, kindWidth[i], 270, L"frmRunMode"});

    c.push_back(frame(L"fraSelectFolder", L"第①步的第㈡部分/需要备份的文件夹", 120, 780, 5160, 2880, L"", kDisabled));
    ControlDef tree{Kind::FolderTree, L"treeFolder", -1, L"我的电脑", 120, 300, 4920, 2460, L"fraSelectFolder"};
    tree.back = kWhite;
    c.push_back(tree);

    // The personal folders and the system actions take turns in one place.
    c.push_back(frame(L"fraDocument", L"第①步的第㈢部分 个性化资料备份", 5400, 780, 4080, 2880, L"", kHidden));
    for (int i = 0; i < 5; ++i)
        c.push_back({Kind::Option, L"optDocuments", i, kDocumentCaptions[i], 360, 420 + i * 480, 3360, 270,
                     L"fraDocument"});
    c.push_back(frame(L"fraSystemTask", L"第①步的第㈣部分  请选择系统程序", 5400, 780, 4080, 2880, L"", kDisabled));
    for (int i = 0; i < 5; ++i)
        c.push_back({Kind::Option, L"optSystemTask", i, kSystemCaptions[i], 360, 420 + i * 480, 3360, 270,
                     L"fraSystemTask", kDisabled});

    // Step ②: when it runs.
    c.push_back(frame(L"fraSelectTime", L"第②步 请选择运行时间", 120, 3780, 9360, 1800, L"", kDisabled));
    c.push_back({Kind::Label, L"lblSelect", -1, L"运行周期：", 240, 420, 1020, 255, L"fraSelectTime"});
    std::vector<std::wstring> kindItems(kScheduleKinds.begin(), kScheduleKinds.end());
    ControlDef select{Kind::ComboList, L"cboSelect", -1, L"", 1260, 360, 1560, 300, L"fraSelectTime", kDisabled};
    select.items = kindItems;
    c.push_back(select);
    c.push_back({Kind::Label, L"lblTime", -1, L"运行时间：", 240, 1020, 1020, 255, L"fraSelectTime"});
    c.push_back({Kind::TimePicker, L"dtpTime", -1, L"", 1260, 960, 1560, 330, L"fraSelectTime", kDisabled});

    const int subLeft = 3000, subTop = 180, subWidth = 6180, subHeight = 1500;
    c.push_back(frame(L"fraWeek", L"每周计划任务", subLeft, subTop, subWidth, subHeight, L"fraSelectTime", kHidden));
    for (int i = 0; i < 7; ++i)
        c.push_back({Kind::Check, L"chkWeek", i, kWeekCaptions[i], 240 + (i % 4) * 1440, i < 4 ? 420 : 900, 1200, 270,
                     L"fraWeek"});
    c.push_back(frame(L"fraMonth", L"每月计划任务", subLeft, subTop, subWidth, subHeight, L"fraSelectTime", kHidden));
    c.push_back({Kind::Label, L"lblMonthDay", -1, L"这个月的：", 240, 360, 1020, 255, L"fraMonth"});
    c.push_back({Kind::TextBox, L"txtMonthDay", -1, L"1", 1260, 300, 600, 315, L"fraMonth"});
    ControlDef monthUpDown{Kind::UpDown, L"updMonthDay", -1, L"", 1860, 300, 255, 315, L"fraMonth"};
    monthUpDown.buddy = L"txtMonthDay";
    monthUpDown.minValue = 1;
    monthUpDown.maxValue = 31;
    c.push_back(monthUpDown);
    c.push_back({Kind::Label, L"lblDay", -1, L"号", 2220, 360, 300, 255, L"fraMonth"});
    for (int i = 0; i < 12; ++i)
        c.push_back({Kind::Check, L"chkMonth", i, kMonthCaptions[i], 240 + (i % 6) * 960, i < 6 ? 750 : 1110, 930, 270,
                     L"fraMonth"});
    c.push_back(frame(L"fraOnlyOne", L"一次性任务", subLeft, subTop, subWidth, subHeight, L"fraSelectTime", kHidden));
    c.push_back({Kind::Label, L"lblRunTime", -1, L"运行日期：", 240, 480, 1020, 255, L"fraOnlyOne"});
    c.push_back({Kind::DatePicker, L"dtpToday", -1, L"", 1260, 420, 1800, 330, L"fraOnlyOne"});
    c.push_back(frame(L"fraFree", L"空闲时计划任务", subLeft, subTop, subWidth, subHeight, L"fraSelectTime", kHidden));
    c.push_back({Kind::Label, L"lblFree", -1, L"当计算机空闲时超过：", 240, 480, 1920, 255, L"fraFree"});
    c.push_back({Kind::TextBox, L"txtFreeTime", -1, L"10", 2160, 420, 720, 315, L"fraFree"});
    ControlDef freeUpDown{Kind::UpDown, L"updFreeTime", -1, L"", 2880, 420, 255, 315, L"fraFree"};
    freeUpDown.buddy = L"txtFreeTime";
    freeUpDown.minValue = 0;
    freeUpDown.maxValue = 1000;
    c.push_back(freeUpDown);
    c.push_back({Kind::Label, L"lblMinute", -1, L"分", 3240, 480, 300, 255, L"fraFree"});

    // Step ③: add or delete.
    c.push_back(frame(L"fraAddorDel", L"第③步  新增或删除任务", 120, 5700, 9360, 840));
    ControlDef list{Kind::ComboEdit, L"cboTaskList", -1, L"", 240, 330, 5640, 300, L"fraAddorDel"};
    list.back = kWhite;
    c.push_back(list);
    c.push_back({Kind::Button, L"cmdAdd", -1, L"新增", 6060, 300, 1020, 375, L"fraAddorDel"});
    c.push_back({Kind::Button, L"cmdDel", -1, L"删除", 7170, 300, 1020, 375, L"fraAddorDel"});
    c.push_back({Kind::Button, L"cmdRefurbish", -1, L"刷新", 8280, 300, 1020, 375, L"fraAddorDel"});

    c.push_back({Kind::Label, L"lblTipText", -1, kNoChoiceTip, 120, 6690, 7980, 255});
    c.push_back({Kind::Button, L"cmdExit", -1, L"退出", 8280, 6630, 1200, 375});
    c.push_back({Kind::StatusBar, L"staBarTime", -1, L"", 0, 7050, 9600, 300});

    ControlDef now{Kind::Timer, L"timNOW", -1, L"", 0, 0, 0, 0};
    now.interval = 1000;
    c.push_back(now);
    c.push_back({Kind::Timer, L"timAlltask", -1, L"", 0, 0, 0, 0, L"", kDisabled});

    d.menus = {
        {L"mnuSetting", -1, L"选项(&O)", 0},
        {L"mnuRunPasswordSetting", -1, L"设置运行计划任务的口令(&P)", 1},
        {L"mnuClear", -1, L"清除全部任务(&C)", 1},
        {L"mnuHelp", -1, L"帮助(&H)", 0},
        {L"mnuHelpUse", -1, L"使用帮助", 1},
    };
    return d;
}

}  // namespace

frmAutoSelectTime::frmAutoSelectTime(AppContext& ctx)
    : ctx_(ctx), def_(MakeDefinition()), alive_(std::make_shared<bool>(true)) {}

frmAutoSelectTime::~frmAutoSelectTime() { *alive_ = false; }

const std::vector<Handler<frmAutoSelectTime>>& frmAutoSelectTime::Handlers() {
    using E = EventKind;
    using F = frmAutoSelectTime;
    static const std::vector<Handler<frmAutoSelectTime>> table = {
        {E::Load, L"", &F::Form_Load},
        {E::Resize, L"", &F::Form_Resize},
        {E::Unload, L"", &F::Form_Unload},
        {E::Select, L"treeFolder", &F::treeFolder_Select},
        {E::Change, L"txtFreeTime", &F::txtFreeTime_Change},
        {E::Change, L"txtMonthDay", &F::txtMonthDay_Change},
        {E::Timer, L"timNOW", &F::timNOW_Timer},
        {E::Timer, L"timAlltask", &F::timAlltask_Timer},
        {E::Menu, L"mnuRunPasswordSetting", &F::mnuRunPasswordSetting_Click},
        {E::Menu, L"mnuClear", &F::mnuClear_Click},
        {E::Menu, L"mnuHelpUse", &F::mnuHelpUse_Click},
        {E::Click, L"optRunMode", &F::optRunMode_Click},
        {E::Click, L"optDocuments", &F::optDocuments_Click},
        {E::Click, L"optSystemTask", &F::optSystemTask_Click},
        {E::Click, L"cboSelect", &F::cboSelect_Click},
        {E::Click, L"cmdAdd", &F::cmdAdd_Click},
        {E::Click, L"cmdDel", &F::cmdDel_Click},
        {E::Click, L"cmdRefurbish", &F::cmdRefurbish_Click},
        {E::Click, L"cmdExit", &F::cmdExit_Click},
    };
    return table;
}

// ------------------------------------------------------------ loading, closing

void frmAutoSelectTime::Form_Load() {
    InitTaskWindow();
    FormWidth = static_cast<std::int16_t>(Ctl().FormWidth());
    FormHeight = static_cast<std::int16_t>(Ctl().FormHeight());
    cmdRefurbish_Click();
}

void frmAutoSelectTime::InitTaskWindow() {
    Ctl().SetFormBack(kFormBack);
    for (const ControlDef& c : def_.controls) {
        if (c.kind == Kind::Frame) Ctl().SetForeColor(c.name, c.index, kFrameBlue);
        else if (c.kind == Kind::Check) Ctl().SetChecked(c.name, c.index, true);
    }
    const std::tm now = ctx_.machine.Now();
    Ctl().SetPanelText(L"staBarTime", -1, L"现在的时间是:" + ctx_.machine.GeneralDate(now));
    Ctl().SetDateTime(L"dtpTime", -1, now);
    Ctl().SetDateTime(L"dtpToday", -1, now);

    Ctl().SetVisible(L"fraDocument", -1, false);
    for (const wchar_t* n : {L"fraSelectTime", L"fraSelectFolder", L"fraSystemTask", L"cboSelect", L"dtpTime"})
        Ctl().SetEnabled(n, -1, false);
    Ctl().SetEnabled(L"fraAddorDel", -1, true);
    for (int i = 0; i < 5; ++i) Ctl().SetEnabled(L"optSystemTask", i, false);

    Ctl().ClearItems(L"cboSelect", -1);
    for (const wchar_t* k : kScheduleKinds) Ctl().AddItem(L"cboSelect", -1, k);
    Ctl().SetListIndex(L"cboSelect", -1, 0);

    WinDir = ctx_.machine.GetWinDir();
    LoginName = ctx_.machine.GetLoginName();
    RegString os = ctx_.machine.ReadRegString(L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", L"ProductName");
    if (os.status == RegRead::KeyMissing) OSName = L"你的系统不是NT内核，此功能可能无法正常运行";
    else OSName = os.value;
    ReadSavePath(ctx_);
    scheduler_ = SchedulerFor(OSName, ctx_.machine.GetOsVersion());
    dateOrder_ = DateOrderFrom(ctx_.machine.GeneralDate(ProbeDate()));

    Ctl().SetCaption(L"自动任务设置     你的操作系统是：" + OSName);
    PrepareWorkDir();
}

void frmAutoSelectTime::PrepareWorkDir() {
    // Hiding the work folder is a nicety: nothing depends on it.
    (void)ctx_.machine.CreateFolder(L"c:\\BackTemp\\");
    if (ctx_.machine.WriteTextFile(kSettingBat, {kSettingLine}, CodePage::Oem) == WriteResult::Ok)
        (void)ctx_.machine.Run(kSettingBat, WindowStyle::Hidden);
    // A Task.bat that no run is waiting for was left by a program that ended
    // early; it may hold a password.
    if (TaskBat().pending == 0) (void)ctx_.machine.DeleteOneFile(kTaskBat);
}

void frmAutoSelectTime::Form_Resize() {
    if (ctx_.ui.GetWindowState(kForm) != WindowState::Minimized) Ctl().SetFormSize(FormWidth, FormHeight);
}

// When the main window is the one closing, it unloads this window and must not come back.
void frmAutoSelectTime::Form_Unload() {
    if (ctx_.ui.IsLoaded(L"frmMain")) ctx_.ui.ShowForm(L"frmMain");
}

void frmAutoSelectTime::cmdExit_Click() { ctx_.ui.UnloadForm(kForm); }

void frmAutoSelectTime::mnuHelpUse_Click() {
    (void)ctx_.machine.Run(HelpCommand(WinDir, ctx_.machine.ProgramDir(), kHelpTasks),
                           WindowStyle::MaximizedFocus);  // silent
}

// ------------------------------------------------------------ step ①

void frmAutoSelectTime::SetTip(const std::wstring& text) { Ctl().SetText(L"lblTipText", -1, text); }

bool frmAutoSelectTime::ChooseFile(int index, const wchar_t* question, const wchar_t* title) {
    for (;;) {
        std::wstring file = ctx_.ui.OpenFileDialog(L"请选择文件", L"全部文件(*.*)|*.*");
        if (!file.empty()) {
            SelectedFile = file;
            // Shown unselected again, so that a further click chooses another file.
            Ctl().SetChecked(L"optRunMode", index, false);
            Ctl().SetEnabled(L"fraSelectFolder", -1, false);
            Ctl().SetEnabled(L"fraSystemTask", -1, false);
            for (int i = 0; i < 5; ++i) Ctl().SetEnabled(L"optSystemTask", i, false);
            return true;
        }
        if (ctx_.ui.MsgBox(question, kYesNo | kQuestion, title) != kAnsYes) {
            Ctl().SetChecked(L"optRunMode", index, false);
            SetTip(kNoChoiceTip);
            return false;
        }
    }
}

void frmAutoSelectTime::optRunMode_Click(int index) {
    RunMode = 0;
    switch (index) {
    case 0:
        if (ctx_.SavePath.empty()) {
            ctx_.ui.ShowForm(L"frmSoftSaveSetting");
            Ctl().SetChecked(L"optRunMode", 0, false);
            return;
        }
        (void)ctx_.machine.CreateFolder(ctx_.SavePath + L"\\单个文件备份\\");  // the task's copy reports it
        TargetFolder = ctx_.SavePath + L"\\单个文件备份";
        if (!ChooseFile(0, L"床前明月光，好像没选它。弹出是否框，请问重来吗？", L"“岚栈”有情提示")) return;
        RunMode = 1;
        break;
    case 1:
        if (ctx_.SavePath.empty()) {
            ctx_.ui.ShowForm(L"frmSoftSaveSetting");
            Ctl().SetChecked(L"optRunMode", 1, false);
            return;
        }
        Ctl().SetEnabled(L"fraSelectFolder", -1, true);
        Ctl().SetEnabled(L"fraSystemTask", -1, false);
        RunMode = 2;
        Ctl().SetVisible(L"fraDocument", -1, true);
        Ctl().SetVisible(L"fraSystemTask", -1, false);
        break;
    case 2:
        if (!ChooseFile(2, L"不好意思！你忘了选择文件了？是否再来一次？", kFriendlyTitle)) return;
        RunMode = 3;
        break;
    case 3:
        Ctl().SetVisible(L"fraSystemTask", -1, true);
        Ctl().SetEnabled(L"fraSelectFolder", -1, false);
        RunMode = 4;
        Ctl().SetVisible(L"fraDocument", -1, false);
        Ctl().SetEnabled(L"fraSystemTask", -1, true);
        for (int i = 0; i < 5; ++i) Ctl().SetEnabled(L"optSystemTask", i, true);
        // Until another action is clicked, the first one is the task, and shows so.
        Ctl().SetChecked(L"optSystemTask", 0, true);
        optSystemTask_Click(0);
        break;
    default: return;
    }

    Ctl().SetEnabled(L"fraSelectTime", -1, true);
    Ctl().SetEnabled(L"fraAddorDel", -1, true);
    Ctl().SetEnabled(L"cboSelect", -1, true);
    Ctl().SetVisible(L"dtpTime", -1, true);
    // The kind shown ("每天" from the start) counts as chosen once step ② opens.
    cboSelect_Click();
    switch (RunMode) {
    case 1: SetTip(L"你选择备份文件是：" + SelectedFile); break;
    case 2: SetTip(L"你选择备份文件夹是：" + SourceFolder); break;
    case 3: SetTip(L"你选择要运行的文件是：" + SelectedFile); break;
    default: break;
    }
}

void frmAutoSelectTime::treeFolder_Select() {
    const std::wstring path = Ctl().GetText(L"treeFolder", -1);
    if (!IsShellFolderName(path) && path.size() != 3 && !path.empty()) {
        SourceFolder = path;
        ChosenFolderTip();
    }
    for (int i = 0; i < 5; ++i) Ctl().SetChecked(L"optSystemTask", i, false);
}

void frmAutoSelectTime::ChosenFolderTip() { SetTip(L"你选择备份的文件夹名称是：" + SourceFolder); }

void frmAutoSelectTime::optDocuments_Click(int index) {
    if (index < 0 || index > 4) return;
    if (index <= 2 ? PersonalFolder(index) : AccountFolder(index)) ChosenFolderTip();
}

bool frmAutoSelectTime::PersonalFolder(int index) {
    static const wchar_t* const made[3] = {L"\\IE收藏夹\\", L"\\我的文档\\", L"\\Cookies\\"};
    static const wchar_t* const endings[3] = {L"\\Favorites", L"\\My Documents", L"\\Cookies"};
    static const KnownFolder known[3] = {KnownFolder::Favorites, KnownFolder::Personal, KnownFolder::Cookies};
    (void)ctx_.machine.CreateFolder(ctx_.SavePath + made[index]);  // the task's copy reports it
    const std::wstring classic = WinDir.substr(0, 3) + L"Docume~1\\" + LoginName + endings[index];
    // Profiles live elsewhere since Vista (and under Wine): ask the system
    // when the classic place is not there.
    std::wstring reported;
    if (!ctx_.machine.FolderExists(classic)) reported = ctx_.machine.GetKnownFolder(known[index]);
    SourceFolder = reported.empty() ? classic : reported;
    return true;
}

bool frmAutoSelectTime::AccountFolder(int index) {
    const bool qq = index == 3;
    RegString install = qq ? ctx_.machine.ReadRegString(L"SOFTWARE\\TENCENT\\QQ", L"Install")
                           : ctx_.machine.ReadRegString(L"SOFTWARE\\Sina\\UC\\Version\\uc", L"Path");
    if (install.status == RegRead::KeyMissing) {
        ctx_.ui.MsgBox(qq ? L"咋搞的？怎么你的QQ没在注册表中安家？我是挖表三尺咋连个影子也没见着！"
                          : L"不会吧？居然找不到新浪的UC2005版！增加了许多新功能！快去下载试试吧！",
                       kOkOnly, kAppTitle);
        return false;
    }
    if (install.status != RegRead::Ok) return true;
    const std::wstring number = qq ? ctx_.ui.InputBox(L"请输入需要自动备份的QQ靓号", L"不输备份不了啦")
                                   : ctx_.ui.InputBox(L"请输入要自动备份的UC靓号", L"没有输入就不备份");
    if (number.empty()) {
        ctx_.ui.MsgBox(qq ? L"久闻阁下QQ大名，今日一见果然不同凡响，久仰久仰。不过你好像还没有输入QQ号啊！"
                          : L"机主,你也太调皮了！不输入UC号叫我怎么备份啊！",
                       kOkOnly);
        Ctl().SetChecked(L"optDocuments", index, false);
        return false;
    }
    auto folder = ctx_.machine.GetFolder(install.value + (qq ? L"" : L"users\\") + number);
    if (!folder) {
        ctx_.ui.MsgBox(L"没找到你要备份的号码或文件夹,请核对后重新输入", kOkOnly | kQuestion, L"发生问题了");
        Ctl().SetChecked(L"optDocuments", index, false);
        return false;
    }
    SourceFolder = *folder;
    return true;
}

void frmAutoSelectTime::optSystemTask_Click(int index) {
    if (index < 0 || index > 4) return;
    SetTip(std::wstring(L"你要定时运行系统程序的名是：") + kSystemCaptions[index]);
    SystemCommand = kSystemCommands[index];
}

// ------------------------------------------------------------ step ②

void frmAutoSelectTime::cboSelect_Click() {
    const int kind = ScheduleIndex(Ctl().GetText(L"cboSelect", -1));
    if (kind < 0) return;
    Ctl().SetVisible(L"fraWeek", -1, kind == 1);
    Ctl().SetVisible(L"fraMonth", -1, kind == 2);
    Ctl().SetVisible(L"fraOnlyOne", -1, kind == 3);
    Ctl().SetVisible(L"fraFree", -1, kind == 6);
    Ctl().SetEnabled(L"dtpTime", -1, kind <= 3);
}

void frmAutoSelectTime::txtFreeTime_Change() {
    const std::wstring t = Ctl().GetText(L"txtFreeTime", -1);
    if (t.empty() || t[0] < L'0' || t[0] > L'9') Ctl().SetText(L"txtFreeTime", -1, L"10");
}

void frmAutoSelectTime::txtMonthDay_Change() {
    const std::wstring t = Ctl().GetText(L"txtMonthDay", -1);
    if (t.empty() || t[0] < L'0' || t[0] > L'9') Ctl().SetText(L"txtMonthDay", -1, L"1");
}

void frmAutoSelectTime::mnuRunPasswordSetting_Click() {
    MenuPassword = ctx_.ui.InputBox(L"请输入当前登陆的用户登陆密码\r\n请正确输入,否则不会运行", L"运行密码设置");
    if (CheckCommandText(MenuPassword) != TextCheck::Ok) {
        MenuPassword.clear();
        Refuse(L"口令中不能含有双引号(\")或控制字符，计划任务程序无法接收这样的口令。请在系统中换一个口令后再设置。");
    }
}

// ------------------------------------------------------------ step ③: add

void frmAutoSelectTime::Refuse(const std::wstring& message) { ctx_.ui.MsgBox(message, kOkOnly, kFriendlyTitle); }

void frmAutoSelectTime::RefuseText(const std::wstring& text) {
    Refuse(L"下面的路径或文字中含有不能写进命令行的字符（双引号或控制字符），任务没有添加：\r\n" + text);
}

// A batch file that was not written would leave a task that runs nothing.
bool frmAutoSelectTime::Written(WriteResult result, const std::wstring& path, const std::wstring& text) {
    if (result == WriteResult::Ok) return true;
    // The scheduler command holds the password: it is never shown.
    if (result == WriteResult::NotRepresentable && text.empty())
        Refuse(L"任务名称、计算机名、用户名或口令中含有系统代码页无法表示的字符，写进批处理文件后会变成别的字符，"
               L"任务没有添加。");
    else if (result == WriteResult::NotRepresentable)
        Refuse(L"下面的内容中含有系统代码页无法表示的字符，写进批处理文件后会变成别的字符，任务没有添加：\r\n" + text);
    else
        Refuse(L"无法写入文件 " + path + L"，任务没有添加。请检查 c:\\BackTemp 是否可以写入。");
    return false;
}

std::array<bool, 7> frmAutoSelectTime::WeekTicks() {
    std::array<bool, 7> ticks{};
    for (int i = 0; i < 7; ++i) ticks[i] = Ctl().GetChecked(L"chkWeek", i);
    return ticks;
}

// Refuses, before anything is asked or written, a task the system cannot schedule.
bool frmAutoSelectTime::CheckSchedule() {
    SchedulerInput probe;
    probe.scheduler = scheduler_;
    probe.scheduleText = Ctl().GetText(L"cboSelect", -1);
    probe.weekDays = WeekTicks();
    probe.monthDay = Ctl().GetText(L"txtMonthDay", -1);
    probe.freeTime = Ctl().GetText(L"txtFreeTime", -1);
    probe.computer = ctx_.machine.GetComputerName100();
    probe.user = ctx_.machine.GetUserName100();
    // Not known yet; the add itself checks them.
    probe.taskName = probe.taskTarget = probe.password = L"x";
    return ExplainCommand(BuildSchedulerCommand(probe));
}

bool frmAutoSelectTime::ExplainCommand(const tasks::SchedulerCommand& command) {
    switch (command.error) {
    case CommandError::None: return true;
    case CommandError::NoScheduler:
        Refuse(L"本功能只能在 Windows 2000、Windows XP 及更新的系统上使用。你的操作系统是：" + OSName +
               L"\r\n任务没有添加。");
        return false;
    case CommandError::NotOnWin2000:
        Refuse(L"Windows 2000 的计划任务只能按“每天”、“每周”、“每月”或“一次性”运行，"
               L"不支持“在系统启动时”、“在登陆时”和“空闲时”。请在第②步中另选运行时间。");
        return false;
    case CommandError::UnknownKind:
        Refuse(L"请在第②步中选择运行时间。");
        return false;
    case CommandError::NoWeekDay:
        Refuse(L"每周计划任务至少要选择一天，请在第②步中勾选星期几。");
        return false;
    case CommandError::NoComputer:
        Refuse(L"无法取得本机的计算机名，计划任务程序要用它来添加任务，任务没有添加。");
        return false;
    case CommandError::NoUser:
        Refuse(L"无法取得当前登陆的用户名，计划任务程序要用它来运行任务，任务没有添加。");
        return false;
    case CommandError::NoPassword:
        Refuse(L"没有登陆密码，计划任务程序要用它来运行任务，任务没有添加。");
        return false;
    case CommandError::NoMonthDay:
        Refuse(L"请在第②步中填写每月的哪一天运行。");
        return false;
    case CommandError::NoIdleTime:
        Refuse(L"请在第②步中填写计算机空闲多少分钟后运行。");
        return false;
    case CommandError::Incomplete:
        Refuse(L"任务还没有名称或要运行的内容，任务没有添加。");
        return false;
    case CommandError::Unsafe:
        RefuseText(command.refused);
        return false;
    }
    return false;
}

void frmAutoSelectTime::RefusePath(const tasks::Refused& refused, const std::wstring& tool) {
    switch (refused.why) {
    case Refusal::Unsafe: RefuseText(refused.text); return;
    case Refusal::NotAName:
        Refuse(L"下面的路径中有以点或空格结尾的名字，或含有文件名中不能有的字符（* ? < > | 或多余的冒号），" + tool +
               L"会把它当成另一个文件或文件夹，任务没有添加：\r\n" + refused.text);
        return;
    case Refusal::TooLong:
        Refuse(L"下面的路径有 " + std::to_wstring(refused.text.size()) + L" 个字符，" + tool + L"最多只能处理 " +
               std::to_wstring(refused.limit) +
               L" 个字符，任务到时会失败，所以没有添加。请选择路径短一些的文件或文件夹，或把备份目标设得短一些：\r\n" +
               refused.text);
        return;
    case Refusal::None: return;
    }
}

bool frmAutoSelectTime::SettlePassword() {
    const std::wstring computer = ctx_.machine.GetComputerName100();
    const std::wstring user = ctx_.machine.GetUserName100();
    if (!MenuPassword.empty()) RunPassword = MenuPassword;
    if (RunPassword.empty())
        RunPassword = ctx_.ui.InputBox(L"当前机器名：" + computer + L"当前登陆的用户名" + user +
                                           L"\r\n请输入进入系统时的登陆密码",
                                       L"这个一定不要输错了");
    if (RunPassword.empty()) return false;
    if (CheckCommandText(RunPassword) != TextCheck::Ok) {
        RunPassword.clear();
        Refuse(L"口令中不能含有双引号(\")或控制字符，计划任务程序无法接收这样的口令，任务没有添加。");
        return false;
    }
    return true;
}

bool frmAutoSelectTime::BuildAction(std::wstring& taskTarget, std::wstring& actionPath) {
    BackupAction line;
    std::wstring made;  // the target folder to make once the line is accepted
    switch (RunMode) {
    case 1:
        TaskName = L"备份文件";
        line = CopyLine(SelectedFile, TargetFolder);
        break;
    case 2:
        TaskName = L"备份文件夹";
        if (Ctl().GetChecked(L"optDocuments", 0)) {
            TargetFolder = ctx_.SavePath + L"\\IE收藏夹";
        } else if (Ctl().GetChecked(L"optDocuments", 1)) {
            TargetFolder = ctx_.SavePath + L"\\我的文档";
        } else if (Ctl().GetChecked(L"optDocuments", 2)) {
            TargetFolder = ctx_.SavePath + L"\\Cookies";
        } else {
            const std::wstring component = LastPathComponent(Ctl().GetText(L"treeFolder", -1));
            made = TargetFolder = ctx_.SavePath + L"\\" + component;
        }
        line = XcopyLine(SourceFolder, TargetFolder);
        break;
    case 3: TaskName = L"运行文件"; break;
    case 4: TaskName = L"运行系统程序"; break;
    default: break;
    }
    if (line.refused) {
        RefusePath(line.refused, RunMode == 1 ? L"Windows 的 copy 命令" : L"Windows 的 xcopy 命令");
        return false;
    }
    if (!made.empty()) (void)ctx_.machine.CreateFolder(made);  // xcopy makes it too
    if (RunMode == 1 || RunMode == 2) ActionLine = line.line;
    if (RunMode == 4) ActionLine = SystemCommand;

    // The browser and the media player are started by the scheduler itself.
    std::wstring program;
    if (RunMode == 3) program = SelectedFile;
    if (Ctl().GetChecked(L"optSystemTask", 3) || Ctl().GetChecked(L"optSystemTask", 4)) {
        program = SystemCommand;
        RunMode = 3;
    }
    if (RunMode == 3) {
        // Each add uses up the chosen file; "/tr" with nothing after it would
        // register a task that runs nothing.
        if (program.empty()) {
            Refuse(L"还没有选择要运行的文件，请在第①步中单击“在设定时间运行指定文件”选择。");
            return false;
        }
        if (tasks::Refused refused = CheckProgram(program)) {
            RefusePath(refused, L"系统的计划任务程序");
            return false;
        }
        taskTarget = ProgramTarget(program);
        actionPath.clear();
    } else {
        actionPath = kWorkDir + ActionBatchName(ctx_.machine.Now());
        taskTarget = BatchTarget(actionPath);
    }
    return true;
}

std::wstring frmAutoSelectTime::TaskDetail() {
    if (!SelectedFile.empty()) {
        std::wstring detail = SelectedFile;
        SelectedFile.clear();
        return detail;
    }
    std::wstring detail;
    for (int i = 0; i < 5; ++i) {
        if (Ctl().GetChecked(L"optSystemTask", i)) detail = kSystemCaptions[i];
        if (Ctl().GetChecked(L"optDocuments", i)) detail = kDocumentCaptions[i];
    }
    return detail;
}

void frmAutoSelectTime::cmdAdd_Click() {
    // Without a kind the task would be whatever the last add left behind.
    if (RunMode == 0) {
        Refuse(L"你还没有选择任务方式，请先在第①步中单击选择要做的事情。");
        return;
    }
    if (!CheckSchedule()) return;
    if (!SettlePassword()) return;
    (void)ctx_.machine.DeleteOneFile(kTaskBat);  // written whole again below

    const std::tm time = Ctl().GetDateTime(L"dtpTime", -1);
    const std::tm date = Ctl().GetDateTime(L"dtpToday", -1);
    StartTime = StartTimeText(time);
    StartDate = StartDateText(date);

    const std::int16_t runModeBefore = RunMode;
    std::wstring target, actionPath;
    if (!BuildAction(target, actionPath)) {
        RunMode = runModeBefore;
        return;
    }

    const std::tm now = ctx_.machine.Now();
    TaskName = MakeTaskName(Ctl().GetText(L"cboSelect", -1), time, now, TaskName);
    SchedulerInput in;
    in.scheduler = scheduler_;
    in.scheduleText = Ctl().GetText(L"cboSelect", -1);
    in.taskName = TaskName;
    in.taskTarget = target;
    in.startTime = time;
    in.startDate = date;
    in.weekDays = WeekTicks();
    in.monthDay = Ctl().GetText(L"txtMonthDay", -1);
    in.freeTime = Ctl().GetText(L"txtFreeTime", -1);
    in.computer = ctx_.machine.GetComputerName100();
    in.user = ctx_.machine.GetUserName100();
    in.password = RunPassword;
    in.dateOrder = dateOrder_;
    tasks::SchedulerCommand command = BuildSchedulerCommand(in);
    if (!ExplainCommand(command)) {
        RunMode = runModeBefore;
        return;
    }

    if (!actionPath.empty()) {
        if (!Written(ctx_.machine.AppendTextLine(actionPath, ActionLine, CodePage::Oem), actionPath, ActionLine)) {
            RunMode = runModeBefore;
            return;
        }
    }
    if (runModeBefore == 1) SetTip(kNoChoiceTip);
    ScheduleType = command.scheduleType;
    SchedulerCommand = command.line;
    if (!Written(ctx_.machine.WriteTextFile(kTaskBat, {SchedulerCommand}, CodePage::Oem), kTaskBat, L""))
        return;

    const std::wstring detail = TaskDetail();
    // A record for the user only; the task itself is in the scheduler.
    (void)ctx_.machine.AppendTextLine(kTaskList, ctx_.machine.GeneralDate(now) + L"添加的任务是：" + detail);
    Ctl().AddItem(L"cboTaskList", -1, TaskName + L"|" + detail);
    listNames_.push_back(TaskName);
    Ctl().SetListIndex(L"cboTaskList", -1, Ctl().ItemCount(L"cboTaskList", -1) - 1);
    StartTaskBat();
}

void frmAutoSelectTime::StartTaskBat() {
    TaskBatRuns& runs = TaskBat();
    const unsigned mine = ++runs.written;
    Machine& machine = ctx_.machine;
    std::shared_ptr<bool> alive = alive_;
    const std::wstring name = TaskName;
    auto done = [this, alive, mine, &machine, name](unsigned long exitCode) {
        TaskBatRuns& r = TaskBat();
        --r.pending;
        // The password must not outlive the command that needed it; a later
        // add has its own Task.bat, which its own run deletes.
        if (r.written == mine) (void)machine.DeleteOneFile(kTaskBat);
        if (!*alive) return;
        if (exitCode == 0)
            SetTip(L"提示：任务“" + name + L"”已交给系统的计划任务程序");
        else
            SetTip(L"提示：系统的计划任务程序拒绝了任务“" + name + L"”（错误代码 " + std::to_wstring(exitCode) +
                   L"），任务没有添加成功，请检查登陆密码和运行时间");
    };
    ++runs.pending;
    if (!machine.RunNotify(kTaskBat, WindowStyle::Hidden, done)) {
        --runs.pending;
        (void)machine.DeleteOneFile(kTaskBat);
        SetTip(L"提示：无法启动系统的计划任务程序，任务“" + name + L"”没有添加");
    }
}

// ------------------------------------------------------------ task list

void frmAutoSelectTime::cmdRefurbish_Click() {
    // Without a listing the list shows what the last one held.
    if (ctx_.machine.WriteTextFile(kAllTasksCmd, {ListingCommand(scheduler_)}, CodePage::Oem) == WriteResult::Ok)
        (void)ctx_.machine.Run(kAllTasksCmd, WindowStyle::Hidden);
    Ctl().SetTimer(L"timAlltask", true, 1000);
    Ctl().SetText(L"cmdRefurbish", -1, L"刷新中…");
}

void frmAutoSelectTime::timAlltask_Timer() {
    auto lines = ctx_.machine.ReadTextLines(kAllTasksTxt);
    Listing listing = ReadListing(lines ? *lines : std::vector<std::wstring>{}, scheduler_);
    Ctl().ClearItems(L"cboTaskList", -1);
    listNames_.clear();
    for (const ListedTask& row : listing.rows) {
        Ctl().AddItem(L"cboTaskList", -1, row.display);
        listNames_.push_back(row.name);
    }
    if (!listing.rows.empty()) Ctl().SetListIndex(L"cboTaskList", -1, 0);
    else Ctl().SetText(L"cboTaskList", -1, L"");
    Ctl().SetTimer(L"timAlltask", false, 0);
    Ctl().SetText(L"cmdRefurbish", -1, L"刷新");
}

void frmAutoSelectTime::cmdDel_Click() {
    const std::wstring text = Ctl().GetText(L"cboTaskList", -1);
    if (text.empty()) {
        ctx_.ui.MsgBox(L"没有任务可以删除", kOkOnly, kAppTitle);
        return;
    }
    const int at = Ctl().GetListIndex(L"cboTaskList", -1);
    const bool selected = at >= 0 && at < int(listNames_.size()) && Ctl().Item(L"cboTaskList", -1, at) == text;
    const std::wstring name = selected ? listNames_[at] : TaskNameOfEntry(text);
    auto line = DeleteLine(name);
    if (!line) {
        RefuseText(name);
        return;
    }
    // The row goes only when the scheduler was really asked to drop the task.
    if (ctx_.machine.WriteTextFile(kDelBat, {*line}, CodePage::Oem) != WriteResult::Ok ||
        !ctx_.machine.Run(kDelBat, WindowStyle::Hidden)) {
        Refuse(std::wstring(L"无法写入或启动 ") + kDelBat + L"，任务“" + name +
               L"”没有删除。请检查 c:\\BackTemp 是否可以写入。");
        return;
    }
    if (selected) {
        Ctl().RemoveItem(L"cboTaskList", -1, at);
        listNames_.erase(listNames_.begin() + at);
        Ctl().SetText(L"cboTaskList", -1, L"");
    }
}

void frmAutoSelectTime::mnuClear_Click() {
    if (ctx_.ui.MsgBox(L"真的想让一切随风而去吗？", kYesNo | kQuestion, L"确认删除") != kAnsYes) return;
    ctx_.machine.DeleteFiles(kWorkDir, L"*.bat");
    Ctl().ClearItems(L"cboTaskList", -1);
    Ctl().SetText(L"cboTaskList", -1, L"");
    listNames_.clear();
    if (ctx_.machine.WriteTextFile(kDelAllBat, DeleteAllLines(), CodePage::Oem) != WriteResult::Ok ||
        !ctx_.machine.Run(kDelAllBat, WindowStyle::MinimizedFocus)) {
        Refuse(std::wstring(L"无法写入或启动 ") + kDelAllBat +
               L"，系统计划任务中的任务没有清除。请检查 c:\\BackTemp 是否可以写入。");
        cmdRefurbish_Click();  // show what the scheduler still holds
    }
}

void frmAutoSelectTime::timNOW_Timer() {
    std::wstring line = L"现在是:" + ctx_.machine.GeneralDate(ctx_.machine.Now());
    if (!ctx_.SavePath.empty()) line += L"     你选择把文件备份到这里：" + ctx_.SavePath;
    Ctl().SetPanelText(L"staBarTime", -1, line);
}

}  // namespace lz
