// Waits until a top-level window with the given title is visible (exit 0) or
// the time runs out (exit 1). With --close, asks that window to close.
// Used by run.sh and the screenshot script.
#include <windows.h>

#include <cwchar>

int wmain(int argc, wchar_t** argv) {
    bool close = argc > 1 && std::wcscmp(argv[1], L"--close") == 0;
    int first = close ? 2 : 1;
    if (argc <= first) return 2;
    const wchar_t* title = argv[first];
    DWORD timeout = argc > first + 1 ? static_cast<DWORD>(_wtoi(argv[first + 1])) : 30000;
    DWORD start = GetTickCount();
    for (;;) {
        HWND w = FindWindowW(nullptr, title);
        if (w && IsWindowVisible(w)) {
            if (close) PostMessageW(w, WM_CLOSE, 0, 0);
            return 0;
        }
        if (GetTickCount() - start > timeout) return 1;
        Sleep(100);
    }
}
