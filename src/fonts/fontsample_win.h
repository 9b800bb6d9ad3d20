// The font window's sample surface as a control of the form host.
#pragma once
#include <memory>

#include "ui/control_win.h"

namespace lz {

std::unique_ptr<Control> MakeFontSample(FormWindow& form, const ControlDef& def);

}  // namespace lz
