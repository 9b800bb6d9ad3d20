#include "core/help.h"

#include "env/quote.h"

namespace lz {

std::wstring HelpCommand(const std::wstring& winDir, const std::wstring& programDir, const std::wstring& page) {
    return QuoteProgram(winDir + L"\\hh.exe") + L" " + QuoteArg(programDir + L"\\lanzhan.chm::/" + page);
}

}  // namespace lz
