// What callers rely on from GetFolder and CopyFolder, checked on any Machine
// through its own interface: the in-memory one natively, the real one under
// Wine. `root` is an existing, empty folder without a trailing backslash.
#pragma once
#include <gtest/gtest.h>

#include <string>

#include "env/machine.h"

namespace lz::test {

inline void Put(Machine& m, const std::wstring& path, const std::wstring& text) {
    ASSERT_EQ(m.WriteTextFile(path, {text}), WriteResult::Ok) << "setting up";
}

inline std::wstring TextOf(Machine& m, const std::wstring& path) {
    auto lines = m.ReadTextLines(path);
    if (!lines) return L"<missing>";
    return lines->empty() ? L"" : lines->front();
}

// src\a.txt, src\sub\b.txt, src\sub\deep\c.txt
inline void MakeSourceTree(Machine& m, const std::wstring& src) {
    ASSERT_TRUE(m.CreateFolder(src));
    ASSERT_TRUE(m.CreateFolder(src + L"\\sub"));
    ASSERT_TRUE(m.CreateFolder(src + L"\\sub\\deep"));
    Put(m, src + L"\\a.txt", L"new a");
    Put(m, src + L"\\sub\\b.txt", L"new b");
    Put(m, src + L"\\sub\\deep\\c.txt", L"new c");
}

inline void CheckCopyIntoNamedFolder(Machine& m, const std::wstring& root) {
    const std::wstring src = root + L"\\聊天 记录", dst = root + L"\\备份";
    MakeSourceTree(m, src);

    // Absent: made, and the contents land directly in it.
    CopyReport first = m.CopyFolder(src, dst);
    EXPECT_TRUE(first.ok());
    EXPECT_EQ(first.copied, 3);
    EXPECT_EQ(TextOf(m, dst + L"\\a.txt"), L"new a");
    EXPECT_EQ(TextOf(m, dst + L"\\sub\\deep\\c.txt"), L"new c");
    EXPECT_FALSE(m.FolderExists(dst + L"\\聊天 记录"));

    // Present: merged; same names overwritten, other files kept.
    Put(m, dst + L"\\a.txt", L"old a");
    Put(m, dst + L"\\sub\\mine.txt", L"mine");
    Put(m, src + L"\\a.txt", L"newer a");
    CopyReport again = m.CopyFolder(src, dst);
    EXPECT_TRUE(again.ok());
    EXPECT_EQ(TextOf(m, dst + L"\\a.txt"), L"newer a");
    EXPECT_EQ(TextOf(m, dst + L"\\sub\\mine.txt"), L"mine");
}

inline void CheckCopyAsSubFolder(Machine& m, const std::wstring& root) {
    const std::wstring src = root + L"\\Fonts", into = root + L"\\字体文件夹";
    MakeSourceTree(m, src);

    // The destination folder must exist; nothing is made when it does not.
    CopyReport missing = m.CopyFolder(src, into + L"\\");
    EXPECT_TRUE(missing.destinationFailed);
    EXPECT_FALSE(m.FolderExists(into));

    ASSERT_TRUE(m.CreateFolder(into));
    CopyReport r = m.CopyFolder(src, into + L"\\");
    EXPECT_TRUE(r.ok());
    EXPECT_EQ(r.copied, 3);
    EXPECT_EQ(TextOf(m, into + L"\\Fonts\\a.txt"), L"new a");
    EXPECT_EQ(TextOf(m, into + L"\\Fonts\\sub\\deep\\c.txt"), L"new c");
    EXPECT_FALSE(m.FileExists(into + L"\\a.txt"));

    // A source named with a trailing backslash keeps its own name.
    Put(m, src + L"\\a.txt", L"newer a");
    EXPECT_TRUE(m.CopyFolder(src + L"\\", into + L"\\").ok());
    EXPECT_EQ(TextOf(m, into + L"\\Fonts\\a.txt"), L"newer a");
}

inline void CheckCopyRefusals(Machine& m, const std::wstring& root) {
    const std::wstring src = root + L"\\src";
    MakeSourceTree(m, src);

    EXPECT_TRUE(m.CopyFolder(root + L"\\none", root + L"\\out").sourceMissing);
    EXPECT_TRUE(m.CopyFolder(src + L"\\a.txt", root + L"\\out").sourceMissing);
    EXPECT_FALSE(m.FolderExists(root + L"\\out"));

    // Only the last level of a destination is made.
    EXPECT_TRUE(m.CopyFolder(src, root + L"\\no\\out").destinationFailed);
    EXPECT_FALSE(m.FolderExists(root + L"\\no"));

    // A destination inside the source would copy itself without end.
    EXPECT_TRUE(m.CopyFolder(src, src + L"\\sub\\copy").destinationFailed);
    EXPECT_FALSE(m.FolderExists(src + L"\\sub\\copy"));
    EXPECT_TRUE(m.CopyFolder(src, src).destinationFailed);
    EXPECT_TRUE(m.CopyFolder(root, root + L"\\").destinationFailed);

    // A file where the destination folder should be.
    Put(m, root + L"\\file", L"x");
    EXPECT_TRUE(m.CopyFolder(src, root + L"\\file").destinationFailed);
    EXPECT_TRUE(m.CopyFolder(src, L"").destinationFailed);
}

inline void CheckCopyReportsBlockedFolders(Machine& m, const std::wstring& root) {
    // A file in the destination where the source has a folder: that folder is
    // reported and the rest still copied.
    const std::wstring src = root + L"\\src", dst = root + L"\\dst";
    MakeSourceTree(m, src);
    ASSERT_TRUE(m.CreateFolder(dst));
    Put(m, dst + L"\\sub", L"in the way");
    CopyReport r = m.CopyFolder(src, dst);
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.copied, 1);
    ASSERT_EQ(r.failed.size(), 1u);
    EXPECT_EQ(TextOf(m, dst + L"\\a.txt"), L"new a");
    EXPECT_EQ(TextOf(m, dst + L"\\sub"), L"in the way");
}

inline void CheckGetFolder(Machine& m, const std::wstring& root) {
    ASSERT_TRUE(m.CreateFolder(root + L"\\照片 2005"));
    Put(m, root + L"\\a.txt", L"x");
    EXPECT_EQ(m.GetFolder(root + L"\\照片 2005"), root + L"\\照片 2005");
    EXPECT_EQ(m.GetFolder(root + L"\\照片 2005\\"), root + L"\\照片 2005");
    EXPECT_EQ(m.GetFolder(root + L"\\照片 2005\\..\\照片 2005"), root + L"\\照片 2005");
    EXPECT_EQ(m.GetFolder(root + L"\\a.txt"), std::nullopt);
    EXPECT_EQ(m.GetFolder(root + L"\\missing"), std::nullopt);
    EXPECT_EQ(m.GetFolder(L""), std::nullopt);
    // A drive root keeps its backslash.
    std::wstring drive = root.substr(0, 2);
    EXPECT_EQ(m.GetFolder(drive + L"\\"), drive + L"\\");
}

}  // namespace lz::test
