// The progress window of a long task: its class name, for tests and readers
// from outside, and how long a task runs before the window appears.
#pragma once
#include <functional>

#include "ui/progress.h"

namespace lz {

extern const wchar_t* const kProgressWindowClass;  // "LanzhanProgress"
// Child control ids, for readers from outside.
enum : int { kProgressLineId = 101, kProgressCountsId = 102, kProgressBarId = 103 };
// About half a second: a short copy shows no window at all. Tests set 0.
void SetProgressDelay(unsigned milliseconds);
// For window tests: called on the task's thread with each view it shows, so
// that a test can hold the task while it looks at the window. Empty: none.
void SetProgressProbe(std::function<void(const ProgressView&)> probe);

}  // namespace lz
