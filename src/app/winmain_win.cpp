// Start-up: the main window is the first window; the others are loaded by it.
#include <windows.h>

#include "app/controls_win.h"
#include "core/context.h"
#include "core/form_registry.h"
#include "env/machine_win.h"
#include "ui/host_win.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    lz::RegisterAppControls();
    lz::FormRegistry registry;
    lz::RegisterAllForms(registry);
    lz::Win32Machine machine;
    lz::Win32Ui ui(instance, registry);
    lz::AppContext ctx{machine, ui, L""};
    registry.Attach(ctx);
    ui.ShowForm(L"frmMain");
    // COM is entered by the first shell call that wants it (env/late_win.h).
    return ui.Run();
}
