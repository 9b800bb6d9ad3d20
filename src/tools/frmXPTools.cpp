#include "tools/frmXPTools.h"

#include "tools/tooltexts.h"

namespace lz {

const wchar_t* const kToolsStatusPicture = L"bmpTools";

namespace {

const wchar_t* const kForm = L"frmXPTools";
const Color kTextBlue = Rgb(55, 152, 225);

// The button at each place of the grid, row by row.
const int kGrid[7][5] = {
    {34, 5, 1, 31, 30}, {16, 10, 15, 33, 14}, {22, 12, 13, 27, 21}, {20, 19, 11, 29, 4},
    {32, 9, 17, 28, 26}, {6, 23, 8, 2, 3},    {35, 24, 7, 0, 25},
};
const int kColumnLeft[5] = {120, 2160, 4200, 6240, 8280};
const int kRowTop[7] = {360, 960, 1560, 2160, 2760, 3360, 3960};
const int kButtonWidth = 1935;
const int kButtonHeight = 495;

void AddMenuItem(std::vector<MenuDef>& menus, const wchar_t* name, int level) {
    const Tool* t = ToolByMenu(name);
    menus.push_back({name, -1, t ? t->menuCaption : L"", level});
}

void AddMenuItems(std::vector<MenuDef>& menus, std::initializer_list<const wchar_t*> names, int level) {
    for (const wchar_t* n : names) AddMenuItem(menus, n, level);
}

std::vector<MenuDef> MakeMenus() {
    std::vector<MenuDef> m;
    m.push_back({L"mnuProgame", -1, L"Progame", 0});
    AddMenuItems(m, {L"mnuInternet", L"mnuOutlook", L"mnuUpdate"}, 1);
    m.push_back({L"mnuFGX1", -1, L"-", 1});
    AddMenuItems(m, {L"mnuNotepad", L"mnuOsk", L"mnuMagnify", L"mnuTaskmgr", L"mnuGpedit"}, 1);
    m.push_back({L"mnuReg", -1, L"注册表编辑工具", 1});
    AddMenuItems(m, {L"mnuRegedit", L"mnuRegedt32"}, 2);
    AddMenuItems(m, {L"mnuDxdiag", L"mnuDevmgmt", L"mnuMsinfo32", L"mnuRstrui", L"mnuWMP", L"mnuWMM"}, 1);
    m.push_back({L"mnuFGX2", -1, L"-", 1});
    m.push_back({L"mnuAlltools", -1, L"其它工具", 1});
    AddMenuItems(m, {L"mnuSndvol32", L"mnuPerfmon", L"mnuMsconfig", L"mnuSigverif", L"mnuDrwtsn32"}, 2);
    m.push_back({L"mnuFGX4", -1, L"-", 2});
    AddMenuItems(m, {L"mnuCharmap", L"mnuClipbrd", L"mnuMigload", L"mnuDvdplay", L"mnuOdbcad32"}, 2);
    m.push_back({L"mnuFGX5", -1, L"-", 2});
    AddMenuItems(m, {L"mnuShrpubw", L"mnuIexpress", L"mnuTelnet", L"mnuAccwiz", L"mnuPackager"}, 2);
    m.push_back({L"mnuFGX6", -1, L"-", 2});
    AddMenuItems(m, {L"mnuNslookup", L"mnuCompmgmt", L"mnuDiskmgmt", L"mnuCleanmgr", L"mnuDfrg"}, 2);
    m.push_back({L"mnuFGX7", -1, L"-", 2});
    AddMenuItems(m, {L"mnuCintsetp", L"mnuTourstart", L"mnuWab"}, 2);
    m.push_back({L"mnuFGX3", -1, L"-", 1});
    m.push_back({L"mnuExit", -1, L"退出", 1});
    return m;
}

FormDef MakeDefinition() {
    FormDef d = NewForm(kForm, L"系统工具大全", 10590, 7335);

    ControlDef pic{Kind::PictureBox, L"picXPTools", -1, L"", 120, 120, 10335, 1695, L"", kBorder};
    pic.back = kWhite;
    d.controls.push_back(pic);
    ControlDef lbl{Kind::Label, L"lblXpTools", -1, L"", 0, 240, 10215, 1335, L"picXPTools", kWordWrap};
    lbl.fore = kTextBlue;
    lbl.back = kWhite;
    d.controls.push_back(lbl);
    d.controls.push_back({Kind::Frame, L"Frame1", -1,
                          L"系统部分工具,查看更多请点击指示栏中的\"工具集\"图标", 120, 2040, 10335, 4695});
    for (int r = 0; r < 7; ++r)
        for (int c = 0; c < 5; ++c) {
            const int i = kGrid[r][c];
            d.controls.push_back({Kind::Button, L"cmdXpTools", i, ToolByButton(i)->caption, kColumnLeft[c],
                                  kRowTop[r], kButtonWidth, kButtonHeight, L"Frame1", kHandCursor});
        }
    // A leftover that takes part in nothing; it keeps its index so the others keep theirs.
    d.controls.push_back({Kind::Button, L"cmdXpTools", 18, L"Windows升级程序", 2040, 5040, kButtonWidth,
                          kButtonHeight, L"Frame1", kHidden | kHandCursor});
    ControlDef bar{Kind::StatusBar, L"StatusBar1", -1, L"", 0, 6960, 10590, 375};
    bar.items = {L""};
    d.controls.push_back(bar);
    d.menus = MakeMenus();
    return d;
}

}  // namespace

frmXPTools::frmXPTools(AppContext& ctx) : ctx_(ctx), def_(MakeDefinition()) {}

const std::vector<Handler<frmXPTools>>& frmXPTools::Handlers() {
    using E = EventKind;
    using F = frmXPTools;
    static const std::vector<Handler<frmXPTools>> table = [] {
        std::vector<Handler<frmXPTools>> t = {
            {E::Load, L"", &F::Form_Load},
            {E::Resize, L"", &F::Form_Resize},
            {E::Unload, L"", &F::Form_Unload},
            {E::MouseMove, L"", &F::Form_MouseMove},
            {E::Click, L"cmdXpTools", &F::cmdXpTools_Click},
            {E::MouseMove, L"cmdXpTools", &F::cmdXpTools_MouseMove},
            {E::Click, L"StatusBar1", &F::StatusBar1_PanelClick},
            {E::Menu, L"mnuExit", &F::mnuExit_Click},
        };
        for (const Tool& tool : ToolCatalogue())
            if (*tool.menu) t.push_back({E::Menu, tool.menu, &F::mnuTool_Click});
        return t;
    }();
    return table;
}

void frmXPTools::Form_Load() {
    Ctl().SetFormBack(kFormBack);
    Ctl().SetForeColor(L"lblXpTools", -1, kTextBlue);
    SysDir = ctx_.machine.GetSysDir();
    WinDir = ctx_.machine.GetWinDir();
    // Unlike the task window, no stand-in text when the key is missing.
    RegString os = ctx_.machine.ReadRegString(L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", L"ProductName");
    OSName = os.status == RegRead::Ok ? os.value : L"";
    FormWidth = Ctl().FormWidth();
    FormHeight = Ctl().FormHeight();
    Ctl().SetPicture(L"StatusBar1", -1, kToolsStatusPicture);
    Ctl().SetPanelText(L"StatusBar1", 0, ToolsStatusText(OSName, WinDir));
    Ctl().SetText(L"lblXpTools", -1, ToolsDefaultText());
}

void frmXPTools::Form_Resize() {
    if (ctx_.ui.GetWindowState(kForm) != WindowState::Minimized) Ctl().SetFormSize(FormWidth, FormHeight);
}

void frmXPTools::Form_Unload() { BackToMain(); }

void frmXPTools::Form_MouseMove() { Ctl().SetText(L"lblXpTools", -1, ToolsDefaultText()); }

void frmXPTools::cmdXpTools_Click(int index) {
    if (const Tool* t = ToolByButton(index)) Launch(*t);
}

void frmXPTools::cmdXpTools_MouseMove(int index) {
    const std::wstring text = ToolDescription(index);
    if (!text.empty()) Ctl().SetText(L"lblXpTools", -1, text);
}

void frmXPTools::StatusBar1_PanelClick() { Ctl().PopupMenu(L"mnuProgame"); }

void frmXPTools::mnuTool_Click(const Event& e) {
    if (const Tool* t = ToolByMenu(e.name)) Launch(*t);
}

void frmXPTools::mnuExit_Click() { BackToMain(); }

void frmXPTools::Launch(const Tool& tool) {
    const std::wstring line = ToolCommandLine(tool, SysDir, WinDir);
    if (line.empty()) return;
    if (!ctx_.machine.Run(line, WindowStyle::NormalFocus))
        ctx_.ui.MsgBox(L"请确认你是否有足够的权限打开或者因为此程序需要在XP版本下才能运行", kOkOnly,
                       L"打开程序错误");
}

void frmXPTools::BackToMain() {
    ctx_.ui.HideForm(kForm);
    // While the whole program closes, showing the main window would load it again.
    if (ctx_.ui.IsLoaded(L"frmMain")) ctx_.ui.ShowForm(L"frmMain");
}

}  // namespace lz
