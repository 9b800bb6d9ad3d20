// The temporary names of a copy: fixed in form, so that a later copy removes
// only what an interrupted one of ours left.
#include "env/tempname.h"

#include <gtest/gtest.h>

using namespace lz;

TEST(TempFileName, NamesItsProcessAndReadsBack) {
    EXPECT_EQ(TempFileName(0xabcd, 1), L"~lztmp-0000abcd-00000001.tmp");
    EXPECT_EQ(TempFileName(0xffffffffu, 0xfedcba98u), L"~lztmp-ffffffff-fedcba98.tmp");
    EXPECT_EQ(TempFileOwner(TempFileName(4242, 7)), 4242u);
    EXPECT_EQ(TempFileOwner(TempFileName(0, 0)), 0u);
    // The file system may hand the name back in capitals.
    EXPECT_EQ(TempFileOwner(L"~LZTMP-0000ABCD-00000001.TMP"), 0xabcdu);
}

TEST(TempFileName, NothingElseIsTakenForOne) {
    for (const wchar_t* name :
         {L"~lz1234_5.tmp", L"~lztmp-0000abcd-00000001.tmp.doc", L"~lztmp-0000abcd-0000001.tmp",
          L"~lztmp-0000abcd-000000001.tmp", L"~lztmp-0000abcg-00000001.tmp", L"~lztmp-0000abcd_00000001.tmp",
          L"~lztmp-0000abcd-00000001.bak", L"x~lztmp-0000abcd-00000001.tmp", L"~lztmp-+000abcd-00000001.tmp",
          L"~lztmp- 000abcd-00000001.tmp", L"~lztmp-0000abcd-00000001", L"", L"~LZTMP~1.TMP", L"报告.tmp"})
        EXPECT_FALSE(TempFileOwner(name)) << std::wstring(name).size();
}
