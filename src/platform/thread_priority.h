#pragma once
// Background work that must not slow the start-up or the stage.

namespace zv {

// Lowers the calling thread's scheduling priority (a nice value of 10 on Linux, below
// normal on Windows). Best effort: a system that refuses leaves it as it was.
void lowerThisThreadPriority();

}  // namespace zv
