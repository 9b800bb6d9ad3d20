// "软件相关备份": personal folders, chat records, and system and network
// settings, each copied into its own sub-folder of the backup destination.
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/context.h"
#include "ui/form.h"

namespace lz {

class frmSoftBackup : public Form<frmSoftBackup> {
public:
    explicit frmSoftBackup(AppContext& ctx);
    const FormDef& Definition() const override { return def_; }
    static const std::vector<Handler<frmSoftBackup>>& Handlers();

    void Form_Load();
    void Form_Resize();
    void Form_Unload();
    void cmdExit_Click();
    // Chat records, index 0..4 (QQ, UC, MSN, POPO, Yahoo).
    void cmdChat_Click(int index);
    void txtQQ_Change();
    void txtUC_Change();
    void txtMSN_Change();
    void txtWYPP_Change();
    // Firewall file, network settings, system files: index 0..2.
    void cmdSoftSet_Click(int index);
    // Personal folders, index 1..5.
    void cmdSystem_Click(int index);
    void mnuClew_Click();
    void mnuNoClew_Click();
    void mnuMain_Click();

    std::wstring WinDir;
    std::wstring SysDir;
    std::wstring LoginName;
    std::int16_t FormWidth = 0;
    std::int16_t FormHeight = 0;

private:
    // False, with the destination dialog shown, when no destination is chosen yet.
    bool HaveSavePath();
    void ResetChatCaption(int index);
    void BackupFirewall();
    void BackupNetwork();
    void BackupSystemFiles();
    void SoftSetResult(int index, bool ok, const std::wstring& label);
    std::optional<std::wstring> PersonalSource(int index);

    AppContext& ctx_;
    FormDef def_;
    // netsh reports after the click has returned; by then this window may be gone,
    // or a later press may have started another run.
    std::shared_ptr<int> netshRun_ = std::make_shared<int>(0);
};

}  // namespace lz
