#pragma once
// The slow-down landing's schedule: after the stop the highlight keeps moving clockwise,
// each step longer than the one before, and comes to rest on the prize already drawn.
//
// Step k (1..steps) is due at
//     due(k) = total * (1 - (1 - k / steps)^(1 / exponent)),
// the inverse of the ease-out "steps done at t" = steps * (1 - (1 - t / total)^exponent).
// With exponent >= 1 the step lengths never shrink. The plan picks, in this order:
// - the shortest rest: at least one full turn plus the distance to the drawn slot;
// - exponent 2 (a quadratic ease-out) with total = the duration, and as many extra turns
//   as keep the first step no shorter than the roll's interval, so that the slow-down
//   starts at the speed the roll had (a fast roll turns many times, a slow one once);
// - when even one turn is too many for that, a softer ease (exponent between 1 and 2)
//   whose first step is exactly the interval;
// - when one turn at the roll's own pace already outlasts the duration (a very slow roll,
//   e.g. 10 s steps for a 1 s slow-down), the steps keep that pace (exponent 1) and the
//   slow-down takes as long as they need: the first step is never shorter than the step
//   the roll was making, whatever the duration says.
// Position is a function of time alone, so a late tick shows where the highlight should
// be by then and never delays or skips the rest.
#include <cstdint>

namespace zv {

class SlowDownPlan {
 public:
  // intervalMs: the roll's current step; durationMs: the wanted slow-down time (both read
  // as at least 1). fromSlot: the slot highlighted at the stop, 0 for none yet. toSlot: the
  // drawn slot; one that is not a slot rests on the slot after fromSlot.
  SlowDownPlan(int intervalMs, int durationMs, int fromSlot, int toSlot);

  int steps() const { return steps_; }
  double totalMs() const { return totalMs_; }
  double exponent() const { return exponent_; }
  int restSlot() const { return slotAfter(steps_); }

  // The time step k (1..steps) is due, from the stop; 0 for k <= 0, total beyond steps.
  double dueMs(int step) const;
  // Steps made by elapsedMs: the largest k with dueMs(k) <= elapsedMs.
  int stepsDoneAt(double elapsedMs) const;
  // The slot shown after `step` steps (fromSlot for 0).
  int slotAfter(int step) const;
  int slotAt(double elapsedMs) const { return slotAfter(stepsDoneAt(elapsedMs)); }

 private:
  int fromSlot_;
  int steps_;
  double totalMs_;
  double exponent_;
};

// Follows a plan through the ticks that sample it: each tick says which slot to show and
// whether the highlight has just come to rest, which it says once only.
class SlowDownRun {
 public:
  explicit SlowDownRun(SlowDownPlan plan) : plan_(plan) {}

  struct Tick {
    int slot;      // the slot to show now
    bool moved;    // it differs from the last tick's
    bool landing;  // the highlight came to rest at this tick
  };
  // elapsedMs: time since the stop. A tick that reads an earlier time than a previous one
  // (a clock that stepped back) shows no backward move.
  Tick tick(std::int64_t elapsedMs);

  const SlowDownPlan& plan() const { return plan_; }
  bool landed() const { return landed_; }

 private:
  SlowDownPlan plan_;
  int shownSteps_ = 0;
  bool landed_ = false;
};

}  // namespace zv
