// Draws on the real program: Space and the centre label start and stop them, the win is
// counted in jieguo.a, Shift+Q designates the next winner, a used-up pool says so.
#include <gtest/gtest.h>

#include <thread>

#include "stage_fixture.h"

namespace zv::e2e {
namespace {

using DrawOnStage = StageTest;
using namespace std::chrono_literals;

constexpr int kHubX = 686, kHubY = 408;  // the start/stop label in the wheel's centre

// The result picture shows (the draw has begun) when its area is no longer stage colour.
bool resultShown(const XvfbServer& x) { return !x.shot().at(120, 520).near(kStage, 30); }

TEST_F(DrawOnStage, SpaceStartsAndStopsADrawThatCountsOneWin) {
  addPrizePictures();
  writeSettings("[zbt]\r\nlx=真\r\n");
  start();
  key("space");
  ASSERT_TRUE(waitUntil([&] { return resultShown(x); }, 5s));
  std::this_thread::sleep_for(500ms);
  EXPECT_FALSE(pathExists(dir.file("jieguo.a")));
  key("space");
  ASSERT_TRUE(waitUntil([&] { return totalWins() == 1; }, 5s));
  std::this_thread::sleep_for(1s);
  EXPECT_EQ(totalWins(), 1);
  // Space again starts the next draw.
  key("space");
  std::this_thread::sleep_for(300ms);
  key("space");
  ASSERT_TRUE(waitUntil([&] { return totalWins() == 2; }, 5s));
}

TEST_F(DrawOnStage, TheStartLabelStartsAndTheStopLabelStops) {
  addPrizePictures();
  writeSettings("[zbt]\r\nlx=真\r\n禁用特效=真\r\n");
  start();
  click(kHubX, kHubY);
  ASSERT_TRUE(waitUntil([&] { return resultShown(x); }, 5s));
  std::this_thread::sleep_for(400ms);
  click(kHubX, kHubY);
  ASSERT_TRUE(waitUntil([&] { return totalWins() == 1; }, 5s));
  std::this_thread::sleep_for(500ms);
  EXPECT_EQ(totalWins(), 1);
}

TEST_F(DrawOnStage, ShiftQLandsOnTheLowestSlotStillAvailable) {
  addPrizePictures();
  // Slot 1 is used up; slot 2 is the lowest one left.
  writeSettings("[zbt]\r\n一=1\r\n二=5\r\n三=5\r\n八=50\r\n禁用特效=真\r\n");
  writeWholeFileAtomically(dir.file("jieguo.a"), "[zjjg]\r\nj1=1\r\n");
  start();
  for (int round = 1; round <= 2; ++round) {
    key("shift+q");
    std::this_thread::sleep_for(200ms);
    key("space");
    std::this_thread::sleep_for(300ms);
    key("space");
    ASSERT_TRUE(waitUntil([&] { return std::atoi(tally(2).c_str()) == round; }, 5s)) << round;
  }
  EXPECT_EQ(tally(1), "1");
  EXPECT_EQ(totalWins(), 3);
}

TEST_F(DrawOnStage, AUsedUpPoolBringsUpTheExhaustionMessage) {
  addPrizePictures();
  writeSettings("[zbt]\r\n一=1\r\n");
  writeWholeFileAtomically(dir.file("jieguo.a"), "[zjjg]\r\nj1=1\r\n");
  start();
  EXPECT_LT(lightGreyPixels(x), 1000);
  key("space");
  // The box itself: its title shows only where a window manager draws one.
  EXPECT_TRUE(waitUntil([&] { return lightGreyPixels(x) > 8000; }, 5s));
  EXPECT_FALSE(resultShown(x));
  EXPECT_EQ(totalWins(), 1);
}

}  // namespace
}  // namespace zv::e2e
