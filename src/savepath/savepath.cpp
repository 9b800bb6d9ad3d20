#include "savepath/savepath.h"

#include "core/settings_file.h"

namespace lz {

namespace {
const wchar_t kSavePathIni[] = L"SavePath.ini";
}

void ReadSavePath(AppContext& ctx) {
    auto lines = ReadSettingsFile(ctx.machine, kSavePathIni);
    ctx.SavePath = lines && !lines->empty() ? lines->back() : L"";
}

WriteResult WriteSavePath(Machine& machine, const std::wstring& path, std::wstring* writtenTo) {
    return WriteSettingsFile(machine, kSavePathIni, {path}, writtenTo);
}

}  // namespace lz
