// The slow-down schedule over fast, usual, slow and very slow rolls, short and long
// slow-downs and every distance to the drawn slot.
#include "draw/slow_down.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>

#include "store/prize_slots.h"

namespace zv {
namespace {

constexpr double kRounding = 1e-6;  // ms

TEST(SlowDown, RestsOnTheDrawnSlotEasingOutFromTheRollsPace) {
  const int fromSlot = 3;
  for (int interval : {5, 30, 200, 10'000}) {
    for (int duration : {1'000, 3'000, 10'000}) {
      for (int distance = 0; distance < kSlotCount; ++distance) {
        const int to = (fromSlot - 1 + distance) % kSlotCount + 1;
        const SlowDownPlan plan(interval, duration, fromSlot, to);
        const std::string label = std::to_string(interval) + " ms, " + std::to_string(duration) +
                                  " ms, to " + std::to_string(to);
        EXPECT_GE(plan.steps(), kSlotCount) << label;
        EXPECT_EQ(plan.restSlot(), to) << label;
        EXPECT_EQ(plan.slotAt(plan.totalMs()), to) << label;
        EXPECT_EQ(plan.slotAt(0), fromSlot) << label;
        double previous = interval;
        for (int k = 1; k <= plan.steps(); ++k) {
          const double step = plan.dueMs(k) - plan.dueMs(k - 1);
          ASSERT_GE(step, previous - kRounding) << label << ", step " << k;
          previous = step;
        }
        if (kSlotCount * interval < duration) {
          EXPECT_NEAR(plan.totalMs(), duration, duration * 0.1) << label;
        } else {
          // One turn at the roll's own pace outlasts the duration: the pace is kept.
          EXPECT_EQ(plan.steps(), kSlotCount + distance) << label;
          EXPECT_DOUBLE_EQ(plan.totalMs(), plan.steps() * static_cast<double>(interval)) << label;
        }

        // The roll timer keeps ticking at the interval; every third tick is 100 ms late.
        SlowDownRun run(plan);
        int landings = 0, lastSteps = 0;
        std::int64_t landedAt = -1, t = 0, before = 0;
        for (int tick = 1; landedAt < 0 || t < landedAt + 3 * interval; ++tick) {
          before = t;
          t = std::max(t, static_cast<std::int64_t>(tick) * interval + (tick % 3 == 0 ? 100 : 0));
          const int steps = plan.stepsDoneAt(static_cast<double>(t));
          ASSERT_GE(steps, lastSteps) << label << " at " << t;
          lastSteps = steps;
          const auto shown = run.tick(t);
          EXPECT_EQ(shown.slot, plan.slotAfter(steps)) << label << " at " << t;
          if (shown.landing) {
            ++landings;
            landedAt = t;
            EXPECT_EQ(shown.slot, to) << label;
            EXPECT_GE(static_cast<double>(t), plan.totalMs()) << label;
            // The first tick at or past the end lands, not a later one.
            EXPECT_LT(static_cast<double>(before), plan.totalMs()) << label;
          }
          ASSERT_LT(tick, 1'000'000) << label << ": never landed";
        }
        EXPECT_EQ(landings, 1) << label;
        EXPECT_EQ(run.tick(landedAt - 50).slot, to) << label << ": a clock stepped back";
      }
    }
  }
}

TEST(SlowDown, AStopBeforeTheFirstStepAndANonSlotStillRestOnASlot) {
  // Nothing highlighted yet (slot 0): the first step shows slot 1, as the roll's does.
  const SlowDownPlan fromNone(30, 3'000, 0, 8);
  EXPECT_EQ(fromNone.slotAfter(1), 1);
  EXPECT_EQ(fromNone.restSlot(), 8);
  EXPECT_EQ(fromNone.steps() % kSlotCount, 0);
  const SlowDownPlan notASlot(30, 3'000, 4, 9);
  EXPECT_EQ(notASlot.restSlot(), 5);
  const SlowDownPlan zeros(0, 0, 2, 6);  // read as 1 ms each
  EXPECT_EQ(zeros.restSlot(), 6);
  EXPECT_GE(zeros.dueMs(1), 1.0 - kRounding);
  const SlowDownPlan huge(1, 2'000'000'000, 1, 1);  // bounded work, still on the slot
  EXPECT_EQ(huge.restSlot(), 1);
  EXPECT_LE(huge.steps(), 100'000);
}

}  // namespace
}  // namespace zv
