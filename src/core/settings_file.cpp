#include "core/settings_file.h"

namespace lz {

namespace {

const wchar_t kSuiteFolder[] = L"岚栈备份专家";

std::wstring BesideProgram(Machine& machine, const std::wstring& name) {
    return machine.ProgramDir() + L"\\" + name;
}

std::wstring InAppData(Machine& machine, const std::wstring& name) {
    const std::wstring folder = AppDataSettingsFolder(machine);
    return folder.empty() ? L"" : folder + L"\\" + name;
}

}  // namespace

std::wstring AppDataSettingsFolder(Machine& machine) {
    std::wstring appData = machine.GetKnownFolder(KnownFolder::AppData);
    if (appData.empty()) return L"";
    if (appData.back() != L'\\') appData += L'\\';
    return appData + kSuiteFolder;
}

std::wstring SettingsReadPath(Machine& machine, const std::wstring& name) {
    const std::wstring own = InAppData(machine, name);
    if (!own.empty() && machine.FileExists(own)) return own;
    return BesideProgram(machine, name);
}

std::wstring SettingsWritePath(Machine& machine, const std::wstring& name) {
    const std::wstring own = InAppData(machine, name);
    if (own.empty()) return BesideProgram(machine, name);  // nowhere else to go
    if (machine.FileExists(own) || !machine.CanWriteInFolder(machine.ProgramDir())) return own;
    return BesideProgram(machine, name);
}

std::optional<std::vector<std::wstring>> ReadSettingsFile(Machine& machine, const std::wstring& name) {
    return machine.ReadTextLines(SettingsReadPath(machine, name));
}

WriteResult WriteSettingsFile(Machine& machine, const std::wstring& name, const std::vector<std::wstring>& lines,
                              std::wstring* writtenTo) {
    const std::wstring path = SettingsWritePath(machine, name);
    if (writtenTo) *writtenTo = path;
    if (path != BesideProgram(machine, name)) (void)machine.CreateFolder(AppDataSettingsFolder(machine));  // may exist
    return machine.WriteTextFile(path, lines);
}

}  // namespace lz
