// Every help item of the suite, found rather than listed: each menu item and
// click of each window is run once on a fresh in-memory program, and those
// that start the help viewer are kept with the page they ask for.
#pragma once
#include <string>
#include <vector>

namespace lz::test {

struct HelpItem {
    std::wstring form;
    std::wstring control;
    std::wstring commandLine;
    std::wstring page;  // after "lanzhan.chm::/", without an anchor; "" when none is named
};

std::vector<HelpItem> FindHelpItems();

// The page of a help command line: what follows "lanzhan.chm::/", up to a
// closing quote or an anchor; "" when the line names none.
std::wstring HelpPageOf(const std::wstring& commandLine);

}  // namespace lz::test
