// The quoting of paths and typed texts. For any text that is not refused,
// cmd's reading of the batch line and then the C runtime's or COPY's reading
// of the command give back exactly that text, as one argument; what the
// scheduler receives after /tr is the path, in quotes when it holds a blank.
#include "env/quote.h"
#include "fuzz/fuzz_check.h"
#include "support/cmd_reference.h"
#include "tasks/task_builders.h"

using namespace lz;
using namespace lz::test;

namespace {

std::wstring Shown(const std::wstring& text, const std::wstring& line) { return text + L" => " + line; }

void CheckArgument(const std::wstring& text) {
    const std::wstring quoted = QuoteArg(text);
    LZ_REQUIRE(CrtArgs(L"p " + quoted) == (std::vector<std::wstring>{L"p", text}), Shown(text, quoted));

    const std::wstring line = L"p " + *BatchArg(text);
    const BatchRead read = ReadBatchLine(line);
    LZ_REQUIRE(read.ok, Shown(text, line + L" : " + read.why));
    LZ_REQUIRE(CrtArgs(read.command) == (std::vector<std::wstring>{L"p", text}), Shown(text, line));
    const auto copy = CopyArgs(read.command);
    LZ_REQUIRE(copy && copy->size() == 2 && !(*copy)[1].isSwitch, Shown(text, line));
    LZ_REQUIRE(SameFolderEnd((*copy)[1].text) == SameFolderEnd(text), Shown(text, line));
}

void CheckSchedulerTarget(const std::wstring& text) {
    const std::wstring line = L"schtasks /tr " + ForBatch(SchedulerTarget(text)) + L" /sc DAILY";
    const BatchRead read = ReadBatchLine(line);
    LZ_REQUIRE(read.ok, Shown(text, line + L" : " + read.why));
    const std::vector<std::wstring> args = CrtArgs(read.command);
    LZ_REQUIRE(args.size() == 5 && args[0] == L"schtasks" && args[1] == L"/tr" && args[3] == L"/sc" &&
                   args[4] == L"DAILY",
               Shown(text, line));
    // With a blank the scheduler receives a quoted command line of its own,
    // which reads back as the path; without one the path itself.
    const bool blank = text.find_first_of(L" \t") != std::wstring::npos;
    if (blank)
        LZ_REQUIRE(args[2][0] == L'"' && CrtArgs(args[2]) == std::vector<std::wstring>{text}, Shown(text, line));
    else
        LZ_REQUIRE(args[2] == text, Shown(text, line));
}

void CheckProgram(const std::wstring& text) {
    if (text.empty()) return;
    const std::wstring line = QuoteProgram(text) + L" x";
    const std::vector<std::wstring> args = CrtArgs(line);
    // Without a blank CreateProcess needs no quotes; with one it gets them.
    LZ_REQUIRE(args.size() == 2 && args[0] == text, Shown(text, line));
}

void CheckActionLines(const std::wstring& text) {
    for (const std::wstring& file : {text, L"C:\\doc\\" + text}) {
        const tasks::BackupAction copy = tasks::CopyLine(file, L"d:\\Backup\\单个文件备份");
        if (copy.refused || file.empty()) continue;
        const BatchRead read = ReadBatchLine(copy.line);
        LZ_REQUIRE(read.ok, Shown(text, copy.line));
        const auto args = CopyArgs(read.command);
        LZ_REQUIRE(args && args->size() == 4 && SameFolderEnd((*args)[2].text) == SameFolderEnd(file) &&
                       !(*args)[2].isSwitch && !(*args)[3].isSwitch,
                   Shown(text, copy.line));
    }
    const tasks::BackupAction xcopy = tasks::XcopyLine(text, L"d:\\Backup\\" + text);
    if (xcopy.refused || text.empty()) return;
    const BatchRead read = ReadBatchLine(xcopy.line);
    LZ_REQUIRE(read.ok, Shown(text, xcopy.line));
    LZ_REQUIRE(CrtArgs(read.command) ==
                   (std::vector<std::wstring>{L"xcopy", L"/e", L"/y", text, L"d:\\Backup\\" + text + L"\\"}),
               Shown(text, xcopy.line));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring text = fuzz::Text(data, size);
    const bool safe = CheckCommandText(text) == TextCheck::Ok;
    LZ_REQUIRE(BatchArg(text).has_value() == safe, text);
    if (!safe) return 0;
    CheckArgument(text);
    CheckSchedulerTarget(text);
    CheckProgram(text);
    CheckActionLines(text);
    return 0;
}
