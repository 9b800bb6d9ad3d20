// The help file "lanzhan.chm" beside the program, shown by the system's hh.exe.
#pragma once
#include <string>

namespace lz {

// WinDir\hh.exe <program dir>\lanzhan.chm, each path quoted when it needs it.
std::wstring HelpCommand(const std::wstring& winDir, const std::wstring& programDir);

}  // namespace lz
