// Every window of the suite, one line each.
#include "core/form_registry.h"

#include "app/frmMain.h"
#include "boot/frmGhost.h"
#include "fonts/frmFonts.h"
#include "lock/frmScreen.h"
#include "lock/frmSet.h"
#include "savepath/frmSoftSaveSetting.h"
#include "softbackup/frmSoftBackup.h"
#include "tasks/frmAutoSelectTime.h"
#include "tools/frmXPTools.h"
#include "webdrive/frmWebDrive.h"

namespace lz {

void RegisterAllForms(FormRegistry& r) {
    r.Add<frmMain>(L"frmMain");
    r.Add<frmXPTools>(L"frmXPTools");
    r.Add<frmSoftSaveSetting>(L"frmSoftSaveSetting");
    r.Add<frmAutoSelectTime>(L"frmAutoSelectTime");
    r.Add<frmSoftBackup>(L"frmSoftBackup");
    r.Add<frmFonts>(L"frmFonts");
    r.Add<frmGhost>(L"frmGhost");
    r.Add<frmWebDrive>(L"frmWebDrive");
    r.Add<frmSet>(L"frmSet");
    r.Add<frmScreen>(L"frmScreen");
}

}  // namespace lz
