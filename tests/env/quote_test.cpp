#include "env/quote.h"

#include <gtest/gtest.h>

using namespace lz;

TEST(QuoteArg, PlainPathsKeepTheirExactBytes) {
    for (const wchar_t* plain : {L"C:\\WINDOWS\\hh.exe", L"C:\\照片\\新年", L"d:\\Backup\\~a_b-c.1",
                                 L"c:\\BackTemp\\", L"D:\\Backup\\QQ聊天记录\\12345"})
        EXPECT_EQ(QuoteArg(plain), plain);
}

TEST(QuoteArg, EveryCmdSpecialCharacterForcesQuotes) {
    for (wchar_t c : std::wstring(L" \t&|<>^(),;=%!'`+/")) {
        std::wstring path = L"C:\\a" + std::wstring(1, c) + L"b";
        EXPECT_EQ(QuoteArg(path), L"\"" + path + L"\"") << int(c);
    }
}

TEST(QuoteArg, CasesFromTheQuotingNotes) {
    EXPECT_EQ(QuoteArg(L"C:\\My Files\\a.txt"), L"\"C:\\My Files\\a.txt\"");
    EXPECT_EQ(QuoteArg(L"C:\\R&D\\plan.doc"), L"\"C:\\R&D\\plan.doc\"");
    EXPECT_EQ(QuoteArg(L"C:\\d(1)\\x"), L"\"C:\\d(1)\\x\"");
    EXPECT_EQ(QuoteArg(L"C:\\a^b"), L"\"C:\\a^b\"");
    EXPECT_EQ(QuoteArg(L"C:\\a,b;c=d"), L"\"C:\\a,b;c=d\"");
    EXPECT_EQ(QuoteArg(L"C:\\!TMP!\\x"), L"\"C:\\!TMP!\\x\"");
}

TEST(QuoteArg, CopyWouldJoinAtAPlusOrTakeASlashForASwitch) {
    // Unquoted, "copy /y C:\a+b\x ..." copies the files C:\a and b\x joined.
    EXPECT_EQ(QuoteArg(L"C:\\a+b\\x"), L"\"C:\\a+b\\x\"");
    EXPECT_EQ(QuoteArg(L"D:\\C++\\main.cpp"), L"\"D:\\C++\\main.cpp\"");
    EXPECT_EQ(QuoteArg(L"C:/data/a.txt"), L"\"C:/data/a.txt\"");
    EXPECT_EQ(BatchArg(L"E:\\Q+A 100%.doc"), L"\"E:\\Q+A 100%%.doc\"");
}

TEST(QuoteArg, TrailingBackslashesAreDoubledOnlyInsideQuotes) {
    EXPECT_EQ(QuoteArg(L"D:\\x y\\"), L"\"D:\\x y\\\\\"");
    EXPECT_EQ(QuoteArg(L"D:\\x y\\\\"), L"\"D:\\x y\\\\\\\\\"");
    EXPECT_EQ(QuoteArg(L"D:\\Backup\\"), L"D:\\Backup\\");
    // Backslashes inside the path are literal to every reader and stay single.
    EXPECT_EQ(QuoteArg(L"C:\\a b\\c"), L"\"C:\\a b\\c\"");
}

TEST(QuoteArg, EmptyTextKeepsItsArgumentPlace) { EXPECT_EQ(QuoteArg(L""), L"\"\""); }

TEST(CheckCommandText, RefusesWhatQuotingCannotProtect) {
    EXPECT_EQ(CheckCommandText(L"C:\\照片\\My Files & more (1) 100%"), TextCheck::Ok);
    EXPECT_EQ(CheckCommandText(L"say \"hi\""), TextCheck::HasQuote);
    EXPECT_EQ(CheckCommandText(L"a\rb"), TextCheck::HasControl);
    EXPECT_EQ(CheckCommandText(L"a\nb"), TextCheck::HasControl);
    EXPECT_EQ(CheckCommandText(L"a\tb"), TextCheck::HasControl);
    EXPECT_EQ(CheckCommandText(std::wstring(L"a\0b", 3)), TextCheck::HasControl);
    EXPECT_EQ(CheckCommandText(L"a\x1b" L"b"), TextCheck::HasControl);
    EXPECT_EQ(CheckCommandText(L"a\x7f"), TextCheck::HasControl);
}

TEST(BatchArg, PercentIsDoubledQuotedOrNot) {
    EXPECT_EQ(BatchArg(L"C:\\100%\\x"), L"\"C:\\100%%\\x\"");
    EXPECT_EQ(BatchArg(L"C:\\%PATH%\\x"), L"\"C:\\%%PATH%%\\x\"");
    EXPECT_EQ(ForBatch(L"C:\\100%\\x"), L"C:\\100%%\\x");
    EXPECT_EQ(BatchArg(L"C:\\照片\\新年"), L"C:\\照片\\新年");
    EXPECT_EQ(BatchArg(L"a\"b"), std::nullopt);
    EXPECT_EQ(BatchArg(L"a\nb"), std::nullopt);
}

TEST(QuoteProgram, QuotesOnlyPathsWithBlanks) {
    EXPECT_EQ(QuoteProgram(L"C:\\Program Files\\x\\y.exe"), L"\"C:\\Program Files\\x\\y.exe\"");
    EXPECT_EQ(QuoteProgram(L"C:\\WINDOWS\\hh.exe"), L"C:\\WINDOWS\\hh.exe");
    // CreateProcess does not treat & specially; only cmd does.
    EXPECT_EQ(QuoteProgram(L"C:\\R&D\\a.exe"), L"C:\\R&D\\a.exe");
}

TEST(SchedulerTarget, SchedulerGetsItsOwnQuotesAndCmdSeesNoBareOperators) {
    EXPECT_EQ(SchedulerTarget(L"c:\\BackTemp\\2005_01_09_15_30_45.bat"),
              L"c:\\BackTemp\\2005_01_09_15_30_45.bat");
    EXPECT_EQ(SchedulerTarget(L"C:\\My Tools\\app.exe"), L"\"\\\"C:\\My Tools\\app.exe\\\"\"");
    // Between the escaped quotes cmd is outside its own quoting.
    EXPECT_EQ(SchedulerTarget(L"C:\\R&D Tools\\a(1)^.exe"),
              L"\"\\\"C:\\R^&D Tools\\a^(1^)^^.exe\\\"\"");
    // Without a blank the scheduler needs no quotes; cmd still must not split.
    EXPECT_EQ(SchedulerTarget(L"C:\\R&D\\a.exe"), L"\"C:\\R&D\\a.exe\"");
    EXPECT_EQ(ForBatch(SchedulerTarget(L"C:\\100% x\\a.exe")), L"\"\\\"C:\\100%% x\\a.exe\\\"\"");
}
