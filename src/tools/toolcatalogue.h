// The built-in tools the tools window starts: one row per tool, shared by the
// button grid and the pop-up menu, and the command line each row gives.
#pragma once
#include <string>
#include <vector>

namespace lz {

// How a row's command line is made from the system directory S, the Windows
// directory W and the system drive D (the first two characters of W).
enum class ToolForm {
    None,          // starts nothing
    System,        // S + path
    Windows,       // W + path
    Console,       // S\mmc.exe, two blanks, S + path of a console file
    ProgramFiles,  // D + path, a path under "\Program Files\"
};

struct Tool {
    int button;                // index in cmdXpTools, -1 for a menu-only tool
    const wchar_t* caption;    // the button's caption, "" without a button
    const wchar_t* menu;       // the menu item, "" without one
    const wchar_t* menuCaption;
    ToolForm form;
    const wchar_t* path;       // begins with a backslash
};

// Every row, buttons in index order first, then the menu-only tools.
const std::vector<Tool>& ToolCatalogue();
// nullptr when the button or menu item is not a tool (index 18, mnuExit ...).
const Tool* ToolByButton(int button);
const Tool* ToolByMenu(const std::wstring& menu);

// The command line of a row; "" for a row that starts nothing. A program or
// console file path that holds a blank is quoted, so that the system cannot
// start a shorter prefix such as C:\Program.exe; other paths stay as built.
std::wstring ToolCommandLine(const Tool& tool, const std::wstring& sysDir, const std::wstring& winDir);

}  // namespace lz
