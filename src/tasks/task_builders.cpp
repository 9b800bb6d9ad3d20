#include "tasks/task_builders.h"

#include <algorithm>

#include "env/quote.h"

namespace lz::tasks {

const wchar_t* const kWorkDir = L"c:\\BackTemp";
const wchar_t* const kSettingBat = L"c:\\BackTemp\\setting.bat";
const wchar_t* const kSettingLine = L"attrib +h c:\\BackTemp";
const wchar_t* const kTaskBat = L"c:\\BackTemp\\Task.bat";
const wchar_t* const kTaskList = L"c:\\BackTemp\\TaskList.txt";
const wchar_t* const kDelBat = L"c:\\BackTemp\\del.bat";
const wchar_t* const kDelAllBat = L"c:\\BackTemp\\DelAll.bat";
const wchar_t* const kAllTasksCmd = L"c:\\backtemp\\alltasks.cmd";
const wchar_t* const kAllTasksTxt = L"c:\\backtemp\\alltasks.txt";

const std::array<const wchar_t*, 7> kScheduleKinds = {
    L"每天", L"每周", L"每月", L"一次性", L"在系统启动时", L"在登陆时", L"空闲时",
};

namespace {

enum Kind { Daily, Weekly, Monthly, Once, OnStart, OnLogon, OnIdle };

std::wstring Two(int n) {
    std::wstring s = std::to_wstring(n);
    return s.size() < 2 ? L"0" + s : s;
}

std::wstring Four(int n) {
    std::wstring s = std::to_wstring(n);
    while (s.size() < 4) s = L"0" + s;
    return s;
}

bool HasBlank(const std::wstring& s) {
    return s.find_first_of(L" \t") != std::wstring::npos;
}

// Splits one CSV line; nullopt when it is not one (an information line).
std::optional<std::vector<std::wstring>> SplitCsv(const std::wstring& line) {
    std::vector<std::wstring> fields;
    std::size_t i = 0;
    if (line.empty() || line[0] != L'"') return std::nullopt;
    while (i < line.size()) {
        if (line[i] != L'"') return std::nullopt;
        std::wstring field;
        ++i;
        for (;;) {
            if (i >= line.size()) return std::nullopt;
            if (line[i] == L'"') {
                if (i + 1 < line.size() && line[i + 1] == L'"') {
                    field += L'"';
                    i += 2;
                    continue;
                }
                ++i;
                break;
            }
            field += line[i++];
        }
        fields.push_back(field);
        if (i == line.size()) break;
        if (line[i] != L',') return std::nullopt;
        ++i;
    }
    return fields;
}

}  // namespace

int ScheduleIndex(const std::wstring& text) {
    for (std::size_t i = 0; i < kScheduleKinds.size(); ++i)
        if (text == kScheduleKinds[i]) return int(i);
    return -1;
}

Scheduler SchedulerFor(const std::wstring& osName, OsVersion version) {
    if (version.major >= 6) return Scheduler::Modern;
    if (osName == L"Microsoft Windows XP") return Scheduler::XP;
    if (osName == L"Microsoft Windows 2000") return Scheduler::Win2000;
    return Scheduler::None;
}

std::wstring LastPathComponent(const std::wstring& path) {
    std::size_t slash = path.rfind(L'\\');
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring ActionBatchName(const std::tm& now) {
    return L"\\" + Four(now.tm_year + 1900) + L"_" + Two(now.tm_mon + 1) + L"_" + Two(now.tm_mday) + L"_" +
           Two(now.tm_hour) + L"_" + Two(now.tm_min) + L"_" + Two(now.tm_sec) + L".bat";
}

std::wstring StartTimeText(const std::tm& t) {
    return Two(t.tm_hour) + L":" + Two(t.tm_min) + L":" + Two(t.tm_sec);
}

std::wstring StartDateText(const std::tm& d) {
    return Four(d.tm_year + 1900) + L"/" + Two(d.tm_mon + 1) + L"/" + Two(d.tm_mday);
}

std::wstring MakeTaskName(const std::wstring& scheduleText, const std::tm& startTime, const std::tm& now,
                          const std::wstring& kindWord) {
    return scheduleText + Two(startTime.tm_hour) + L"_" + Two(startTime.tm_min) + L"_" + Two(startTime.tm_sec) +
           L"时" + Two(now.tm_hour) + Two(now.tm_min) + Two(now.tm_sec) + kindWord;
}

std::wstring WeekDaysList(const std::array<bool, 7>& ticked) {
    static const wchar_t* const codes[7] = {L"M", L",T", L",W", L",TH", L",F", L",S", L",SU"};
    std::wstring s = L" /every:";
    for (int i = 0; i < 7; ++i)
        if (ticked[i]) s += codes[i];
    return s;
}

std::wstring ModernWeekDays(const std::array<bool, 7>& ticked) {
    static const wchar_t* const days[7] = {L"MON", L"TUE", L"WED", L"THU", L"FRI", L"SAT", L"SUN"};
    std::wstring s;
    for (int i = 0; i < 7; ++i)
        if (ticked[i]) s += (s.empty() ? L"" : L",") + std::wstring(days[i]);
    return s;
}

std::optional<std::wstring> BatchPiece(const std::wstring& text) {
    if (text.empty()) return std::wstring();
    return BatchArg(text);
}

Refused CheckTaskPath(const std::wstring& path, std::size_t limit) {
    if (path.empty()) return {};
    if (CheckCommandText(path) != TextCheck::Ok) return {Refusal::Unsafe, path};
    // Windows drops a final dot or blank from a name before it looks it up, so
    // "data." would back up the folder "data" beside it and report success.
    std::size_t start = 0;
    for (std::size_t i = 0; i <= path.size(); ++i) {
        if (i < path.size() && path[i] != L'\\' && path[i] != L'/') continue;
        const std::wstring name = path.substr(start, i - start);
        if (!name.empty() && name != L"." && name != L".." && (name.back() == L'.' || name.back() == L' '))
            return {Refusal::NotAName, path};
        start = i + 1;
    }
    // Programs read an argument that begins with / as a switch, quoted or not.
    if (path[0] == L'/') return {Refusal::NotAName, path};
    for (std::size_t i = 0; i < path.size(); ++i) {
        const wchar_t c = path[i];
        if (c == L'*' || c == L'?' || c == L'<' || c == L'>' || c == L'|' || (c == L':' && i != 1))
            return {Refusal::NotAName, path};
    }
    if (path.size() > limit) return {Refusal::TooLong, path, limit};
    return {};
}

BackupAction CopyLine(const std::wstring& selectedFile, const std::wstring& targetFolder) {
    const std::wstring target = targetFolder + L"\\" + LastPathComponent(selectedFile) + L".bak";
    for (const std::wstring* path : {&selectedFile, &target})
        if (Refused r = CheckTaskPath(*path, kMaxFilePath)) return {L"", r};
    return {L"copy /y " + *BatchPiece(selectedFile) + L" " + *BatchPiece(target), {}};
}

BackupAction XcopyLine(const std::wstring& sourceFolder, const std::wstring& targetFolder) {
    const std::wstring target = targetFolder + L"\\";
    if (Refused r = CheckTaskPath(sourceFolder, kMaxFolderPath)) return {L"", r};
    // The folder, not the backslash that marks it as one, counts.
    if (Refused r = CheckTaskPath(targetFolder, kMaxFolderPath)) return {L"", {r.why, target, r.limit}};
    return {L"xcopy /e /y " + *BatchPiece(sourceFolder) + L" " + *BatchPiece(target), {}};
}

Refused CheckProgram(const std::wstring& programPath) {
    // A folder is no program, and its final backslash would escape the quote
    // that follows it.
    if (programPath.empty() || programPath.back() == L'\\' || programPath.back() == L'/')
        return {Refusal::NotAName, programPath};
    return CheckTaskPath(programPath, kMaxFilePath);
}

std::wstring BatchTarget(const std::wstring& batchPath) { return ForBatch(SchedulerTarget(batchPath)); }

std::wstring ProgramTarget(const std::wstring& programPath) {
    // A plain path keeps the quotes it always had; one with a blank needs
    // quotes that survive schtasks' own parsing, or the scheduler would run
    // the first word.
    if (HasBlank(programPath)) return ForBatch(SchedulerTarget(programPath));
    return ForBatch(L"\"" + programPath + L"\"");
}

std::tm ProbeDate() {
    std::tm t{};
    t.tm_year = 2033 - 1900;
    t.tm_mon = 10;
    t.tm_mday = 22;
    return t;
}

DateOrder DateOrderFrom(const std::wstring& probeText) {
    std::size_t year = probeText.find(L"2033");
    if (year == std::wstring::npos) year = probeText.find(L"33");
    const std::size_t month = probeText.find(L"11");
    const std::size_t day = probeText.find(L"22");
    if (year == std::wstring::npos || month == std::wstring::npos || day == std::wstring::npos)
        return DateOrder::YMD;
    if (year < month && month < day) return DateOrder::YMD;
    if (month < day) return DateOrder::MDY;
    return DateOrder::DMY;
}

std::wstring ModernDateText(const std::tm& d, DateOrder order) {
    const std::wstring y = Four(d.tm_year + 1900), m = Two(d.tm_mon + 1), day = Two(d.tm_mday);
    switch (order) {
    case DateOrder::MDY: return m + L"/" + day + L"/" + y;
    case DateOrder::DMY: return day + L"/" + m + L"/" + y;
    default: return y + L"/" + m + L"/" + day;
    }
}

SchedulerCommand BuildSchedulerCommand(const SchedulerInput& in) {
    SchedulerCommand out;
    if (in.scheduler == Scheduler::None) {
        out.error = CommandError::NoScheduler;
        return out;
    }
    const int kind = ScheduleIndex(in.scheduleText);
    if (kind < 0) {
        out.error = CommandError::UnknownKind;
        return out;
    }
    if (in.scheduler == Scheduler::Win2000 && kind >= OnStart) {
        out.error = CommandError::NotOnWin2000;
        return out;
    }
    // at has no /every: list for no day, and schtasks no /d.
    if (kind == Weekly && ModernWeekDays(in.weekDays).empty()) {
        out.error = CommandError::NoWeekDay;
        return out;
    }
    const bool schtasks = in.scheduler == Scheduler::Modern ||
                          (in.scheduler == Scheduler::XP && kind != Weekly && kind != Monthly);
    if (in.taskName.empty() || in.taskTarget.empty()) out.error = CommandError::Incomplete;
    else if (schtasks && in.computer.empty()) out.error = CommandError::NoComputer;
    else if (schtasks && in.user.empty()) out.error = CommandError::NoUser;
    else if (schtasks && in.password.empty()) out.error = CommandError::NoPassword;
    else if (kind == Monthly && in.monthDay.empty()) out.error = CommandError::NoMonthDay;
    else if (kind == OnIdle && in.freeTime.empty()) out.error = CommandError::NoIdleTime;
    if (out.error != CommandError::None) return out;

    auto piece = [&](const std::wstring& text) {
        auto p = BatchPiece(text);
        if (!p) {
            if (out.refused.empty()) out.refused = text;
            return std::wstring();
        }
        return *p;
    };
    const std::wstring name = piece(in.taskName);
    const std::wstring& target = in.taskTarget;
    const std::wstring time = StartTimeText(in.startTime);
    const std::wstring date = StartDateText(in.startDate);
    const std::wstring logon =
        L" /s " + piece(in.computer) + L" /ru " + piece(in.user) + L" /rp " + piece(in.password);
    auto create = [&](const wchar_t* type) {
        out.scheduleType = type;
        return L"schtasks /create /tn " + name + L" /tr " + target + L" /sc " + out.scheduleType;
    };
    const std::wstring atStart = L"at " + time + L" /interactive ";

    if (in.scheduler == Scheduler::Modern) {
        // HH:mm only, and no start time or date for the event-driven kinds.
        const std::wstring hhmm = time.substr(0, 5);
        switch (kind) {
        case Daily: out.line = create(L"DAILY") + L" /st " + hhmm + logon; break;
        case Weekly:
            out.line = create(L"WEEKLY") + L" /d " + ModernWeekDays(in.weekDays) + L" /st " + hhmm + logon;
            break;
        case Monthly: out.line = create(L"MONTHLY") + L" /d " + piece(in.monthDay) + L" /st " + hhmm + logon; break;
        case Once:
            out.line = create(L"ONCE") + L" /st " + hhmm + logon + L" /sd " + ModernDateText(in.startDate, in.dateOrder);
            break;
        case OnStart: out.line = create(L"ONSTART") + logon; break;
        case OnLogon: out.line = create(L"ONLOGON") + logon; break;
        case OnIdle: out.line = create(L"ONIDLE") + logon + L" /i " + piece(in.freeTime); break;
        }
    } else if (kind == Weekly) {
        out.line = atStart + WeekDaysList(in.weekDays) + L" " + target;
    } else if (kind == Monthly) {
        out.line = atStart + L" /every:" + piece(in.monthDay) + L" " + target;
    } else if (in.scheduler == Scheduler::Win2000) {
        if (kind == Daily) {
            // Day 31 is missing: the list always was 1 to 30.
            std::wstring days;
            for (int d = 1; d <= 30; ++d) days += std::to_wstring(d) + (d < 30 ? L"," : L" ");
            out.line = atStart + L" /every:" + days + target;
        } else {
            out.line = atStart + target;
        }
    } else {
        switch (kind) {
        case Daily: out.line = create(L"DAILY") + L" /st " + time + logon; break;
        case Once: out.line = create(L"ONCE") + L" /st " + time + logon + L" /sd " + date; break;
        case OnStart: out.line = create(L"ONSTART") + L" /sd " + date + logon; break;
        case OnLogon: out.line = create(L"ONLOGON") + logon; break;
        case OnIdle: out.line = create(L"ONIDLE") + logon + L" /i " + piece(in.freeTime); break;
        default: break;
        }
    }
    if (!out.refused.empty()) {
        out.error = CommandError::Unsafe;
        out.line.clear();
        out.scheduleType.clear();
    }
    return out;
}

std::wstring ListingCommand(Scheduler scheduler) {
    if (scheduler == Scheduler::Modern) return L"schtasks /query /fo CSV /nh  > c:\\backtemp\\alltasks.txt";
    return L"schtasks /query /fo Table /nh  > c:\\backtemp\\alltasks.txt";
}

Listing ReadListing(const std::vector<std::wstring>& lines, Scheduler scheduler) {
    Listing out;
    if (scheduler != Scheduler::Modern) {
        // The first line is the listing's blank line; a listing of one line
        // has nothing else to show.
        if (lines.size() == 1) {
            out.rows.push_back({lines[0], TaskNameOfEntry(lines[0])});
            out.text = lines[0];
            return out;
        }
        for (std::size_t i = 1; i < lines.size(); ++i) out.rows.push_back({lines[i], TaskNameOfEntry(lines[i])});
        if (lines.size() >= 2) out.text = lines[1];
        return out;
    }
    for (const std::wstring& line : lines) {
        auto fields = SplitCsv(line);
        if (!fields || fields->size() < 3) continue;
        const std::wstring& path = (*fields)[0];
        // Names of listed tasks are full paths; the user's own live in the
        // root folder, the system's in sub-folders.
        if (path.size() < 2 || path[0] != L'\\' || path.find(L'\\', 1) != std::wstring::npos) continue;
        const std::wstring name = path.substr(1);
        out.rows.push_back({name + L"  " + (*fields)[1] + L"  " + (*fields)[2], name});
    }
    if (!out.rows.empty()) out.text = out.rows.front().display;
    return out;
}

std::wstring TaskNameOfEntry(const std::wstring& entry) {
    std::size_t bar = entry.find(L'|');
    if (bar != std::wstring::npos) return entry.substr(0, bar);
    return entry.substr(0, entry.find(L' '));
}

std::optional<std::wstring> DeleteLine(const std::wstring& taskName) {
    auto name = BatchPiece(taskName);
    if (!name || name->empty()) return std::nullopt;
    return L"schtasks /delete /tn " + *name + L" /f";
}

std::vector<std::wstring> DeleteAllLines() { return {L"schtasks /delete /tn * /f", L"at /delete /yes"}; }

}  // namespace lz::tasks
