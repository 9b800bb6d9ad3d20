#include "lock/frmSet.h"

#include "lock/effects.h"
#include "lock/screen_ini.h"

namespace lz {

const wchar_t* const kPasswordNotSaved = L"密码没有保存：无法写入设置文件Screen.ini，原来的密码仍然有效。";

namespace {

const wchar_t* const kForm = L"frmSet";
const Color kGrey = Rgb(224, 224, 224);
constexpr unsigned char kLeftWindowsKey = 91;
constexpr unsigned char kKeyM = 77;

FormDef MakeDefinition() {
    FormDef d = NewForm(kForm, L"屏幕锁定", 5655, 3840, Border::FixedDialog);
    d.minButton = false;
    d.maxButton = false;
    d.systemPosition = true;
    d.back = kGrey;
    ControlDef label{Kind::Label, L"Label1", -1, L"选择效果：", 120, 120, 900, 210};
    label.font = L"Arial";
    label.fontPoints10 = 83;
    label.fore = kHighlightText;
    label.back = kGrey;
    d.controls.push_back(label);
    ControlDef list{Kind::ListBox, L"cmb", -1, L"", 120, 360, 2535, 2790};
    list.font = L"Verdana";
    list.fontPoints10 = 83;
    list.back = kWhite;
    d.controls.push_back(list);
    ControlDef frame{Kind::Frame, L"Frame1", -1, L"重设密码：", 3000, 360, 2295, 2775};
    frame.back = kGrey;
    d.controls.push_back(frame);
    ControlDef text{Kind::TextBox, L"txtPassword", -1, L"", 120, 480, 2055, 375, L"Frame1"};
    text.font = L"SimSun";
    text.fontPoints10 = 105;
    text.back = kWhite;
    d.controls.push_back(text);
    d.controls.push_back({Kind::Button, L"cmdChangePassword", -1, L"确定", 1320, 1080, 855, 375, L"Frame1"});
    d.controls.push_back({Kind::Button, L"Command1", -1, L"变化", 360, 3360, 855, 375});
    d.controls.push_back({Kind::Button, L"cmdExit", -1, L"退出", 1560, 3360, 855, 375});
    return d;
}

}  // namespace

frmSet::frmSet(AppContext& ctx) : ctx_(ctx), def_(MakeDefinition()) {}

const std::vector<Handler<frmSet>>& frmSet::Handlers() {
    using E = EventKind;
    using F = frmSet;
    static const std::vector<Handler<frmSet>> table = {
        {E::Load, L"", &F::Form_Load},
        {E::QueryUnload, L"", &F::Form_QueryUnload},
        {E::Unload, L"", &F::Form_Unload},
        {E::Click, L"Command1", &F::Command1_Click},
        {E::Click, L"cmdChangePassword", &F::cmdChangePassword_Click},
        {E::Click, L"cmdExit", &F::cmdExit_Click},
    };
    return table;
}

void frmSet::Form_Load() {
    ctx_.ui.HideForm(kForm);
    minAll();
    Ctl().ClearItems(L"cmb", -1);
    for (const std::wstring& name : EffectNames()) Ctl().AddItem(L"cmb", -1, name);
    Ctl().SetListIndex(L"cmb", -1, 0);
    ctx_.ui.ShowForm(kForm);
    ctx_.ui.SetWindowState(kForm, WindowState::Normal);
    Command1_Click();
}

void frmSet::minAll() {
    ctx_.machine.KeyEvent(kLeftWindowsKey, false);
    ctx_.machine.KeyEvent(kKeyM, false);
    ctx_.machine.KeyEvent(kLeftWindowsKey, true);
    // Released too: otherwise M stays down in the system's eyes.
    ctx_.machine.KeyEvent(kKeyM, true);
}

void frmSet::Command1_Click() {
    // The lock window reads the chosen effect from the list when it loads.
    if (ctx_.ui.IsVisible(L"frmScreen")) return;  // a lock is on already
    ctx_.ui.UnloadForm(L"frmScreen");  // one that could not lock, left loaded
    ctx_.ui.LoadForm(L"frmScreen");
    // It shows itself only when it could lock; otherwise it has said why.
    if (!ctx_.ui.IsVisible(L"frmScreen")) ctx_.ui.UnloadForm(L"frmScreen");
}

void frmSet::cmdChangePassword_Click() {
    switch (WriteLockPassword(ctx_.machine, Ctl().GetText(L"txtPassword", -1))) {
    case PasswordWrite::Ok: break;
    case PasswordWrite::NotRepresentable: ctx_.ui.MsgBox(kPasswordNotStorable, kOkOnly | kExclamation, L""); break;
    case PasswordWrite::Failed: ctx_.ui.MsgBox(kPasswordNotSaved, kOkOnly | kExclamation, L""); break;
    }
}

void frmSet::cmdExit_Click() {
    ctx_.ui.UnloadForm(kForm);
    ShowMain();
}

void frmSet::Form_QueryUnload(const Event& e) {
    // Under a lock this window is not the way out either.
    if (ctx_.ui.IsLoaded(L"frmScreen") && e.cancel) *e.cancel = true;
}

void frmSet::Form_Unload() { ShowMain(); }

// After the main window's exit this window stays; closing it then brings the
// main window back, loaded afresh, as the boot menu window does.
void frmSet::ShowMain() {
    ctx_.ui.ShowForm(L"frmMain");
    ctx_.ui.SetWindowState(L"frmMain", WindowState::Normal);
}

}  // namespace lz
