// A lock surface in memory: what the lock asked of it, the blocks it copied,
// and the animation's steps run when the test says.
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
    bool keysGuarded = false;
    std::size_t keyEventsAtSnapshot = 0;  // how many key events the machine had sent by then
    std::function<bool()> step;  // while animating
    std::function<void()> onSnapshot;

    ScreenBox Screen() override { return screen; }
    void Snapshot() override {
        log.push_back(L"snapshot");
        if (onSnapshot) onSnapshot();
    }
    void Cover() override { log.push_back(L"cover"); }
    void CopyBlock(int x, int y, int w, int h, int toX, int toY) override { copies.push_back({x, y, w, h, toX, toY}); }
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
