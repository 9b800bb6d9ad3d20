// The in-memory machine must answer as the real one does, or window tests
// built on it prove nothing: the same folder checks run on both.
#include "support/fake_machine.h"

#include <gtest/gtest.h>

#include "env/folder_contract.h"

using namespace lz;
using lz::test::FakeMachine;

namespace {

class FakeFolders : public ::testing::Test {
protected:
    void SetUp() override { m.AddFolder(root); }
    FakeMachine m;
    const std::wstring root = L"C:\\t";
};

TEST_F(FakeFolders, CopyIntoNamedFolder) { test::CheckCopyIntoNamedFolder(m, root); }
TEST_F(FakeFolders, CopyAsSubFolder) { test::CheckCopyAsSubFolder(m, root); }
TEST_F(FakeFolders, CopyRefusals) { test::CheckCopyRefusals(m, root); }
TEST_F(FakeFolders, CopyReportsBlockedFolders) { test::CheckCopyReportsBlockedFolders(m, root); }
TEST_F(FakeFolders, GetFolder) { test::CheckGetFolder(m, root); }

TEST_F(FakeFolders, UnreadableSourceFileIsReportedAndTargetKept) {
    m.AddFile(L"C:\\t\\src\\a.txt", {L"new"});
    m.AddFile(L"C:\\t\\src\\b.txt", {L"new"});
    m.AddFile(L"C:\\t\\dst\\a.txt", {L"old"});
    m.unreadable.insert(L"c:/T/SRC/a.txt");
    CopyReport r = m.CopyFolder(L"C:\\t\\src", L"C:\\t\\dst");
    EXPECT_EQ(r.copied, 1);
    EXPECT_EQ(r.failed, std::vector<std::wstring>{L"C:\\t\\src\\a.txt"});
    EXPECT_EQ(m.Lines(L"C:\\t\\dst\\a.txt"), std::vector<std::wstring>{L"old"});
}

TEST_F(FakeFolders, CopyTellsItsProgressAndStopsWhenTold) {
    m.AddFile(L"C:\\t\\src\\a.txt", {L"1234"});    // 6 bytes with its line end
    m.AddFile(L"C:\\t\\src\\b.txt", {L"12345678"});  // 10
    m.AddFile(L"C:\\t\\src\\c.txt", {L"1"});         // 3
    std::vector<CopyProgress> told;
    CopyReport all = m.CopyFolder(L"C:\\t\\src", L"C:\\t\\dst", [&](const CopyProgress& p) {
        told.push_back(p);
        return true;
    });
    EXPECT_TRUE(all.ok());
    ASSERT_EQ(told.size(), 4u);  // each file as it starts, then the end
    EXPECT_EQ(told[0].filesTotal, 3);
    EXPECT_EQ(told[0].bytesTotal, 19u);
    EXPECT_EQ(told[1].current, L"C:\\t\\src\\b.txt");
    EXPECT_EQ(told[1].filesDone, 1);
    EXPECT_EQ(told[1].bytesDone, 6u);
    EXPECT_EQ(told[3].filesDone, 3);
    EXPECT_EQ(told[3].bytesDone, 19u);

    // Stopped before the second file: the first is copied, the old second kept.
    m.AddFile(L"C:\\t\\dst2\\b.txt", {L"old"});
    CopyReport stopped = m.CopyFolder(L"C:\\t\\src", L"C:\\t\\dst2",
                                      [&](const CopyProgress& p) { return p.filesDone < 1; });
    EXPECT_TRUE(stopped.cancelled);
    EXPECT_FALSE(stopped.ok());
    EXPECT_EQ(stopped.copied, 1);
    EXPECT_TRUE(stopped.failed.empty());
    EXPECT_EQ(m.Lines(L"C:\\t\\dst2\\b.txt"), std::vector<std::wstring>{L"old"});
    EXPECT_FALSE(m.HasFile(L"C:\\t\\dst2\\c.txt"));

    // A stop after the last file changes nothing.
    CopyReport late = m.CopyFolder(L"C:\\t\\src", L"C:\\t\\dst3",
                                   [&](const CopyProgress& p) { return p.filesDone < 3; });
    EXPECT_TRUE(late.ok());
}

TEST_F(FakeFolders, FilesHeldByAnotherProgramAreListedApart) {
    m.AddFile(L"C:\\t\\src\\Msg2.0.db", {L"new"});
    m.AddFile(L"C:\\t\\src\\x.txt");
    m.AddFile(L"C:\\t\\src\\y.txt");
    m.AddFile(L"C:\\t\\dst\\Msg2.0.db", {L"old"});
    m.heldOpen.insert(L"C:\\t\\src\\msg2.0.db");
    m.unreadable.insert(L"C:\\t\\src\\y.txt");
    CopyReport r = m.CopyFolder(L"C:\\t\\src", L"C:\\t\\dst");
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.copied, 1);
    EXPECT_EQ(r.locked, std::vector<std::wstring>{L"C:\\t\\src\\Msg2.0.db"});
    EXPECT_EQ(r.failed, std::vector<std::wstring>{L"C:\\t\\src\\y.txt"});
    EXPECT_EQ(m.Lines(L"C:\\t\\dst\\Msg2.0.db"), std::vector<std::wstring>{L"old"});
}

TEST_F(FakeFolders, PathsFoldCaseAndSeparators) {
    m.AddFile(L"C:\\t\\BackTemp\\Task.bat", {L"x"});
    EXPECT_TRUE(m.FileExists(L"c:\\t\\backtemp\\TASK.BAT"));
    EXPECT_TRUE(m.FolderExists(L"C:/t//BACKTEMP/"));
    EXPECT_EQ(m.GetFolder(L"c:\\T\\backtemp\\."), L"c:\\T\\backtemp");
    EXPECT_EQ(m.DeleteFiles(L"C:\\T\\BackTemp\\", L"*.BAT"), 1);
}

TEST_F(FakeFolders, WritesNeedTheirFolderAndRefuseForeignCharacters) {
    m.notAnsi.insert(L'\u0e01');
    EXPECT_EQ(m.WriteTextFile(L"C:\\t\\no\\x.txt", {L"a"}), WriteResult::Failed);
    m.AddFile(L"C:\\t\\x.txt", {L"old"});
    EXPECT_EQ(m.WriteTextFile(L"C:\\t\\x.txt", {L"a\u0e01"}), WriteResult::NotRepresentable);
    EXPECT_EQ(m.AppendTextLine(L"C:\\t\\x.txt", L"\u0e01"), WriteResult::NotRepresentable);
    EXPECT_EQ(m.Lines(L"C:\\t\\x.txt"), std::vector<std::wstring>{L"old"});
    EXPECT_FALSE(m.CreateFolder(L"C:\\t\\a\\b"));
    EXPECT_FALSE(m.CreateFolder(L"C:\\t"));
}

TEST(FakeMachineRuns, NotifyWaitsForFinishRuns) {
    FakeMachine m;
    std::vector<unsigned long> codes;
    ASSERT_TRUE(m.RunNotify(L"c:\\BackTemp\\Task.bat", WindowStyle::Hidden,
                            [&](unsigned long code) { codes.push_back(code); }));
    EXPECT_TRUE(codes.empty());
    m.FinishRuns(3);
    EXPECT_EQ(codes, std::vector<unsigned long>{3});
    m.startFails = true;
    EXPECT_FALSE(m.RunNotify(L"x", WindowStyle::Hidden, [&](unsigned long) { codes.push_back(9); }));
    m.FinishRuns(0);
    EXPECT_EQ(codes.size(), 1u);
    EXPECT_EQ(m.runs.size(), 2u);
}

TEST(FakeMachineClock, GeneralDateAndWeekday) {
    FakeMachine m;
    EXPECT_EQ(m.GeneralDate(m.Now()), L"2005-1-9 15:30:45");
    EXPECT_EQ(m.Now().tm_wday, 0);  // 9 January 2005 was a Sunday
    EXPECT_EQ(FakeMachine::MakeTime(2024, 3, 1, 0, 0, 0).tm_yday, 60);
}

}  // namespace
