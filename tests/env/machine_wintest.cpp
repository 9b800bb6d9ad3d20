// The real machine against the real system (under Wine): registry values of
// each type, GBK text files, the folder copy rules and cmd.exe running the
// batch lines the suite generates.
#include "env/machine_win.h"

#include <gtest/gtest.h>
#include <shellapi.h>
#include <winioctl.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "env/folder_contract.h"
#include "env/quote.h"
#include "env/tempname.h"
#include "support/files_win.h"

using namespace lz;

namespace {

using lz::test::FileBytes;
using lz::test::PumpUntil;
using lz::test::RemoveTree;
using lz::test::StartUnix;
using lz::test::WaitFor;

// ---- helpers ---------------------------------------------------------------

std::wstring Ext(const std::wstring& path) { return L"\\\\?\\" + path; }

std::vector<std::wstring> Names(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((Ext(folder) + L"\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") names.push_back(name);
    } while (FindNextFileW(find, &found));
    FindClose(find);
    return names;
}

std::string Bytes(const std::wstring& path) {
    return GetFileAttributesW(Ext(path).c_str()) == INVALID_FILE_ATTRIBUTES ? "<missing>" : FileBytes(Ext(path));
}

void PutBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE h = CreateFileW(Ext(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(h, bytes.data(), DWORD(bytes.size()), &written, nullptr);
    CloseHandle(h);
}

// Each test gets a folder of its own under the temporary folder, with a
// Chinese name and a blank in it, and removes it afterwards.
class MachineTest : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        static int counter = 0;
        root = std::wstring(temp) + L"lz测试 " + std::to_wstring(GetCurrentProcessId()) + L"_" +
               std::to_wstring(++counter);
        if (root.back() == L'\\') root.pop_back();
        wchar_t full[MAX_PATH];
        GetFullPathNameW(root.c_str(), MAX_PATH, full, nullptr);
        root = full;
        RemoveTree(Ext(root));
        ASSERT_TRUE(CreateDirectoryW(root.c_str(), nullptr));
    }
    void TearDown() override { RemoveTree(Ext(root)); }

    bool NoTempFilesUnder(const std::wstring& folder) {
        for (const auto& name : Names(folder)) {
            if (name.rfind(L"~lz", 0) == 0) return false;
            if ((GetFileAttributesW(Ext(folder + L"\\" + name).c_str()) & FILE_ATTRIBUTE_DIRECTORY) &&
                !NoTempFilesUnder(folder + L"\\" + name))
                return false;
        }
        return true;
    }

    Win32Machine m;
    std::wstring root;
};

// ---- registry --------------------------------------------------------------

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        name = L"LanzhanTest" + std::to_wstring(GetCurrentProcessId());
        key = L"SOFTWARE\\" + name;
        ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h,
                                  nullptr),
                  ERROR_SUCCESS);
    }
    void TearDown() override {
        RegCloseKey(h);
        RegDeleteKeyW(HKEY_LOCAL_MACHINE, key.c_str());
    }
    void Set(const wchar_t* value, DWORD type, const void* data, DWORD bytes) {
        ASSERT_EQ(RegSetValueExW(h, value, 0, type, static_cast<const BYTE*>(data), bytes), ERROR_SUCCESS);
    }

    Win32Machine m;
    std::wstring name, key;
    HKEY h = nullptr;
};

TEST_F(RegistryTest, StringValuesAndWhatIsNotOne) {
    const wchar_t text[] = L"D:\\Program Files\\腾讯\\QQ\\";
    Set(L"Install", REG_SZ, text, sizeof text);
    Set(L"Empty", REG_SZ, L"", sizeof(wchar_t));
    Set(L"NoData", REG_SZ, nullptr, 0);
    Set(L"", REG_SZ, L"default", 16);
    const wchar_t expand[] = L"%SystemRoot%\\x";
    Set(L"Expand", REG_EXPAND_SZ, expand, sizeof expand);
    DWORD number = 7;
    Set(L"Number", REG_DWORD, &number, sizeof number);

    RegString sz = m.ReadRegString(key, L"Install");
    EXPECT_EQ(sz.status, RegRead::Ok);
    EXPECT_EQ(sz.value, text);
    EXPECT_EQ(m.ReadRegString(key, L"install").value, text);  // names fold case
    RegString empty = m.ReadRegString(key, L"Empty");
    EXPECT_EQ(empty.status, RegRead::Ok);
    EXPECT_EQ(empty.value, L"");
    EXPECT_EQ(m.ReadRegString(key, L"NoData").status, RegRead::Ok);
    EXPECT_EQ(m.ReadRegString(key, L"").value, L"default");
    EXPECT_EQ(m.ReadRegString(key, L"Expand").status, RegRead::NoValue);
    EXPECT_EQ(m.ReadRegString(key, L"Expand").value, L"");
    EXPECT_EQ(m.ReadRegString(key, L"Number").status, RegRead::NoValue);
    EXPECT_EQ(m.ReadRegString(key, L"Missing").status, RegRead::NoValue);
    EXPECT_EQ(m.ReadRegString(key + L"\\Missing", L"Install").status, RegRead::KeyMissing);
}

TEST_F(RegistryTest, StringsAreCutAtTheFirstNulAndNeedNoTerminator) {
    const wchar_t two[] = L"C:\\Yahoo!\\ypager.exe\0second";
    Set(L"Two", REG_SZ, two, sizeof two);
    Set(L"Bare", REG_SZ, L"abc", 3 * sizeof(wchar_t));  // no terminator stored
    Set(L"Odd", REG_SZ, "a\0b", 3);                     // an odd byte count
    EXPECT_EQ(m.ReadRegString(key, L"Two").value, L"C:\\Yahoo!\\ypager.exe");
    EXPECT_EQ(m.ReadRegString(key, L"Bare").value, L"abc");
    EXPECT_EQ(m.ReadRegString(key, L"Odd").status, RegRead::Ok);
}

#ifdef _WIN64
TEST_F(RegistryTest, KeysOfThirtyTwoBitProgramsAreFound) {
    HKEY software32 = nullptr, own = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE", 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY, &software32),
              ERROR_SUCCESS);
    std::wstring sub = name + L"Wow";
    ASSERT_EQ(RegCreateKeyExW(software32, sub.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &own, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(own, L"Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"C:\\UC\\"), 14);
    RegCloseKey(own);
    RegString r = m.ReadRegString(L"SOFTWARE\\" + sub, L"Path");
    RegDeleteKeyW(software32, sub.c_str());
    RegCloseKey(software32);
    EXPECT_EQ(r.status, RegRead::Ok);
    EXPECT_EQ(r.value, L"C:\\UC\\");
}

TEST_F(RegistryTest, AValueOnlyTheOtherViewHoldsIsFoundThere) {
    // The system's product name: its key is in both views, the value only in the 64-bit one here.
    RegString r = m.ReadRegString(L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", L"ProductName");
    EXPECT_EQ(r.status, RegRead::Ok);
    EXPECT_FALSE(r.value.empty());
}
#endif

// ---- environment -----------------------------------------------------------

std::tm FakeTime() {
    std::tm t{};
    t.tm_year = 105;
    t.tm_mon = 0;
    t.tm_mday = 9;
    t.tm_wday = 0;
    t.tm_hour = 15;
    t.tm_min = 30;
    t.tm_sec = 45;
    return t;
}

TEST_F(MachineTest, EnvironmentAnswersAsTheSystemSees) {
    EXPECT_TRUE(m.FolderExists(m.GetWinDir()));
    EXPECT_TRUE(m.FolderExists(m.GetSysDir()));
    EXPECT_NE(m.GetWinDir().back(), L'\\');
    EXPECT_FALSE(m.GetLoginName().empty());
    EXPECT_EQ(m.GetUserName100(), m.GetLoginName());
    EXPECT_FALSE(m.GetComputerName100().empty());
    EXPECT_GE(m.GetOsVersion().major, 5u);
    EXPECT_TRUE(m.FolderExists(m.GetKnownFolder(KnownFolder::Fonts)));
    EXPECT_FALSE(m.GetKnownFolder(KnownFolder::Favorites).empty());
    std::wstring dir = m.ProgramDir();
    EXPECT_NE(dir.back(), L'\\');
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    EXPECT_EQ(std::wstring(self).rfind(dir + L"\\", 0), 0u);
    std::wstring date = m.GeneralDate(FakeTime());
    EXPECT_NE(date.find(L"2005"), std::wstring::npos) << date;
    EXPECT_NE(date.find(L"15:30:45"), std::wstring::npos) << date;
}

// ---- text files ------------------------------------------------------------

class TextFileTest : public MachineTest {
protected:
    void SetUp() override {
        MachineTest::SetUp();
        ASSERT_EQ(GetACP(), 936u) << "the test prefix must run with LANG=zh_CN.UTF-8";
    }
};

TEST_F(TextFileTest, WritesGbkWithCrLf) {
    const std::wstring path = root + L"\\SavePath.ini";
    ASSERT_EQ(m.WriteTextFile(path, {L"D:\\备份", L"", L"测试"}), WriteResult::Ok);
    EXPECT_EQ(Bytes(path), "D:\\\xB1\xB8\xB7\xDD\r\n\r\n\xB2\xE2\xCA\xD4\r\n");
    ASSERT_EQ(m.WriteTextFile(path, {}), WriteResult::Ok);
    EXPECT_EQ(Bytes(path), "");
    if (GetOEMCP() == 936) {
        ASSERT_EQ(m.WriteTextFile(path, {L"copy 备份"}, CodePage::Oem), WriteResult::Ok);
        EXPECT_EQ(Bytes(path), "copy \xB1\xB8\xB7\xDD\r\n");
    }
    EXPECT_TRUE(NoTempFilesUnder(root));
}

TEST_F(TextFileTest, CharacterOutsideTheCodePageLeavesTheOldFile) {
    const std::wstring path = root + L"\\Task.bat";
    ASSERT_EQ(m.WriteTextFile(path, {L"旧"}), WriteResult::Ok);
    const std::string old = Bytes(path);
    EXPECT_EQ(m.WriteTextFile(path, {L"copy C:\\\u0e01.txt"}), WriteResult::NotRepresentable);
    EXPECT_EQ(m.WriteTextFile(path, {L"copy C:\\\u0e01.txt"}, CodePage::Oem), WriteResult::NotRepresentable);
    EXPECT_EQ(m.AppendTextLine(path, L"\u0e01"), WriteResult::NotRepresentable);
    EXPECT_EQ(m.WriteTextFile(root + L"\\new.txt", {L"\u0e01"}), WriteResult::NotRepresentable);
    EXPECT_EQ(Bytes(path), old);
    EXPECT_FALSE(m.FileExists(root + L"\\new.txt"));
    EXPECT_TRUE(NoTempFilesUnder(root));
    EXPECT_TRUE(m.FitsAnsi(L"C:\\照片\\新年 (1)"));
    EXPECT_FALSE(m.FitsAnsi(L"\u0e01"));
    EXPECT_FALSE(m.FitsAnsi(L"\u00c0"));  // would best-fit to "A"
    EXPECT_FALSE(m.FitsAnsi(L"\xd800"));  // a lone surrogate
}

TEST_F(TextFileTest, ReadsEveryLineEnd) {
    struct Case {
        std::string bytes;
        std::vector<std::wstring> lines;
    } cases[] = {
        {"", {}},
        {"a\r\nb\r\n", {L"a", L"b"}},
        {"a\rb\rc", {L"a", L"b", L"c"}},
        {"a\nb", {L"a", L"b"}},
        {"last without end", {L"last without end"}},
        {"\r\n", {L""}},
        {"a\r\n\r\n", {L"a", L""}},
        {"\r\r\n\n", {L"", L"", L""}},
        {"D:\\\xB1\xB8\xB7\xDD\r\n", {L"D:\\备份"}},
    };
    const std::wstring path = root + L"\\in.txt";
    for (const auto& c : cases) {
        PutBytes(path, c.bytes);
        EXPECT_EQ(m.ReadTextLines(path), c.lines) << c.bytes;
    }
    EXPECT_EQ(m.ReadTextLines(root + L"\\missing.txt"), std::nullopt);
    EXPECT_EQ(m.ReadTextLines(root), std::nullopt);
}

TEST_F(TextFileTest, AppendsLinesAndCreatesTheFile) {
    const std::wstring path = root + L"\\TaskList.txt";
    ASSERT_EQ(m.AppendTextLine(path, L"任务一"), WriteResult::Ok);
    PutBytes(path, Bytes(path) + "no end");
    ASSERT_EQ(m.AppendTextLine(path, L"b"), WriteResult::Ok);
    EXPECT_EQ(Bytes(path), "\xC8\xCE\xCE\xF1\xD2\xBB\r\nno endb\r\n");
    EXPECT_EQ(m.AppendTextLine(root + L"\\no\\x.txt", L"b"), WriteResult::Failed);
}

TEST_F(TextFileTest, ReplacingKeepsHiddenAndFailsCleanly) {
    const std::wstring path = root + L"\\Screen.ini";
    ASSERT_EQ(m.WriteTextFile(path, {L"1"}), WriteResult::Ok);
    ASSERT_TRUE(m.SetHidden(path));
    ASSERT_EQ(m.WriteTextFile(path, {L"2"}), WriteResult::Ok);
    EXPECT_TRUE(GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(Bytes(path), "2\r\n");
    EXPECT_EQ(m.WriteTextFile(root + L"\\no\\x.ini", {L"x"}), WriteResult::Failed);
    ASSERT_TRUE(m.CreateFolder(root + L"\\dir"));
    EXPECT_EQ(m.WriteTextFile(root + L"\\dir", {L"x"}), WriteResult::Failed);
    EXPECT_TRUE(NoTempFilesUnder(root));
}

// cmd.exe keeps a batch file open while it runs it: a rewrite or a delete just
// after the start waits for the file to be released, and gives up on a file
// that stays held.
TEST_F(TextFileTest, AFileHeldOpenForAMomentIsReplacedAndDeletedOnceReleased) {
    const std::wstring path = root + L"\\del.bat";
    ASSERT_EQ(m.WriteTextFile(path, {L"old"}), WriteResult::Ok);
    auto hold = [&] {
        return CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    };
    HANDLE held = hold();
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    std::thread release([held] {
        Sleep(100);
        CloseHandle(held);
    });
    EXPECT_EQ(m.WriteTextFile(path, {L"new"}), WriteResult::Ok);
    release.join();
    EXPECT_EQ(Bytes(path), "new\r\n");

    held = hold();
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    release = std::thread([held] {
        Sleep(100);
        CloseHandle(held);
    });
    EXPECT_TRUE(m.DeleteOneFile(path));
    release.join();
    EXPECT_EQ(Bytes(path), "<missing>");

    // Held for good: the write fails cleanly and the old file stays.
    ASSERT_EQ(m.WriteTextFile(path, {L"kept"}), WriteResult::Ok);
    held = hold();
    EXPECT_EQ(m.WriteTextFile(path, {L"lost"}), WriteResult::Failed);
    EXPECT_FALSE(m.DeleteOneFile(path));
    CloseHandle(held);
    EXPECT_EQ(Bytes(path), "kept\r\n");
    EXPECT_TRUE(NoTempFilesUnder(root));
}

// ---- files -----------------------------------------------------------------

TEST_F(MachineTest, SingleFilesAndPatterns) {
    const std::wstring a = root + L"\\a.bat", b = root + L"\\备份.bat";
    ASSERT_EQ(m.WriteTextFile(a, {L"a"}), WriteResult::Ok);
    ASSERT_EQ(m.WriteTextFile(root + L"\\keep.txt", {L"k"}), WriteResult::Ok);
    EXPECT_TRUE(m.CopyOneFile(a, b, false));
    EXPECT_FALSE(m.CopyOneFile(a, b, false));  // exists
    ASSERT_EQ(m.WriteTextFile(a, {L"a2"}), WriteResult::Ok);
    EXPECT_TRUE(m.CopyOneFile(a, b, true));
    EXPECT_EQ(Bytes(b), "a2\r\n");
    EXPECT_FALSE(m.CopyOneFile(root + L"\\none", b, true));
    EXPECT_FALSE(m.CopyOneFile(root, b, true));
    EXPECT_TRUE(m.FileExists(a));
    EXPECT_FALSE(m.FileExists(root));
    EXPECT_TRUE(m.FolderExists(root));
    EXPECT_FALSE(m.FolderExists(a));

    ASSERT_TRUE(m.CreateFolder(root + L"\\x.bat"));  // a folder that matches is kept
    EXPECT_EQ(m.DeleteFiles(root, L"*.bat"), 2);
    EXPECT_EQ(m.DeleteFiles(root + L"\\", L"*.bat"), 0);
    EXPECT_TRUE(m.FileExists(root + L"\\keep.txt"));
    EXPECT_TRUE(m.FolderExists(root + L"\\x.bat"));
    EXPECT_TRUE(m.DeleteOneFile(root + L"\\keep.txt"));
    EXPECT_FALSE(m.DeleteOneFile(root + L"\\keep.txt"));

    EXPECT_FALSE(m.CreateFolder(root + L"\\x.bat"));
    EXPECT_FALSE(m.CreateFolder(root + L"\\p\\q"));  // one level only
    EXPECT_TRUE(m.SetHidden(root + L"\\x.bat"));
    EXPECT_TRUE(GetFileAttributesW((root + L"\\x.bat").c_str()) & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_FALSE(m.SetHidden(root + L"\\none"));
}

// ---- folder object ---------------------------------------------------------

TEST_F(MachineTest, CopyIntoNamedFolder) { test::CheckCopyIntoNamedFolder(m, root); }
TEST_F(MachineTest, CopyAsSubFolder) { test::CheckCopyAsSubFolder(m, root); }
TEST_F(MachineTest, CopyRefusals) { test::CheckCopyRefusals(m, root); }
TEST_F(MachineTest, CopyReportsBlockedFolders) { test::CheckCopyReportsBlockedFolders(m, root); }
TEST_F(MachineTest, GetFolder) { test::CheckGetFolder(m, root); }

TEST_F(MachineTest, GetFolderOfTheWindowsDrive) {
    std::wstring drive = m.GetWinDir().substr(0, 2);
    EXPECT_EQ(m.GetFolder(drive + L"\\"), drive + L"\\");
    EXPECT_EQ(m.GetFolder(m.GetWinDir() + L"\\\\"), m.GetWinDir());
}

TEST_F(MachineTest, FileHeldByAnotherProgramIsListedAsLockedAndItsOldCopyKept) {
    const std::wstring src = root + L"\\src", dst = root + L"\\dst";
    test::MakeSourceTree(m, src);
    ASSERT_TRUE(m.CreateFolder(dst));
    test::Put(m, dst + L"\\a.txt", L"old a");

    HANDLE locked = CreateFileW((src + L"\\a.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(locked, INVALID_HANDLE_VALUE);
    CopyReport r = m.CopyFolder(src, dst);
    CloseHandle(locked);

    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.copied, 2);
    EXPECT_EQ(r.locked, std::vector<std::wstring>{src + L"\\a.txt"});
    EXPECT_TRUE(r.failed.empty());
    EXPECT_EQ(test::TextOf(m, dst + L"\\a.txt"), L"old a");
    EXPECT_EQ(test::TextOf(m, dst + L"\\sub\\b.txt"), L"new b");
    EXPECT_TRUE(NoTempFilesUnder(dst));
}

TEST_F(MachineTest, CopyKeepsAttributesAndTimesAndReplacesReadOnlyCopies) {
    const std::wstring src = root + L"\\src", dst = root + L"\\dst";
    test::MakeSourceTree(m, src);
    const std::wstring file = src + L"\\a.txt";
    FILETIME old{};
    old.dwHighDateTime = 0x01C4F000;  // 2005
    HANDLE h = CreateFileW(file.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    SetFileTime(h, nullptr, nullptr, &old);
    CloseHandle(h);
    SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);

    ASSERT_TRUE(m.CopyFolder(src, dst).ok());
    WIN32_FILE_ATTRIBUTE_DATA copy{};
    ASSERT_TRUE(GetFileAttributesExW((dst + L"\\a.txt").c_str(), GetFileExInfoStandard, &copy));
    EXPECT_TRUE(copy.dwFileAttributes & FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(copy.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(copy.ftLastWriteTime.dwHighDateTime, old.dwHighDateTime);

    // The next backup meets its own read-only copy.
    SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    test::Put(m, file, L"second");
    SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY);
    CopyReport again = m.CopyFolder(src, dst);
    EXPECT_TRUE(again.ok());
    EXPECT_EQ(test::TextOf(m, dst + L"\\a.txt"), L"second");
}

TEST_F(MachineTest, CopyTellsItsProgressAndACancelLeavesEveryTargetWhole) {
    const std::wstring src = root + L"\\many", dst = root + L"\\out";
    ASSERT_TRUE(m.CreateFolder(src));
    ASSERT_TRUE(m.CreateFolder(dst));
    std::uint64_t bytes = 0;
    const int count = 40;
    for (int i = 0; i < count; ++i) {
        const std::string text(1000 + i, char('a' + i % 26));
        test::MakeFile(src + L"\\f" + std::to_wstring(i) + L".txt", text);
        test::MakeFile(dst + L"\\f" + std::to_wstring(i) + L".txt", "old");
        bytes += text.size();
    }
    std::vector<CopyProgress> told;
    CopyReport all = m.CopyFolder(src, dst, [&](const CopyProgress& p) {
        told.push_back(p);  // one call at a time
        return true;
    });
    EXPECT_TRUE(all.ok());
    ASSERT_FALSE(told.empty());
    for (std::size_t i = 1; i < told.size(); ++i) {
        EXPECT_GE(told[i].filesDone, told[i - 1].filesDone);
        EXPECT_LE(told[i].filesDone, told[i].filesTotal);
    }
    EXPECT_EQ(told.back().filesDone, count);
    EXPECT_EQ(told.back().filesTotal, count);
    EXPECT_EQ(told.back().bytesDone, bytes);
    EXPECT_EQ(told.back().bytesTotal, bytes);
    EXPECT_FALSE(told.back().walking);
    EXPECT_TRUE(std::any_of(told.begin(), told.end(),
                            [&](const CopyProgress& p) { return p.current == src + L"\\f7.txt"; }));

    for (int i = 0; i < count; ++i) test::MakeFile(dst + L"\\f" + std::to_wstring(i) + L".txt", "old");
    CopyReport stopped = m.CopyFolder(src, dst, [&](const CopyProgress& p) { return p.filesDone < 5; });
    EXPECT_TRUE(stopped.cancelled);
    EXPECT_FALSE(stopped.ok());
    EXPECT_GE(stopped.copied, 5);
    EXPECT_LT(stopped.copied, count);
    EXPECT_TRUE(stopped.failed.empty());
    int copiedNow = 0;
    for (int i = 0; i < count; ++i) {
        const std::string now = test::FileBytes(dst + L"\\f" + std::to_wstring(i) + L".txt");
        if (now != "old") {
            EXPECT_EQ(now, std::string(1000 + i, char('a' + i % 26)));
            ++copiedNow;
        }
    }
    EXPECT_EQ(copiedNow, stopped.copied);
    EXPECT_TRUE(NoTempFilesUnder(dst));
}

TEST_F(MachineTest, FilesLargerThanTheLargestReadArriveWhole) {
    const std::wstring src = root + L"\\big", dst = root + L"\\out";
    std::string large(9 * 1024 * 1024 + 7, '\0');
    for (std::size_t i = 0; i < large.size(); ++i) large[i] = char(i * 7919 % 251);
    test::MakeFile(src + L"\\small.txt", "s");
    test::MakeFile(src + L"\\large.bin", large);
    test::MakeFile(src + L"\\exact.bin", large.substr(0, 64 * 1024));  // the first read's size exactly
    CopyReport r = m.CopyFolder(src, dst);
    EXPECT_TRUE(r.ok());
    EXPECT_TRUE(test::FileBytes(dst + L"\\large.bin") == large);
    EXPECT_TRUE(test::FileBytes(dst + L"\\exact.bin") == large.substr(0, 64 * 1024));
    EXPECT_EQ(test::FileBytes(dst + L"\\small.txt"), "s");
}

TEST_F(MachineTest, ManyFilesAllArrive) {
    // Enough files for the copy to work on several at once.
    const std::wstring src = root + L"\\many", dst = root + L"\\out";
    ASSERT_TRUE(m.CreateFolder(src));
    for (int i = 0; i < 60; ++i) test::Put(m, src + L"\\f" + std::to_wstring(i) + L".txt", std::to_wstring(i));
    CopyReport r = m.CopyFolder(src, dst);
    EXPECT_TRUE(r.ok());
    EXPECT_EQ(r.copied, 60);
    for (int i = 0; i < 60; ++i)
        EXPECT_EQ(test::TextOf(m, dst + L"\\f" + std::to_wstring(i) + L".txt"), std::to_wstring(i));
    EXPECT_EQ(Names(dst).size(), 60u);
}

TEST_F(MachineTest, PathsBeyondMaxPath) {
    std::wstring deep = root + L"\\src";
    ASSERT_TRUE(m.CreateFolder(deep));
    while (deep.size() < 300) {
        deep += L"\\很长的文件夹名称_abcdefghijklmnopqrstuvwxyz";
        ASSERT_TRUE(m.CreateFolder(deep)) << deep.size();
    }
    const std::wstring file = deep + L"\\备份.txt";
    ASSERT_EQ(m.WriteTextFile(file, {L"深"}), WriteResult::Ok);
    EXPECT_EQ(m.AppendTextLine(file, L"层"), WriteResult::Ok);
    EXPECT_EQ(m.ReadTextLines(file), (std::vector<std::wstring>{L"深", L"层"}));
    EXPECT_TRUE(m.FileExists(file));
    EXPECT_TRUE(m.FolderExists(deep));
    EXPECT_EQ(m.GetFolder(deep + L"\\"), deep);

    CopyReport r = m.CopyFolder(root + L"\\src", root + L"\\copy of src");
    EXPECT_TRUE(r.ok());
    EXPECT_EQ(r.copied, 1);
    std::wstring copied = root + L"\\copy of src" + file.substr((root + L"\\src").size());
    EXPECT_EQ(m.ReadTextLines(copied), (std::vector<std::wstring>{L"深", L"层"}));
    EXPECT_TRUE(m.CopyOneFile(file, deep + L"\\again.txt", true));
    EXPECT_TRUE(m.DeleteOneFile(deep + L"\\again.txt"));
}

// The id of a process that has ended.
DWORD EndedProcessId() {
    wchar_t dir[MAX_PATH];
    GetSystemDirectoryW(dir, MAX_PATH);
    std::wstring line = L"\"" + std::wstring(dir) + L"\\cmd.exe\" /c exit 0";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi))
        return 0;
    WaitForSingleObject(pi.hProcess, 60000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return pi.dwProcessId;
}

TEST_F(MachineTest, CopyRemovesWhatAnInterruptedCopyLeftBesideItsTargets) {
    const std::wstring src = root + L"\\src", dst = root + L"\\dst";
    test::MakeSourceTree(m, src);
    ASSERT_TRUE(m.CreateFolder(dst));
    ASSERT_TRUE(m.CreateFolder(dst + L"\\sub"));
    test::Put(m, dst + L"\\a.txt", L"old a");

    // What a copy that was killed half way leaves: the old target whole and
    // its temporary file beside it, read-only when the source was.
    const DWORD ended = EndedProcessId();
    ASSERT_NE(ended, 0u);
    const std::wstring left = dst + L"\\" + TempFileName(ended, 3);
    const std::wstring leftInSub = dst + L"\\sub\\" + TempFileName(ended, 4);
    PutBytes(left, std::string(1 << 16, 'h'));
    PutBytes(leftInSub, "half");
    SetFileAttributesW(leftInSub.c_str(), FILE_ATTRIBUTE_READONLY);

    // Not ours to remove: other names, a folder of our form, a file of a copy
    // still running, one still open, and one where this copy writes nothing.
    const std::vector<std::wstring> kept = {dst + L"\\~lz1234_5.tmp", dst + L"\\~lztmp-notours.tmp",
                                            dst + L"\\" + TempFileName(ended, 5) + L".doc",
                                            root + L"\\" + TempFileName(ended, 6)};
    for (const auto& path : kept) PutBytes(path, "user");
    const std::wstring folderOfOurForm = dst + L"\\" + TempFileName(ended, 7);
    ASSERT_TRUE(CreateDirectoryW(folderOfOurForm.c_str(), nullptr));
    wchar_t cmd[MAX_PATH];
    GetSystemDirectoryW(cmd, MAX_PATH);
    std::wstring line = L"\"" + std::wstring(cmd) + L"\\cmd.exe\" /c exit 0";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION running{};
    ASSERT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED | CREATE_NO_WINDOW,
                               nullptr, nullptr, &si, &running));
    const std::wstring ofRunning = dst + L"\\" + TempFileName(running.dwProcessId, 1);
    PutBytes(ofRunning, "in flight");
    const std::wstring open = dst + L"\\sub\\" + TempFileName(ended, 8);
    PutBytes(open, "open");
    HANDLE held = CreateFileW(open.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);

    CopyReport r = m.CopyFolder(src, dst);
    CloseHandle(held);
    TerminateProcess(running.hProcess, 0);
    CloseHandle(running.hThread);
    CloseHandle(running.hProcess);

    EXPECT_TRUE(r.ok());
    EXPECT_EQ(r.copied, 3);
    EXPECT_EQ(test::TextOf(m, dst + L"\\a.txt"), L"new a");
    EXPECT_FALSE(m.FileExists(left));
    EXPECT_FALSE(m.FileExists(leftInSub));
    for (const auto& path : kept) EXPECT_EQ(Bytes(path), "user") << std::string(path.begin(), path.end());
    EXPECT_TRUE(m.FolderExists(folderOfOurForm));
    EXPECT_EQ(Bytes(ofRunning), "in flight");
    EXPECT_EQ(Bytes(open), "open");
}

TEST_F(MachineTest, AFolderNamedWithAFinalDotOrBlankIsCopiedItselfNeverTheOneBesideIt) {
    // "data." and "data " are other folders than "data", though the system's
    // own path resolution makes them "data".
    const std::wstring plain = root + L"\\data";
    ASSERT_TRUE(m.CreateFolder(plain));
    test::Put(m, plain + L"\\a.txt", L"plain");
    for (const wchar_t* odd : {L"data.", L"data "}) {
        const std::wstring folder = root + L"\\" + odd;
        if (!CreateDirectoryW(Ext(folder).c_str(), nullptr) || Names(root).size() < 2) {
            RemoveTree(Ext(folder));
            GTEST_SKIP() << "this file system does not keep a final dot or blank";
        }
        PutBytes(folder + L"\\a.txt", "odd\r\n");
        PutBytes(folder + L"\\b.", "b\r\n");
    }
    ASSERT_EQ(Bytes(plain + L"\\a.txt"), "plain\r\n");

    for (const wchar_t* odd : {L"data.", L"data "}) {
        const std::wstring folder = root + L"\\" + odd, out = root + L"\\out" + odd;
        SCOPED_TRACE(std::string(out.begin(), out.end()));
        CopyReport r = m.CopyFolder(folder, out);
        EXPECT_TRUE(r.ok());
        EXPECT_EQ(r.copied, 2);
        EXPECT_EQ(Bytes(out + L"\\a.txt"), "odd\r\n");
        EXPECT_EQ(Bytes(out + L"\\b."), "b\r\n");
        EXPECT_EQ(Bytes(root + L"\\out\\a.txt"), "<missing>");

        // Into a folder, under its own name, final dot or blank and all.
        const std::wstring into = root + L"\\into";
        ASSERT_TRUE(m.CreateFolder(into) || m.FolderExists(into));
        EXPECT_TRUE(m.CopyFolder(folder, into + L"\\").ok());
        EXPECT_EQ(Bytes(into + L"\\" + odd + L"\\a.txt"), "odd\r\n");
    }
    EXPECT_EQ(Bytes(root + L"\\into\\data\\a.txt"), "<missing>");

    // Named with a final dot where only the plain folder exists: missing, not "data".
    RemoveTree(Ext(root + L"\\data."));
    EXPECT_TRUE(m.CopyFolder(root + L"\\data.", root + L"\\none").sourceMissing);
    EXPECT_FALSE(m.FolderExists(root + L"\\none"));

    // Relative to the current folder, the names stay as written too.
    wchar_t before[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, before);
    ASSERT_TRUE(SetCurrentDirectoryW(root.c_str()));
    CopyReport relative = m.CopyFolder(L"data ", L"rel");
    SetCurrentDirectoryW(before);
    EXPECT_TRUE(relative.ok());
    EXPECT_EQ(Bytes(root + L"\\rel\\a.txt"), "odd\r\n");
}

TEST_F(MachineTest, TemporaryFileBesideATargetNearMaxPath) {
    // The target fits MAX_PATH as it is; its temporary name beside it would not.
    std::wstring folder = root + L"\\" + std::wstring(236 - root.size(), L'f');
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    const std::wstring file = folder + L"\\ab.txt";
    ASSERT_LT(file.size(), 248u);
    ASSERT_GT(folder.size() + 1 + TempFileName(0, 0).size(), std::size_t(MAX_PATH));
    EXPECT_EQ(m.WriteTextFile(file, {L"near"}), WriteResult::Ok);
    EXPECT_TRUE(m.CopyOneFile(file, folder + L"\\cd.txt", true));
    EXPECT_EQ(Bytes(folder + L"\\cd.txt"), "near\r\n");
    EXPECT_TRUE(NoTempFilesUnder(root));
}

// A mount-point reparse point, as Windows makes for junctions; false when the
// system does not support it.
bool MakeJunction(const std::wstring& link, const std::wstring& target) {
    if (!CreateDirectoryW(link.c_str(), nullptr)) return false;
    HANDLE h = CreateFileW(link.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                           FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    std::wstring substitute = L"\\??\\" + target;
    std::vector<BYTE> buffer(8 + 8 + (substitute.size() + target.size() + 2) * sizeof(wchar_t));
    auto put16 = [&](std::size_t at, std::size_t v) {
        buffer[at] = BYTE(v);
        buffer[at + 1] = BYTE(v >> 8);
    };
    const std::size_t subBytes = substitute.size() * sizeof(wchar_t), printBytes = target.size() * sizeof(wchar_t);
    *reinterpret_cast<DWORD*>(buffer.data()) = IO_REPARSE_TAG_MOUNT_POINT;
    put16(4, buffer.size() - 8);                 // data length
    put16(8, 0);                                 // substitute name offset
    put16(10, subBytes);                         // substitute name length
    put16(12, subBytes + sizeof(wchar_t));       // print name offset
    put16(14, printBytes);                       // print name length
    std::memcpy(&buffer[16], substitute.c_str(), subBytes + sizeof(wchar_t));
    std::memcpy(&buffer[16 + subBytes + sizeof(wchar_t)], target.c_str(), printBytes + sizeof(wchar_t));
    DWORD returned = 0;
    BOOL ok = DeviceIoControl(h, FSCTL_SET_REPARSE_POINT, buffer.data(), DWORD(buffer.size()), nullptr, 0,
                              &returned, nullptr);
    CloseHandle(h);
    if (!ok) RemoveDirectoryW(link.c_str());
    return ok;
}

bool MakeDirectorySymlink(const std::wstring& link, const std::wstring& target) {
    using Fn = BOOLEAN(WINAPI*)(LPCWSTR, LPCWSTR, DWORD);
    FARPROC proc = GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "CreateSymbolicLinkW");
    auto create = reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(proc));
    // Wine's stub answers TRUE without making anything.
    return create && create(link.c_str(), target.c_str(), 1 /* SYMBOLIC_LINK_FLAG_DIRECTORY */) &&
           GetFileAttributesW(link.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Under Wine: runs a Unix tool on Windows paths (Wine starts Unix programs too).
bool RunUnixTool(const std::wstring& tool, const std::vector<std::wstring>& paths) {
    std::wstring line = tool;
    for (const auto& path : paths) {
        const std::wstring unix = lz::test::UnixPath(path);
        if (unix.empty()) return false;
        line += L" \"" + unix + L"\"";
    }
    return StartUnix(line);
}

TEST_F(MachineTest, LinksBackUpTheTreeAreNotFollowed) {
    const std::wstring src = root + L"\\src", dst = root + L"\\dst";
    test::MakeSourceTree(m, src);
    const std::wstring link = src + L"\\sub\\up";
    bool unixLink = false;
    if (!MakeJunction(link, src) && !MakeDirectorySymlink(link, src)) {
        // Wine makes no junctions and fakes CreateSymbolicLinkW; a Unix link
        // shows there as an ordinary folder, with nothing to mark it.
        unixLink = RunUnixTool(L"Z:\\bin\\ln -s", {src, link}) && WaitFor([&] { return m.FolderExists(link); });
        if (!unixLink) GTEST_SKIP() << "this system makes neither junctions, nor directory links, nor Unix links";
    }
    ASSERT_TRUE(m.FileExists(link + L"\\sub\\up\\a.txt")) << "the link does not lead back up";

    CopyReport r = m.CopyFolder(src, dst);
    if (unixLink && RunUnixTool(L"Z:\\bin\\rm", {link}))  // Wine cannot remove it
        WaitFor([&] { return !m.FolderExists(link); });
    EXPECT_TRUE(r.ok());
    EXPECT_EQ(r.copied, 3);
    EXPECT_FALSE(m.FileExists(dst + L"\\sub\\up\\a.txt"));
    EXPECT_EQ(test::TextOf(m, dst + L"\\sub\\deep\\c.txt"), L"new c");
}

// ---- processes ---------------------------------------------------------------

std::wstring Cmd() {
    wchar_t dir[MAX_PATH];
    GetSystemDirectoryW(dir, MAX_PATH);
    return std::wstring(dir) + L"\\cmd.exe";
}

TEST_F(MachineTest, RunNotifyCallsBackOnThisThreadWithTheExitCode) {
    bool done = false;
    unsigned long code = 0;
    DWORD thread = 0;
    ASSERT_TRUE(m.RunNotify(QuoteProgram(Cmd()) + L" /c exit 7", WindowStyle::Hidden, [&](unsigned long c) {
        code = c;
        thread = GetCurrentThreadId();
        done = true;
    }));
    ASSERT_TRUE(PumpUntil([&] { return done; }, 30000));
    EXPECT_EQ(code, 7u);
    EXPECT_EQ(thread, GetCurrentThreadId());

    bool called = false;
    EXPECT_FALSE(m.RunNotify(root + L"\\none.exe", WindowStyle::Hidden, [&](unsigned long) { called = true; }));
    EXPECT_FALSE(m.Run(root + L"\\none.exe", WindowStyle::NormalFocus));
    PumpUntil([&] { return called; }, 300);
    EXPECT_FALSE(called);
}

TEST_F(MachineTest, NoCallbackAfterTheMachineIsGone) {
    bool called = false;
    {
        Win32Machine shortLived;
        ASSERT_TRUE(shortLived.RunNotify(QuoteProgram(Cmd()) + L" /c exit 3", WindowStyle::Hidden,
                                         [&](unsigned long) { called = true; }));
    }
    PumpUntil([&] { return called; }, 1500);
    EXPECT_FALSE(called);
}

// Runs a batch file the way the suite starts Task.bat, and waits for it.
unsigned long RunBatch(Win32Machine& m, const std::wstring& bat) {
    bool done = false;
    unsigned long code = 999;
    EXPECT_TRUE(m.RunNotify(QuoteProgram(bat), WindowStyle::Hidden, [&](unsigned long c) {
        code = c;
        done = true;
    }));
    EXPECT_TRUE(PumpUntil([&] { return done; }, 60000)) << "batch file did not end";
    return code;
}

TEST_F(MachineTest, CmdCopiesPathsWithBlanksAndSpecialCharacters) {
    const std::wstring names[] = {L"My Files", L"R&D", L"d(1)", L"a^b", L"a,b;c=d", L"100%",
                                  L"%PATH%", L"!TMP!", L"照片 新年", L"x'y`z"};
    std::vector<std::wstring> lines{L"@echo off"};
    for (const auto& name : names) {
        std::wstring from = root + L"\\src\\" + name, to = root + L"\\备份 目标\\" + name;
        ASSERT_TRUE(m.CreateFolder(root + L"\\src") || m.FolderExists(root + L"\\src"));
        ASSERT_TRUE(m.CreateFolder(root + L"\\备份 目标") || m.FolderExists(root + L"\\备份 目标"));
        ASSERT_TRUE(m.CreateFolder(from));
        ASSERT_TRUE(m.CreateFolder(to));
        test::Put(m, from + L"\\计划 (1).txt", name);
        // A target folder that ends in a backslash, as the suite writes them.
        lines.push_back(L"copy /y " + *BatchArg(from + L"\\计划 (1).txt") + L" " + *BatchArg(to + L"\\") + L" >nul");
    }
    lines.push_back(L"xcopy /e /y /i " + *BatchArg(root + L"\\src") + L" " + *BatchArg(root + L"\\x copy") + L" >nul");
    const std::wstring bat = root + L"\\运行 任务.bat";
    ASSERT_EQ(m.WriteTextFile(bat, lines, CodePage::Oem), WriteResult::Ok);

    EXPECT_EQ(RunBatch(m, bat), 0u);
    for (const auto& name : names) {
        EXPECT_EQ(test::TextOf(m, root + L"\\备份 目标\\" + name + L"\\计划 (1).txt"), name) << name;
        EXPECT_EQ(test::TextOf(m, root + L"\\x copy\\" + name + L"\\计划 (1).txt"), name) << name;
    }
    // Nothing else appeared: no half of a split path became a file.
    std::vector<std::wstring> listed = Names(root);
    std::set<std::wstring> top(listed.begin(), listed.end());
    EXPECT_EQ(top, (std::set<std::wstring>{L"src", L"备份 目标", L"x copy", L"运行 任务.bat"}));
    for (const auto& name : names) EXPECT_EQ(Names(root + L"\\备份 目标\\" + name).size(), 1u) << name;
}

TEST_F(MachineTest, SchedulerReceivesItsTargetThroughCmd) {
    const std::wstring targets[] = {L"C:\\My Tools\\app.exe", L"C:\\R&D Tools\\a(1)^b.exe", L"C:\\R&D\\a.exe",
                                    L"c:\\BackTemp\\2005_01_09.bat", L"D:\\100% x\\a.exe",
                                    L"C:\\Program Files\\照片 工具\\看图.exe"};
    const std::wstring out = root + L"\\received.txt";
    std::vector<std::wstring> lines{L"@echo off"};
    for (const auto& target : targets)
        lines.push_back(L">>" + *BatchArg(out) + L" echo schtasks /tr " + ForBatch(SchedulerTarget(target)) +
                        L" /sc DAILY");
    const std::wstring bat = root + L"\\Task.bat";
    ASSERT_EQ(m.WriteTextFile(bat, lines, CodePage::Oem), WriteResult::Ok);
    EXPECT_EQ(RunBatch(m, bat), 0u);

    auto received = m.ReadTextLines(out);
    ASSERT_TRUE(received);
    ASSERT_EQ(received->size(), std::size(targets));
    for (std::size_t i = 0; i < received->size(); ++i) {
        int argc = 0;
        LPWSTR* argv = CommandLineToArgvW((*received)[i].c_str(), &argc);
        ASSERT_TRUE(argv);
        std::vector<std::wstring> args(argv, argv + argc);
        LocalFree(argv);
        bool blank = targets[i].find(L' ') != std::wstring::npos;
        ASSERT_EQ(args.size(), 5u) << (*received)[i];
        EXPECT_EQ(args[2], blank ? L"\"" + targets[i] + L"\"" : targets[i]) << (*received)[i];
        EXPECT_EQ(args[4], L"DAILY");
    }
    EXPECT_EQ(Names(root).size(), 2u);  // Task.bat and received.txt
}

}  // namespace
