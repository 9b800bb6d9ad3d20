// Runs a step whenever the user-interface thread has nothing else to do,
// without a loop of its own: a message-only window takes one message, runs a
// slice of steps, looks whether anything waits in the thread's queue, and
// leaves a new message for itself behind what waits. Modal loops (prompts)
// run it too, so a caller that wants stillness under a prompt stops it first.
//
// A slice is one step where looking at the queue is cheap (Windows), and
// grows where it is dear (under Wine a look costs as much as several block
// copies) so that the looking never takes more than a twentieth of the time; it
// never grows beyond 16 ms, one frame of the display, so input waits at most that.
#pragma once
#include <windows.h>

#include <functional>

namespace lz {

class IdleSteps {
public:
    IdleSteps() = default;
    ~IdleSteps();
    IdleSteps(const IdleSteps&) = delete;
    IdleSteps& operator=(const IdleSteps&) = delete;

    // Calls `step` until it returns false or Stop is called.
    void Start(std::function<bool()> step);
    void Stop();
    bool Running() const { return running_; }

private:
    static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l);
    bool MakeWindow();
    void Run();
    HWND window_ = nullptr;
    std::function<bool()> step_;
    double overhead_ = 0;  // seconds between two slices: the look and the way round the loop
    double left_ = 0;      // when the last slice gave the thread back; 0: not measured
    bool running_ = false;
    unsigned generation_ = 0;  // a message left by an earlier Start does nothing
};

}  // namespace lz
