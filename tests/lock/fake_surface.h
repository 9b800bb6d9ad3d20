// A lock surface in memory: a picture of the screen as a grid of numbers, the
// block copies done on it, and the animation's steps run when the test says.
// LockedApp puts one under the lock window of a whole program in memory.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "lock/frmScreen.h"
#include "lock/lock_surface.h"
#include "support/app_fixture.h"

namespace lz::test {

class FakeSurface : public LockSurface {
public:
    struct Copy {
        int x, y, width, height, toX, toY;
    };
    ScreenBox screen{0, 0, 1024, 768};
    std::vector<std::wstring> log;  // "snapshot", "cover", "keys on", "animate", "stop", "hold", "keys off"
    std::vector<Copy> copies;
    std::vector<int> pixels;  // screen.width × screen.height; the snapshot numbers them 0, 1, 2 ...
    bool keysGuarded = false;
    std::size_t keyEventsAtSnapshot = 0;  // how many key events the machine had sent by then
    std::function<bool()> step;  // while animating
    std::function<void()> onSnapshot;

    ScreenBox Screen() override { return screen; }
    void Snapshot() override {
        log.push_back(L"snapshot");
        pixels.resize(std::size_t(screen.width) * std::size_t(screen.height));
        for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = int(i);
        if (onSnapshot) onSnapshot();
    }
    void Cover() override { log.push_back(L"cover"); }
    void CopyBlock(int x, int y, int w, int h, int toX, int toY) override {
        copies.push_back({x, y, w, h, toX, toY});
        if (pixels.empty()) return;  // no picture taken: the moves alone are of interest
        // Through a copy of the source, as BitBlt does with overlapping blocks.
        std::vector<int> block(std::size_t(w) * std::size_t(h), -1);
        for (int j = 0; j < h; ++j)
            for (int i = 0; i < w; ++i)
                if (Inside(x + i, y + j)) block[std::size_t(j) * w + i] = At(x + i, y + j);
        for (int j = 0; j < h; ++j)
            for (int i = 0; i < w; ++i)
                if (Inside(toX + i, toY + j) && block[std::size_t(j) * w + i] >= 0)
                    At(toX + i, toY + j) = block[std::size_t(j) * w + i];
    }
    void Hold() override { log.push_back(L"hold"); }
    void GuardKeys(bool on) override {
        keysGuarded = on;
        log.push_back(on ? L"keys on" : L"keys off");
    }
    void Animate(std::function<bool()> s) override {
        step = std::move(s);
        log.push_back(L"animate");
    }
    void Stop() override {
        step = nullptr;
        log.push_back(L"stop");
    }

    // Runs up to n steps, as the message loop would when idle; how many ran.
    int RunSteps(int n) {
        int done = 0;
        while (done < n && step) {
            auto s = step;
            if (!s()) {
                step = nullptr;
                break;
            }
            ++done;
        }
        return done;
    }
    bool Animating() const { return bool(step); }
    bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < screen.width && y < screen.height; }
    int& At(int x, int y) { return pixels[std::size_t(y) * std::size_t(screen.width) + std::size_t(x)]; }
    bool Logged(const std::wstring& what) const {
        for (const auto& l : log)
            if (l == what) return true;
        return false;
    }
};

// The lock window with the fake surface under its picture from the start.
class ScreenWithFakeSurface : public frmScreen {
public:
    ScreenWithFakeSurface(AppContext& ctx, FakeSurface* surface) : frmScreen(ctx), surface_(surface) {}
    void OnEvent(const Event& e) override {
        if (e.kind == EventKind::Load && surface_)
            dynamic_cast<FakeControls&>(Ctl()).ports[{L"picScreen", -1}] = surface_;
        frmScreen::OnEvent(e);
    }

private:
    FakeSurface* surface_;
};

// A whole program whose lock windows draw on `surface` (a new one for each lock).
struct LockedApp : AppFixture {
    std::vector<std::unique_ptr<FakeSurface>> surfaces;
    bool withSurface = true;
    LockedApp() {
        registry.Add(L"frmScreen", [this](AppContext& c) -> std::unique_ptr<FormLogic> {
            surfaces.push_back(std::make_unique<FakeSurface>());
            FakeSurface* s = surfaces.back().get();
            s->onSnapshot = [this, s] { s->keyEventsAtSnapshot = machine.keyEvents.size(); };
            return std::make_unique<ScreenWithFakeSurface>(c, withSurface ? surfaces.back().get() : nullptr);
        });
    }
    FakeSurface& Surface() { return *surfaces.back(); }
    std::wstring IniPath() const { return machine.programDir + L"\\Screen.ini"; }
    frmScreen& Screen() { return ui.Logic<frmScreen>(L"frmScreen"); }
    bool Locked() { return ui.IsLoaded(L"frmScreen") && Screen().Running; }
};

}  // namespace lz::test
