// The texts of a scheduled task, byte for byte: the classic lines where the
// inputs are plain, quoting where they are not, and the syntax of each system.
#include "tasks/task_builders.h"

#include <gtest/gtest.h>

using namespace lz;
using namespace lz::tasks;

namespace {

std::tm At(int y, int mo, int d, int h, int mi, int s) {
    std::tm t{};
    t.tm_year = y - 1900;
    t.tm_mon = mo - 1;
    t.tm_mday = d;
    t.tm_hour = h;
    t.tm_min = mi;
    t.tm_sec = s;
    return t;
}

const std::array<bool, 7> kAllDays = {true, true, true, true, true, true, true};

SchedulerInput XpDaily() {
    SchedulerInput in;
    in.scheduler = Scheduler::XP;
    in.scheduleText = L"每天";
    in.taskName = L"每天08_30_00时153045备份文件";
    in.taskTarget = BatchTarget(L"c:\\BackTemp\\2005_01_09_15_30_45.bat");
    in.startTime = At(2005, 1, 9, 8, 30, 0);
    in.startDate = At(2005, 1, 9, 8, 30, 0);
    in.weekDays = kAllDays;
    in.monthDay = L"1";
    in.freeTime = L"10";
    in.computer = L"MYPC";
    in.user = L"alice";
    in.password = L"secret";
    return in;
}

std::wstring Command(SchedulerInput in, Scheduler s, const std::wstring& kind) {
    in.scheduler = s;
    in.scheduleText = kind;
    return BuildSchedulerCommand(in).line;
}

}  // namespace

TEST(TaskNames, NameTimeAndBatchFile) {
    const std::tm start = At(2005, 1, 9, 8, 30, 0), now = At(2005, 1, 9, 15, 30, 45);
    EXPECT_EQ(MakeTaskName(L"每天", start, now, L"备份文件"), L"每天08_30_00时153045备份文件");
    EXPECT_EQ(ActionBatchName(now), L"\\2005_01_09_15_30_45.bat");
    EXPECT_EQ(StartTimeText(start), L"08:30:00");
    EXPECT_EQ(StartDateText(At(2005, 1, 9, 0, 0, 0)), L"2005/01/09");
    EXPECT_EQ(StartTimeText(At(2005, 12, 31, 23, 5, 9)), L"23:05:09");
}

TEST(TaskNames, LastPathComponent) {
    EXPECT_EQ(LastPathComponent(L"C:\\data\\photos"), L"photos");
    EXPECT_EQ(LastPathComponent(L"D:\\"), L"");
    EXPECT_EQ(LastPathComponent(L"我的电脑"), L"我的电脑");
    EXPECT_EQ(LastPathComponent(L""), L"");
}

TEST(TaskNames, SchedulerByVersionThenProductName) {
    EXPECT_EQ(SchedulerFor(L"Microsoft Windows XP", {5, 1}), Scheduler::XP);
    EXPECT_EQ(SchedulerFor(L"Microsoft Windows 2000", {5, 0}), Scheduler::Win2000);
    EXPECT_EQ(SchedulerFor(L"Windows 10 Pro", {10, 0}), Scheduler::Modern);
    EXPECT_EQ(SchedulerFor(L"Windows Vista (TM) Business", {6, 0}), Scheduler::Modern);
    EXPECT_EQ(SchedulerFor(L"Microsoft Windows XP ", {5, 1}), Scheduler::None);
    EXPECT_EQ(SchedulerFor(L"你的系统不是NT内核，此功能可能无法正常运行", {4, 0}), Scheduler::None);
}

TEST(TaskWeekDays, ListsForAtAndSchtasks) {
    EXPECT_EQ(WeekDaysList(kAllDays), L" /every:M,T,W,TH,F,S,SU");
    EXPECT_EQ(WeekDaysList({false, true, true, true, true, true, true}), L" /every:,T,W,TH,F,S,SU");
    EXPECT_EQ(WeekDaysList({}), L" /every:");
    EXPECT_EQ(ModernWeekDays({false, true, false, true, false, false, true}), L"TUE,THU,SUN");
    EXPECT_EQ(ModernWeekDays({}), L"");
}

TEST(TaskActionLines, ClassicExamplesStayByteForByte) {
    EXPECT_EQ(CopyLine(L"C:\\doc\\a.txt", L"d:\\Backup\\单个文件备份").line,
              L"copy /y C:\\doc\\a.txt d:\\Backup\\单个文件备份\\a.txt.bak");
    EXPECT_EQ(XcopyLine(L"C:\\data\\photos", L"d:\\Backup\\photos").line,
              L"xcopy /e /y C:\\data\\photos d:\\Backup\\photos\\");
    // The second add with no file chosen again keeps its classic shape.
    EXPECT_EQ(CopyLine(L"", L"d:\\Backup\\单个文件备份").line, L"copy /y  d:\\Backup\\单个文件备份\\.bak");
}

TEST(TaskActionLines, PathsThatCmdWouldMisreadAreQuoted) {
    // Unquoted, xcopy would take "C:\Docume~1\alice\My" as the source.
    EXPECT_EQ(XcopyLine(L"C:\\Docume~1\\alice\\My Documents", L"d:\\Backup\\我的文档").line,
              L"xcopy /e /y \"C:\\Docume~1\\alice\\My Documents\" d:\\Backup\\我的文档\\");
    EXPECT_EQ(CopyLine(L"C:\\R&D\\plan.doc", L"d:\\Backup\\单个文件备份").line,
              L"copy /y \"C:\\R&D\\plan.doc\" d:\\Backup\\单个文件备份\\plan.doc.bak");
    // The closing quote must not be escaped by the target's final backslash.
    EXPECT_EQ(XcopyLine(L"C:\\100%\\x", L"E:\\My Backup\\x").line,
              L"xcopy /e /y \"C:\\100%%\\x\" \"E:\\My Backup\\x\\\\\"");
    EXPECT_EQ(XcopyLine(L"C:\\照片\\新年", L"d:\\Backup\\新年").line, L"xcopy /e /y C:\\照片\\新年 d:\\Backup\\新年\\");
}

TEST(TaskActionLines, QuotesAndControlCharactersAreRefused) {
    BackupAction a = CopyLine(L"C:\\a\"b.txt", L"d:\\Backup\\单个文件备份");
    EXPECT_TRUE(a.line.empty());
    EXPECT_EQ(a.refused.why, Refusal::Unsafe);
    EXPECT_EQ(a.refused.text, L"C:\\a\"b.txt");
    BackupAction b = XcopyLine(L"C:\\ok", L"d:\\Back\nup");
    EXPECT_TRUE(b.line.empty());
    EXPECT_EQ(b.refused.text, L"d:\\Back\nup\\");
}

TEST(TaskActionLines, PlusInANameIsQuotedSoCopyDoesNotJoinFiles) {
    EXPECT_EQ(CopyLine(L"D:\\C++\\main.cpp", L"d:\\Backup\\单个文件备份").line,
              L"copy /y \"D:\\C++\\main.cpp\" d:\\Backup\\单个文件备份\\main.cpp.bak");
    // As the target, an unquoted + wrote the copy somewhere else and ended with 0.
    EXPECT_EQ(CopyLine(L"C:\\doc\\Q+A.doc", L"d:\\Backup\\单个文件备份").line,
              L"copy /y \"C:\\doc\\Q+A.doc\" \"d:\\Backup\\单个文件备份\\Q+A.doc.bak\"");
    EXPECT_EQ(XcopyLine(L"C:\\a+b", L"d:\\Backup\\a+b").line, L"xcopy /e /y \"C:\\a+b\" \"d:\\Backup\\a+b\\\\\"");
}

TEST(TaskActionLines, NamesTheCommandsWouldReadAsOthersAreRefused) {
    // Windows drops a final dot or blank: "data." would back up "data".
    for (const wchar_t* path : {L"C:\\x\\data.", L"C:\\x\\data ", L"C:\\x.\\data", L"C:\\x \\data", L"C:\\...\\a",
                                L"C:\\x\\a*.txt", L"C:\\x\\a?.txt", L"C:\\x\\a<b", L"C:\\x\\a>b", L"C:\\x\\a|b",
                                L"C:\\x\\a.txt:stream", L"\\\\?\\C:\\x\\a.txt"}) {
        BackupAction copy = CopyLine(path, L"d:\\Backup\\单个文件备份");
        EXPECT_EQ(copy.refused.why, Refusal::NotAName) << path;
        EXPECT_EQ(copy.refused.text, path);
        EXPECT_TRUE(copy.line.empty());
        EXPECT_EQ(XcopyLine(path, L"d:\\Backup\\x").refused.why, Refusal::NotAName) << path;
        EXPECT_EQ(XcopyLine(L"C:\\ok", path).refused.text, path + std::wstring(L"\\")) << path;
        EXPECT_EQ(CheckProgram(path).why, Refusal::NotAName) << path;
    }
    // Dots and blanks inside names, "." and "..", and a drive's colon are plain.
    for (const wchar_t* path : {L"C:\\x\\.hidden", L"C:\\a.b\\c d\\e", L"C:\\x\\..\\y", L"C:\\x\\.\\y",
                                L"C:\\ lead", L"\\\\server\\share\\a"})
        EXPECT_FALSE(CheckTaskPath(path, kMaxFilePath)) << path;
    EXPECT_EQ(CheckProgram(L"C:\\Tools\\").why, Refusal::NotAName);
    EXPECT_EQ(CheckProgram(L"").why, Refusal::NotAName);
}

TEST(TaskActionLines, PathsLongerThanTheCommandsTakeAreRefusedWithTheirLimit) {
    const std::wstring folder = L"C:\\" + std::wstring(243, L'f');  // 246 characters
    ASSERT_EQ(folder.size(), 246u);
    EXPECT_FALSE(XcopyLine(folder + L"g", L"d:\\Backup\\x").refused);  // 247
    BackupAction source = XcopyLine(folder + L"gh", L"d:\\Backup\\x");
    EXPECT_EQ(source.refused.why, Refusal::TooLong);
    EXPECT_EQ(source.refused.text, folder + L"gh");
    EXPECT_EQ(source.refused.limit, 247u);
    EXPECT_TRUE(source.line.empty());
    BackupAction target = XcopyLine(L"C:\\data", folder + L"gh");
    EXPECT_EQ(target.refused.why, Refusal::TooLong);
    EXPECT_EQ(target.refused.text, folder + L"gh\\");

    // copy: a file of 259 characters passes, 260 do not; the target counts its .bak.
    const std::wstring file = L"C:\\" + std::wstring(252, L'a') + L".txt";
    ASSERT_EQ(file.size(), 259u);
    BackupAction copy = CopyLine(file, L"d:\\B");
    EXPECT_EQ(copy.refused.why, Refusal::TooLong);
    EXPECT_EQ(copy.refused.text, L"d:\\B\\" + file.substr(3) + L".bak");  // 265 characters
    EXPECT_EQ(copy.refused.limit, 259u);
    const std::wstring longer = L"C:\\" + std::wstring(253, L'a') + L".txt";
    EXPECT_EQ(CopyLine(longer, L"d:\\B").refused.text, longer);
    const std::wstring fits = L"C:\\" + std::wstring(246, L'a') + L".txt";  // its target: 259
    EXPECT_FALSE(CopyLine(fits, L"d:\\B").refused);
    EXPECT_TRUE(CopyLine(fits, L"d:\\BB").refused);

    // A program for the scheduler: 259 characters, in quotes 261 after /tr.
    const std::wstring program = L"C:\\My Tools\\" + std::wstring(243, L'p') + L".exe";
    ASSERT_EQ(program.size(), 259u);
    EXPECT_FALSE(CheckProgram(program));
    EXPECT_EQ(CheckProgram(program + L"x").why, Refusal::TooLong);
    EXPECT_EQ(CheckProgram(program + L"x").limit, 259u);
}

TEST(TaskTargets, ProgramsKeepTheirQuotesThroughTheScheduler) {
    EXPECT_EQ(ProgramTarget(L"C:\\Tools\\app.exe"), L"\"C:\\Tools\\app.exe\"");
    EXPECT_EQ(ProgramTarget(L"C:\\Progra~1\\Intern~1\\iexplore.exe"), L"\"C:\\Progra~1\\Intern~1\\iexplore.exe\"");
    EXPECT_EQ(ProgramTarget(L"C:\\Progra~1\\Windows Media Player\\wmplayer.exe"),
              L"\"\\\"C:\\Progra~1\\Windows Media Player\\wmplayer.exe\\\"\"");
    EXPECT_EQ(ProgramTarget(L"C:\\50%\\a.exe"), L"\"C:\\50%%\\a.exe\"");
    EXPECT_EQ(BatchTarget(L"c:\\BackTemp\\2005_01_09_15_30_45.bat"), L"c:\\BackTemp\\2005_01_09_15_30_45.bat");
}

TEST(TaskXpCommands, WorkedExamples) {
    const SchedulerInput in = XpDaily();
    EXPECT_EQ(Command(in, Scheduler::XP, L"每天"),
              L"schtasks /create /tn 每天08_30_00时153045备份文件 /tr c:\\BackTemp\\2005_01_09_15_30_45.bat "
              L"/sc DAILY /st 08:30:00 /s MYPC /ru alice /rp secret");
    EXPECT_EQ(Command(in, Scheduler::XP, L"每周"),
              L"at 08:30:00 /interactive  /every:M,T,W,TH,F,S,SU c:\\BackTemp\\2005_01_09_15_30_45.bat");
    EXPECT_EQ(Command(in, Scheduler::XP, L"每月"),
              L"at 08:30:00 /interactive  /every:1 c:\\BackTemp\\2005_01_09_15_30_45.bat");
    EXPECT_EQ(Command(in, Scheduler::XP, L"一次性"),
              L"schtasks /create /tn 每天08_30_00时153045备份文件 /tr c:\\BackTemp\\2005_01_09_15_30_45.bat "
              L"/sc ONCE /st 08:30:00 /s MYPC /ru alice /rp secret /sd 2005/01/09");
    EXPECT_EQ(Command(in, Scheduler::XP, L"在系统启动时"),
              L"schtasks /create /tn 每天08_30_00时153045备份文件 /tr c:\\BackTemp\\2005_01_09_15_30_45.bat "
              L"/sc ONSTART /sd 2005/01/09 /s MYPC /ru alice /rp secret");
    EXPECT_EQ(Command(in, Scheduler::XP, L"在登陆时"),
              L"schtasks /create /tn 每天08_30_00时153045备份文件 /tr c:\\BackTemp\\2005_01_09_15_30_45.bat "
              L"/sc ONLOGON /s MYPC /ru alice /rp secret");
    EXPECT_EQ(Command(in, Scheduler::XP, L"空闲时"),
              L"schtasks /create /tn 每天08_30_00时153045备份文件 /tr c:\\BackTemp\\2005_01_09_15_30_45.bat "
              L"/sc ONIDLE /s MYPC /ru alice /rp secret /i 10");

    SchedulerInput run = in;
    run.taskTarget = ProgramTarget(L"C:\\Tools\\app.exe");
    EXPECT_NE(Command(run, Scheduler::XP, L"每天").find(L" /tr \"C:\\Tools\\app.exe\" /sc DAILY"), std::wstring::npos);
    EXPECT_EQ(BuildSchedulerCommand(in).scheduleType, L"DAILY");
}

TEST(TaskWin2000Commands, AtForEveryKindItCanDo) {
    const SchedulerInput in = XpDaily();
    std::wstring days;
    for (int d = 1; d < 30; ++d) days += std::to_wstring(d) + L",";
    EXPECT_EQ(Command(in, Scheduler::Win2000, L"每天"),
              L"at 08:30:00 /interactive  /every:" + days + L"30 c:\\BackTemp\\2005_01_09_15_30_45.bat");
    EXPECT_EQ(Command(in, Scheduler::Win2000, L"一次性"), L"at 08:30:00 /interactive c:\\BackTemp\\2005_01_09_15_30_45.bat");
    SchedulerInput noMonday = in;
    noMonday.weekDays[0] = false;
    EXPECT_EQ(Command(noMonday, Scheduler::Win2000, L"每周"),
              L"at 08:30:00 /interactive  /every:,T,W,TH,F,S,SU c:\\BackTemp\\2005_01_09_15_30_45.bat");
    for (const wchar_t* kind : {L"在系统启动时", L"在登陆时", L"空闲时"}) {
        SchedulerInput k = in;
        k.scheduler = Scheduler::Win2000;
        k.scheduleText = kind;
        SchedulerCommand c = BuildSchedulerCommand(k);
        EXPECT_EQ(c.error, CommandError::NotOnWin2000);
        EXPECT_TRUE(c.line.empty());
    }
}

TEST(TaskModernCommands, VistaSyntax) {
    SchedulerInput in = XpDaily();
    in.dateOrder = DateOrder::YMD;
    const std::wstring head =
        L"schtasks /create /tn 每天08_30_00时153045备份文件 /tr c:\\BackTemp\\2005_01_09_15_30_45.bat /sc ";
    const std::wstring logon = L" /s MYPC /ru alice /rp secret";
    EXPECT_EQ(Command(in, Scheduler::Modern, L"每天"), head + L"DAILY /st 08:30" + logon);
    in.weekDays = {true, false, true, false, false, false, true};
    EXPECT_EQ(Command(in, Scheduler::Modern, L"每周"), head + L"WEEKLY /d MON,WED,SUN /st 08:30" + logon);
    in.monthDay = L"15";
    EXPECT_EQ(Command(in, Scheduler::Modern, L"每月"), head + L"MONTHLY /d 15 /st 08:30" + logon);
    EXPECT_EQ(Command(in, Scheduler::Modern, L"一次性"), head + L"ONCE /st 08:30" + logon + L" /sd 2005/01/09");
    in.dateOrder = DateOrder::DMY;
    EXPECT_EQ(Command(in, Scheduler::Modern, L"一次性"), head + L"ONCE /st 08:30" + logon + L" /sd 09/01/2005");
    EXPECT_EQ(Command(in, Scheduler::Modern, L"在系统启动时"), head + L"ONSTART" + logon);
    EXPECT_EQ(Command(in, Scheduler::Modern, L"在登陆时"), head + L"ONLOGON" + logon);
    EXPECT_EQ(Command(in, Scheduler::Modern, L"空闲时"), head + L"ONIDLE" + logon + L" /i 10");

    in.weekDays = {};
    in.scheduleText = L"每周";
    in.scheduler = Scheduler::Modern;
    EXPECT_EQ(BuildSchedulerCommand(in).error, CommandError::NoWeekDay);
}

TEST(TaskModernCommands, DateOrderFromTheLocale) {
    EXPECT_EQ(DateOrderFrom(L"2033-11-22 0:00:00"), DateOrder::YMD);
    EXPECT_EQ(DateOrderFrom(L"2033/11/22 星期二 0:00:00"), DateOrder::YMD);
    EXPECT_EQ(DateOrderFrom(L"11/22/2033 12:00:00 AM"), DateOrder::MDY);
    EXPECT_EQ(DateOrderFrom(L"22.11.2033 00:00:00"), DateOrder::DMY);
    EXPECT_EQ(DateOrderFrom(L"22/11/33 00:00"), DateOrder::DMY);
    EXPECT_EQ(DateOrderFrom(L"garbled"), DateOrder::YMD);
    EXPECT_EQ(ModernDateText(At(2005, 1, 9, 0, 0, 0), DateOrder::MDY), L"01/09/2005");
}

TEST(TaskCommandSafety, UnsafeTextsAndMissingCommands) {
    SchedulerInput in = XpDaily();
    // Spaces, & and % in what the user typed or the system reported.
    in.user = L"John Smith";
    in.password = L"p&ss w%rd\\";
    in.computer = L"PC(1)";
    EXPECT_EQ(BuildSchedulerCommand(in).line,
              L"schtasks /create /tn 每天08_30_00时153045备份文件 /tr c:\\BackTemp\\2005_01_09_15_30_45.bat "
              L"/sc DAILY /st 08:30:00 /s \"PC(1)\" /ru \"John Smith\" /rp \"p&ss w%%rd\\\\\"");

    in.password = L"a\"b";
    SchedulerCommand c = BuildSchedulerCommand(in);
    EXPECT_EQ(c.error, CommandError::Unsafe);
    EXPECT_EQ(c.refused, L"a\"b");
    EXPECT_TRUE(c.line.empty());

    // The month day is passed on as typed, but cannot start a second command.
    SchedulerInput month = XpDaily();
    month.scheduleText = L"每月";
    month.monthDay = L"1&calc";
    EXPECT_EQ(BuildSchedulerCommand(month).line,
              L"at 08:30:00 /interactive  /every:\"1&calc\" c:\\BackTemp\\2005_01_09_15_30_45.bat");
    month.monthDay = L"1x";
    EXPECT_EQ(BuildSchedulerCommand(month).line,
              L"at 08:30:00 /interactive  /every:1x c:\\BackTemp\\2005_01_09_15_30_45.bat");

    in = XpDaily();
    in.scheduler = Scheduler::None;
    EXPECT_EQ(BuildSchedulerCommand(in).error, CommandError::NoScheduler);
    in.scheduler = Scheduler::XP;
    in.scheduleText = L"每小时";
    EXPECT_EQ(BuildSchedulerCommand(in).error, CommandError::UnknownKind);
}

TEST(TaskCommandSafety, AnEmptyValueNeverFollowsASwitch) {
    // The query of the computer or user name failed: "/ru  /rp secret" would
    // make the password the user name.
    for (const wchar_t* kind : {L"每天", L"一次性", L"在系统启动时", L"在登陆时", L"空闲时"}) {
        for (Scheduler s : {Scheduler::XP, Scheduler::Modern}) {
            SchedulerInput in = XpDaily();
            in.scheduler = s;
            in.scheduleText = kind;
            in.user = L"";
            SchedulerCommand c = BuildSchedulerCommand(in);
            EXPECT_EQ(c.error, CommandError::NoUser) << kind;
            EXPECT_TRUE(c.line.empty());
            in.user = L"bob";
            in.computer = L"";
            EXPECT_EQ(BuildSchedulerCommand(in).error, CommandError::NoComputer) << kind;
            in.computer = L"MYPC";
            in.password = L"";
            EXPECT_EQ(BuildSchedulerCommand(in).error, CommandError::NoPassword) << kind;
        }
    }
    // at takes neither: weekly and monthly on XP, everything on Windows 2000.
    SchedulerInput at = XpDaily();
    at.computer = at.user = L"";
    at.scheduleText = L"每周";
    EXPECT_EQ(BuildSchedulerCommand(at).error, CommandError::None);
    at.scheduler = Scheduler::Win2000;
    at.scheduleText = L"一次性";
    EXPECT_EQ(BuildSchedulerCommand(at).error, CommandError::None);

    SchedulerInput month = XpDaily();
    month.scheduleText = L"每月";
    month.monthDay = L"";
    EXPECT_EQ(BuildSchedulerCommand(month).error, CommandError::NoMonthDay);
    month.scheduler = Scheduler::Modern;
    EXPECT_EQ(BuildSchedulerCommand(month).error, CommandError::NoMonthDay);
    SchedulerInput idle = XpDaily();
    idle.scheduleText = L"空闲时";
    idle.freeTime = L"";
    EXPECT_EQ(BuildSchedulerCommand(idle).error, CommandError::NoIdleTime);
    // " /every:" with no day after it: at would take the target for the list.
    SchedulerInput week = XpDaily();
    week.scheduleText = L"每周";
    week.weekDays = {};
    EXPECT_EQ(BuildSchedulerCommand(week).error, CommandError::NoWeekDay);
    week.scheduler = Scheduler::Win2000;
    EXPECT_EQ(BuildSchedulerCommand(week).error, CommandError::NoWeekDay);
    SchedulerInput nameless = XpDaily();
    nameless.taskName = L"";
    EXPECT_EQ(BuildSchedulerCommand(nameless).error, CommandError::Incomplete);
}

TEST(TaskListings, XpTableEveryLineButTheBlankFirst) {
    std::vector<std::wstring> lines = {L"", L"TaskA                 08:30:00, 2005-1-10    ",
                                       L"每天08_30_00时153045备份文件  08:30:00, 2005-1-10"};
    for (int i = 0; i < 40; ++i) lines.push_back(L"Task" + std::to_wstring(i) + L" 09:00:00, 2005-1-10");
    Listing l = ReadListing(lines, Scheduler::XP);
    ASSERT_EQ(l.rows.size(), 42u);  // read whole, not cut after 31 lines
    EXPECT_EQ(l.text, lines[1]);
    EXPECT_EQ(l.rows[0].display, lines[1]);
    EXPECT_EQ(l.rows[1].name, L"每天08_30_00时153045备份文件");
    EXPECT_EQ(l.rows[41].name, L"Task39");

    Listing one = ReadListing({L"INFO: no tasks"}, Scheduler::XP);
    ASSERT_EQ(one.rows.size(), 1u);
    EXPECT_EQ(one.text, L"INFO: no tasks");
    EXPECT_TRUE(ReadListing({}, Scheduler::XP).rows.empty());
    EXPECT_EQ(ReadListing({}, Scheduler::XP).text, L"");
}

TEST(TaskListings, ModernCsvRootTasksWithWholeNames) {
    std::vector<std::wstring> lines = {
        L"",
        L"INFO: There are no scheduled tasks presently available at your access level.",
        L"\"\\My Nightly Backup\",\"2024/5/1 2:00:00\",\"Ready\"",
        L"\"\\Microsoft\\Windows\\Defrag\\ScheduledDefrag\",\"N/A\",\"Ready\"",
        L"Folder: \\Microsoft",
        L"\"\\每天08_30_00时153045备份文件\",\"N/A\",\"就绪\"",
        L"\"\\Say \"\"hi\"\"\",\"N/A\",\"Disabled\"",
    };
    Listing l = ReadListing(lines, Scheduler::Modern);
    ASSERT_EQ(l.rows.size(), 3u);
    EXPECT_EQ(l.rows[0].name, L"My Nightly Backup");
    EXPECT_EQ(l.rows[0].display, L"My Nightly Backup  2024/5/1 2:00:00  Ready");
    EXPECT_EQ(l.text, l.rows[0].display);
    EXPECT_EQ(l.rows[1].name, L"每天08_30_00时153045备份文件");
    EXPECT_EQ(l.rows[2].name, L"Say \"hi\"");
}

TEST(TaskDeletion, NamesAndLines) {
    EXPECT_EQ(TaskNameOfEntry(L"每天08_30_00时153045备份文件|C:\\My Files\\a.txt"), L"每天08_30_00时153045备份文件");
    EXPECT_EQ(TaskNameOfEntry(L"每天08_30_00时153045备份文件 08:30:00, 2005-1-10"), L"每天08_30_00时153045备份文件");
    EXPECT_EQ(TaskNameOfEntry(L"Single"), L"Single");
    EXPECT_EQ(*DeleteLine(L"每天08_30_00时153045备份文件"), L"schtasks /delete /tn 每天08_30_00时153045备份文件 /f");
    EXPECT_EQ(*DeleteLine(L"My Nightly Backup"), L"schtasks /delete /tn \"My Nightly Backup\" /f");
    EXPECT_FALSE(DeleteLine(L"Say \"hi\""));
    EXPECT_FALSE(DeleteLine(L""));
    EXPECT_EQ(DeleteAllLines(), (std::vector<std::wstring>{L"schtasks /delete /tn * /f", L"at /delete /yes"}));
    EXPECT_EQ(ListingCommand(Scheduler::XP), L"schtasks /query /fo Table /nh  > c:\\backtemp\\alltasks.txt");
}
