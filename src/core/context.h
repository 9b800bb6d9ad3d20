// What every window shares: the machine, the prompts and other windows, and
// the program-wide backup destination.
#pragma once
#include <string>

#include "env/machine.h"
#include "ui/form.h"

namespace lz {

struct AppContext {
    Machine& machine;
    Ui& ui;
    // The backup destination: the full path of an existing folder, or "" when
    // the user must be asked.
    std::wstring SavePath;
};

}  // namespace lz
