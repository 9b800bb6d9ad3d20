// The screen lock in the real form host under Wine: started from the main
// window's tile with "Melt", the picture moving while locked, the password
// prompt on a double click, every other way out refused (Alt+F4, WM_CLOSE
// from another program, the task bar's close, the tray's exit), prompts above
// the lock, the end of the session, and the texts read as another program
// reads them. Whatever Screen.ini lies beside the test program is put back.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "lock/effects.h"
#include "lock/frmScreen.h"
#include "lock/keyboard_guard_win.h"
#include "lock/lock_surface_win.h"
#include "lock/screen_ini.h"
#include "support/files_win.h"
#include "support/gui_harness_win.h"
#include "support/window_text_win.h"

namespace lz::test {
namespace {

const std::wstring kPassword = L"开门Sesame";

// The list box's items, as another program reads them.
std::vector<std::wstring> ListItems(HWND list) {
    std::vector<std::wstring> items;
    const LRESULT n = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < n; ++i) {
        std::wstring s(size_t(SendMessageW(list, LB_GETTEXTLEN, WPARAM(i), 0)) + 1, L'\0');
        SendMessageW(list, LB_GETTEXT, WPARAM(i), reinterpret_cast<LPARAM>(s.data()));
        s.resize(lstrlenW(s.c_str()));
        items.push_back(s);
    }
    return items;
}

// What the screen shows, as 0x00RRGGBB per pixel.
std::vector<DWORD> GrabScreen() {
    const int x = GetSystemMetrics(SM_XVIRTUALSCREEN), y = GetSystemMetrics(SM_YVIRTUALSCREEN);
    return GrabPixels(nullptr, {x, y, x + GetSystemMetrics(SM_CXVIRTUALSCREEN), y + GetSystemMetrics(SM_CYVIRTUALSCREEN)});
}

// How many pixels of a window's client area have exactly this colour.
int PixelsOf(HWND h, COLORREF c) {
    RECT r;
    GetClientRect(h, &r);
    HDC dc = GetDC(h);
    int n = 0;
    for (int y = 0; y < r.bottom; ++y)
        for (int x = 0; x < r.right; ++x) n += GetPixel(dc, x, y) == c;
    ReleaseDC(h, dc);
    return n;
}

void Key(WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = WORD(MapVirtualKeyW(vk, 0));
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &in, sizeof in);
}

std::wstring ProgramFolder() {
    wchar_t self[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path(self, n);
    return path.substr(0, path.rfind(L'\\'));
}

// Runs another program to its end, letting this thread's messages run
// meanwhile (it may be sending us one); its exit code, or -1.
int RunAside(GuiApp& app, const std::wstring& commandLine) {
    std::wstring line = commandLine;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi))
        return -1;
    CloseHandle(pi.hThread);
    const bool ended = app.PumpUntil([&] { return WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0; });
    DWORD code = DWORD(-1);
    if (ended) GetExitCodeProcess(pi.hProcess, &code);
    else TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hProcess);
    return int(code);
}

// Counts the close requests a window receives, whoever sends them.
class CloseCounter {
public:
    explicit CloseCounter(HWND target) {
        target_ = target;
        count_ = 0;
        hook_ = SetWindowsHookExW(WH_CALLWNDPROC, Proc, nullptr, GetCurrentThreadId());
    }
    ~CloseCounter() { UnhookWindowsHookEx(hook_); }
    int Count() const { return count_; }

private:
    static LRESULT CALLBACK Proc(int code, WPARAM w, LPARAM l) {
        const auto* m = reinterpret_cast<const CWPSTRUCT*>(l);
        if (code == HC_ACTION && m->hwnd == target_ && m->message == WM_CLOSE) ++count_;
        return CallNextHookEx(nullptr, code, w, l);
    }
    static inline HWND target_ = nullptr;
    static inline int count_ = 0;
    HHOOK hook_ = nullptr;
};

// Screen.ini beside the test program, as the test found it, put back afterwards.
class KeepScreenIni {
public:
    KeepScreenIni() : path_(ProgramFolder() + L"\\Screen.ini") {
        existed_ = GetFileAttributesW(path_.c_str()) != INVALID_FILE_ATTRIBUTES;
        if (existed_) bytes_ = FileBytes(path_);
    }
    ~KeepScreenIni() {
        DeleteFileW(path_.c_str());
        if (existed_) MakeFile(path_, bytes_);
    }
    const std::wstring& Path() const { return path_; }

private:
    std::wstring path_;
    bool existed_ = false;
    std::string bytes_;
};

// The password in the ANSI code page, with its line end, as the settings window writes it.
std::string AnsiLine(const std::wstring& text) {
    std::string out(text.size() * 2 + 2, '\0');
    const int n = WideCharToMultiByte(CP_ACP, 0, text.data(), int(text.size()), out.data(), int(out.size()), nullptr,
                                      nullptr);
    out.resize(size_t(n > 0 ? n : 0));
    return out + "\r\n";
}

struct LockGui : ::testing::Test {
    KeepScreenIni keep;  // made before the program, so put back after it
    GuiApp app;

    void SetUp() override {
        MakeFile(keep.Path(), AnsiLine(kPassword));
        app.ui.ShowForm(L"frmMain");
        app.Pump(50);
    }

    FormWindow& S() { return app.W(L"frmScreen"); }
    frmScreen& Logic() { return dynamic_cast<frmScreen&>(S().Logic()); }
    HWND Lock() { return S().Handle(); }
    HWND Picture() { return S().ChildHandle(L"picScreen", -1); }
    HWND Label() { return S().ChildHandle(L"lblclick", -1); }
    LockSurfaceWin* Surface() { return dynamic_cast<LockSurfaceWin*>(S().Port(L"picScreen", -1)); }
    bool Locked() {
        return app.ui.IsLoaded(L"frmScreen") && app.ui.IsVisible(L"frmScreen") && Logic().Running;
    }
    // The keys are the lock's while no other guard can take them.
    static bool KeysHeld() {
        KeyboardGuard probe;
        return !probe.Install();
    }

    void StartFromTile() {
        app.Click(L"frmMain", L"imgPIC", 4);
        ASSERT_TRUE(app.PumpUntil([&] { return Locked() && GetForegroundWindow() == Lock(); }));
    }
    // The screen goes on changing: what it shows now is not what it showed.
    bool PictureMoves() {
        const std::vector<DWORD> before = GrabScreen();
        return app.PumpUntil([&] { return GrabScreen() != before; });
    }
    // A double click on the picture as the system delivers it, the prompt
    // answered with `answer`.
    void DoubleClick(const std::wstring& answer) {
        app.ui.inputAnswers.push_back(answer);
        const LPARAM at = MAKELPARAM(40, 30);
        HWND picture = Picture();  // gone with the window once unlocked
        SendMessageW(picture, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(picture, WM_LBUTTONUP, 0, at);
        SendMessageW(picture, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
        SendMessageW(picture, WM_LBUTTONUP, 0, at);
        app.Pump(5);
    }
    void Unlock() {
        DoubleClick(kPassword);
        ASSERT_TRUE(app.PumpUntil([&] { return !app.ui.IsLoaded(L"frmScreen"); }));
    }
};

TEST_F(LockGui, TheTileLocksWithMeltAndOnlyThePasswordOpensIt) {
    StartFromTile();
    // "Melt", chosen in the settings window's list.
    EXPECT_EQ(Logic().EffectNumber, 0);
    HWND list = app.W(L"frmSet").ChildHandle(L"cmb", -1);
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(ListItems(list), EffectNames());

    // Over the whole screen, above everything, without a frame, holding the keys.
    RECT r;
    GetWindowRect(Lock(), &r);
    EXPECT_EQ(r.left, GetSystemMetrics(SM_XVIRTUALSCREEN));
    EXPECT_EQ(r.top, GetSystemMetrics(SM_YVIRTUALSCREEN));
    EXPECT_EQ(r.right - r.left, GetSystemMetrics(SM_CXVIRTUALSCREEN));
    EXPECT_EQ(r.bottom - r.top, GetSystemMetrics(SM_CYVIRTUALSCREEN));
    GetWindowRect(Picture(), &r);
    EXPECT_EQ(r.right - r.left, GetSystemMetrics(SM_CXVIRTUALSCREEN));
    EXPECT_EQ(r.bottom - r.top, GetSystemMetrics(SM_CYVIRTUALSCREEN));
    EXPECT_TRUE(GetWindowLongW(Lock(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(GetWindowLongW(Lock(), GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME | WS_DLGFRAME | WS_BORDER), 0);
    EXPECT_TRUE(KeysHeld());
    EXPECT_TRUE(PictureMoves());
    app.Screenshot(L"frmScreen", L"lock");

    // A change of the display covers the whole screen again.
    SetWindowPos(Lock(), nullptr, 10, 10, 200, 100, SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(Lock(), WM_DISPLAYCHANGE, 32,
                 MAKELPARAM(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)));
    GetWindowRect(Lock(), &r);
    EXPECT_EQ(r.left, GetSystemMetrics(SM_XVIRTUALSCREEN));
    EXPECT_EQ(r.right - r.left, GetSystemMetrics(SM_CXVIRTUALSCREEN));
    EXPECT_EQ(r.bottom - r.top, GetSystemMetrics(SM_CYVIRTUALSCREEN));

    // A click shows "双击"; a wrong password says so and the lock goes on.
    EXPECT_FALSE(IsWindowVisible(Label()));
    DoubleClick(L"开门sesame");
    EXPECT_TRUE(IsWindowVisible(Label()));
    EXPECT_EQ(TextOf(Label()), L"双击");
    ASSERT_EQ(app.ui.prompts.size(), 2u);
    EXPECT_EQ(app.ui.prompts[0].text, L"请输入屏幕解锁密码");
    EXPECT_EQ(app.ui.prompts[0].title, L"很需要");
    EXPECT_EQ(app.ui.prompts[1].text, L"不好意思，你的密码有误");
    EXPECT_EQ(app.ui.prompts[1].title, L"错误了");
    EXPECT_EQ(app.ui.prompts[1].flags, kOkOnly | kQuestion);
    EXPECT_TRUE(Locked());
    EXPECT_TRUE(KeysHeld());
    EXPECT_TRUE(PictureMoves());
    app.Screenshot(L"frmScreen", L"lock-click");

    // The right one opens it: the settings window is back, the keys given back.
    Unlock();
    EXPECT_EQ(app.ui.prompts.size(), 3u);
    EXPECT_FALSE(KeysHeld());
    EXPECT_TRUE(app.ui.IsVisible(L"frmSet"));
    EXPECT_FALSE(app.ui.IsVisible(L"frmMain"));
    app.Screenshot(L"frmSet", L"lock-settings");

    // "Shake" and "变化" lock again, with 21.
    SendMessageW(list, LB_SETCURSEL, 21, 0);
    app.Click(L"frmSet", L"Command1");
    ASSERT_TRUE(app.PumpUntil([&] { return Locked(); }));
    EXPECT_EQ(Logic().EffectNumber, 21);
    EXPECT_TRUE(PictureMoves());
    Unlock();
    EXPECT_TRUE(app.ui.IsVisible(L"frmSet"));
}

TEST_F(LockGui, ARealDoubleClickOnTheLabelAsksForThePassword) {
    StartFromTile();
    app.ui.inputAnswers.push_back(L"wrong");
    // The pointer over the picture: a click shows the label, a double click on
    // the label asks.
    RECT r;
    GetWindowRect(Label(), &r);
    const POINT at{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    SetCursorPos(at.x, at.y);
    INPUT click[2] = {};
    click[0].type = click[1].type = INPUT_MOUSE;
    click[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    click[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, click, sizeof(INPUT));
    ASSERT_TRUE(app.PumpUntil([&] { return IsWindowVisible(Label()) != FALSE; }));
    INPUT twice[4] = {click[0], click[1], click[0], click[1]};
    SendInput(4, twice, sizeof(INPUT));
    ASSERT_TRUE(app.PumpUntil([&] { return app.ui.prompts.size() >= 2; }));
    EXPECT_EQ(app.ui.prompts[0].text, L"请输入屏幕解锁密码");
    EXPECT_TRUE(Locked());
    Unlock();
}

TEST_F(LockGui, AltF4ACloseFromAnotherProgramTheTaskBarAndTheTrayLeaveItLocked) {
    StartFromTile();
    CloseCounter closes(Lock());

    // Alt+F4 as typed.
    Key(VK_MENU, false);
    Key(VK_F4, false);
    Key(VK_F4, true);
    Key(VK_MENU, true);
    ASSERT_TRUE(app.PumpUntil([&] { return closes.Count() == 1; }));
    EXPECT_TRUE(Locked());

    // Another program (send_message.exe beside the test program) sends
    // WM_CLOSE, then posts the task bar's close command.
    const std::wstring tool = L"\"" + ProgramFolder() + L"\\send_message.exe\" ";
    const std::wstring lock = std::to_wstring(reinterpret_cast<UINT_PTR>(Lock()));
    EXPECT_EQ(RunAside(app, tool + lock + L" 0x10"), 0);
    EXPECT_EQ(closes.Count(), 2);
    EXPECT_TRUE(Locked());
    EXPECT_EQ(RunAside(app, tool + lock + L" 0x112 0xF060 0 post"), 0);
    ASSERT_TRUE(app.PumpUntil([&] { return closes.Count() == 3; }));
    EXPECT_TRUE(Locked());

    // The settings window does not close under the lock either.
    SendMessageW(app.W(L"frmSet").Handle(), WM_CLOSE, 0, 0);
    app.Pump(5);
    EXPECT_TRUE(app.ui.IsLoaded(L"frmSet"));

    // The tray's exit leaves the suite running and the screen locked.
    app.Menu(L"frmMain", L"mnuExit");
    EXPECT_TRUE(app.ui.IsLoaded(L"frmMain"));
    EXPECT_TRUE(Locked());
    EXPECT_TRUE(KeysHeld());
    EXPECT_TRUE(PictureMoves());

    Unlock();
    EXPECT_TRUE(app.ui.prompts.size() == 1u);
}

// A prompt shown while locked, found by another thread, which reads it as
// another program would and then answers it.
struct PromptSeen {
    HWND owner = nullptr;
    bool topmost = false;
    bool aboveLock = false;
    std::vector<std::wstring> texts;
};

HWND FindPrompt(DWORD thread, HWND lock) {
    struct Search {
        HWND lock, found;
    } s{lock, nullptr};
    EnumThreadWindows(
        thread,
        [](HWND h, LPARAM l) {
            auto* s = reinterpret_cast<Search*>(l);
            if (IsWindowVisible(h) && GetWindow(h, GW_OWNER) == s->lock) s->found = h;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&s));
    return s.found;
}

// Watches for a prompt owned by `lock` on `thread`, notes what it sees, types
// `typed` into its text box if it has one and presses OK.
std::thread Answer(DWORD thread, HWND lock, const std::wstring& typed, PromptSeen& seen) {
    return std::thread([=, &seen] {
        HWND box = nullptr;
        WaitFor([&] { return (box = FindPrompt(thread, lock)) != nullptr; });
        if (!box) return;
        seen.owner = GetWindow(box, GW_OWNER);
        seen.topmost = (GetWindowLongW(box, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
        // Shown a moment ago, it may not have been raised yet: wait for it.
        seen.aboveLock = WaitFor([&] {
            for (HWND h = GetTopWindow(nullptr); h; h = GetWindow(h, GW_HWNDNEXT)) {
                if (h == lock) return false;
                if (h == box) return true;
            }
            return false;
        });
        seen.texts.push_back(TextOf(box));
        for (HWND c : Descendants(box)) {
            seen.texts.push_back(TextOf(c));
            if (lstrcmpiW(ClassOf(c).c_str(), L"Edit") == 0)
                SendMessageW(c, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(typed.c_str()));
        }
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
    });
}

TEST_F(LockGui, PromptsWhileLockedAreOwnedByTheLockAndStandAboveIt) {
    StartFromTile();
    // Even with the settings window active, the lock above it owns the prompt.
    SetActiveWindow(app.W(L"frmSet").Handle());
    app.Pump(5);
    EXPECT_EQ(app.ui.ActiveOwner(), Lock());

    PromptSeen message;
    std::thread watcher = Answer(GetCurrentThreadId(), Lock(), L"", message);
    app.ui.Win32Ui::MsgBox(L"不好意思，你的密码有误", kOkOnly | kQuestion, L"错误了");
    watcher.join();
    EXPECT_EQ(message.owner, Lock());
    EXPECT_TRUE(message.topmost);
    EXPECT_TRUE(message.aboveLock);
    ASSERT_FALSE(message.texts.empty());
    EXPECT_EQ(message.texts[0], L"错误了");
    EXPECT_NE(std::find(message.texts.begin(), message.texts.end(), L"不好意思，你的密码有误"), message.texts.end());

    PromptSeen input;
    watcher = Answer(GetCurrentThreadId(), Lock(), L"typed", input);
    const std::wstring answer = app.ui.Win32Ui::InputBox(L"请输入屏幕解锁密码", L"很需要", L"");
    watcher.join();
    EXPECT_EQ(answer, L"typed");
    EXPECT_EQ(input.owner, Lock());
    EXPECT_TRUE(input.topmost);
    EXPECT_TRUE(input.aboveLock);
    ASSERT_FALSE(input.texts.empty());
    EXPECT_EQ(input.texts[0], L"很需要");
    EXPECT_NE(std::find(input.texts.begin(), input.texts.end(), L"请输入屏幕解锁密码"), input.texts.end());
    EXPECT_TRUE(Locked());
    Unlock();

    // Unlocked, the active window owns prompts again.
    SetActiveWindow(app.W(L"frmSet").Handle());
    app.Pump(5);
    EXPECT_EQ(app.ui.ActiveOwner(), app.W(L"frmSet").Handle());
}

TEST_F(LockGui, LoggingOffEndsTheProgramEvenWhenLocked) {
    StartFromTile();
    EXPECT_EQ(SendMessageW(Lock(), WM_QUERYENDSESSION, 0, 0), TRUE);
    EXPECT_TRUE(Locked());
    SendMessageW(Lock(), WM_ENDSESSION, TRUE, 0);
    EXPECT_FALSE(app.ui.IsLoaded(L"frmScreen"));
    EXPECT_FALSE(app.ui.IsLoaded(L"frmSet"));
    EXPECT_FALSE(app.ui.IsLoaded(L"frmMain"));
    EXPECT_FALSE(KeysHeld());
    MSG msg;
    EXPECT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
}

TEST_F(LockGui, TheSettingsWindowIsWhereTheSystemPutsItAndReadableFromOutside) {
    StartFromTile();
    Unlock();
    HWND set = app.W(L"frmSet").Handle();
    EXPECT_EQ(TextOf(set), L"屏幕锁定");
    std::vector<std::wstring> texts;
    for (HWND c : Descendants(set)) texts.push_back(TextOf(c));
    for (const wchar_t* t : {L"选择效果：", L"重设密码：", L"确定", L"变化", L"退出"})
        EXPECT_NE(std::find(texts.begin(), texts.end(), t), texts.end()) << "missing";
    EXPECT_EQ(ListItems(app.W(L"frmSet").ChildHandle(L"cmb", -1)).size(), 22u);

    // Not centred as the other windows are: the system chose the place.
    RECT r, work;
    GetWindowRect(set, &r);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const LONG w = r.right - r.left, h = r.bottom - r.top;
    const bool centred = r.left == work.left + (work.right - work.left - w) / 2 &&
                         r.top == work.top + (work.bottom - work.top - h) / 2;
    EXPECT_FALSE(centred);
    EXPECT_GE(r.left, work.left);
    EXPECT_GE(r.top, work.top);

    // The label's text in the highlight colour.
    HWND label = app.W(L"frmSet").ChildHandle(L"Label1", -1);
    RedrawWindow(label, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_GT(PixelsOf(label, RGB(49, 106, 197)), 0);

    // The exit button brings the main window back.
    app.Click(L"frmSet", L"cmdExit");
    EXPECT_FALSE(app.ui.IsLoaded(L"frmSet"));
    EXPECT_TRUE(app.ui.IsVisible(L"frmMain"));
}

}  // namespace
}  // namespace lz::test
