#include "app/controls_win.h"

#include "fonts/fontsample_win.h"
#include "ui/control_win.h"
#include "webdrive/browser_control_win.h"

namespace lz {

void RegisterAppControls() {
    // One line a kind: RegisterControlKind(Kind::..., Make...);
    RegisterControlKind(Kind::FontSample, MakeFontSample);
    RegisterControlKind(Kind::Browser, MakeBrowser);
}

}  // namespace lz
