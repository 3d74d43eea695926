// The other-settings panel in the real program: opened from the menu, filled in with the
// keyboard and saved, seen in config.a and on the screen.
#include <gtest/gtest.h>

#include <thread>

#include "stage_fixture.h"

namespace zv::e2e {
namespace {

using namespace std::chrono_literals;

constexpr int kOtherSettingsRow = 1;

// Where the wheel's rim meets the stage on one row of the screen: the first and last
// pixels that are not the stage's colour.
struct Span {
  int left = -1, right = -1;
  int width() const { return left < 0 ? 0 : right - left + 1; }
};
Span wheelSpan(const XvfbServer& x, int row) {
  const auto shot = x.shot();
  Span span;
  for (int px = 300; px < shot.width(); ++px) {
    if (shot.at(px, row).near(kStage, 40)) continue;
    if (span.left < 0) span.left = px;
    span.right = px;
  }
  return span;
}

class PanelOnStage : public StageTest {
 protected:
  void chooseFromMenu(int row) {
    xdotool(x.name(), "mousemove 1250 700 click 3");
    std::this_thread::sleep_for(500ms);
    for (int i = 0; i <= row; ++i) key("Down");
    key("Return");
    std::this_thread::sleep_for(600ms);
  }
  // Replaces the text of the edit box whose centre is at (px, py) of the stage.
  void typeInto(const XvfbServer::Area& stage, int px, int py, const std::string& text) {
    click(stage.x + px, stage.y + py);
    std::this_thread::sleep_for(200ms);
    key("ctrl+a");
    xdotool(x.name(), "type " + text);
    std::this_thread::sleep_for(200ms);
  }
};

TEST_F(PanelOnStage, SavedSpeedAndWheelSizeReachTheFileAndTheScreen) {
  start();
  std::optional<XvfbServer::Area> stage = x.findWindow("Zorvane软件V1.9");
  ASSERT_TRUE(stage.has_value());
  // The layout wheel, 500 wide from its top at 160; two steps make it 605. Each is
  // measured on its own centre row, where the round outline is widest.
  const Span before = wheelSpan(x, stage->y + 160 + 250);
  const int centreRow = stage->y + 160 + 302;
  ASSERT_NEAR(before.width(), 500, 3) << "the layout wheel is not where it should be";

  chooseFromMenu(kOtherSettingsRow);
  // The panel lies at 8, 112; its fields are inside the group box at 2, 20 of it.
  constexpr int kFieldsLeft = 8 + 2, kFieldsTop = 112 + 20;
  ASSERT_TRUE(waitUntil(
      [&] {
        return !x.shot()
                    .at(stage->x + kFieldsLeft + 120, stage->y + kFieldsTop + 160)
                    .near(kStage, 40);
      },
      5s))
      << "the panel did not open";
  typeInto(*stage, kFieldsLeft + 180 + 26, kFieldsTop + 42 + 11, "45");  // 编辑框_滚动速度
  typeInto(*stage, kFieldsLeft + 8 + 18, kFieldsTop + 116 + 9, "2");     // 编辑框_转盘大小
  click(stage->x + kFieldsLeft + 60 + 64, stage->y + kFieldsTop + 144 + 16);  // 保存

  ASSERT_TRUE(waitUntil([&] { return ini::read(dir.file("config.a"), "zbt", "计次") == "2"; }, 5s))
      << "Save did not write the wheel size";
  EXPECT_EQ(ini::read(dir.file("config.a"), "zbt", "滚动速度"), "45");
  EXPECT_EQ(ini::read(dir.file("config.a"), "zbt", "禁用特效"), "假");
  EXPECT_EQ(ini::read(dir.file("config.a"), "zbt", "自动停止"), "0");

  // The wheel grew to the right and downward from the same left edge.
  Span after;
  EXPECT_TRUE(waitUntil([&] { return (after = wheelSpan(x, centreRow)).width() > 600; }, 5s));
  EXPECT_NEAR(after.width(), 605, 3);
  EXPECT_NEAR(after.left, before.left, 1);
  // The panel has gone.
  EXPECT_TRUE(
      x.shot().at(stage->x + kFieldsLeft + 120, stage->y + kFieldsTop + 160).near(kStage, 40));
}

}  // namespace
}  // namespace zv::e2e
