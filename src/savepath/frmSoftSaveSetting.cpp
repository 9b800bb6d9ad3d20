#include "savepath/frmSoftSaveSetting.h"

#include "savepath/savepath.h"

namespace lz {

namespace {

const wchar_t* const kForm = L"frmSoftSaveSetting";

FormDef MakeDefinition() {
    FormDef d = NewForm(kForm, L"备份文件保存路径对话框", 7620, 3900, Border::FixedDialog);
    d.controls = {
        {Kind::Label, L"Label1", -1, L"设置文件保存路径：", 120, 240, 1935, 255},
        {Kind::FolderTree, L"FolderSavePath", -1, L"我的电脑", 120, 480, 3135, 3180},
        {Kind::Label, L"Label2", -1, L"把文件保存到以下位置：", 3240, 240, 2055, 255},
        {Kind::TextBox, L"txtSavePath", -1, L"", 3360, 600, 3855, 375},
        {Kind::Button, L"cmdDefaultPath", -1, L"默认路径", 6000, 1080, 1095, 375},
        {Kind::Frame, L"fraSetting", -1, L"保存设置", 3360, 1680, 4095, 1335},
        {Kind::Option, L"optSave", 0, L"保存在同一个目录并自动分类(下次不提示)", 240, 360, 3735, 255, L"fraSetting"},
        {Kind::Option, L"optSave", 1, L"每次都提示我保存在不同的路径下", 240, 840, 3495, 255, L"fraSetting"},
        {Kind::Button, L"cmdYes", -1, L"确定", 4320, 3240, 1095, 375},
        {Kind::Button, L"cmdCancel", -1, L"取消", 6000, 3240, 1095, 375},
    };
    d.controls[3].font = L"SimSun";
    d.controls[3].fontPoints10 = 105;
    d.controls[3].back = kWhite;
    d.controls[1].back = kWhite;
    return d;
}

}  // namespace

frmSoftSaveSetting::frmSoftSaveSetting(AppContext& ctx) : ctx_(ctx), def_(MakeDefinition()) {}

const std::vector<Handler<frmSoftSaveSetting>>& frmSoftSaveSetting::Handlers() {
    using E = EventKind;
    using F = frmSoftSaveSetting;
    static const std::vector<Handler<frmSoftSaveSetting>> table = {
        {E::Load, L"", &F::Form_Load},
        {E::Select, L"FolderSavePath", &F::FolderSavePath_Select},
        {E::Click, L"cmdDefaultPath", &F::cmdDefaultPath_Click},
        {E::Click, L"optSave", &F::optSave_Click},
        {E::Click, L"cmdYes", &F::cmdYes_Click},
        {E::Click, L"cmdCancel", &F::cmdCancel_Click},
    };
    return table;
}

void frmSoftSaveSetting::Form_Load() {
    Ctl().SetFormBack(kFormBack);
    for (const wchar_t* n : {L"fraSetting", L"Label1", L"Label2"}) Ctl().SetBackColor(n, -1, kFormBack);
    Ctl().SetBackColor(L"optSave", 0, kFormBack);
    Ctl().SetBackColor(L"optSave", 1, kFormBack);
    Ctl().SetChecked(L"optSave", 0, true);
    (void)ctx_.machine.CreateFolder(L"d:\\Backup");  // only offered when it exists
    ctx_.ui.SetTopmost(kForm, true);
    if (auto folder = ctx_.machine.GetFolder(L"d:\\backup")) Ctl().SetText(L"txtSavePath", -1, *folder);
}

void frmSoftSaveSetting::cmdDefaultPath_Click() { Ctl().SetText(L"txtSavePath", -1, L"d:\\Backup"); }

void frmSoftSaveSetting::FolderSavePath_Select() {
    const std::wstring chosen = Ctl().GetText(L"FolderSavePath", -1);
    Ctl().SetText(L"txtSavePath", -1, IsShellFolderName(chosen) ? L"" : chosen);
}

void frmSoftSaveSetting::optSave_Click(int index) {
    if (Controls* backup = ctx_.ui.FormControls(L"frmSoftBackup")) {
        backup->SetChecked(L"mnuNoClew", -1, index == 0);
        backup->SetChecked(L"mnuClew", -1, index != 0);
    }
    ctx_.SavePath.clear();
}

void frmSoftSaveSetting::Refuse(const std::wstring& message, const std::wstring& title) {
    ctx_.ui.SetTopmost(kForm, false);
    ctx_.ui.MsgBox(message, kOkOnly, title);
    Ctl().SetFocus(L"txtSavePath", -1);
}

void frmSoftSaveSetting::cmdYes_Click() {
    auto folder = ctx_.machine.GetFolder(Ctl().GetText(L"txtSavePath", -1));
    if (!folder) return Refuse(L"请核对你输入的文件保存路径是否正确", L"文件保存路径错误");
    // SavePath.ini and the batch files are in the ANSI code page: a path it cannot
    // hold would come back as a different, wrong path.
    if (!ctx_.machine.FitsAnsi(*folder))
        return Refuse(L"你选择的文件保存路径中含有系统不支持的字符，无法保存，请选择其它路径",
                      L"文件保存路径错误");
    ctx_.SavePath = *folder;
    std::wstring ini;
    if (WriteSavePath(ctx_.machine, ctx_.SavePath, &ini) != WriteResult::Ok)
        return Refuse(L"无法写入设置文件：" + ini + L"\r\n请检查这个文件夹是否可以写入，或者文件是否只读",
                      L"保存设置失败");
    ctx_.ui.UnloadForm(kForm);
}

void frmSoftSaveSetting::cmdCancel_Click() { ctx_.ui.UnloadForm(kForm); }

}  // namespace lz
