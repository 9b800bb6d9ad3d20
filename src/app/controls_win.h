// Control kinds of the windows' own (a sample surface, a browser, ...), made
// known to the form host. src/app/controls_win.cpp lists them, one line each.
#pragma once

namespace lz {

void RegisterAppControls();

}  // namespace lz
