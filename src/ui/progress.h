// A long task seen by the user: what its progress window shows, and the
// side the task itself talks to.
#pragma once
#include <string>

namespace lz {

struct ProgressView {
    std::wstring line;    // what is being done now
    std::wstring counts;  // how much is done of the whole
    int permille = 0;     // the bar, 0 to 1000
};

// Told from the task's own thread; both calls are cheap.
class ProgressSink {
public:
    virtual ~ProgressSink() = default;
    virtual void Show(const ProgressView& view) = 0;
    virtual bool Cancelled() const = 0;
};

}  // namespace lz
