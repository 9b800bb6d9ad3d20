// The program's own window messages.
#pragma once
#include <windows.h>

namespace lz {

enum : UINT {
    kTrayMessage = WM_APP + 1,      // the notification-area icon: lParam is the mouse message
    kReleaseUnloaded = WM_APP + 2,  // windows unloaded inside a handler can be freed now
    kUpDownChanged = WM_APP + 3,    // an up-down control has set its buddy's new value
};

}  // namespace lz
