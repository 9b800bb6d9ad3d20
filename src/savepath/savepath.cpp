#include "savepath/savepath.h"

namespace lz {

std::wstring SavePathIni(Machine& machine) { return machine.ProgramDir() + L"\\SavePath.ini"; }

void ReadSavePath(AppContext& ctx) {
    auto lines = ctx.machine.ReadTextLines(SavePathIni(ctx.machine));
    ctx.SavePath = lines && !lines->empty() ? lines->back() : L"";
}

WriteResult WriteSavePath(Machine& machine, const std::wstring& path) {
    return machine.WriteTextFile(SavePathIni(machine), {path});
}

}  // namespace lz
