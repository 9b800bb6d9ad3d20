// How cmd.exe and the programs it starts read a line the suite wrote: small
// reference readers for the tests and fuzz targets, written from the rules in
// the quoting notes, not from the code under test. They are strict: whatever
// they cannot vouch for (an expansion, an operator, a joined file) is an error.
#pragma once
#include <optional>
#include <string>
#include <vector>

namespace lz::test {

struct BatchRead {
    bool ok = false;
    std::wstring why;      // not ok: what cmd would do besides passing on one command
    std::wstring command;  // the command cmd passes on: %% and carets resolved, quotes kept
};
// One line of a .bat file, delayed expansion off: first % (only %% may
// appear, anything else would expand or vanish), then, outside double quotes,
// ^ escapes and & | < > ( ) are operators. Every " switches quoting.
BatchRead ReadBatchLine(const std::wstring& line);

// The C runtime's split of a command line into arguments, as schtasks, at,
// xcopy and most programs do it (the first by the same rules as the rest).
std::vector<std::wstring> CrtArgs(const std::wstring& commandLine);

struct CopyArg {
    std::wstring text;      // quotes dropped
    bool isSwitch = false;  // began with / outside quotes
};
// cmd's built-in COPY: arguments split at blanks , ; = outside quotes and
// their quotes dropped. nullopt when a + outside quotes would join files or a
// / outside quotes inside an argument would start a switch there.
std::optional<std::vector<CopyArg>> CopyArgs(const std::wstring& command);

// A path as the file functions see it: a run of backslashes at its end counts
// as one ("D:\x y\\" in quotes reaches COPY with both).
std::wstring SameFolderEnd(std::wstring path);

}  // namespace lz::test
