// The reader of the scheduler's listing (alltasks.txt), which another program
// writes. Whatever it holds: the rows are the lines the system's table rule
// names, and each row's task name goes into del.bat whole or is refused.
#include "env/quote.h"
#include "env/textlines.h"
#include "fuzz/fuzz_check.h"
#include "support/cmd_reference.h"
#include "tasks/task_builders.h"

using namespace lz;
using namespace lz::tasks;

namespace {

void CheckDeletion(const ListedTask& row) {
    auto line = DeleteLine(row.name);
    if (!line) {
        LZ_REQUIRE(row.name.empty() || CheckCommandText(row.name) != TextCheck::Ok, row.name);
        return;
    }
    const test::BatchRead read = test::ReadBatchLine(*line);
    LZ_REQUIRE(read.ok, *line);
    LZ_REQUIRE(test::CrtArgs(read.command) ==
                   (std::vector<std::wstring>{L"schtasks", L"/delete", L"/tn", row.name, L"/f"}),
               *line);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::wstring> lines = SplitLines(fuzz::Text(data, size));
    for (const auto& line : lines) LZ_REQUIRE(line.find_first_of(L"\r\n") == std::wstring::npos, line);

    {
        // Windows 2000 and unknown systems read the listing as XP does.
        const Listing l = ReadListing(lines, Scheduler::XP);
        // Every line after the blank first one; a single line as it is.
        const std::size_t expected = lines.size() == 1 ? 1 : lines.empty() ? 0 : lines.size() - 1;
        LZ_REQUIRE(l.rows.size() == expected, l.text);
        for (std::size_t i = 0; i < l.rows.size(); ++i) {
            LZ_REQUIRE(l.rows[i].display == lines[lines.size() == 1 ? 0 : i + 1], l.rows[i].display);
            LZ_REQUIRE(l.rows[i].name == TaskNameOfEntry(l.rows[i].display), l.rows[i].name);
            CheckDeletion(l.rows[i]);
        }
        LZ_REQUIRE(l.text == (l.rows.empty() ? L"" : l.rows[0].display), l.text);
    }

    const Listing modern = ReadListing(lines, Scheduler::Modern);
    LZ_REQUIRE(modern.rows.size() <= lines.size(), modern.text);
    for (const ListedTask& row : modern.rows) {
        // Root-folder tasks only, named without their folder.
        LZ_REQUIRE(!row.name.empty() && row.name.find(L'\\') == std::wstring::npos, row.name);
        LZ_REQUIRE(row.display.rfind(row.name + L"  ", 0) == 0, row.display);
        CheckDeletion(row);
    }
    LZ_REQUIRE(modern.text == (modern.rows.empty() ? L"" : modern.rows[0].display), modern.text);
    return 0;
}
