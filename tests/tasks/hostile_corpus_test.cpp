// Every hostile path and text of tests/corpus/hostile.txt through every
// builder of batch lines and command lines. Each result is either refused for
// a reason that holds, or read back by cmd's rules and the program's own into
// exactly what went in, as one argument, with no command beside it.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "core/help.h"
#include "env/quote.h"
#include "softbackup/softbackup_tables.h"
#include "support/cmd_reference.h"
#include "support/hostile_corpus.h"
#include "tasks/task_builders.h"
#include "tools/toolcatalogue.h"

using namespace lz;
using namespace lz::tasks;
using lz::test::CopyArgs;
using lz::test::CrtArgs;
using lz::test::HostileText;
using lz::test::Printable;
using lz::test::ReadBatchLine;
using lz::test::SameFolderEnd;

namespace {

const std::wstring kSave = L"d:\\Backup\\单个文件备份";
const std::wstring kBatch = L"c:\\BackTemp\\2005_01_09_15_30_45.bat";

struct Corpus : ::testing::Test {
    static const std::vector<HostileText>& Entries() {
        static const std::vector<HostileText> entries = lz::test::HostileCorpus();
        return entries;
    }
};

// The command cmd passes on from a batch line; fails the test otherwise.
std::optional<std::wstring> Command(const std::wstring& line) {
    lz::test::BatchRead read = ReadBatchLine(line);
    EXPECT_TRUE(read.ok) << Printable(read.why) << " in: " << Printable(line);
    if (!read.ok) return std::nullopt;
    return read.command;
}

void ExpectCopy(const std::wstring& line, const std::wstring& from, const std::wstring& to) {
    auto command = Command(line);
    if (!command) return;
    auto args = CopyArgs(*command);
    ASSERT_TRUE(args) << "COPY would join files or read a switch: " << Printable(line);
    ASSERT_EQ(args->size(), 4u) << Printable(line);
    EXPECT_EQ((*args)[0].text, L"copy");
    EXPECT_TRUE((*args)[1].isSwitch);
    EXPECT_EQ((*args)[1].text, L"/y");
    EXPECT_FALSE((*args)[2].isSwitch || (*args)[3].isSwitch) << Printable(line);
    EXPECT_EQ(SameFolderEnd((*args)[2].text), SameFolderEnd(from)) << Printable(line);
    EXPECT_EQ(SameFolderEnd((*args)[3].text), SameFolderEnd(to)) << Printable(line);
}

void ExpectXcopy(const std::wstring& line, const std::wstring& from, const std::wstring& to) {
    auto command = Command(line);
    if (!command) return;
    EXPECT_EQ(CrtArgs(*command), (std::vector<std::wstring>{L"xcopy", L"/e", L"/y", from, to + L"\\"}))
        << Printable(line);
}

// The switches of a schtasks line and their values; every switch that takes
// a value has one, and it does not look like a switch.
std::map<std::wstring, std::wstring> Switches(const std::wstring& line, const wchar_t* program) {
    std::map<std::wstring, std::wstring> out;
    auto command = Command(line);
    if (!command) return out;
    const std::vector<std::wstring> args = CrtArgs(*command);
    static const std::set<std::wstring> valued = {L"/tn", L"/tr", L"/sc", L"/st", L"/sd", L"/s",
                                                  L"/ru", L"/rp", L"/i",  L"/d",  L"/mo"};
    EXPECT_FALSE(args.empty());
    if (args.empty()) return out;
    EXPECT_EQ(args[0], program);
    for (std::size_t i = 1; i < args.size(); ++i) {
        EXPECT_TRUE(out.count(args[i]) == 0) << "twice: " << Printable(args[i]) << " in " << Printable(line);
        if (valued.count(args[i])) {
            EXPECT_LT(i + 1, args.size()) << Printable(line);
            if (i + 1 < args.size()) out[args[i]] = args[i + 1];
            ++i;
        } else {
            EXPECT_EQ(args[i][0], L'/') << "stray argument " << Printable(args[i]) << " in " << Printable(line);
            out[args[i]] = L"";
        }
    }
    return out;
}

// What the scheduler receives after /tr for a program started directly.
std::wstring Received(const std::wstring& program) {
    return program.find_first_of(L" \t") == std::wstring::npos ? program : L"\"" + program + L"\"";
}

bool HasFinalDotOrBlank(const std::wstring& path) {
    std::size_t start = 0;
    for (std::size_t i = 0; i <= path.size(); ++i) {
        if (i < path.size() && path[i] != L'\\' && path[i] != L'/') continue;
        const std::wstring name = path.substr(start, i - start);
        if (!name.empty() && name != L"." && name != L".." && (name.back() == L'.' || name.back() == L' '))
            return true;
        start = i + 1;
    }
    return false;
}

// A refusal must have its reason in the text.
void ExpectJustified(const Refused& r) {
    switch (r.why) {
    case Refusal::None: break;
    case Refusal::Unsafe: EXPECT_NE(CheckCommandText(r.text), TextCheck::Ok) << Printable(r.text); break;
    case Refusal::NotAName:
        EXPECT_TRUE(r.text.empty() || HasFinalDotOrBlank(r.text) || r.text[0] == L'/' ||
                    r.text.find_first_of(L"*?<>|") != std::wstring::npos ||
                    r.text.find(L':', 2) != std::wstring::npos || r.text.back() == L'\\')
            << Printable(r.text);
        break;
    case Refusal::TooLong: EXPECT_GT(r.text.size(), r.limit) << Printable(r.text); break;
    }
}

void CheckCopyLine(const std::wstring& file, const std::wstring& folder) {
    BackupAction a = CopyLine(file, folder);
    ExpectJustified(a.refused);
    if (a.refused || file.empty()) return;
    ExpectCopy(a.line, file, folder + L"\\" + LastPathComponent(file) + L".bak");
}

void CheckXcopyLine(const std::wstring& source, const std::wstring& target) {
    BackupAction a = XcopyLine(source, target);
    ExpectJustified(a.refused);
    if (a.refused || source.empty() || target.empty()) return;
    ExpectXcopy(a.line, source, target);
}

SchedulerInput Daily() {
    SchedulerInput in;
    in.scheduler = Scheduler::XP;
    in.scheduleText = L"每天";
    in.taskName = L"每天08_30_00时153045备份文件";
    in.taskTarget = BatchTarget(kBatch);
    in.startTime.tm_hour = 8, in.startTime.tm_min = 30;
    in.startDate.tm_year = 105, in.startDate.tm_mday = 9;
    in.weekDays = {true, true, true, true, true, true, true};
    in.monthDay = L"1";
    in.freeTime = L"10";
    in.computer = L"MYPC";
    in.user = L"alice";
    in.password = L"secret";
    return in;
}

// Every kind on every system with `text` in one field; what was built must
// read back field for field.
void CheckSchedulerFields(const std::wstring& text) {
    enum Field { Name, Computer, User, Password, MonthDay, FreeTime, Program };
    for (int field = Name; field <= Program; ++field) {
        for (Scheduler s : {Scheduler::XP, Scheduler::Win2000, Scheduler::Modern}) {
            for (const wchar_t* kind : kScheduleKinds) {
                SchedulerInput in = Daily();
                in.scheduler = s;
                in.scheduleText = kind;
                std::wstring program;
                switch (field) {
                case Name: in.taskName = text; break;
                case Computer: in.computer = text; break;
                case User: in.user = text; break;
                case Password: in.password = text; break;
                case MonthDay: in.monthDay = text; break;
                case FreeTime: in.freeTime = text; break;
                case Program:
                    if (CheckProgram(text)) continue;
                    program = text;
                    in.taskTarget = ProgramTarget(text);
                    break;
                }
                SCOPED_TRACE(Printable(text) + " in field " + std::to_string(field) + ", " + Printable(kind));
                SchedulerCommand c = BuildSchedulerCommand(in);
                if (c.error == CommandError::Unsafe) {
                    EXPECT_NE(CheckCommandText(c.refused), TextCheck::Ok);
                    EXPECT_EQ(c.refused, text);
                    continue;
                }
                if (c.error != CommandError::None) {
                    EXPECT_TRUE(c.line.empty());
                    if (c.error >= CommandError::Incomplete) {
                        EXPECT_TRUE(text.empty());
                    }
                    continue;
                }
                const std::wstring target = program.empty() ? kBatch : Received(program);
                if (c.line.rfind(L"at ", 0) == 0) {
                    auto command = Command(c.line);
                    if (!command) continue;
                    std::vector<std::wstring> args = CrtArgs(*command);
                    ASSERT_GE(args.size(), 4u);
                    EXPECT_EQ(args.back(), target);
                    if (std::wstring(kind) == L"每月") {
                        EXPECT_EQ(args[3], L"/every:" + in.monthDay);
                    }
                    continue;
                }
                auto sw = Switches(c.line, L"schtasks");
                EXPECT_EQ(sw[L"/tn"], in.taskName);
                EXPECT_EQ(sw[L"/tr"], target);
                EXPECT_LE(sw[L"/tr"].size(), kMaxSchedulerTarget);
                EXPECT_EQ(sw[L"/s"], in.computer);
                EXPECT_EQ(sw[L"/ru"], in.user);
                EXPECT_EQ(sw[L"/rp"], in.password);
                if (sw.count(L"/i")) {
                    EXPECT_EQ(sw[L"/i"], in.freeTime);
                }
                if (std::wstring(kind) == L"每月") {
                    EXPECT_EQ(sw[L"/d"], in.monthDay);
                }
            }
        }
    }
}

}  // namespace

TEST_F(Corpus, HoldsEveryKindOfHostileText) {
    ASSERT_GE(Entries().size(), 40u) << "tests/corpus/hostile.txt was not read";
    std::set<std::wstring> kinds;
    int onWine = 0;
    for (const auto& e : Entries()) kinds.insert(e.kind), onWine += e.onWine;
    EXPECT_EQ(kinds, (std::set<std::wstring>{L"name", L"path", L"text"}));
    EXPECT_GE(onWine, 5);
    EXPECT_THROW(lz::test::ParseHostileCorpus("name no tab\n"), std::runtime_error);
    EXPECT_EQ(lz::test::ParseHostileCorpus("text\ta{U+000D}{3*xy}{x}\n")[0].text, L"a\rxyxyxy{x}");
}

TEST_F(Corpus, QuotingReadsBackAsOneArgumentByCmdCopyAndTheRuntime) {
    for (const auto& e : Entries()) {
        SCOPED_TRACE(Printable(e.text));
        auto arg = BatchArg(e.text);
        EXPECT_EQ(arg.has_value(), CheckCommandText(e.text) == TextCheck::Ok);
        if (!arg) continue;
        auto command = Command(L"prog " + *arg);
        if (!command) continue;
        EXPECT_EQ(CrtArgs(*command), (std::vector<std::wstring>{L"prog", e.text}));
        auto copy = CopyArgs(*command);
        ASSERT_TRUE(copy);
        ASSERT_EQ(copy->size(), 2u);
        EXPECT_EQ(SameFolderEnd((*copy)[1].text), SameFolderEnd(e.text));
    }
}

TEST_F(Corpus, ActionLinesCopyWhatWasNamedOrAreRefusedWithAReason) {
    for (const auto& e : Entries()) {
        SCOPED_TRACE(Printable(e.text));
        if (e.kind == L"name") {
            // A name Windows allows is never refused inside an ordinary path.
            const std::wstring folder = L"C:\\文档\\" + e.text, file = folder + L"\\计划.txt";
            EXPECT_FALSE(CopyLine(file, kSave).refused);
            EXPECT_FALSE(CopyLine(folder, kSave).refused);
            EXPECT_FALSE(XcopyLine(folder, L"d:\\Backup\\" + e.text).refused);
            EXPECT_FALSE(CheckProgram(folder + L"\\app.exe"));
            CheckCopyLine(file, kSave);
            CheckCopyLine(folder, kSave);
            CheckCopyLine(L"C:\\doc\\a.txt", L"d:\\Backup\\" + e.text);
            CheckXcopyLine(folder, L"d:\\Backup\\" + e.text);
        } else {
            CheckCopyLine(e.text, kSave);
            CheckCopyLine(L"C:\\doc\\a.txt", e.text);
            CheckXcopyLine(e.text, L"d:\\Backup\\x");
            CheckXcopyLine(L"C:\\data", e.text);
            ExpectJustified(CheckProgram(e.text));
        }
    }
}

TEST_F(Corpus, SchedulerCommandsCarryEachFieldWholeAndNoEmptyValue) {
    for (const auto& e : Entries()) {
        CheckSchedulerFields(e.kind == L"name" ? L"C:\\工具\\" + e.text + L"\\app.exe" : e.text);
        if (e.kind == L"name") CheckSchedulerFields(e.text);
    }
}

TEST_F(Corpus, ListedTaskNamesAreDeletedByTheirWholeName) {
    for (const auto& e : Entries()) {
        SCOPED_TRACE(Printable(e.text));
        Listing xp = ReadListing({L"", e.text}, Scheduler::XP);
        std::wstring csvName = e.text;
        for (std::size_t at = 0; (at = csvName.find(L'"', at)) != std::wstring::npos; at += 2)
            csvName.insert(at, 1, L'"');
        Listing modern = ReadListing({L"\"\\" + csvName + L"\",\"N/A\",\"Ready\""}, Scheduler::Modern);
        for (const Listing* l : {&xp, &modern}) {
            for (const ListedTask& row : l->rows) {
                auto line = DeleteLine(row.name);
                if (!line) {
                    EXPECT_TRUE(row.name.empty() || CheckCommandText(row.name) != TextCheck::Ok);
                    continue;
                }
                auto sw = Switches(*line, L"schtasks");
                EXPECT_EQ(sw[L"/tn"], row.name);
                EXPECT_EQ(sw.size(), 3u);  // /delete, /tn, /f
            }
        }
        if (e.text.find(L'\\') == std::wstring::npos && !e.text.empty() &&
            e.text.find_first_of(L"\r\n") == std::wstring::npos) {
            ASSERT_EQ(modern.rows.size(), 1u);
            EXPECT_EQ(modern.rows[0].name, e.text);
        }
    }
}

// The suite's other lines with a path in them: netsh.bat's redirection, and
// the command lines of the help and the system tools (CreateProcess, no cmd).
TEST_F(Corpus, OtherLinesOfTheSuiteCarryTheirPathsWhole) {
    for (const auto& e : Entries()) {
        const std::wstring dir = e.kind == L"name" ? L"C:\\" + e.text : e.text;
        if (CheckCommandText(dir) != TextCheck::Ok || dir.size() < 3) continue;
        SCOPED_TRACE(Printable(dir));

        auto netsh = NetshLine(dir);
        ASSERT_TRUE(netsh);
        const std::wstring head = L"netsh  dump  > ";
        ASSERT_EQ(netsh->rfind(head, 0), 0u);
        // cmd takes the file name of a redirection as one word, quotes dropped.
        auto command = Command(L"x " + netsh->substr(head.size()));
        if (command) {
            auto words = CopyArgs(*command);
            ASSERT_TRUE(words && words->size() == 2) << Printable(*netsh);
            EXPECT_EQ((*words)[1].text, NetshOutput(dir));
        }

        EXPECT_EQ(CrtArgs(HelpCommand(dir, dir, L"tasks.htm")),
                  (std::vector<std::wstring>{dir + L"\\hh.exe", dir + L"\\lanzhan.chm::/tasks.htm"}));
        for (const Tool& tool : ToolCatalogue()) {
            const std::wstring line = ToolCommandLine(tool, dir, dir);
            std::vector<std::wstring> expected;
            switch (tool.form) {
            case ToolForm::None: break;
            case ToolForm::System:
            case ToolForm::Windows: expected = {dir + tool.path}; break;
            case ToolForm::Console: expected = {dir + L"\\mmc.exe", dir + tool.path}; break;
            case ToolForm::ProgramFiles: expected = {dir.substr(0, 2) + tool.path}; break;
            }
            EXPECT_EQ(CrtArgs(line), expected) << Printable(line);
        }
    }
}
