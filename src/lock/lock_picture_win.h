// The lock window's picture as a control of the form host: a window of its
// own class that the lock surface draws on.
#pragma once
#include <memory>

#include "ui/control_win.h"

namespace lz {

std::unique_ptr<Control> MakeLockPicture(FormWindow& form, const ControlDef& def);

}  // namespace lz
