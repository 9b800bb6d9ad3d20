// The texts a scheduled task is made of: the action line of its batch file,
// its name, the scheduler command that registers it, and the reading of the
// scheduler's listing. Pure functions, so that every byte can be checked
// without a window or a machine.
#pragma once
#include <array>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "env/machine.h"

namespace lz::tasks {

// The work directory and the files the task window keeps there.
extern const wchar_t* const kWorkDir;       // c:\BackTemp
extern const wchar_t* const kSettingBat;    // c:\BackTemp\setting.bat
extern const wchar_t* const kSettingLine;   // attrib +h c:\BackTemp
extern const wchar_t* const kTaskBat;       // c:\BackTemp\Task.bat
extern const wchar_t* const kTaskList;      // c:\BackTemp\TaskList.txt
extern const wchar_t* const kDelBat;        // c:\BackTemp\del.bat
extern const wchar_t* const kDelAllBat;     // c:\BackTemp\DelAll.bat
extern const wchar_t* const kAllTasksCmd;   // c:\backtemp\alltasks.cmd
extern const wchar_t* const kAllTasksTxt;   // c:\backtemp\alltasks.txt

// The seven schedule kinds, as cboSelect lists them.
extern const std::array<const wchar_t*, 7> kScheduleKinds;
int ScheduleIndex(const std::wstring& text);  // -1 for any other text

// Which scheduler front ends the system has and what syntax they take.
enum class Scheduler {
    None,     // unknown system: nothing is registered
    Win2000,  // at only
    XP,       // schtasks for most kinds, at for weekly and monthly
    Modern,   // Vista and later: schtasks for all, HH:mm and the locale's date order
};
// Vista and later are known from the version, since their product names vary;
// the older two by the product name, as the registry spells it.
Scheduler SchedulerFor(const std::wstring& osName, OsVersion version);

// The text after the last backslash ("" when the path ends in one).
std::wstring LastPathComponent(const std::wstring& path);

// "\2005_01_09_15_30_45.bat": the action batch file's name, from the clock.
std::wstring ActionBatchName(const std::tm& now);
std::wstring StartTimeText(const std::tm& time);  // 08:30:00
std::wstring StartDateText(const std::tm& date);  // 2005/01/09
// 每天08_30_00时153045备份文件
std::wstring MakeTaskName(const std::wstring& scheduleText, const std::tm& startTime,
                          const std::tm& now, const std::wstring& kindWord);

// " /every:M,T,W,TH,F,S,SU" for at; ticked[0] is Monday.
std::wstring WeekDaysList(const std::array<bool, 7>& ticked);
// "MON,TUE,..." for schtasks /sc WEEKLY /d; "" when no day is ticked.
std::wstring ModernWeekDays(const std::array<bool, 7>& ticked);

// A path or typed text as one argument of a batch line: unchanged when plain,
// quoted when cmd would misread it, % doubled. An empty text stays empty, so a
// missing file keeps the classic line's shape. Refused: " and control characters.
std::optional<std::wstring> BatchPiece(const std::wstring& text);

// Why a path cannot go into a task as it is.
enum class Refusal {
    None,
    Unsafe,    // a double quote or a control character: no quoting protects it
    NotAName,  // a name ending in a dot or blank, or a character no file name
               // holds (* ? < > | or a colon after the drive), or a / at the
               // start: the commands would take it for another path, for
               // several, or for a switch
    TooLong,   // longer than the command or the scheduler takes
};
struct Refused {
    Refusal why = Refusal::None;
    std::wstring text;      // the path or text refused
    std::size_t limit = 0;  // TooLong: the most characters it may have
    explicit operator bool() const { return why != Refusal::None; }
};

// The longest paths the action files and the scheduler take, in characters:
// MAX_PATH without its terminating NUL for a file, and less room for an 8.3
// name for a folder (cmd's copy, xcopy and CreateDirectory all stop there;
// none of them understands \\?\). schtasks takes at most 261 characters
// after /tr, which a program path of 259 in quotes just fits.
inline constexpr std::size_t kMaxFilePath = 259;
inline constexpr std::size_t kMaxFolderPath = 247;
inline constexpr std::size_t kMaxSchedulerTarget = 261;

// Whether a path may go into an action line or be started by the scheduler
// as it is; `limit` is kMaxFilePath or kMaxFolderPath. "" passes (the classic
// line of an add without a chosen file keeps its shape).
Refused CheckTaskPath(const std::wstring& path, std::size_t limit);

// The action lines of a backup.
struct BackupAction {
    std::wstring line;
    Refused refused;  // set: this input cannot go into a batch line
};
// copy /y <file> <target>\<name>.bak
BackupAction CopyLine(const std::wstring& selectedFile, const std::wstring& targetFolder);
// xcopy /e /y <source> <target>\  (the trailing backslash: target is a folder)
BackupAction XcopyLine(const std::wstring& sourceFolder, const std::wstring& targetFolder);

// A program the scheduler is to start directly: refused like a file path.
Refused CheckProgram(const std::wstring& programPath);

// What the scheduler starts: a batch file as it is, a program (started
// directly) in the quotes the scheduler needs to keep it one path.
std::wstring BatchTarget(const std::wstring& batchPath);
std::wstring ProgramTarget(const std::wstring& programPath);

// The locale's order of day, month and year in a short date, learnt from how
// the system writes a known date (see ProbeDate).
enum class DateOrder { YMD, MDY, DMY };
std::tm ProbeDate();  // 2033-11-22
DateOrder DateOrderFrom(const std::wstring& probeText);
// The start date for Vista and later: the locale's order, "/" between, e.g. 2005/01/09.
std::wstring ModernDateText(const std::tm& date, DateOrder order);

struct SchedulerInput {
    Scheduler scheduler = Scheduler::None;
    std::wstring scheduleText;  // cboSelect
    std::wstring taskName;
    std::wstring taskTarget;  // from BatchTarget or ProgramTarget
    std::tm startTime{};      // dtpTime
    std::tm startDate{};      // dtpToday
    std::array<bool, 7> weekDays{};
    std::wstring monthDay;  // txtMonthDay, as typed
    std::wstring freeTime;  // txtFreeTime, as typed
    std::wstring computer;
    std::wstring user;
    std::wstring password;
    DateOrder dateOrder = DateOrder::YMD;
};

enum class CommandError {
    None,
    NoScheduler,     // the system is none of those known
    NotOnWin2000,    // start-up, logon and idle: at cannot do them
    UnknownKind,     // a schedule text that is none of the seven
    NoWeekDay,       // a weekly task needs at least one day
    Incomplete,      // no task name or nothing to run
    // An empty value would let the switch before it swallow the next switch
    // ("/ru  /rp secret" makes the password the user name): never written.
    NoComputer,
    NoUser,
    NoPassword,
    NoMonthDay,
    NoIdleTime,
    Unsafe,          // a text that cannot go into a command line (see `refused`)
};

struct SchedulerCommand {
    std::wstring line;       // the line of Task.bat
    std::wstring scheduleType;  // DAILY, ONCE ... when schtasks is used
    CommandError error = CommandError::None;
    std::wstring refused;
};
SchedulerCommand BuildSchedulerCommand(const SchedulerInput& in);

// The listing command written to alltasks.cmd. Vista and later list as CSV:
// their table splits task names with spaces across no fixed column.
std::wstring ListingCommand(Scheduler scheduler);

struct ListedTask {
    std::wstring display;  // what the list box shows
    std::wstring name;     // the scheduler's name of the task
};
struct Listing {
    std::vector<ListedTask> rows;
    std::wstring text;  // what the box shows afterwards
};
// The whole listing (not only its first lines). XP: every line after the
// first, blank one; a single line is shown as it is. Vista and later: the
// tasks of the root folder, whose names may hold spaces; folder headers,
// information lines and system tasks in sub-folders are left out.
Listing ReadListing(const std::vector<std::wstring>& lines, Scheduler scheduler);

// The task name of a list entry that was not read from a listing: an entry
// of an add ("name|detail") up to its "|", otherwise up to the first space.
std::wstring TaskNameOfEntry(const std::wstring& entry);

// The line of del.bat; nullopt for a name that cannot go into a command line.
std::optional<std::wstring> DeleteLine(const std::wstring& taskName);
// The two lines of DelAll.bat.
std::vector<std::wstring> DeleteAllLines();

}  // namespace lz::tasks
