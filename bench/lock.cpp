// Blocks per second of the lock's animation loop (the effect's arithmetic,
// the surface's block copy, the idle stepping between messages) against a
// bare BitBlt loop of the same blocks on the same window, in the same run.
// The two alternate in short rounds, so that a busy machine's drift touches
// both alike; the median of the rounds' ratios is the result.
// Usage: bench_lock [seconds per round, default 1.5] [rounds, default 9]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <vector>

#include "lock/effects.h"
#include "lock/lock_animation.h"
#include "lock/lock_surface_win.h"
#include "seconds_win.h"

namespace {

lz::LockSurfaceWin* g_surface = nullptr;

LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
    LRESULT r = 0;
    if (g_surface && h != GetAncestor(h, GA_ROOT) && g_surface->HandleMessage(m, w, l, r)) return r;
    return DefWindowProcW(h, m, w, l);
}

// The same blocks as "Melt", computed beforehand so that only BitBlt is timed.
double BareLoop(HWND picture, const std::vector<lz::BlockMove>& moves, double seconds) {
    HDC dc = GetDC(picture);
    std::size_t blocks = 0;
    const double start = Now();
    double elapsed = 0;
    do {
        for (int i = 0; i < 256; ++i, ++blocks) {
            const lz::BlockMove& m = moves[blocks % moves.size()];
            BitBlt(dc, m.ToX(), m.ToY(), 128, 128, dc, m.x, m.y, SRCCOPY);
        }
        elapsed = Now() - start;
    } while (elapsed < seconds);
    GdiFlush();
    ReleaseDC(picture, dc);
    return double(blocks) / elapsed;
}

double LockLoop(lz::LockSurfaceWin& surface, std::int16_t w, std::int16_t h, double seconds) {
    lz::LockAnimation animation(surface, lz::EffectRow(0), w, h, 1234);
    const double start = Now();
    double elapsed = 0;
    surface.Animate([&] {
        animation.Step();
        elapsed = Now() - start;
        if (elapsed < seconds) return true;
        PostQuitMessage(0);
        return false;
    });
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return double(animation.Steps()) / elapsed;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const double seconds = argc > 1 ? std::wcstod(argv[1], nullptr) : 1.5;
    const int rounds = argc > 2 ? std::max(1, _wtoi(argv[2])) : 9;

    WNDCLASSW wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"LanzhanBenchLock";
    RegisterClassW(&wc);
    HWND root = CreateWindowExW(0, wc.lpszClassName, L"bench lock", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr,
                                wc.hInstance, nullptr);
    HWND picture = CreateWindowExW(0, wc.lpszClassName, L"", WS_CHILD | WS_VISIBLE, 0, 0, 100, 100, root, nullptr,
                                   wc.hInstance, nullptr);
    lz::LockSurfaceWin surface(picture);
    g_surface = &surface;
    const lz::ScreenBox screen = surface.Screen();
    const std::int16_t w = lz::ScreenPixels(screen.width), h = lz::ScreenPixels(screen.height);
    surface.Snapshot();
    surface.Cover();
    ShowWindow(root, SW_SHOW);
    UpdateWindow(picture);

    std::vector<lz::BlockMove> moves;
    lz::VbRandom random(1234);
    for (int i = 0; i < 4096; ++i) {
        const float r1 = random.Next(), r2 = random.Next(), r3 = random.Next(), r4 = random.Next();
        moves.push_back(lz::NextBlock(lz::EffectRow(0), w, h, r1, r2, r3, r4));
    }

    std::printf("screen %d x %d, Melt (128 x 128 blocks), %d rounds of %.1f s each\n", w, h, rounds, seconds);
    std::vector<double> bare, lock, ratio;
    for (int r = 0; r < rounds; ++r) {
        bare.push_back(BareLoop(picture, moves, seconds));
        lock.push_back(LockLoop(surface, w, h, seconds));
        ratio.push_back(lock.back() / bare.back());
        std::printf("round %d: bare BitBlt %.0f blocks/s, lock loop %.0f blocks/s, ratio %.2f\n", r + 1, bare.back(),
                    lock.back(), lock.back() / bare.back());
    }
    std::printf("median: bare BitBlt %.0f blocks/s, lock loop %.0f blocks/s, ratio %.2f (target >= 0.80)\n",
                Median(bare), Median(lock), Median(ratio));
    g_surface = nullptr;
    DestroyWindow(root);
    return 0;
}
