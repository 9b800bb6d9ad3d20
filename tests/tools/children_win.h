// The processes a test program has started, so that a test can see what a
// launch started and end it again, by id.
#pragma once
#include <windows.h>
#include <tlhelp32.h>

#include <cwctype>
#include <set>
#include <string>
#include <vector>

namespace lz::test {

struct Child {
    DWORD pid;
    std::wstring exe;  // lower case
};

inline std::vector<Child> Children() {
    std::vector<Child> out;
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snap == INVALID_HANDLE_VALUE) return out;
    PROCESSENTRY32W pe{};
    pe.dwSize = sizeof pe;
    for (BOOL ok = Process32FirstW(snap, &pe); ok; ok = Process32NextW(snap, &pe)) {
        if (pe.th32ParentProcessID != GetCurrentProcessId()) continue;
        std::wstring exe = pe.szExeFile;
        for (auto& c : exe) c = wchar_t(std::towlower(c));
        out.push_back({pe.th32ProcessID, exe});
    }
    CloseHandle(snap);
    return out;
}

// Batch files this test program started that still run.
inline int BatchesRunning() {
    int n = 0;
    for (const Child& c : Children()) n += c.exe == L"cmd.exe";
    return n;
}

// Children alive when it was made are left alone; the others end with it.
class ChildWatch {
public:
    ChildWatch() {
        for (const Child& c : Children()) before_.insert(c.pid);
    }
    ~ChildWatch() {
        for (const Child& c : Children()) {
            if (before_.count(c.pid)) continue;
            if (HANDLE p = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, c.pid)) {
                TerminateProcess(p, 0);
                WaitForSingleObject(p, 5000);
                CloseHandle(p);
            }
        }
    }
    // A new child running `exe` not yet counted in `seen`; 0 after a minute.
    DWORD WaitFor(const std::wstring& exe, std::set<DWORD>& seen) const {
        for (int i = 0; i < 600; ++i) {
            for (const Child& c : Children())
                if (c.exe == exe && !before_.count(c.pid) && seen.insert(c.pid).second) return c.pid;
            Sleep(100);
        }
        return 0;
    }
    bool AnyNew() const {
        for (const Child& c : Children())
            if (!before_.count(c.pid)) return true;
        return false;
    }

private:
    std::set<DWORD> before_;
};

}  // namespace lz::test
