// The help file "lanzhan.chm" beside the program, shown by the system's hh.exe
// at the page of the window that asks for it.
#pragma once
#include <string>

namespace lz {

// The pages that help items open (help/*.htm).
inline constexpr wchar_t kHelpOverview[] = L"index.htm";       // the suite as a whole
inline constexpr wchar_t kHelpMain[] = L"main.htm";            // main window, tiles, tray menu
inline constexpr wchar_t kHelpTasks[] = L"tasks.htm";          // scheduled tasks
inline constexpr wchar_t kHelpSoftBackup[] = L"softbackup.htm";  // software backup
inline constexpr wchar_t kHelpBoot[] = L"boot.htm";            // boot menu and CD start
inline constexpr wchar_t kHelpFloppy[] = L"floppy.htm";        // the virtual boot floppy, step by step
inline constexpr wchar_t kHelpWebDrive[] = L"webdrive.htm";    // web storage, for its window's help item

// WinDir\hh.exe <program dir>\lanzhan.chm::/<page>, each path quoted when it needs it.
std::wstring HelpCommand(const std::wstring& winDir, const std::wstring& programDir, const std::wstring& page);

}  // namespace lz
