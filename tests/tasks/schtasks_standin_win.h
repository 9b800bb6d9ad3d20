// A test program that includes this header doubles as a recording stand-in
// for schtasks.exe: copied under that name into a folder put first on PATH,
// it does what the LZ_SCHTASKS_* variables say instead of running its tests.
//   LZ_SCHTASKS_LOG      appends its arguments, one a line in UTF-8, then "--"
//   LZ_SCHTASKS_LISTING  a file whose bytes /query writes to standard output
//   LZ_SCHTASKS_GATE     /create waits (at most 20 s) while this file exists
//   LZ_SCHTASKS_EXIT     its exit code
#pragma once
#include <windows.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <fstream>
#include <iterator>
#include <string>

namespace lz::test {

inline std::wstring StandInEnv(const wchar_t* name) {
    wchar_t buffer[1024];
    DWORD n = GetEnvironmentVariableW(name, buffer, 1024);
    return n && n < 1024 ? std::wstring(buffer, n) : L"";
}

inline const bool kIsSchtasksStandIn = [] {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    if (lstrcmpiW(PathFindFileNameW(self), L"schtasks.exe") != 0) return false;
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::string log;
    bool query = false, create = false;
    for (int i = 1; i < argc; ++i) {
        query = query || lstrcmpiW(argv[i], L"/query") == 0;
        create = create || lstrcmpiW(argv[i], L"/create") == 0;
        char line[2048];
        int n = WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, line, sizeof line, nullptr, nullptr);
        log += std::string(line, n > 0 ? n - 1 : 0) + "\n";
    }
    const std::wstring logPath = StandInEnv(L"LZ_SCHTASKS_LOG");
    if (!logPath.empty()) std::ofstream(logPath.c_str(), std::ios::binary | std::ios::app) << log << "--\n";
    const std::wstring listing = StandInEnv(L"LZ_SCHTASKS_LISTING");
    if (query && !listing.empty()) {
        std::ifstream in(listing.c_str(), std::ios::binary);
        std::string bytes(std::istreambuf_iterator<char>(in), {});
        DWORD written = 0;
        WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), bytes.data(), DWORD(bytes.size()), &written, nullptr);
    }
    const std::wstring gate = StandInEnv(L"LZ_SCHTASKS_GATE");
    for (int i = 0; create && !gate.empty() && i < 1000 && GetFileAttributesW(gate.c_str()) != INVALID_FILE_ATTRIBUTES;
         ++i)
        Sleep(20);
    ExitProcess(UINT(_wtoi(StandInEnv(L"LZ_SCHTASKS_EXIT").c_str())));
}();

// Puts a copy of this program as schtasks.exe into `folder` and that folder
// first on PATH, for as long as it lives; the processes it starts inherit both.
class SchtasksStandIn {
public:
    explicit SchtasksStandIn(const std::wstring& folder) : path_(StandInEnv(L"PATH")) {
        CreateDirectoryW(folder.c_str(), nullptr);
        wchar_t self[MAX_PATH];
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        ok_ = CopyFileW(self, (folder + L"\\schtasks.exe").c_str(), FALSE) != FALSE;
        SetEnvironmentVariableW(L"PATH", (folder + L";" + path_).c_str());
    }
    ~SchtasksStandIn() {
        SetEnvironmentVariableW(L"PATH", path_.c_str());
        for (const wchar_t* v : {L"LZ_SCHTASKS_LOG", L"LZ_SCHTASKS_LISTING", L"LZ_SCHTASKS_GATE", L"LZ_SCHTASKS_EXIT"})
            SetEnvironmentVariableW(v, nullptr);
    }
    SchtasksStandIn(const SchtasksStandIn&) = delete;
    SchtasksStandIn& operator=(const SchtasksStandIn&) = delete;
    bool ok() const { return ok_; }

private:
    std::wstring path_;
    bool ok_ = false;
};

}  // namespace lz::test
