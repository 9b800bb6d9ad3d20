#include "ui/keypress_win.h"

#include "ui/form_window_win.h"

namespace lz {

bool FireKeyPress(FormWindow& form, const ControlDef& def, const MSG& msg) {
    wchar_t key = 0;
    // The dialog keys take Enter before it becomes a character.
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_RETURN) key = L'\r';
    else if (msg.message == WM_CHAR && msg.wParam != L'\r') key = static_cast<wchar_t>(msg.wParam);
    if (!key) return false;
    bool cancel = false;
    Event e{EventKind::KeyPress, def.name, def.index};
    e.key = key;
    e.cancel = &cancel;
    form.Fire(e);
    return cancel;
}

}  // namespace lz
