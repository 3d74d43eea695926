#include "draw/slow_down.h"

#include <algorithm>
#include <cmath>

#include "store/prize_slots.h"

namespace zv {
namespace {

// Beyond this many steps nobody sees the difference; it keeps absurd inputs cheap.
constexpr int kMaxSteps = 100'000;

int wrapSlot(int from, int steps) {
  return ((from - 1 + steps) % kSlotCount + kSlotCount) % kSlotCount + 1;
}

// The first step of a quadratic ease-out over `steps` steps in `total` ms.
double quadraticFirstStep(double total, int steps) {
  return total * (1.0 - std::sqrt(1.0 - 1.0 / steps));
}

}  // namespace

SlowDownPlan::SlowDownPlan(int intervalMs, int durationMs, int fromSlot, int toSlot)
    : fromSlot_(isSlot(fromSlot) ? fromSlot : 0) {
  const double interval = std::max(intervalMs, 1);
  const double duration = std::max(durationMs, 1);
  const int target = isSlot(toSlot) ? toSlot : wrapSlot(fromSlot_, 1);
  const int distance = ((target - fromSlot_) % kSlotCount + kSlotCount) % kSlotCount;
  const int fewest = kSlotCount + distance;  // one full turn at least

  if (fewest * interval >= duration) {
    // Too slow a roll for the duration: keep its pace, take the time it needs.
    steps_ = fewest;
    totalMs_ = fewest * interval;
    exponent_ = 1.0;
    return;
  }
  totalMs_ = duration;
  if (quadraticFirstStep(duration, fewest) >= interval) {
    // As many whole turns as keep the first step no shorter than the interval.
    const auto fits = [&](long long turns) {
      const long long n = turns * kSlotCount + distance;
      return n <= kMaxSteps && quadraticFirstStep(duration, static_cast<int>(n)) >= interval;
    };
    // The first step is between total/(2n) and total/n: start near n = total/(2*interval).
    long long turns =
        std::clamp(static_cast<long long>((duration / (2.0 * interval) - distance) / kSlotCount),
                   1LL, static_cast<long long>(kMaxSteps / kSlotCount));
    while (turns > 1 && !fits(turns)) --turns;
    while (fits(turns + 1)) ++turns;
    steps_ = static_cast<int>(turns * kSlotCount + distance);
    exponent_ = 2.0;
    return;
  }
  // One turn, eased just enough that its first step is the interval.
  steps_ = fewest;
  const double e = std::log(1.0 - 1.0 / fewest) / std::log(1.0 - interval / duration);
  exponent_ = std::clamp(e, 1.0, 2.0);
}

double SlowDownPlan::dueMs(int step) const {
  if (step <= 0) return 0.0;
  if (step >= steps_) return totalMs_;
  const double left = 1.0 - static_cast<double>(step) / steps_;
  return totalMs_ * (1.0 - std::pow(left, 1.0 / exponent_));
}

int SlowDownPlan::stepsDoneAt(double elapsedMs) const {
  if (!(elapsedMs > 0.0)) return 0;
  if (elapsedMs >= totalMs_) return steps_;
  const double eased = 1.0 - std::pow(1.0 - elapsedMs / totalMs_, exponent_);
  int k = std::clamp(static_cast<int>(std::floor(steps_ * eased)), 0, steps_);
  // The closed form may be a rounding off; dueMs is the one that decides.
  while (k < steps_ && dueMs(k + 1) <= elapsedMs) ++k;
  while (k > 0 && dueMs(k) > elapsedMs) --k;
  return k;
}

int SlowDownPlan::slotAfter(int step) const {
  if (step <= 0) return fromSlot_;
  return wrapSlot(fromSlot_, step);
}

SlowDownRun::Tick SlowDownRun::tick(std::int64_t elapsedMs) {
  const int before = plan_.slotAfter(shownSteps_);
  shownSteps_ = std::max(shownSteps_, plan_.stepsDoneAt(static_cast<double>(elapsedMs)));
  const int slot = plan_.slotAfter(shownSteps_);
  const bool landing = !landed_ && shownSteps_ == plan_.steps();
  if (landing) landed_ = true;
  return {slot, slot != before, landing};
}

}  // namespace zv
