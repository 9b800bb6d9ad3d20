// Starts a program, waits for its window by title, and prints the time from
// process start to the window shown (ms) and the working set then (KB).
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <string>

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fwprintf(stderr, L"usage: bench_launch PROGRAM TITLE\n");
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
    PostMessageW(w, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(pi.hProcess, 5000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 0);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return 0;
}
