// The winner close-up's geometry and its journal line.
#include "stage/logic/close_up.h"

#include <gtest/gtest.h>

namespace zv {
namespace {

TEST(CloseUp, TheGrownPictureIsCentredFortyPercentTallAndKeepsItsProportions) {
  struct Case {
    double stageW, stageH, pictureW, pictureH;
    CloseUpRect expected;
  };
  for (const Case& c : {
           Case{1920, 1080, 400, 300, {672, 324, 576, 432}},
           Case{1366, 768, 0, 0, {529.4, 230.4, 307.2, 307.2}},  // unreadable: square
           // Very wide: held at 90 % of the stage's width, the height follows.
           Case{1000, 1000, 4000, 100, {50, 488.75, 900, 22.5}},
       }) {
    const CloseUpRect r = closeUpTarget(c.stageW, c.stageH, c.pictureW, c.pictureH);
    EXPECT_NEAR(r.left, c.expected.left, 0.01);
    EXPECT_NEAR(r.top, c.expected.top, 0.01);
    EXPECT_NEAR(r.width, c.expected.width, 0.01);
    EXPECT_NEAR(r.height, c.expected.height, 0.01);
  }
}

TEST(CloseUp, GrowsFromTheSlotToTheTargetAndStaysThere) {
  const CloseUpRect slot{100, 200, 50, 40}, target{500, 300, 400, 320};
  EXPECT_EQ(closeUpRectAt(slot, target, -30), slot);
  EXPECT_EQ(closeUpRectAt(slot, target, 0), slot);
  EXPECT_EQ(closeUpRectAt(slot, target, close_up::kGrowMilliseconds), target);
  EXPECT_EQ(closeUpRectAt(slot, target, 60'000), target);
  // Easing out: more than half the way at half the time, and never back.
  double last = 0;
  for (int ms = 0; ms <= close_up::kGrowMilliseconds; ms += 10) {
    const double h = closeUpRectAt(slot, target, ms).height;
    EXPECT_GE(h, last);
    last = h;
  }
  EXPECT_GT(closeUpRectAt(slot, target, close_up::kGrowMilliseconds / 2).height, 185.0);
}

TEST(CloseUp, TheCaptionNamesTheJournalRowAndItsTimeOfDay) {
  EXPECT_EQ(closeUpCaption(12, "2026-05-01 20:41:07 +08:00"), "第 12 次抽奖 · 20:41:07");
  EXPECT_EQ(closeUpCaption(std::nullopt, "2026-05-01 09:00:00 -05:00"), "09:00:00");
  EXPECT_EQ(timeOfDay("damaged"), "damaged");
}

}  // namespace
}  // namespace zv
