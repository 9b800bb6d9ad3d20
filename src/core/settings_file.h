// Where the suite's settings files (SavePath.ini, Screen.ini) live.
//
// Beside the program, as they always were, while the program's folder can be
// written. When it cannot (installed under Program Files on Vista and later,
// run from a CD or a locked-down share) they go to the user's application data
// folder, in a folder named after the suite. A copy there is read first, and
// once it exists every later value goes there too, so that a value saved there
// is never hidden behind an older file beside the program.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "env/machine.h"

namespace lz {

// The suite's own folder under the user's application data; "" when the
// system does not say where that is.
std::wstring AppDataSettingsFolder(Machine& machine);
// Where the named file is read from: the application data copy when there is
// one, else the file beside the program.
std::wstring SettingsReadPath(Machine& machine, const std::wstring& name);
// Where a new value of the named file goes (see above). Asks the system whether
// the program's folder can be written, so it is worth calling only to write.
std::wstring SettingsWritePath(Machine& machine, const std::wstring& name);

// The file's lines, from where SettingsReadPath says; nullopt when it cannot be read.
std::optional<std::vector<std::wstring>> ReadSettingsFile(Machine& machine, const std::wstring& name);
// Replaces the file where SettingsWritePath says, making the suite's folder
// under application data when that is the place. `writtenTo` (when given)
// receives the path tried, for a message that names it.
WriteResult WriteSettingsFile(Machine& machine, const std::wstring& name, const std::vector<std::wstring>& lines,
                              std::wstring* writtenTo = nullptr);

}  // namespace lz
