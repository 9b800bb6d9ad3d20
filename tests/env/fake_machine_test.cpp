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
