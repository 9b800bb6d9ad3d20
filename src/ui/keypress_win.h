// KeyPress of the typing controls: each character typed, Enter as 13, before
// the dialog keys act on it. A handler that sets *cancel swallows the key.
#pragma once
#include <windows.h>

#include "ui/form.h"

namespace lz {

class FormWindow;

// True when the key was swallowed.
bool FireKeyPress(FormWindow& form, const ControlDef& def, const MSG& msg);

}  // namespace lz
