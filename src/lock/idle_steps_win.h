// Runs a step whenever the user-interface thread has nothing else to do,
// without a loop of its own: a message-only window takes one message, runs
// steps until anything waits in the thread's queue, and leaves a new message
// for itself behind what waits. Modal loops (prompts) run it too, so a caller
// that wants stillness under a prompt stops it first.
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
    bool running_ = false;
    unsigned generation_ = 0;  // a message left by an earlier Start does nothing
};

}  // namespace lz
