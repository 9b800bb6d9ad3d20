// Starts a program, waits for its window by title, and prints the time from
// process start to the window shown (ms) and the working set then (KB).
//   bench_launch PROGRAM TITLE [TEXTS]
// With TEXTS, also writes there (UTF-16) the texts the window shows: its menu
// bar and its visible labels and buttons, one per line.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <string>

namespace {

BOOL CALLBACK AddShownText(HWND w, LPARAM param) {
    wchar_t kind[32] = L"", text[1024] = L"";
    GetClassNameW(w, kind, 32);
    if (IsWindowVisible(w) && (lstrcmpiW(kind, L"Static") == 0 || lstrcmpiW(kind, L"Button") == 0) &&
        GetWindowTextW(w, text, 1024) > 0)
        *reinterpret_cast<std::wstring*>(param) += std::wstring(text) + L"\n";
    return TRUE;
}

void WriteShownTexts(HWND w, const wchar_t* path) {
    std::wstring all;
    if (HMENU bar = GetMenu(w))
        for (int i = 0, n = GetMenuItemCount(bar); i < n; ++i) {
            wchar_t text[256] = L"";
            if (GetMenuStringW(bar, UINT(i), text, 256, MF_BYPOSITION) > 0) all += std::wstring(text) + L"\n";
        }
    EnumChildWindows(w, AddShownText, reinterpret_cast<LPARAM>(&all));
    HANDLE f = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(f, all.data(), DWORD(all.size() * sizeof(wchar_t)), &written, nullptr);
    CloseHandle(f);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fwprintf(stderr, L"usage: bench_launch PROGRAM TITLE [TEXTS]\n");
        return 2;
    }
    std::wstring cmd = L"\"" + std::wstring(argv[1]) + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    LARGE_INTEGER f, t0, t1;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t0);
    if (!CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return 1;
    HWND w = nullptr;
    for (int i = 0; i < 60000 && !(w && IsWindowVisible(w)); ++i) {
        w = FindWindowW(nullptr, argv[2]);
        if (!(w && IsWindowVisible(w))) Sleep(1);
    }
    QueryPerformanceCounter(&t1);
    if (!w) {
        TerminateProcess(pi.hProcess, 1);
        return 1;
    }
    Sleep(300);  // let start-up settle before reading the working set
    PROCESS_MEMORY_COUNTERS pmc{};
    pmc.cb = sizeof(pmc);
    GetProcessMemoryInfo(pi.hProcess, &pmc, sizeof(pmc));
    std::printf("%.1f %zu\n", double(t1.QuadPart - t0.QuadPart) * 1000.0 / double(f.QuadPart),
                size_t(pmc.WorkingSetSize / 1024));
    if (argc > 3) WriteShownTexts(w, argv[3]);
    PostMessageW(w, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(pi.hProcess, 5000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 0);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return 0;
}
