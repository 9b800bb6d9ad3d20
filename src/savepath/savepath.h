// The backup destination kept in SavePath.ini: one line, the last line wins.
// The file is beside the program, or in the user's application data folder
// when the program's folder cannot be written (core/settings_file.h).
#pragma once
#include <string>

#include "core/context.h"

namespace lz {

// Missing or unreadable file: "" and nothing said.
void ReadSavePath(AppContext& ctx);
// `writtenTo` (when given) receives where the file was to go.
WriteResult WriteSavePath(Machine& machine, const std::wstring& path, std::wstring* writtenTo = nullptr);

}  // namespace lz
