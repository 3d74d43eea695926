// Dragging the stage's units with a real mouse, and finding them where they were left
// after a restart.
#include <gtest/gtest.h>

#include <thread>

#include "stage_fixture.h"

namespace zv::e2e {
namespace {

using Dragging = StageTest;

// Presses the left button at `from`, moves to `to` in steps and releases it there.
void dragWithMouse(const XvfbServer& x, int fromX, int fromY, int toX, int toY) {
  xdotool(x.name(), "mousemove " + std::to_string(fromX) + " " + std::to_string(fromY));
  xdotool(x.name(), "mousedown 1");
  constexpr int kSteps = 8;
  for (int i = 1; i <= kSteps; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    const int px = fromX + (toX - fromX) * i / kSteps;
    const int py = fromY + (toY - fromY) * i / kSteps;
    xdotool(x.name(), "mousemove " + std::to_string(px) + " " + std::to_string(py));
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  xdotool(x.name(), "mouseup 1");
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
}

int yellowIn(const XvfbServer::Shot& shot, int left, int top, int right, int bottom) {
  int yellow = 0;
  for (int y = top; y < bottom; ++y)
    for (int px = left; px < right; ++px) yellow += shot.at(px, y).isYellow();
  return yellow;
}

TEST_F(Dragging, TheWheelAndTheMainTitleStayWhereTheyWereLeftAfterARestart) {
  start();
  // The wheel (433, 160, 500 x 500) by its picture below the prizes, 380 left and 40 down.
  dragWithMouse(x, 683, 630, 303, 670);
  // The main title by its upper part, clear of the subtitle, 300 right and 500 down.
  dragWithMouse(x, 683, 40, 983, 540);

  auto stored = [&](const char* key) { return ini::read(dir.file("config.a"), "zbt", key); };
  EXPECT_EQ(stored("外形框1左边"), "53");
  EXPECT_EQ(stored("外形框1顶边"), "200");
  EXPECT_EQ(stored("主标题左边"), "308");
  EXPECT_EQ(stored("主标题顶边"), "515");

  ASSERT_TRUE(program->terminate(std::chrono::seconds(5)));
  start(303, 450);
  const auto shot = x.shot();

  // The round wheel from 53, 200: its widest row spans 500 pixels, its old place is stage.
  auto stageAt = [&](int px, int py) { return shot.at(px, py).near(kStage, 30); };
  int left = 303, right = 303;
  while (left > 0 && !stageAt(left - 1, 450)) --left;
  while (right + 1 < shot.width() && !stageAt(right + 1, 450)) ++right;
  EXPECT_NEAR(left, 53, 3);
  EXPECT_NEAR(right, 553, 3);
  EXPECT_TRUE(stageAt(57, 204)) << "the corner of the wheel's square is round";
  EXPECT_TRUE(stageAt(800, 410)) << "the wheel is still at its old place";

  // The main title's yellow text, centred in its full-width box from 308, 515, to the
  // right of the wheel; none left in its old band above the subtitle.
  EXPECT_GT(yellowIn(shot, 560, 515, 1366, 625), 3000);
  EXPECT_LT(yellowIn(shot, 0, 15, 1366, 100), 50);
  // The subtitle stayed.
  EXPECT_GT(yellowIn(shot, 0, 110, 1366, 174), 1000);
}

}  // namespace
}  // namespace zv::e2e
