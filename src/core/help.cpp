#include "core/help.h"

#include "env/quote.h"

namespace lz {

std::wstring HelpCommand(const std::wstring& winDir, const std::wstring& programDir) {
    return QuoteProgram(winDir + L"\\hh.exe") + L" " + QuoteArg(programDir + L"\\lanzhan.chm");
}

}  // namespace lz
