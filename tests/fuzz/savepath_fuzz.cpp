// The reader of SavePath.ini: its last line, whatever the file holds (a user
// may edit it). The line is found as the file format says, holds no line end,
// and what is written back reads back the same.
#include "core/context.h"
#include "core/form_registry.h"
#include "env/textlines.h"
#include "fuzz/fuzz_check.h"
#include "savepath/savepath.h"
#include "support/fake_machine.h"
#include "support/fake_ui.h"

using namespace lz;

namespace {

// The last line by the format's own words, found from the end of the text.
std::wstring LastLine(const std::wstring& text) {
    std::size_t end = text.size();
    if (end >= 2 && text[end - 2] == L'\r' && text[end - 1] == L'\n') end -= 2;
    else if (end >= 1 && (text[end - 1] == L'\r' || text[end - 1] == L'\n')) end -= 1;
    const std::size_t cut = end == 0 ? std::wstring::npos : text.find_last_of(L"\r\n", end - 1);
    return cut == std::wstring::npos ? text.substr(0, end) : text.substr(cut + 1, end - cut - 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring text = fuzz::Text(data, size);
    const std::vector<std::wstring> lines = SplitLines(text);

    test::FakeMachine machine;
    FormRegistry registry;
    test::FakeUi ui{registry};
    AppContext ctx{machine, ui, L"before"};
    machine.AddFile(SavePathIni(machine), lines);
    ReadSavePath(ctx);
    LZ_REQUIRE(ctx.SavePath == LastLine(text), ctx.SavePath);
    LZ_REQUIRE(ctx.SavePath.find_first_of(L"\r\n") == std::wstring::npos, ctx.SavePath);

    // Written as the dialog writes it (one line and its end), read back alike.
    std::wstring written;
    for (const auto& line : lines) written += line + L"\r\n";
    LZ_REQUIRE(SplitLines(written) == lines, written);
    LZ_REQUIRE(SplitLines(ctx.SavePath + L"\r\n") == std::vector<std::wstring>{ctx.SavePath}, ctx.SavePath);
    return 0;
}
