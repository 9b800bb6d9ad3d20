// Reading windows as another program does (screen readers, automation): by
// messages, with a time-out, so a busy or hung window cannot stop the reader.
#pragma once
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

namespace lz::test {

// The window's text by WM_GETTEXT; "" when it does not answer within 10 s.
inline std::wstring TextOf(HWND h) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(h, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 10000, &length)) return L"";
    std::wstring s(std::size_t(length) + 1, L'\0');
    DWORD_PTR got = 0;
    if (!SendMessageTimeoutW(h, WM_GETTEXT, WPARAM(s.size()), reinterpret_cast<LPARAM>(&s[0]), SMTO_NORMAL, 10000,
                             &got))
        return L"";
    s.resize(std::min<std::size_t>(std::size_t(got), s.size() - 1));
    return s;
}

inline std::wstring ClassOf(HWND h) {
    wchar_t name[128] = {};
    GetClassNameW(h, name, 128);
    return name;
}

inline BOOL CALLBACK CollectWindow(HWND h, LPARAM l) {
    reinterpret_cast<std::vector<HWND>*>(l)->push_back(h);
    return TRUE;
}

// Every window below `top`, children of children too, in the system's order.
inline std::vector<HWND> Descendants(HWND top) {
    std::vector<HWND> all;
    EnumChildWindows(top, CollectWindow, reinterpret_cast<LPARAM>(&all));
    return all;
}

}  // namespace lz::test
