// The command line of every tool, checked against the catalogue as written
// down for a standard XP machine, then moved to other directories.
#include <gtest/gtest.h>

#include <set>

#include "tools/toolcatalogue.h"

namespace lz {
namespace {

struct Expected {
    int button;
    const wchar_t* menu;
    const wchar_t* line;  // S = C:\WINDOWS\system32, W = C:\WINDOWS, D = C:
};

const Expected kExpected[] = {
    {0, L"mnuTourstart", LR"(C:\WINDOWS\system32\tourstart.exe)"},
    {1, L"mnuAccwiz", LR"(C:\WINDOWS\system32\accwiz.exe)"},
    {2, L"mnuCharmap", LR"(C:\WINDOWS\system32\charmap.exe)"},
    {3, L"mnuCintsetp", LR"(C:\WINDOWS\system32\IME\CINTLGNT\cintsetp.exe)"},
    {4, L"mnuCleanmgr", LR"(C:\WINDOWS\system32\cleanmgr.exe)"},
    {5, L"mnuClipbrd", LR"(C:\WINDOWS\system32\clipbrd.exe)"},
    {6, L"mnuDrwtsn32", LR"(C:\WINDOWS\system32\drwtsn32.exe)"},
    {7, L"mnuDvdplay", LR"(C:\WINDOWS\system32\dvdplay.exe)"},
    {8, L"mnuDxdiag", LR"(C:\WINDOWS\system32\dxdiag.exe)"},
    {9, L"mnuIexpress", LR"(C:\WINDOWS\system32\iexpress.exe)"},
    {10, L"mnuMigload", LR"(C:\WINDOWS\system32\usmt\migload.exe)"},
    {11, L"mnuMsconfig", LR"(C:\WINDOWS\PCHealth\HelpCtr\Binaries\msconfig.exe)"},
    {12, L"mnuOdbcad32", LR"(C:\WINDOWS\system32\odbcad32.exe)"},
    {13, L"mnuNslookup", LR"(C:\WINDOWS\system32\nslookup.exe)"},
    {14, L"mnuOsk", LR"(C:\WINDOWS\system32\osk.exe)"},
    {15, L"mnuPackager", LR"(C:\WINDOWS\system32\packager.exe)"},
    {16, L"mnuRegedt32", LR"(C:\WINDOWS\system32\regedt32.exe)"},
    {17, L"", L""},
    {19, L"mnuShrpubw", LR"(C:\WINDOWS\system32\shrpubw.exe)"},
    {20, L"mnuSigverif", LR"(C:\WINDOWS\system32\sigverif.exe)"},
    {21, L"mnuSndvol32", LR"(C:\WINDOWS\system32\sndvol32.exe)"},
    {22, L"mnuTaskmgr", LR"(C:\WINDOWS\system32\taskmgr.exe)"},
    {23, L"mnuTelnet", LR"(C:\WINDOWS\system32\telnet.exe)"},
    {24, L"mnuUpdate", LR"(C:\WINDOWS\system32\wupdmgr.exe)"},
    {25, L"", LR"(C:\WINDOWS\system32\mmc.exe)"},
    {26, L"mnuDfrg", LR"(C:\WINDOWS\system32\mmc.exe  C:\WINDOWS\system32\dfrg.msc)"},
    {27, L"", LR"(C:\WINDOWS\system32\mmc.exe  C:\WINDOWS\system32\certmgr.msc)"},
    {28, L"mnuCompmgmt", LR"(C:\WINDOWS\system32\mmc.exe  C:\WINDOWS\system32\compmgmt.msc)"},
    {29, L"mnuDevmgmt", LR"(C:\WINDOWS\system32\mmc.exe  C:\WINDOWS\system32\devmgmt.msc)"},
    {30, L"mnuDiskmgmt", LR"(C:\WINDOWS\system32\mmc.exe  C:\WINDOWS\system32\diskmgmt.msc)"},
    {31, L"mnuGpedit", LR"(C:\WINDOWS\system32\mmc.exe  C:\WINDOWS\system32\gpedit.msc)"},
    {32, L"mnuPerfmon", LR"(C:\WINDOWS\system32\mmc.exe  C:\WINDOWS\system32\perfmon.msc)"},
    {33, L"mnuMsinfo32", LR"("C:\Program Files\Common Files\Microsoft Shared\MSInfo\msinfo32.exe")"},
    {34, L"", LR"(C:\WINDOWS\PCHealth\HelpCtr\Binaries\helpctr.exe)"},
    {35, L"mnuMagnify", LR"(C:\WINDOWS\system32\magnify.exe)"},
    {-1, L"mnuInternet", LR"("C:\Program Files\Internet Explorer\iexplore.exe")"},
    {-1, L"mnuOutlook", LR"("C:\Program Files\Outlook Express\msimn.exe")"},
    {-1, L"mnuWab", LR"("C:\Program Files\Outlook Express\wab.exe")"},
    {-1, L"mnuWMP", LR"("C:\Program Files\Windows Media Player\wmplayer.exe")"},
    {-1, L"mnuWMM", LR"("C:\Program Files\Movie Maker\moviemk.exe")"},
    {-1, L"mnuNotepad", LR"(C:\WINDOWS\system32\notepad.exe)"},
    {-1, L"mnuRegedit", LR"(C:\WINDOWS\regedit.exe)"},
    {-1, L"mnuRstrui", LR"(C:\WINDOWS\system32\restore\rstrui.exe)"},
};

std::wstring Replace(std::wstring s, const std::wstring& from, const std::wstring& to) {
    for (std::size_t at = s.find(from); at != std::wstring::npos; at = s.find(from, at + to.size()))
        s.replace(at, from.size(), to);
    return s;
}

std::wstring ByButton(int button, const std::wstring& s, const std::wstring& w) {
    const Tool* t = ToolByButton(button);
    return t ? ToolCommandLine(*t, s, w) : L"<no row>";
}

std::wstring ByMenu(const std::wstring& menu, const std::wstring& s, const std::wstring& w) {
    const Tool* t = ToolByMenu(menu);
    return t ? ToolCommandLine(*t, s, w) : L"<no row>";
}

TEST(ToolCatalogue, EveryButtonAndMenuItemGivesItsLineOnAStandardMachine) {
    const std::wstring s = L"C:\\WINDOWS\\system32", w = L"C:\\WINDOWS";
    for (const Expected& e : kExpected) {
        if (e.button >= 0) {
            EXPECT_EQ(ByButton(e.button, s, w), e.line) << "button " << e.button;
        }
        if (*e.menu) {
            EXPECT_EQ(ByMenu(e.menu, s, w), e.line) << e.menu;
        }
    }
}

TEST(ToolCatalogue, WindowsOnDriveDMovesEveryBaseAndTheProgramFilesDrive) {
    const std::wstring s = L"D:\\WINNT\\system32", w = L"D:\\WINNT";
    for (const Expected& e : kExpected) {
        std::wstring want = Replace(e.line, L"C:\\WINDOWS", L"D:\\WINNT");
        want = Replace(want, L"C:\\Program Files", L"D:\\Program Files");
        ASSERT_EQ(want.find(L"C:"), std::wstring::npos);
        if (e.button >= 0) {
            EXPECT_EQ(ByButton(e.button, s, w), want) << "button " << e.button;
        }
        if (*e.menu) {
            EXPECT_EQ(ByMenu(e.menu, s, w), want) << e.menu;
        }
    }
    EXPECT_EQ(ByButton(11, s, w), L"D:\\WINNT\\PCHealth\\HelpCtr\\Binaries\\msconfig.exe");
    EXPECT_EQ(ByMenu(L"mnuWMP", s, w), L"\"D:\\Program Files\\Windows Media Player\\wmplayer.exe\"");
}

TEST(ToolCatalogue, HoldsFortyTwoToolsEachReachableFromOnePlaceOnly) {
    std::set<int> buttons;
    std::set<std::wstring> menus, lines;
    int tools = 0;
    for (const Tool& t : ToolCatalogue()) {
        if (t.button >= 0) {
            EXPECT_TRUE(buttons.insert(t.button).second) << t.button;
        }
        if (*t.menu) {
            EXPECT_TRUE(menus.insert(t.menu).second);
        }
        const std::wstring line = ToolCommandLine(t, L"C:\\WINDOWS\\system32", L"C:\\WINDOWS");
        if (line.empty()) continue;
        ++tools;
        EXPECT_TRUE(lines.insert(line).second) << "two rows start the same program";
    }
    EXPECT_EQ(tools, 42);
    EXPECT_EQ(buttons.size(), 35u);
    EXPECT_EQ(buttons.count(18), 0u);
    EXPECT_EQ(ToolByButton(18), nullptr);
    EXPECT_EQ(ToolByMenu(L"mnuExit"), nullptr);
    EXPECT_EQ(ToolByMenu(L""), nullptr);
}

TEST(ToolCatalogue, PathsWithBlanksAreQuotedSoNoShorterPrefixCanStart) {
    const std::wstring s = L"C:\\My Windows\\system32", w = L"C:\\My Windows";
    EXPECT_EQ(ByButton(28, s, w),
              L"\"C:\\My Windows\\system32\\mmc.exe\"  \"C:\\My Windows\\system32\\compmgmt.msc\"");
    EXPECT_EQ(ByMenu(L"mnuRegedit", s, w), L"\"C:\\My Windows\\regedit.exe\"");
    EXPECT_EQ(ByButton(25, s, w), L"\"C:\\My Windows\\system32\\mmc.exe\"");
    // Every program-files row names a path with a blank; none may reach the system unquoted.
    for (const Tool& t : ToolCatalogue())
        if (t.form == ToolForm::ProgramFiles) {
            const std::wstring line = ToolCommandLine(t, L"C:\\WINDOWS\\system32", L"C:\\WINDOWS");
            EXPECT_EQ(line.front(), L'"');
            EXPECT_EQ(line.back(), L'"');
        }
}

TEST(ToolCatalogue, MissingBasesLeaveTheRelativePathThatCannotStart) {
    EXPECT_EQ(ByButton(0, L"", L""), L"\\tourstart.exe");
    EXPECT_EQ(ByButton(28, L"", L""), L"\\mmc.exe  \\compmgmt.msc");
    EXPECT_EQ(ByMenu(L"mnuWab", L"", L""), L"\"\\Program Files\\Outlook Express\\wab.exe\"");
}

}  // namespace
}  // namespace lz
