// Every window of the suite, one line each.
#include "ui/form_registry.h"

#include "app/frmMain.h"
#include "savepath/frmSoftSaveSetting.h"
#include "softbackup/frmSoftBackup.h"
#include "tasks/frmAutoSelectTime.h"
#include "tools/frmXPTools.h"

namespace lz {

void RegisterAllForms(FormRegistry& r) {
    r.Add(L"frmMain", [](AppContext& c) { return std::make_unique<frmMain>(c); });
    r.Add(L"frmXPTools", [](AppContext& c) { return std::make_unique<frmXPTools>(c); });
    r.Add(L"frmSoftSaveSetting", [](AppContext& c) { return std::make_unique<frmSoftSaveSetting>(c); });
    r.Add(L"frmAutoSelectTime", [](AppContext& c) { return std::make_unique<frmAutoSelectTime>(c); });
    r.Add(L"frmSoftBackup", [](AppContext& c) { return std::make_unique<frmSoftBackup>(c); });
}

}  // namespace lz
