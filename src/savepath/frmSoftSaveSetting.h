// "备份文件保存路径对话框": where every backup goes.
#pragma once
#include "core/context.h"
#include "ui/form.h"

namespace lz {

class frmSoftSaveSetting : public Form<frmSoftSaveSetting> {
public:
    explicit frmSoftSaveSetting(AppContext& ctx);
    const FormDef& Definition() const override { return def_; }
    static const std::vector<Handler<frmSoftSaveSetting>>& Handlers();

    void Form_Load();
    void cmdDefaultPath_Click();
    void FolderSavePath_Select();
    void optSave_Click(int index);
    void cmdYes_Click();
    void cmdCancel_Click();

private:
    void Refuse(const std::wstring& message, const std::wstring& title);
    AppContext& ctx_;
    FormDef def_;
};

}  // namespace lz
