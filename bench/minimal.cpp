// The baseline: the least a Win32 program does to show one window.
//   BENCH_SAME_MANIFEST  with the suite's manifest (version 6 of the common controls)
//   BENCH_SAME_TEXT      that, plus what the main window cannot go without: a
//                        tray icon, and the same Chinese texts drawn in the same
//                        font (read from bench_texts.txt beside the program)
#include <windows.h>
#ifdef BENCH_SAME_MANIFEST
#include <commctrl.h>
#endif
#ifdef BENCH_SAME_TEXT
#include <shellapi.h>

#include <string>

static std::wstring g_texts;

static std::wstring ReadTexts() {
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring file(path, n);
    file = file.substr(0, file.find_last_of(L'\\') + 1) + L"bench_texts.txt";
    HANDLE f = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return L"";
    std::wstring text(GetFileSize(f, nullptr) / sizeof(wchar_t), L'\0');
    DWORD got = 0;
    ReadFile(f, &text[0], DWORD(text.size() * sizeof(wchar_t)), &got, nullptr);
    CloseHandle(f);
    return text;
}

static void Paint(HWND h) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(h, &ps);
    LOGFONTW lf{};
    lf.lfHeight = -12;
    lf.lfCharSet = GB2312_CHARSET;
    lstrcpyW(lf.lfFaceName, L"SimSun");
    HFONT font = CreateFontIndirectW(&lf);
    HGDIOBJ old = SelectObject(dc, font);
    RECT r{0, 0, 640, 480};
    DrawTextW(dc, g_texts.c_str(), int(g_texts.size()), &r, DT_LEFT | DT_WORDBREAK);
    SelectObject(dc, old);
    DeleteObject(font);
    EndPaint(h, &ps);
}
#endif

static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_DESTROY) PostQuitMessage(0);
#ifdef BENCH_SAME_TEXT
    if (m == WM_PAINT) {
        Paint(h);
        return 0;
    }
#endif
    return DefWindowProcW(h, m, w, l);
}

int WINAPI wWinMain(HINSTANCE inst, HINSTANCE, PWSTR, int) {
#ifdef BENCH_SAME_MANIFEST
    // The classes the suite asks for, through the manifest's version 6.
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES |
                                              ICC_UPDOWN_CLASS | ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&icc);
#endif
#ifdef BENCH_SAME_TEXT
    g_texts = ReadTexts();
#endif
    WNDCLASSW wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = inst;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = L"BenchMinimal";
    RegisterClassW(&wc);
    HWND h = CreateWindowW(L"BenchMinimal", L"bench minimal", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 640,
                           480, nullptr, nullptr, inst, nullptr);
#ifdef BENCH_SAME_TEXT
    NOTIFYICONDATAW tray{};
    tray.cbSize = sizeof tray;
    tray.hWnd = h;
    tray.uID = 1;
    tray.uFlags = NIF_ICON | NIF_TIP;
    tray.hIcon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
    lstrcpyW(tray.szTip, L"bench minimal");
    Shell_NotifyIconW(NIM_ADD, &tray);
#endif
    ShowWindow(h, SW_SHOW);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
#ifdef BENCH_SAME_TEXT
    Shell_NotifyIconW(NIM_DELETE, &tray);
#endif
    return 0;
}
