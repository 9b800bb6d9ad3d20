// The browser as a control kind of the form host: a window of its own at the
// place of its layout line, holding the WebBrowserView that is its port.
#pragma once
#include <memory>

#include "ui/control_win.h"

namespace lz {

std::unique_ptr<Control> MakeBrowser(FormWindow& form, const ControlDef& def);

}  // namespace lz
