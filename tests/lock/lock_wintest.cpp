// The lock surface and the keyboard guard on real windows under Wine: the
// picture of the screen, block copies read back as pixels, the animation
// stepping between other messages, the repaint after a prompt, and the keys.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "core/form_registry.h"
#include "env/machine_win.h"
#include "lock/effects.h"
#include "lock/frmScreen.h"
#include "lock/lock_animation.h"
#include "lock/lock_surface_win.h"
#include "support/fake_ui.h"
#include "support/files_win.h"
#include "support/pixels_win.h"

namespace lz::test {
namespace {

const UINT kPing = WM_APP + 7;

// The colour of a pixel of the test pattern: no two neighbours alike.
COLORREF Pattern(int x, int y) { return RGB((x * 7 + y) & 255, (y * 5) & 255, ((x ^ y) * 3) & 255); }

// What a window shows, as 0x00RRGGBB per pixel, top row first.
std::vector<DWORD> Grab(HWND h, int width, int height) { return GrabPixels(h, {0, 0, width, height}); }

DWORD Rgb32(COLORREF c) { return (DWORD(GetRValue(c)) << 16) | (DWORD(GetGValue(c)) << 8) | GetBValue(c); }

// A window for the tests: it paints the pattern, or forwards its painting
// to a lock surface, and counts what else it receives.
struct TestWindow {
    HWND hwnd = nullptr;
    LockSurfaceWin* surface = nullptr;
    bool pattern = false;
    int pings = 0, timers = 0;
    std::vector<UINT> keysDown;

    static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
        auto* self = reinterpret_cast<TestWindow*>(GetWindowLongPtrW(h, GWLP_USERDATA));
        if (self) {
            LRESULT r = 0;
            if (self->surface && self->surface->HandleMessage(m, w, l, r)) return r;
            if (m == kPing) return ++self->pings, 0;
            if (m == WM_TIMER) return ++self->timers, 0;
            if (m == WM_KEYDOWN || m == WM_SYSKEYDOWN) self->keysDown.push_back(UINT(w));
            if (m == WM_PAINT && self->pattern) {
                PAINTSTRUCT ps;
                HDC dc = BeginPaint(h, &ps);
                RECT rc;
                GetClientRect(h, &rc);
                std::vector<DWORD> px(std::size_t(rc.right) * rc.bottom);
                for (int y = 0; y < rc.bottom; ++y)
                    for (int x = 0; x < rc.right; ++x) px[std::size_t(y) * rc.right + x] = Rgb32(Pattern(x, y));
                BITMAPINFO bi{};
                bi.bmiHeader.biSize = sizeof bi.bmiHeader;
                bi.bmiHeader.biWidth = rc.right;
                bi.bmiHeader.biHeight = -rc.bottom;
                bi.bmiHeader.biPlanes = 1;
                bi.bmiHeader.biBitCount = 32;
                SetDIBitsToDevice(dc, 0, 0, rc.right, rc.bottom, 0, 0, 0, rc.bottom, px.data(), &bi, DIB_RGB_COLORS);
                EndPaint(h, &ps);
                return 0;
            }
        }
        return DefWindowProcW(h, m, w, l);
    }

    TestWindow(DWORD style, HWND parent, int w, int h) {
        static const ATOM atom = [] {
            WNDCLASSW wc{};
            wc.lpfnWndProc = &TestWindow::Proc;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
            wc.lpszClassName = L"LanzhanLockTest";
            return RegisterClassW(&wc);
        }();
        (void)atom;
        hwnd = CreateWindowExW(0, L"LanzhanLockTest", L"lock test", style, 0, 0, w, h, parent, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~TestWindow() {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        DestroyWindow(hwnd);
    }
};

// The lock window as the host will make it: a borderless window, the
// picture as a child over all of it, the surface on the picture.
struct LockWindow {
    TestWindow root{WS_POPUP, nullptr, 200, 100};
    TestWindow picture{WS_CHILD | WS_VISIBLE, root.hwnd, 200, 100};
    std::unique_ptr<LockSurfaceWin> surface = std::make_unique<LockSurfaceWin>(picture.hwnd);
    LockWindow() { picture.surface = surface.get(); }
    ~LockWindow() {
        picture.surface = nullptr;
        surface.reset();
    }
};

class LockSurfaceTest : public ::testing::Test {
protected:
    // The screen shows the pattern; then the lock takes its picture and covers it.
    void SetUp() override {
        ScreenBox s = lock.surface->Screen();
        w = s.width;
        h = s.height;
        {
            TestWindow shown(WS_POPUP | WS_VISIBLE, nullptr, w, h);
            shown.pattern = true;
            SetWindowPos(shown.hwnd, HWND_TOPMOST, s.left, s.top, w, h, SWP_SHOWWINDOW);
            UpdateWindow(shown.hwnd);
            // On the screen when the screen's own pixels say so.
            ASSERT_TRUE(PumpUntil([&] {
                HDC screen = GetDC(nullptr);
                bool there = GetPixel(screen, 10, 20) == Pattern(10, 20) &&
                             GetPixel(screen, w - 3, h - 5) == Pattern(w - 3, h - 5);
                ReleaseDC(nullptr, screen);
                return there;
            }));
            lock.surface->Snapshot();
        }
        lock.surface->Cover();
        ShowWindow(lock.root.hwnd, SW_SHOW);
        UpdateWindow(lock.picture.hwnd);
    }
    DWORD At(const std::vector<DWORD>& px, int x, int y) const { return px[std::size_t(y) * w + x]; }

    LockWindow lock;
    int w = 0, h = 0;
};

TEST_F(LockSurfaceTest, ThePictureIsTheScreenAndCoversItAllOnTop) {
    ScreenBox s = lock.surface->Screen();
    RECT r;
    GetWindowRect(lock.root.hwnd, &r);
    EXPECT_EQ(r.left, s.left);
    EXPECT_EQ(r.top, s.top);
    EXPECT_EQ(r.right - r.left, s.width);
    EXPECT_EQ(r.bottom - r.top, s.height);
    EXPECT_TRUE(GetWindowLongPtrW(lock.root.hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
    GetClientRect(lock.picture.hwnd, &r);
    EXPECT_EQ(r.right, s.width);
    EXPECT_EQ(r.bottom, s.height);

    const std::vector<DWORD> px = Grab(lock.picture.hwnd, w, h);
    int wrong = 0;
    for (int y = 0; y < h; y += 7)
        for (int x = 0; x < w; x += 5) wrong += At(px, x, y) != Rgb32(Pattern(x, y));
    EXPECT_EQ(wrong, 0);
}

TEST_F(LockSurfaceTest, ABlockCopyMovesExactlyThatBlock) {
    const std::vector<DWORD> before = Grab(lock.picture.hwnd, w, h);
    lock.surface->CopyBlock(300, 200, 128, 128, 299, 199);  // "Evaporate": one up, one left
    const std::vector<DWORD> after = Grab(lock.picture.hwnd, w, h);
    int moved = 0, kept = 0, changed = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const bool inBlock = x >= 299 && x < 299 + 128 && y >= 199 && y < 199 + 128;
            if (inBlock) moved += At(after, x, y) == At(before, x + 1, y + 1);
            else kept += At(after, x, y) == At(before, x, y);
            changed += At(after, x, y) != At(before, x, y);
        }
    EXPECT_EQ(moved, 128 * 128);
    EXPECT_EQ(kept, w * h - 128 * 128);
    EXPECT_GT(changed, 128 * 100);
}

TEST_F(LockSurfaceTest, TheAnimationStepsBetweenOtherMessagesAndChangesThePicture) {
    const std::vector<DWORD> before = Grab(lock.picture.hwnd, w, h);
    LockAnimation animation(*lock.surface, EffectRow(0), ScreenPixels(w), ScreenPixels(h), 4242);
    int pingsAtStart = -1;
    lock.surface->Animate([&] {
        animation.Step();
        if (animation.Steps() == 200) {
            // Posted now, taken between two steps: the loop never owns the thread.
            pingsAtStart = lock.root.pings;
            PostMessageW(lock.root.hwnd, kPing, 0, 0);
            SetTimer(lock.root.hwnd, 1, 1, nullptr);
        }
        return true;
    });
    ASSERT_TRUE(PumpUntil([&] { return lock.root.timers >= 3 && animation.Steps() >= 3000; }))
        << animation.Steps() << " steps, " << lock.root.timers << " timer ticks";
    KillTimer(lock.root.hwnd, 1);
    EXPECT_EQ(pingsAtStart, 0);
    EXPECT_EQ(lock.root.pings, 1);
    lock.surface->Stop();
    const std::uint64_t stopped = animation.Steps();
    MSG msg;
    for (int i = 0; i < 50 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i) DispatchMessageW(&msg);
    EXPECT_EQ(animation.Steps(), stopped);

    const std::vector<DWORD> after = Grab(lock.picture.hwnd, w, h);
    int changed = 0;
    for (std::size_t i = 0; i < after.size(); ++i) changed += after[i] != before[i];
    EXPECT_GT(changed, w * h / 20);
}

TEST_F(LockSurfaceTest, WhatAPromptCoveredIsRepaintedAsItWasHeld) {
    LockAnimation animation(*lock.surface, EffectRow(1), ScreenPixels(w), ScreenPixels(h), 7);
    for (int i = 0; i < 2000; ++i) animation.Step();
    const std::vector<DWORD> held = Grab(lock.picture.hwnd, w, h);
    lock.surface->Hold();
    InvalidateRect(lock.picture.hwnd, nullptr, FALSE);
    UpdateWindow(lock.picture.hwnd);
    EXPECT_TRUE(Grab(lock.picture.hwnd, w, h) == held);

    // Moved on after the hold, a repaint brings back what was held.
    for (int i = 0; i < 2000; ++i) animation.Step();
    ASSERT_FALSE(Grab(lock.picture.hwnd, w, h) == held);
    InvalidateRect(lock.picture.hwnd, nullptr, FALSE);
    UpdateWindow(lock.picture.hwnd);
    EXPECT_TRUE(Grab(lock.picture.hwnd, w, h) == held);
}

// Sends one key as typed; `up` releases it.
void Key(WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = WORD(MapVirtualKeyW(vk, 0));
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &in, sizeof in);
}

TEST(KeyboardGuard, KeepsCtrlEscFromTheSystemUntilRemoved) {
    TestWindow target(WS_POPUP | WS_VISIBLE, nullptr, 200, 100);
    SetForegroundWindow(target.hwnd);
    SetFocus(target.hwnd);
    ASSERT_TRUE(PumpUntil([&] { return GetFocus() == target.hwnd; }));
    auto seen = [&](UINT vk) {
        for (UINT k : target.keysDown)
            if (k == vk) return true;
        return false;
    };

    LockSurfaceWin surface(target.hwnd);
    surface.Keys().JudgeSentKeys(true);
    surface.GuardKeys(true);
    ASSERT_TRUE(surface.KeysGuarded());
    KeyboardGuard second;
    EXPECT_FALSE(second.Install());  // one lock holds the keys

    Key(VK_CONTROL, false);
    Key(VK_ESCAPE, false);
    Key(VK_ESCAPE, true);
    Key(VK_CONTROL, true);
    Key(VK_LWIN, false);
    Key(VK_LWIN, true);
    Key('A', false);
    Key('A', true);
    ASSERT_TRUE(PumpUntil([&] { return seen('A'); }));
    EXPECT_TRUE(seen(VK_CONTROL));
    EXPECT_FALSE(seen(VK_ESCAPE));
    EXPECT_FALSE(seen(VK_LWIN));

    surface.GuardKeys(false);
    EXPECT_FALSE(surface.KeysGuarded());
    target.keysDown.clear();
    Key(VK_CONTROL, false);
    Key(VK_ESCAPE, false);
    Key(VK_ESCAPE, true);
    Key(VK_CONTROL, true);
    Key(VK_LWIN, false);
    Key(VK_LWIN, true);
    Key('B', false);
    Key('B', true);
    ASSERT_TRUE(PumpUntil([&] { return seen('B'); }));
    EXPECT_TRUE(seen(VK_ESCAPE));
    EXPECT_TRUE(seen(VK_LWIN));
    EXPECT_TRUE(second.Install());  // free again
}

TEST(KeyEvents, TheMachineSendsPressAndReleaseAsTyped) {
    TestWindow target(WS_POPUP | WS_VISIBLE, nullptr, 200, 100);
    SetForegroundWindow(target.hwnd);
    SetFocus(target.hwnd);
    ASSERT_TRUE(PumpUntil([&] { return GetFocus() == target.hwnd; }));
    Win32Machine machine;
    machine.KeyEvent('M', false);
    machine.KeyEvent('M', true);
    ASSERT_TRUE(PumpUntil([&] { return !target.keysDown.empty(); }));
    EXPECT_EQ(target.keysDown[0], UINT('M'));
    // Released as well: the system no longer holds M down.
    ASSERT_TRUE(PumpUntil([] { return !(GetAsyncKeyState('M') & 0x8000); }));
}

// The settings and lock windows' logic with prompts answered by script, the
// real machine, and the lock drawing on a real window: what the host will
// join in one program.
class LockFlow : public ::testing::Test {
protected:
    // The machine, its program folder a test folder of its own, its key
    // events noted rather than sent to the desktop.
    struct TestMachine : Win32Machine {
        std::wstring folder;
        std::vector<std::pair<int, bool>> keys;
        std::wstring ProgramDir() override { return folder; }
        void KeyEvent(unsigned char vk, bool up) override { keys.push_back({vk, up}); }
    };
    // Shows and hides the real lock window with the lock window's logic.
    struct WiredUi : FakeUi {
        using FakeUi::FakeUi;
        HWND lockRoot = nullptr;
        void ShowForm(const std::wstring& form) override {
            FakeUi::ShowForm(form);
            if (form == L"frmScreen" && IsLoaded(form)) {
                ShowWindow(lockRoot, SW_SHOW);
                SetForegroundWindow(lockRoot);
            }
        }
        void UnloadForm(const std::wstring& form) override {
            if (form == L"frmScreen") ShowWindow(lockRoot, SW_HIDE);
            FakeUi::UnloadForm(form);
        }
    };
    // The lock window's logic with the real surface under its picture.
    class ScreenOnWindow : public frmScreen {
    public:
        ScreenOnWindow(AppContext& c, LockSurface* s) : frmScreen(c), surface_(s) {}
        void OnEvent(const Event& e) override {
            if (e.kind == EventKind::Load) dynamic_cast<FakeControls&>(Ctl()).ports[{L"picScreen", -1}] = surface_;
            frmScreen::OnEvent(e);
        }

    private:
        LockSurface* surface_;
    };

    LockFlow() : ui(registry), ctx{machine, ui, L""} {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        machine.folder = std::wstring(temp) + L"lanzhan_lock_flow";
        RemoveTree(machine.folder);
        CreateDirectoryW(machine.folder.c_str(), nullptr);
        RegisterAllForms(registry);
        registry.Add(L"frmScreen", [this](AppContext& c) -> std::unique_ptr<FormLogic> {
            return std::make_unique<ScreenOnWindow>(c, lock.surface.get());
        });
        registry.Attach(ctx);
        ui.lockRoot = lock.root.hwnd;
    }
    ~LockFlow() override { RemoveTree(machine.folder); }

    std::vector<DWORD> GrabScreen() {
        const ScreenBox s = lock.surface->Screen();
        return Grab(nullptr, s.width, s.height);
    }
    void DoubleClick(const std::wstring& answer) {
        ui.inputAnswers.push_back(answer);
        ui.Fire(L"frmScreen", {EventKind::Click, L"picScreen"});
        ui.Fire(L"frmScreen", {EventKind::DblClick, L"picScreen"});
    }

    FormRegistry registry;
    TestMachine machine;
    WiredUi ui;
    AppContext ctx;
    LockWindow lock;
};

TEST_F(LockFlow, LocksAtLoadAnimatesTheScreenAndOnlyThePasswordOpensIt) {
    ASSERT_EQ(machine.WriteTextFile(machine.folder + L"\\Screen.ini", {L"Open Sesame"}), WriteResult::Ok);
    TestWindow shown(WS_POPUP | WS_VISIBLE, nullptr, 400, 300);
    shown.pattern = true;
    UpdateWindow(shown.hwnd);

    ui.ShowForm(L"frmSet");
    ASSERT_TRUE(ui.IsLoaded(L"frmScreen"));
    const std::vector<std::pair<int, bool>> winM = {{91, false}, {77, false}, {91, true}, {77, true}};
    EXPECT_EQ(machine.keys, winM);
    EXPECT_TRUE(IsWindowVisible(lock.root.hwnd));
    EXPECT_TRUE(GetWindowLongPtrW(lock.root.hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(lock.surface->KeysGuarded());

    // Two looks at the screen some steps apart differ.
    auto& screen = ui.Logic<frmScreen>(L"frmScreen");
    ASSERT_TRUE(PumpUntil([&] { return lock.surface->KeysGuarded() && GetForegroundWindow() == lock.root.hwnd; }));
    const std::vector<DWORD> first = GrabScreen();
    int steps = 0;
    lock.surface->Animate([&] { return ++steps, screen.Step(); });
    ASSERT_TRUE(PumpUntil([&] { return steps >= 3000; }));
    EXPECT_FALSE(GrabScreen() == first);

    DoubleClick(L"open sesame");
    ASSERT_EQ(ui.prompts.size(), 2u);
    EXPECT_EQ(ui.prompts[1].text, L"不好意思，你的密码有误");
    EXPECT_TRUE(screen.Running);
    EXPECT_TRUE(ui.ControlsOf(L"frmScreen").At(L"lblclick").visible);
    const int before = steps;
    // The file changes under the lock; what opens it does not.
    ASSERT_EQ(machine.WriteTextFile(machine.folder + L"\\Screen.ini", {L"other"}), WriteResult::Ok);
    lock.surface->Animate([&] { return ++steps, screen.Step(); });
    ASSERT_TRUE(PumpUntil([&] { return steps >= before + 1000; }));
    DoubleClick(L"other");
    EXPECT_TRUE(screen.Running);

    DoubleClick(L"Open Sesame");
    EXPECT_FALSE(ui.IsLoaded(L"frmScreen"));
    EXPECT_FALSE(lock.surface->KeysGuarded());
    EXPECT_FALSE(IsWindowVisible(lock.root.hwnd));
    EXPECT_TRUE(ui.IsVisible(L"frmSet"));
    const int after = steps;
    MSG msg;
    for (int i = 0; i < 100 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i) DispatchMessageW(&msg);
    EXPECT_EQ(steps, after);

    // A new password goes to the file in the ANSI code page with its line
    // end, and the next lock opens with it.
    ui.ControlsOf(L"frmSet").SetText(L"txtPassword", -1, L"新密码");
    ui.Fire(L"frmSet", {EventKind::Click, L"cmdChangePassword"});
    EXPECT_EQ(FileBytes(machine.folder + L"\\Screen.ini"), "\xD0\xC2\xC3\xDC\xC2\xEB\r\n");
    ui.Fire(L"frmSet", {EventKind::Click, L"Command1"});
    ASSERT_TRUE(ui.IsLoaded(L"frmScreen"));
    DoubleClick(L"新密码");
    EXPECT_FALSE(ui.IsLoaded(L"frmScreen"));
}

}  // namespace
}  // namespace lz::test
