#include "layout/logic/wheel_geometry.h"

#include <gtest/gtest.h>

#include <limits>

namespace zv {
namespace {

// The sizes the wheel has always had after 0 to 4 steps.
struct Row {
  int wheel, prizeWidth, prizeHeight, labelWidth, labelHeight, labelLeft, labelTop, points;
  Box prize1, prize3, prize6;
};
const Row kTable[] = {
    {500,
     106,
     65,
     96,
     112,
     205,
     192,
     30,
     {132, 69, 106, 65},
     {334, 172, 106, 65},
     {135, 379, 106, 65}},
    {550,
     116,
     71,
     105,
     123,
     225,
     211,
     33,
     {145, 75, 116, 71},
     {367, 189, 116, 71},
     {148, 416, 116, 71}},
    {605,
     127,
     78,
     115,
     135,
     247,
     232,
     36,
     {159, 82, 127, 78},
     {403, 207, 127, 78},
     {162, 457, 127, 78}},
    {665,
     139,
     85,
     126,
     148,
     271,
     255,
     39,
     {174, 90, 139, 85},
     {443, 227, 139, 85},
     {178, 502, 139, 85}},
    {731,
     152,
     93,
     138,
     162,
     298,
     280,
     42,
     {191, 99, 152, 93},
     {487, 249, 152, 93},
     {195, 552, 152, 93}},
};

TEST(WheelGeometry, EnlargementStepsGiveTheKnownSizes) {
  WheelGeometry wheel = layoutWheel();
  for (int steps = 0; steps < 5; ++steps) {
    SCOPED_TRACE(steps);
    const Row& row = kTable[steps];
    EXPECT_EQ(wheel.frameWidth, row.wheel);
    EXPECT_EQ(wheel.frameHeight, row.wheel);
    EXPECT_EQ(wheel.backgroundWidth, row.wheel);
    EXPECT_EQ(wheel.backgroundHeight, row.wheel);
    for (const Box& label : {wheel.startLabel, wheel.stopLabel}) {
      EXPECT_EQ(label, (Box{row.labelLeft, row.labelTop, row.labelWidth, row.labelHeight}));
    }
    EXPECT_EQ(wheel.startLabelPoints, row.points);
    EXPECT_EQ(wheel.stopLabelPoints, row.points);
    for (const Box& prize : wheel.prizes) {
      EXPECT_EQ(prize.width, row.prizeWidth);
      EXPECT_EQ(prize.height, row.prizeHeight);
    }
    EXPECT_EQ(wheel.prizes[0], row.prize1);
    EXPECT_EQ(wheel.prizes[2], row.prize3);
    EXPECT_EQ(wheel.prizes[5], row.prize6);
    enlargeWheel(wheel);
  }
}

TEST(WheelGeometry, EachStepWorksOnTheTruncatedValues) {
  // One multiplication by 1.21 would give 248.
  WheelGeometry wheel = layoutWheel();
  enlargeWheel(wheel);
  enlargeWheel(wheel);
  EXPECT_EQ(wheel.startLabel.left, 247);
}

TEST(WheelGeometry, StepsForAStoredWheelSize) {
  const std::pair<double, int> cases[] = {
      {0, 0}, {-3, 0},  {0.9, 0}, {1, 1},      {2.9, 2},
      {4, 4}, {20, 20}, {21, 20}, {1e300, 20}, {std::numeric_limits<double>::quiet_NaN(), 0},
  };
  for (const auto& [value, steps] : cases) EXPECT_EQ(wheelSteps(value), steps) << value;
}

TEST(WheelGeometry, TheLargestWheelStaysFarFromOverflow) {
  WheelGeometry wheel = layoutWheel();
  for (int i = 0; i < kMaxWheelSteps; ++i) enlargeWheel(wheel);
  EXPECT_GT(wheel.frameWidth, 3000);
  EXPECT_LT(wheel.frameWidth, 4000);
}

TEST(WheelGeometry, CentringAndWindowedSize) {
  EXPECT_EQ(centredLeft(1366, 500), 433);
  EXPECT_EQ(centredLeft(1024, 500), 262);
  EXPECT_EQ(centredLeft(1365, 500), 432);  // truncated
  EXPECT_EQ(centredLeft(400, 731), -165);  // toward zero, not down
  EXPECT_EQ(windowedSize({1024, 768}), (Size{1004, 748}));
}

}  // namespace
}  // namespace zv
