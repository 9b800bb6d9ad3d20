// Reading the boot choices of boot.ini, the CD start entry and boot.bat's line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "boot/bootini.h"

namespace lz {
namespace {

using Choices = std::vector<std::wstring>;

const wchar_t* const kXp =
    L"[boot loader]\r\n"
    L"timeout=30\r\n"
    L"default=multi(0)disk(0)rdisk(0)partition(1)\\WINDOWS\r\n"
    L"[operating systems]\r\n"
    L"multi(0)disk(0)rdisk(0)partition(1)\\WINDOWS=\"Microsoft Windows XP Professional\" /noexecute=optin "
    L"/fastdetect\r\n"
    L"C:\\CMDCONS\\BOOTSECT.DAT=\"Microsoft Windows Recovery Console\" /cmdcons\r\n";

TEST(BootIni, ListsEachEntryFromItsQuotationMarkAndSkipsSettings) {
    EXPECT_EQ(ReadBootChoices(kXp),
              (Choices{L"\"Microsoft Windows XP Professional\" /noexecute=optin /fastdetect",
                       L"\"Microsoft Windows Recovery Console\" /cmdcons"}));
    EXPECT_EQ(BootListText(ReadBootChoices(kXp)),
              L"\"Microsoft Windows XP Professional\" /noexecute=optin /fastdetect\r\n"
              L"\"Microsoft Windows Recovery Console\" /cmdcons\r\n");
}

TEST(BootIni, EmptyTextOrOnlySettingsGiveAnEmptyList) {
    EXPECT_EQ(ReadBootChoices(L""), Choices{});
    EXPECT_EQ(ReadBootChoices(L"[boot loader]\r\ntimeout=30\r\n\r\n   \r\n,,,\r\n"), Choices{});
    EXPECT_EQ(BootListText({}), L"");
}

TEST(BootIni, ACommaSplitsADescription) {
    // The piece before the comma holds the opening mark; the piece after it
    // is listed only from a quotation mark of its own.
    EXPECT_EQ(ReadBootChoices(L"C:\\x=\"Windows, XP\" /fastdetect\r\n"),
              (Choices{L"\"Windows", L"\" /fastdetect"}));
    EXPECT_EQ(ReadBootChoices(L"C:\\x=\"one,two,three\"\r\n"), (Choices{L"\"one", L"\""}));
    EXPECT_EQ(ReadBootChoices(L"C:\\x=\"a\" /s,no mark here\r\nC:\\y=\"b\""), (Choices{L"\"a\" /s", L"\"b\""}));
}

TEST(BootIni, OnlyTheFirstTwentyOneAreListed) {
    std::wstring text = L"[operating systems]\r\n";
    for (int i = 0; i < 30; ++i) text += L"C:\\e" + std::to_wstring(i) + L"=\"entry " + std::to_wstring(i) + L"\"\r\n";
    Choices got = ReadBootChoices(text);
    ASSERT_EQ(got.size(), 21u);
    EXPECT_EQ(got.front(), L"\"entry 0\"");
    EXPECT_EQ(got.back(), L"\"entry 20\"");
    // A comma's pieces take slots as well.
    got = ReadBootChoices(std::wstring(20, L'x') + L"\r\n" + L"C:\\a=\"1, x\"2\r\n" + text);
    ASSERT_EQ(got.size(), 21u);
    EXPECT_EQ(got[0], L"\"1");
    EXPECT_EQ(got[1], L"\"2");
    EXPECT_EQ(got[20], L"\"entry 18\"");
}

TEST(BootIni, AFieldThatBeginsWithAQuotationMarkIsNeverListed) {
    // It runs to its closing mark, over commas, and what follows the mark up
    // to the field's end goes with it.
    EXPECT_EQ(ReadBootChoices(L"\"quoted, with comma\" and \"more\"\r\nC:\\x=\"kept\"\r\n"), (Choices{L"\"kept\""}));
    // Blanks before it do not change that.
    EXPECT_EQ(ReadBootChoices(L"   \t\"quoted\"\r\n"), Choices{});
    // After its comma the next field is read as usual.
    EXPECT_EQ(ReadBootChoices(L"\"q\" tail,C:\\x=\"after\"\r\n"), (Choices{L"\"after\""}));
    // Its closing mark may lie on a later line: what lies between is its text.
    EXPECT_EQ(ReadBootChoices(L"\"open\r\nC:\\x=\"lost\" /s\r\nC:\\y=\"seen\"\r\n"), (Choices{L"\"seen\""}));
    // Without a closing mark it takes the rest of the text.
    EXPECT_EQ(ReadBootChoices(L"C:\\x=\"first\"\r\n\"never closed\r\nC:\\y=z\r\n"), (Choices{L"\"first\""}));
}

TEST(BootIni, BlanksAroundAFieldAndEveryKindOfLineEnd) {
    EXPECT_EQ(ReadBootChoices(L"  \tC:\\x=\"a\" /s  \t\r\n"), (Choices{L"\"a\" /s"}));
    // No line end after the last entry.
    EXPECT_EQ(ReadBootChoices(L"timeout=30\r\nC:\\x=\"last\""), (Choices{L"\"last\""}));
    // LF alone and CR alone end a line too.
    EXPECT_EQ(ReadBootChoices(L"C:\\x=\"a\"\nC:\\y=\"b\"\rC:\\z=\"c\"\r\n"),
              (Choices{L"\"a\"", L"\"b\"", L"\"c\""}));
    // A mark inside a field that does not begin with one.
    EXPECT_EQ(ReadBootChoices(L"ab\"cd\"ef\r\n"), (Choices{L"\"cd\"ef"}));
    // A field of only a mark and blanks.
    EXPECT_EQ(ReadBootChoices(L"x\"   \r\n"), (Choices{L"\""}));
}

TEST(BootIni, TheCdStartEntryAndWhatTheListMakesOfIt) {
    EXPECT_EQ(CdStartEntry(kBootTxtCD), L"C:\\BackTemp\\BOOTSECT.cdr=\"无需BIOS设置从光盘启动\"");
    EXPECT_EQ(CdStartEntry(L""), L"C:\\BackTemp\\BOOTSECT.cdr=\"\"");
    std::wstring text = std::wstring(kXp) + CdStartEntry(L"光盘") + L"\r\n" + CdStartEntry(L"光盘") + L"\r\n";
    Choices got = ReadBootChoices(text);
    ASSERT_EQ(got.size(), 4u);
    EXPECT_EQ(got[2], L"\"光盘\"");
    EXPECT_EQ(got[3], L"\"光盘\"");
    EXPECT_EQ(ReadBootChoices(CdStartEntry(L"")), (Choices{L"\"\""}));
}

TEST(BootIni, DescriptionsThatWouldBreakTheEntryAreFound) {
    EXPECT_EQ(CheckDescription(L""), DescriptionFault::None);
    EXPECT_EQ(CheckDescription(kBootTxtCD), DescriptionFault::None);
    EXPECT_EQ(CheckDescription(L"Ghost, 光盘 (1) & 100%"), DescriptionFault::None);
    EXPECT_EQ(CheckDescription(L"a\"b"), DescriptionFault::Quote);
    EXPECT_EQ(CheckDescription(L"a\r\n\"b"), DescriptionFault::Quote);
    EXPECT_EQ(CheckDescription(L"a\rb"), DescriptionFault::Control);
    EXPECT_EQ(CheckDescription(L"a\nb"), DescriptionFault::Control);
    EXPECT_EQ(CheckDescription(L"a\tb"), DescriptionFault::Control);
    EXPECT_EQ(CheckDescription(std::wstring(L"a\0b", 3)), DescriptionFault::Control);
    EXPECT_EQ(CheckDescription(L"a\x7f"), DescriptionFault::Control);
}

TEST(BootIni, BatchLines) {
    EXPECT_EQ(BootBatLine(true), L"attrib -r -h -s c:\\boot.ini");
    EXPECT_EQ(BootBatLine(false), L"attrib +r +h +s c:\\boot.ini");
}

}  // namespace
}  // namespace lz
