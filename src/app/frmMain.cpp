#include "app/frmMain.h"

#include "core/help.h"
#include "env/quote.h"
#include "lock/screen_ini.h"

namespace lz {

namespace {

const Color kCaptionBlue = Rgb(55, 152, 225);
const Color kTitleBlue = Rgb(55, 152, 229);

const TileInfo kTiles[8] = {
    {L"定时任务", L"定时备份：",
     L"     在设定的时间内自动备份我的文档或者是我的网络收藏夹或者其它文件全取决于你。而且完全脱离本软件自动运行。包括你指定的程序"},
    {L"隐藏工具集", L"系统工具大全：",
     L"     相信大家对于Windows再也熟悉不过了，但在一些版本中隐藏在它们其中的秘密武器可不是人人都找得到，下面就让我带大家来一起来寻找Windows中的这些秘密武器。"},
    {L"网络硬盘", L"网络硬盘：",
     L"     在某种条件下，我们无法保证硬件的不稳定性随时带来的危害，所以我们备份于网络，把重要资料通过网络硬盘而保存起来"},
    {L"刻录备份", L"刻录备份：",
     L"     在没有网络的情况下，把数据刻录到光盘是最好的方法。需要刻录机和Nero刻录软件支持"},
    {L"屏幕锁定", L"屏幕锁定：",
     L"     留住精彩的瞬间，记住开始的密码，让我们一起来……离开一小会           注意双击解锁"},
    {L"字体信息", L"字体备份：",
     L"     每次重装系统自已喜欢的字体不见了，怎么办？有了字体备份工具只要备份一次，多彩多样的字体又出现了。而且可以查看自已喜欢的字体的信息"},
    {L"一键GHOST", L"一键Ghost：",
     L"    强大的GHOST软件,而且中文化了的一键GHOST使你备份更快捷、方便。而且增加了DOS下访问NTFS分区功能和无需修改BIOS就能光盘启动功能，实用性试试就知道了。"},
    {L"软件备份", L"软件备份：",
     L"     重装系统以后，聊天记录、收藏夹和常用软件的资料都不见了？软件备份帮你把它们自动备份到一个地方，重装之后再拿回来，省时又省力。"},
};

// Tile picture sizes in pixels, tile and title positions in twips (inside PicICO).
struct TilePlace {
    int w, h, left, top, titleLeft, titleTop;
};
const TilePlace kPlaces[8] = {
    {55, 55, 600, 240, 480, 1320},   {57, 56, 2160, 240, 2040, 1320},
    {64, 64, 3600, 200, 3600, 1320}, {55, 55, 5280, 240, 5280, 1320},
    {48, 41, 600, 2040, 480, 3000},  {56, 56, 2040, 1920, 2040, 3000},
    {64, 64, 3600, 1920, 3600, 3000}, {64, 64, 5280, 1920, 5280, 3000},
};

const wchar_t* const kStartCaption =
    L"     岚栈备份专家是个性化备份的最佳工具，它集成了定时备份、软件资料备份、网络硬盘备份和系统隐藏工具等众多功能，是使用Windows必备助手工具之一。";

// The window each menu item shows, and whether the main window hides.
struct MenuTool {
    const wchar_t* menu;
    const wchar_t* form;
    bool hideMain;
};
const MenuTool kMenuTools[] = {
    {L"mnuAuto", L"frmAutoSelectTime", true}, {L"mnuXPtools", L"frmXPTools", true},
    {L"mnuWEB", L"frmWebDrive", true},        {L"mnuFont", L"frmFonts", true},
    {L"mnuGhost", L"frmGhost", true},         {L"mnuGetPic", L"frmSet", true},  // see OpenLock
    {L"mnuSoftSet", L"frmSoftBackup", true},  {L"mnuSavetoPath", L"frmSoftSaveSetting", false},
};

// Windows the tiles open, by index; tile 3 starts the burning program instead.
const wchar_t* const kTileForms[8] = {L"frmAutoSelectTime", L"frmXPTools", L"frmWebDrive", L"",
                                      L"frmSet", L"frmFonts", L"frmGhost", L"frmSoftBackup"};

FormDef MakeDefinition() {
    FormDef d = NewForm(L"frmMain", L"岚栈备份专家 V1.5.3", 9480, 7020);
    d.trayName = L"cSysTray1";
    d.trayTip = L"岚栈备份专家";
    d.controls.push_back({Kind::Image, L"imgTOP", -1, L"bmp8", 240, 240, 4800, 960});
    ControlDef box{Kind::PictureBox, L"PicICO", -1, L"", 2040, 1440, 6975, 4335, L"", kBorder};
    box.back = kWhite;
    d.controls.push_back(box);
    for (int i = 0; i < 8; ++i) {
        const TilePlace& p = kPlaces[i];
        ControlDef img{Kind::Image, L"imgPIC", i, L"bmp" + std::to_wstring(i), p.left, p.top,
                       p.w * kTwipsPerPixel, p.h * kTwipsPerPixel, L"PicICO", kHandCursor};
        img.back = kWhite;
        if (i == 1) img.tip = L"正在开发中";
        img.accessibleName = kTiles[i].title;
        d.controls.push_back(img);
    }
    for (int i = 0; i < 8; ++i) {
        const TilePlace& p = kPlaces[i];
        ControlDef t{Kind::Label, L"lblTitle", i, kTiles[i].title, p.titleLeft, p.titleTop, 975, 255,
                     L"PicICO", kCenter};
        t.back = kWhite;
        d.controls.push_back(t);
    }
    ControlDef cap{Kind::Label, L"lblCaption", -1, L"", 240, 3480, 6495, 855, L"PicICO", kWordWrap};
    cap.back = kWhite;
    d.controls.push_back(cap);
    // After the tiles, so that Tab reaches the first tile first.
    ControlDef spider{Kind::Image, L"imgAraneid", -1, L"bmp9", 600, 1080, 960, 960, L"", kHandCursor};
    spider.accessibleName = L"蜘蛛（单击退出）";
    d.controls.push_back(spider);
    ControlDef tim{Kind::Timer, L"timAraneid", -1, L"", 0, 0, 0, 0};
    tim.interval = 500;
    d.controls.push_back(tim);
    d.menus = {
        {L"mnuMain", -1, L"主菜单", 0},
        {L"mnuLanzhan", -1, L"岚栈备份专家", 1},
        {L"mnuFGX2", -1, L"-", 1},
        {L"mnuAuto", -1, L"定时任务", 1},
        {L"mnuXPtools", -1, L"XP隐藏工具", 1},
        {L"mnuWEB", -1, L"网络硬盘", 1},
        {L"mnuNero", -1, L"刻录镜像", 1},
        {L"mnuGetPic", -1, L"屏幕锁定", 1},
        {L"mnuFont", -1, L"字体信息", 1},
        {L"mnuGhost", -1, L"一键GHOST", 1},
        {L"mnuSoftSet", -1, L"软件备份", 1},
        {L"mnuSet", -1, L"设置", 1},
        {L"mnuSavetoPath", -1, L"备份路径", 2},
        {L"mnuFGX4", -1, L"-", 1},
        {L"mnuHelp", -1, L"查看帮助", 1},
        {L"mnuGFX3", -1, L"-", 1},
        {L"mnuShow", -1, L"显示窗体", 1},
        {L"mnuFGX", -1, L"-", 1},
        {L"mnuExit", -1, L"退出", 1},
    };
    return d;
}

}  // namespace

const TileInfo& Tile(int index) { return kTiles[index]; }

frmMain::frmMain(AppContext& ctx) : ctx_(ctx), def_(MakeDefinition()) {}

const std::vector<Handler<frmMain>>& frmMain::Handlers() {
    using E = EventKind;
    using F = frmMain;
    static const std::vector<Handler<frmMain>> table = [] {
        std::vector<Handler<frmMain>> t = {
            {E::Load, L"", &F::Form_Load},
            {E::Resize, L"", &F::Form_Resize},
            {E::Unload, L"", &F::Form_Unload},
            {E::Timer, L"timAraneid", &F::timAraneid_Timer},
            {E::Click, L"imgPIC", &F::imgPIC_Click},
            {E::Click, L"imgAraneid", &F::imgAraneid_Click},
            {E::MouseMove, L"imgPIC", &F::ShowDescription},
            {E::MouseMove, L"PicICO", &F::PicICO_MouseMove},
            {E::TrayMouse, L"cSysTray1", [](F& f, const Event& e) { f.cSysTray1_Mouse(e.button, e.dbl); }},
        };
        for (const wchar_t* m : {L"mnuLanzhan", L"mnuAuto", L"mnuXPtools", L"mnuWEB", L"mnuNero", L"mnuGetPic",
                                 L"mnuFont", L"mnuGhost", L"mnuSoftSet", L"mnuSavetoPath", L"mnuHelp", L"mnuShow",
                                 L"mnuExit"})
            t.push_back({E::Menu, m, &F::Menu_Click});
        return t;
    }();
    return table;
}

void frmMain::Form_Load() {
    Ctl().SetFormBack(kFormBack);
    LoadPictures();
    FormWidth = static_cast<std::int16_t>(Ctl().FormWidth());
    FormHeight = static_cast<std::int16_t>(Ctl().FormHeight());
    Ctl().SetForeColor(L"lblCaption", -1, kCaptionBlue);
    Ctl().SetText(L"lblCaption", -1, std::wstring(L"软件介绍：") + L"\r\n" + kStartCaption);
    PreloadForms();
    WinDir = ctx_.machine.GetWinDir();
    // Menu items whose windows this build does not have yet stay visible, greyed.
    for (const MenuTool& m : kMenuTools)
        Ctl().SetMenuEnabled(m.menu, -1, ctx_.ui.IsAvailable(m.form));
}

void frmMain::LoadPictures() {
    Ctl().SetPicture(L"imgTOP", -1, L"bmp8");
    Ctl().SetPicture(L"imgAraneid", -1, L"bmp9");
    for (int i = 0; i < 8; ++i) Ctl().SetPicture(L"imgPIC", i, L"bmp" + std::to_wstring(i));
}

// Loaded before the user can reach them, but after the main window is up.
void frmMain::PreloadForms() {
    ctx_.ui.LoadFormWhenIdle(L"frmSoftBackup");
    ctx_.ui.LoadFormWhenIdle(L"frmAutoSelectTime");
    ctx_.ui.LoadFormWhenIdle(L"frmFonts");
}

void frmMain::Form_Resize() {
    if (ctx_.ui.GetWindowState(L"frmMain") != WindowState::Minimized)
        Ctl().SetFormSize(FormWidth, FormHeight);
    else
        ctx_.ui.HideForm(L"frmMain");
}

void frmMain::Form_Unload() {
    for (const wchar_t* f : {L"frmAutoSelectTime", L"frmFonts", L"frmSoftBackup", L"frmSoftSaveSetting",
                             L"frmWebDrive", L"frmXPTools"})
        ctx_.ui.UnloadForm(f);
}

void frmMain::Exit() {
    ctx_.ui.UnloadForm(L"frmMain");
    for (const wchar_t* f :
         {L"frmAutoSelectTime", L"frmFonts", L"frmSoftBackup", L"frmSoftSaveSetting", L"frmWebDrive"})
        ctx_.ui.UnloadForm(f);
}

void frmMain::ShowTool(const std::wstring& form, bool hideMain) {
    // A tool this build does not have would leave the user with no window at all.
    if (!ctx_.ui.IsAvailable(form)) return;
    ctx_.ui.ShowForm(form);
    if (hideMain) ctx_.ui.HideForm(L"frmMain");
}

void frmMain::imgPIC_Click(int index) {
    if (index < 0 || index > 7) return;
    if (index == 3) return RunNero();
    const std::wstring form = kTileForms[index];
    if (!ctx_.ui.IsAvailable(form)) return;
    switch (index) {
    case 0:
    case 1: ShowTool(form, true); break;
    case 2: ShowTool(form, false); break;
    case 4: OpenLock(); break;
    case 5:
    case 6:
        ctx_.ui.HideForm(L"frmMain");
        ctx_.ui.ShowForm(form);
        break;
    case 7:
        ctx_.ui.ShowForm(form);
        ctx_.ui.HideForm(L"frmMain");
        if (ctx_.SavePath.empty()) ctx_.ui.ShowForm(L"frmSoftSaveSetting");
        break;
    }
}

void frmMain::ShowDescription(int index) {
    if (index < 0 || index > 7) return;
    Ctl().SetForeColor(L"lblTitle", index, kTitleBlue);
    Ctl().SetText(L"lblCaption", -1, std::wstring(kTiles[index].heading) + L"\r\n" + kTiles[index].text);
}

void frmMain::PicICO_MouseMove() {
    for (int i = 0; i < 8; ++i) Ctl().SetForeColor(L"lblTitle", i, kBlack);
}

void frmMain::cSysTray1_Mouse(int button, bool dbl) {
    if (dbl || button == 1) {
        ctx_.ui.SetWindowState(L"frmMain", WindowState::Normal);
        ctx_.ui.ShowForm(L"frmMain");
    } else if (button == 2) {
        Ctl().PopupMenu(L"mnuMain");
    }
}

void frmMain::OpenLock() {
    if (!ctx_.ui.IsAvailable(L"frmSet")) return;
    ctx_.ui.HideForm(L"frmMain");
    CheckLockPassword(ctx_);
    ctx_.ui.ShowForm(L"frmSet");
}

void frmMain::Menu_Click(const Event& e) {
    const std::wstring& name = e.name;
    if (name == L"mnuExit") {
        // While the screen is locked the suite stays: only the password ends a lock.
        if (ctx_.ui.IsLoaded(L"frmScreen")) return;
        return Exit();
    }
    // The menu item opens the lock settings as the tile does, so that the
    // user is not left with the notification-area icon alone.
    if (name == L"mnuGetPic") return OpenLock();
    if (name == L"mnuLanzhan") return OpenHelp(kHelpOverview);
    if (name == L"mnuHelp") return OpenHelp(kHelpMain);
    if (name == L"mnuNero") return RunNero();
    if (name == L"mnuShow") {
        ctx_.ui.SetWindowState(L"frmMain", WindowState::Normal);
        ctx_.ui.ShowForm(L"frmMain");
        return;
    }
    if (name == L"mnuSoftSet") {
        if (!ctx_.ui.IsAvailable(L"frmSoftBackup")) return;
        ctx_.ui.ShowForm(L"frmSoftBackup");
        if (ctx_.SavePath.empty()) ctx_.ui.ShowForm(L"frmSoftSaveSetting");
        ctx_.ui.HideForm(L"frmMain");
        return;
    }
    for (const MenuTool& m : kMenuTools)
        if (name == m.menu) return ShowTool(m.form, m.hideMain);
}

void frmMain::timAraneid_Timer() {
    SpiderFrame = !SpiderFrame;
    const int left = Ctl().GetLeft(L"imgAraneid", -1);
    int top = Ctl().GetTop(L"imgAraneid", -1);
    if (SpiderUp) {
        top -= 10;
        if (top < 1200) SpiderUp = false;
    } else {
        top += 10;
        if (top > 5000) SpiderUp = true;
    }
    Ctl().Move(L"imgAraneid", -1, left, top);
    Ctl().SetPicture(L"imgAraneid", -1, SpiderFrame ? L"bmp9" : L"bmp10");
}

void frmMain::imgAraneid_Click() {
    ctx_.ui.UnloadForm(L"frmMain");
    for (const wchar_t* f : {L"frmAutoSelectTime", L"frmFonts", L"frmSoftBackup", L"frmSoftSaveSetting",
                             L"frmWebDrive", L"frmXPTools"})
        ctx_.ui.UnloadForm(f);
}

void frmMain::RunNero() {
    RegString nero = ctx_.machine.ReadRegString(L"SOFTWARE\\ahead\\Shared", L"NeroAPI");
    if (nero.status == RegRead::KeyMissing) {
        ctx_.ui.MsgBox(L"很抱歉,该功能需要NERO刻录软件和刻录机支持,请你先安装。谢谢！", kOkOnly, L"注册表中找不到");
        return;
    }
    if (nero.status != RegRead::Ok) return;
    (void)ctx_.machine.Run(QuoteProgram(nero.value + L"\\nero.exe"), WindowStyle::NormalFocus);  // silent
}

void frmMain::OpenHelp(const wchar_t* page) {
    (void)ctx_.machine.Run(HelpCommand(WinDir, ctx_.machine.ProgramDir(), page),
                           WindowStyle::MaximizedFocus);  // silent
}

}  // namespace lz
