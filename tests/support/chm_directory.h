// The names of the files in a compiled help file (.chm), read from its
// directory without the help system: the ITSF header points to the ITSP
// directory, whose PMGL chunks list every file by name.
#pragma once
#include <optional>
#include <set>
#include <string>

namespace lz::test {

// Names as stored ("/tasks.htm", "/#SYSTEM", "::DataSpace/..."), UTF-8;
// nullopt when the bytes are not a help file this reader understands.
std::optional<std::set<std::string>> ChmDirectoryNames(const std::string& bytes);

}  // namespace lz::test
