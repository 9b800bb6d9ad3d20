// Reads the suite's windows from another process, as screen readers and
// UI-automation tools do: only window texts, window messages and the
// keyboard; nothing of the suite is linked in. It starts a copy of the
// program with a backup destination of its own, then:
//   - reads the eight tile titles and the description, also after a hover;
//   - reaches the first tile with Tab and opens the task window with Enter;
//   - reads the task window's tip line after the scheduler refused a task;
//   - reads the software backup's result line after a backup.
// Usage: outside_reader <lanzhan.exe>. Exit code: the number of failed checks.
#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "support/window_text_win.h"

using lz::test::ClassOf;
using lz::test::Descendants;
using lz::test::TextOf;

namespace {

int failures = 0;

void Check(bool ok, const std::wstring& what) {
    if (!ok) ++failures;
    // UTF-8, so that a failure names its text readably in the test log.
    const std::wstring line = (ok ? L"ok   " : L"FAIL ") + what + L"\n";
    std::string bytes(line.size() * 4 + 1, '\0');
    const int n = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), int(line.size()), &bytes[0], int(bytes.size()),
                                      nullptr, nullptr);
    fwrite(bytes.data(), 1, size_t(n), stdout);
    fflush(stdout);
}

// The first visible descendant of `top` of class `cls` whose text passes `match`.
HWND FindChild(HWND top, const wchar_t* cls, const std::function<bool(const std::wstring&)>& match) {
    for (HWND h : Descendants(top))
        if (lstrcmpiW(ClassOf(h).c_str(), cls) == 0 && IsWindowVisible(h) && match(TextOf(h))) return h;
    return nullptr;
}

bool StartsWith(const std::wstring& s, const std::wstring& prefix) { return s.compare(0, prefix.size(), prefix) == 0; }

// Asks `done` until it holds, for three minutes at most: a busy machine is slow, never wrong.
bool WaitFor(const std::function<bool()>& done) {
    for (int i = 0; i < 3600; ++i) {
        if (done()) return true;
        Sleep(50);
    }
    return done();
}

DWORD processId = 0;

// A top-level window of the program whose title starts with `title`.
HWND TopWindow(const std::wstring& title, bool visible = true) {
    struct Search {
        std::wstring title;
        bool visible;
        HWND found;
    } s{title, visible, nullptr};
    EnumWindows(
        [](HWND h, LPARAM l) {
            auto* s = reinterpret_cast<Search*>(l);
            DWORD pid = 0;
            GetWindowThreadProcessId(h, &pid);
            if (pid == processId && (!s->visible || IsWindowVisible(h)) && StartsWith(TextOf(h), s->title)) {
                s->found = h;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&s));
    return s.found;
}

HWND WaitForTop(const std::wstring& title) {
    HWND h = nullptr;
    WaitFor([&] { return (h = TopWindow(title)) != nullptr; });
    return h;
}

std::wstring WaitForText(HWND top, const wchar_t* cls, const std::wstring& prefix) {
    HWND h = nullptr;
    WaitFor([&] { return (h = FindChild(top, cls, [&](const std::wstring& t) { return StartsWith(t, prefix); })); });
    return h ? TextOf(h) : L"";
}

// A click on a picture, as the mouse makes it.
void ClickPicture(HWND picture) {
    RECT r;
    GetClientRect(picture, &r);
    const LPARAM at = MAKELPARAM(r.right / 2, r.bottom / 2);
    SendMessageW(picture, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(picture, WM_LBUTTONUP, 0, at);
}

HWND Picture(HWND top, const std::wstring& name) {
    return FindChild(top, L"LanzhanPicture", [&](const std::wstring& t) { return t == name; });
}

void RemoveTree(const std::wstring& path) {
    WIN32_FIND_DATAW fd;
    HANDLE f = FindFirstFileW((path + L"\\*").c_str(), &fd);
    if (f != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = fd.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring full = path + L"\\" + name;
            SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(full);
            else DeleteFileW(full.c_str());
        } while (FindNextFileW(f, &fd));
        FindClose(f);
    }
    RemoveDirectoryW(path.c_str());
}

const wchar_t* const kTiles[8] = {L"定时任务", L"隐藏工具集", L"网络硬盘", L"刻录备份",
                                  L"屏幕锁定", L"字体信息", L"一键GHOST", L"软件备份"};

void ReadMainWindow(HWND main) {
    for (const wchar_t* title : kTiles) {
        Check(Picture(main, title) != nullptr, std::wstring(L"tile picture named ") + title);
        Check(FindChild(main, L"Static", [&](const std::wstring& t) { return t == title; }) != nullptr,
              std::wstring(L"tile title ") + title);
    }
    Check(FindChild(main, L"Static", [](const std::wstring& t) { return StartsWith(t, L"软件介绍：\r\n"); }) != nullptr,
          L"the description at start");
    if (HWND fonts = Picture(main, L"字体信息")) SendMessageW(fonts, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    Check(FindChild(main, L"Static", [](const std::wstring& t) { return StartsWith(t, L"字体备份：\r\n"); }) != nullptr,
          L"the description after hovering 字体信息");
    Check(Picture(main, L"定时任务") && FindChild(main, L"Static", [](const std::wstring& t) { return t == L"定时任务"; }),
          L"the titles after the hover");
}

// Tab from the window reaches the first tile; Enter on it opens the task window.
HWND OpenTasksByKeyboard(HWND main) {
    DWORD thread = GetWindowThreadProcessId(main, nullptr);
    PostMessageW(main, WM_KEYDOWN, VK_TAB, 0);
    PostMessageW(main, WM_KEYUP, VK_TAB, 0);
    HWND first = Picture(main, kTiles[0]);
    const bool reached = WaitFor([&] {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        return GetGUIThreadInfo(thread, &info) && info.hwndFocus == first;
    });
    Check(reached, L"Tab reaches the first tile");
    PostMessageW(first, WM_KEYDOWN, VK_RETURN, 0);
    PostMessageW(first, WM_KEYUP, VK_RETURN, 0);
    HWND tasks = WaitForTop(L"自动任务设置");
    Check(tasks != nullptr, L"Enter on the first tile opens the task window");
    Check(WaitFor([&] { return !IsWindowVisible(main); }), L"the main window hides");
    return tasks;
}

// A task of the system kind, refused by this system's scheduler: the tip
// line says so.
void RefusedTask(HWND tasks) {
    HWND system = FindChild(tasks, L"Button", [](const std::wstring& t) { return t == L"运行系统相关程序"; });
    Check(system != nullptr, L"the option 运行系统相关程序");
    if (!system) return;
    SendMessageW(system, BM_CLICK, 0, 0);
    HWND add = FindChild(tasks, L"Button", [](const std::wstring& t) { return t == L"新增"; });
    Check(add != nullptr, L"the button 新增");
    if (!add) return;
    // Posted: the click asks for the password in a prompt of its own.
    PostMessageW(add, BM_CLICK, 0, 0);
    HWND prompt = nullptr;
    WaitFor([&] { return (prompt = FindWindowW(L"LanzhanInputBox", nullptr)) != nullptr; });
    Check(prompt != nullptr, L"the password prompt");
    if (!prompt) return;
    if (HWND edit = FindChild(prompt, L"Edit", [](const std::wstring&) { return true; }))
        SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"secret"));
    PostMessageW(prompt, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    // Refused or taken, the scheduler's answer is told in the tip line.
    HWND tipLine = nullptr;
    WaitFor([&] {
        return (tipLine = FindChild(tasks, L"Static", [](const std::wstring& t) {
                    return StartsWith(t, L"提示：") && t.find(L"计划任务程序") != std::wstring::npos;
                })) != nullptr;
    });
    const std::wstring tip = tipLine ? TextOf(tipLine) : L"";
    std::wstring seen;  // what the window showed instead, for the log
    if (tip.empty())
        for (HWND h : Descendants(tasks))
            if (lstrcmpiW(ClassOf(h).c_str(), L"Static") == 0 && IsWindowVisible(h)) seen += L" [" + TextOf(h) + L"]";
    Check(!tip.empty(), L"the tip line after the scheduler's answer: " + tip + seen);
}

void BackupResult(HWND main, const std::wstring& destination) {
    HWND tile = Picture(main, L"软件备份");
    Check(tile != nullptr, L"the tile 软件备份");
    if (!tile) return;
    ClickPicture(tile);
    HWND backup = WaitForTop(L"软件相关备份");
    Check(backup != nullptr, L"the software backup window");
    if (!backup) return;
    HWND favourites = nullptr;
    WaitFor([&] {
        return (favourites = FindChild(backup, L"Button", [](const std::wstring& t) { return t == L"网页收藏夹备份"; }));
    });
    Check(favourites != nullptr, L"the button 网页收藏夹备份");
    if (!favourites) return;
    PostMessageW(favourites, BM_CLICK, 0, 0);
    const std::wstring result = WaitForText(backup, L"Static", L"成功备份");
    Check(result.find(destination) != std::wstring::npos, L"the result line names the destination: " + result);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        fprintf(stderr, "usage: outside_reader <lanzhan.exe>\n");
        return 2;
    }
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring dir = std::wstring(temp) + L"lz-outside";
    const std::wstring destination = dir + L"\\backup";
    RemoveTree(dir);
    CreateDirectoryW(dir.c_str(), nullptr);
    CreateDirectoryW(destination.c_str(), nullptr);
    const std::wstring exe = dir + L"\\lanzhan.exe";
    if (!CopyFileW(argv[1], exe.c_str(), FALSE)) {
        fprintf(stderr, "outside_reader: cannot copy the program\n");
        return 2;
    }
    // The destination, as the destination dialog writes it: one line, ANSI.
    std::string line(destination.size() * 2 + 2, '\0');
    line.resize(size_t(WideCharToMultiByte(CP_ACP, 0, destination.c_str(), int(destination.size()), &line[0],
                                           int(line.size()), nullptr, nullptr)));
    line += "\r\n";
    HANDLE ini = CreateFileW((dir + L"\\SavePath.ini").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(ini, line.data(), DWORD(line.size()), &written, nullptr);
    CloseHandle(ini);

    // The pointer away from the tiles: hovering one changes the description.
    INPUT away{};
    away.type = INPUT_MOUSE;
    away.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &away, sizeof away);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::wstring command = L"\"" + exe + L"\"";
    if (!CreateProcessW(exe.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &si, &pi)) {
        fprintf(stderr, "outside_reader: cannot start the program\n");
        return 2;
    }
    processId = pi.dwProcessId;
    WaitForInputIdle(pi.hProcess, 60000);

    HWND main = WaitForTop(L"岚栈备份专家 V1.5.3");
    Check(main != nullptr, L"the main window");
    if (main) {
        ReadMainWindow(main);
        if (HWND tasks = OpenTasksByKeyboard(main)) {
            RefusedTask(tasks);
            if (HWND exit = FindChild(tasks, L"Button", [](const std::wstring& t) { return t == L"退出"; }))
                PostMessageW(exit, BM_CLICK, 0, 0);
            Check(WaitFor([&] { return IsWindowVisible(main) != FALSE; }), L"退出 shows the main window again");
        }
        BackupResult(main, destination);
        // The main window's close box ends the program, hidden or not.
        PostMessageW(main, WM_CLOSE, 0, 0);
    }
    if (WaitForSingleObject(pi.hProcess, 60000) != WAIT_OBJECT_0) {
        Check(false, L"the program ends");
        TerminateProcess(pi.hProcess, 1);
        WaitForSingleObject(pi.hProcess, 10000);
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    RemoveTree(dir);
    printf("%d failed\n", failures);
    return failures;
}
