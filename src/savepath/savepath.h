// The backup destination kept in SavePath.ini beside the program: one line,
// the last line wins.
#pragma once
#include <string>

#include "core/context.h"

namespace lz {

std::wstring SavePathIni(Machine& machine);
// Missing or unreadable file: "" and nothing said.
void ReadSavePath(AppContext& ctx);
WriteResult WriteSavePath(Machine& machine, const std::wstring& path);

}  // namespace lz
