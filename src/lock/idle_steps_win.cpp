#include "lock/idle_steps_win.h"

#include <algorithm>

namespace lz {

namespace {

const UINT kStepMessage = WM_APP + 1;
const UINT_PTR kTimerId = 1;
const wchar_t* const kClassName = L"LanzhanIdleSteps";
const double kLongestSlice = 0.016;  // seconds
const double kStepsPerOverhead = 19;  // the overhead is at most a twentieth

double Seconds() {
    static const double perSecond = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return double(f.QuadPart);
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return double(t.QuadPart) / perSecond;
}

}  // namespace

IdleSteps::~IdleSteps() {
    Stop();
    if (window_) DestroyWindow(window_);
}

bool IdleSteps::MakeWindow() {
    if (window_) return true;
    static const ATOM atom = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &IdleSteps::Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = kClassName;
        return RegisterClassW(&wc);
    }();
    if (!atom) return false;
    window_ = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr),
                              nullptr);
    if (!window_) return false;
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    return true;
}

void IdleSteps::Start(std::function<bool()> step) {
    Stop();
    if (!MakeWindow()) return;
    step_ = std::move(step);
    running_ = true;
    overhead_ = 0;
    left_ = 0;
    ++generation_;
    PostMessageW(window_, kStepMessage, generation_, 0);
}

void IdleSteps::Stop() {
    running_ = false;
    if (window_) KillTimer(window_, kTimerId);
}

LRESULT CALLBACK IdleSteps::Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
    auto* self = reinterpret_cast<IdleSteps*>(GetWindowLongPtrW(h, GWLP_USERDATA));
    if (self && m == kStepMessage) {
        if (w == self->generation_) self->Run();
        return 0;
    }
    if (self && m == WM_TIMER && w == kTimerId) {
        KillTimer(h, kTimerId);
        self->Run();
        return 0;
    }
    return DefWindowProcW(h, m, w, l);
}

void IdleSteps::Run() {
    const double entered = Seconds();
    double look = 0;
    const double roundTrip = left_ > 0 ? entered - left_ : 0;
    const double slice = std::min(kLongestSlice, kStepsPerOverhead * overhead_);
    DWORD waiting = 0;
    while (running_) {
        if (!step_()) {
            running_ = false;
            return;
        }
        const double now = Seconds();
        if (now - entered < slice) continue;
        // Whatever arrived meanwhile runs before the next step.
        waiting = HIWORD(GetQueueStatus(QS_ALLINPUT));
        look = Seconds() - now;
        break;
    }
    if (!running_) return;
    // The message loop takes posted messages before input, painting and
    // timers: a step message posted now would always come first and starve
    // them, so behind those the steps come back by a timer instead (and that
    // wait says nothing about the cost of going round).
    if (waiting & (QS_INPUT | QS_PAINT | QS_TIMER | QS_HOTKEY)) {
        SetTimer(window_, kTimerId, USER_TIMER_MINIMUM, nullptr);
        left_ = 0;
    } else {
        PostMessageW(window_, kStepMessage, generation_, 0);
        if (roundTrip > 0 || overhead_ == 0) overhead_ = roundTrip + look;
        left_ = Seconds();
    }
}

}  // namespace lz
