// What the program links: only what its main window needs. The shell, COM
// and the common dialogs are loaded by the first call that wants them.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

namespace lz::test {
namespace {

// The libraries named in a program's import table, in lower case.
std::vector<std::string> ImportedLibraries(const std::wstring& program) {
    std::vector<std::string> names;
    HMODULE image = LoadLibraryExW(program.c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
    if (!image) return names;
    const auto* base = reinterpret_cast<const BYTE*>(image);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress)
        for (auto* d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); d->Name; ++d) {
            std::string name = reinterpret_cast<const char*>(base + d->Name);
            std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return char(std::tolower(c)); });
            names.push_back(name);
        }
    FreeLibrary(image);
    return names;
}

std::wstring BesideThisProgram(const std::wstring& name) {
    wchar_t path[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring here(path, n);
    return here.substr(0, here.find_last_of(L'\\') + 1) + name;
}

TEST(Imports, TheProgramLeavesTheShellComAndTheDialogsUntilTheyAreWanted) {
    const std::vector<std::string> names = ImportedLibraries(BesideThisProgram(L"lanzhan.exe"));
    ASSERT_FALSE(names.empty());
    // What the main window itself uses is linked: the reading works.
    EXPECT_NE(std::find(names.begin(), names.end(), "user32.dll"), names.end());
    for (const char* late : {"shell32.dll", "ole32.dll", "oleaut32.dll", "comdlg32.dll", "shlwapi.dll"})
        EXPECT_EQ(std::find(names.begin(), names.end(), late), names.end()) << late;
}

}  // namespace
}  // namespace lz::test
