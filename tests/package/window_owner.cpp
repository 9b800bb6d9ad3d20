// For the package test: waits until a visible top-level window with the given
// title appears, prints the full path of the program that owns it (UTF-8) and,
// with --close, asks the window to close. Exit 0 when found, 1 when the time
// (milliseconds, 60000 unless given) runs out.
//   window_owner [--close] TITLE [TIMEOUT]
#include <windows.h>

#include <cwchar>
#include <string>

int wmain(int argc, wchar_t** argv) {
    const bool close = argc > 1 && std::wcscmp(argv[1], L"--close") == 0;
    const int first = close ? 2 : 1;
    if (argc <= first) return 2;
    const wchar_t* title = argv[first];
    const DWORD timeout = argc > first + 1 ? DWORD(_wtoi(argv[first + 1])) : 60000;
    const DWORD start = GetTickCount();
    for (;;) {
        HWND w = FindWindowW(nullptr, title);
        if (w && IsWindowVisible(w)) {
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            wchar_t path[MAX_PATH * 4] = {};
            DWORD size = MAX_PATH * 4;
            // Named at run time: the tree's headers are XP's, which lack it.
            using Query = BOOL(WINAPI*)(HANDLE, DWORD, LPWSTR, PDWORD);
            auto query = reinterpret_cast<Query>(reinterpret_cast<void (*)()>(
                GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "QueryFullProcessImageNameW")));
            HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, pid);
            if (process) {
                if (!query || !query(process, 0, path, &size)) path[0] = 0;
                CloseHandle(process);
            }
            char utf8[MAX_PATH * 16] = {};
            const int n = WideCharToMultiByte(CP_UTF8, 0, path, -1, utf8, sizeof utf8, nullptr, nullptr);
            DWORD written = 0;
            WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), utf8, n > 0 ? DWORD(n - 1) : 0, &written, nullptr);
            WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), "\n", 1, &written, nullptr);
            if (close) PostMessageW(w, WM_CLOSE, 0, 0);
            return 0;
        }
        if (GetTickCount() - start > timeout) return 1;
        Sleep(100);
    }
}
