// Every help item opens the help file at a page that the help sources hold.
#include "core/help.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>

#include "support/help_items.h"

namespace lz::test {
namespace {

TEST(Help, TheCommandNamesThePageAndQuotesOnlyWhatNeedsIt) {
    EXPECT_EQ(HelpCommand(L"C:\\WINDOWS", L"D:\\Tools\\Backup", L"tasks.htm"),
              L"C:\\WINDOWS\\hh.exe D:\\Tools\\Backup\\lanzhan.chm::/tasks.htm");
    EXPECT_EQ(HelpCommand(L"C:\\Program Files\\Win", L"C:\\Program Files\\岚栈", L"boot.htm"),
              L"\"C:\\Program Files\\Win\\hh.exe\" \"C:\\Program Files\\岚栈\\lanzhan.chm::/boot.htm\"");
    EXPECT_EQ(HelpPageOf(L"\"C:\\W\\hh.exe\" \"C:\\P Q\\lanzhan.chm::/boot.htm\""), L"boot.htm");
    EXPECT_EQ(HelpPageOf(L"C:\\W\\hh.exe C:\\P\\lanzhan.chm::/boot.htm#bootini"), L"boot.htm");
    EXPECT_EQ(HelpPageOf(L"C:\\W\\hh.exe C:\\P\\lanzhan.chm"), L"");
}

TEST(Help, EveryHelpItemNamesAPageOfTheHelpSources) {
    const std::vector<HelpItem> items = FindHelpItems();
    std::set<std::wstring> pages;
    for (const HelpItem& item : items) {
        EXPECT_FALSE(item.page.empty()) << "the help item " << std::string(item.control.begin(), item.control.end())
                                        << " names no page";
        pages.insert(item.page);
        std::ifstream page(std::string(LANZHAN_SOURCE_DIR) + "/help/" + std::string(item.page.begin(), item.page.end()));
        EXPECT_TRUE(page.good()) << std::string(item.page.begin(), item.page.end()) << " is not in help/";
    }
    // The windows that have help items: the main window (two), the task
    // window, the software backup window and the boot window (two).
    EXPECT_EQ(items.size(), 6u);
    EXPECT_EQ(pages, (std::set<std::wstring>{kHelpOverview, kHelpMain, kHelpTasks, kHelpSoftBackup, kHelpBoot,
                                             kHelpFloppy}));
}

}  // namespace
}  // namespace lz::test
