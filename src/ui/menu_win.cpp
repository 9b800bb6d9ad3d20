#include "ui/menu_win.h"

namespace lz {

namespace {
const UINT kFirstMenuId = 30000;
}  // namespace

MenuSet::~MenuSet() {
    if (bar_ && !barOwned_) DestroyMenu(bar_);
    if (bar_) return;  // the drop-downs belong to the bar
    for (auto& [name, m] : popups_)
        if (m) DestroyMenu(m);
}

HMENU MenuSet::Build(const std::vector<MenuDef>& menus, bool menuBar) {
    if (menus.empty()) return nullptr;
    if (menuBar) bar_ = CreateMenu();
    // Level by level: a stack of the drop-downs being filled.
    std::vector<HMENU> stack;
    UINT id = kFirstMenuId;
    for (size_t k = 0; k < menus.size(); ++k) {
        const MenuDef& m = menus[k];
        const bool hasChildren = k + 1 < menus.size() && menus[k + 1].level > m.level;
        const UINT myId = id++;
        ids_[{m.name, m.index}] = myId;
        items_[myId] = {m.name, m.index};
        stack.resize(m.level);
        HMENU parent = m.level == 0 ? bar_ : stack.empty() ? nullptr : stack.back();
        HMENU sub = hasChildren ? CreatePopupMenu() : nullptr;
        if (m.level == 0) popups_[m.name] = sub;
        if (parent) {
            UINT flags = m.caption == L"-" ? MF_SEPARATOR : MF_STRING;
            if (sub) flags |= MF_POPUP;
            if (m.checked) flags |= MF_CHECKED;
            if (!m.enabled) flags |= MF_GRAYED;
            AppendMenuW(parent, flags, sub ? reinterpret_cast<UINT_PTR>(sub) : myId, m.caption.c_str());
        }
        stack.push_back(sub);
    }
    return bar_;
}

UINT MenuSet::Id(const std::wstring& name, int index) const {
    auto it = ids_.find({name, index});
    return it == ids_.end() ? 0 : it->second;
}

std::optional<std::pair<std::wstring, int>> MenuSet::ItemOf(UINT id) const {
    auto it = items_.find(id);
    if (it == items_.end()) return std::nullopt;
    return it->second;
}

std::vector<HMENU> MenuSet::Roots() const {
    std::vector<HMENU> roots;
    if (bar_) roots.push_back(bar_);
    else
        for (auto& [name, m] : popups_)
            if (m) roots.push_back(m);
    return roots;
}

// The item commands are searched through the sub-menus by the system.
void MenuSet::SetEnabled(const std::wstring& name, int index, bool on) {
    const UINT id = Id(name, index);
    if (!id) return;
    for (HMENU m : Roots()) EnableMenuItem(m, id, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED));
}

void MenuSet::SetChecked(const std::wstring& name, int index, bool on) {
    const UINT id = Id(name, index);
    for (HMENU m : Roots()) CheckMenuItem(m, id, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
}

bool MenuSet::GetChecked(const std::wstring& name, int index) const {
    const UINT id = Id(name, index);
    for (HMENU m : Roots()) {
        const UINT state = GetMenuState(m, id, MF_BYCOMMAND);
        if (state != UINT(-1)) return (state & MF_CHECKED) != 0;
    }
    return false;
}

void MenuSet::Popup(const std::wstring& name, HWND owner) const {
    auto it = popups_.find(name);
    if (it == popups_.end() || !it->second) return;
    POINT pt;
    GetCursorPos(&pt);
    // Without this the menu stays open when the user clicks elsewhere.
    SetForegroundWindow(owner);
    const UINT cmd = TrackPopupMenu(it->second, TPM_RETURNCMD | TPM_RIGHTBUTTON, pt.x, pt.y, 0, owner, nullptr);
    PostMessageW(owner, WM_NULL, 0, 0);
    if (cmd) PostMessageW(owner, WM_COMMAND, MAKEWPARAM(cmd, 0), 0);
}

}  // namespace lz
