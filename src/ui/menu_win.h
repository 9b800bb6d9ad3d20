// A window's menus from its menu table: a menu bar or pop-up menus only, one
// command per item.
#pragma once
#include <windows.h>

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ui/form.h"

namespace lz {

class MenuSet {
public:
    MenuSet() = default;
    MenuSet(const MenuSet&) = delete;
    MenuSet& operator=(const MenuSet&) = delete;
    ~MenuSet();

    // Builds the menus; returns the menu bar when `menuBar` is set and there are menus.
    HMENU Build(const std::vector<MenuDef>& menus, bool menuBar);
    // The window owns its menu bar once it is made with it.
    void BarOwnedByWindow() { barOwned_ = true; }

    UINT Id(const std::wstring& name, int index) const;
    std::optional<std::pair<std::wstring, int>> ItemOf(UINT id) const;
    bool Has(const std::wstring& name, int index) const { return Id(name, index) != 0; }
    void SetEnabled(const std::wstring& name, int index, bool on);
    void SetChecked(const std::wstring& name, int index, bool on);
    bool GetChecked(const std::wstring& name, int index) const;
    // Shows the drop-down of the level-0 item `name` at the pointer; the
    // chosen item's command is posted to `owner`.
    void Popup(const std::wstring& name, HWND owner) const;
    HMENU Bar() const { return bar_; }

private:
    std::vector<HMENU> Roots() const;
    HMENU bar_ = nullptr;
    bool barOwned_ = false;
    std::map<std::wstring, HMENU> popups_;  // level-0 item -> its drop-down
    std::map<std::pair<std::wstring, int>, UINT> ids_;
    std::map<UINT, std::pair<std::wstring, int>> items_;
};

}  // namespace lz
