#include "core/help.h"

#include "env/quote.h"

namespace lz {

std::wstring HelpCommand(const std::wstring& winDir, const std::wstring& programDir, const std::wstring& page) {
    const std::wstring file = programDir + L"\\lanzhan.chm";
    const std::wstring arg = file + L"::/" + page;
    // The slash of "::/" is no switch to hh.exe: only the folder and the page
    // decide whether the argument needs quotes.
    return QuoteProgram(winDir + L"\\hh.exe") + L" " + (NeedsQuotes(file) || NeedsQuotes(page) ? QuoteArg(arg) : arg);
}

}  // namespace lz
