// The operator's way to the prize settings on the real program: right click, "奖项设置",
// the password, a changed quantity, confirm.
#include <gtest/gtest.h>

#include <thread>

#include "stage_fixture.h"

namespace zv::e2e {
namespace {

using MenuOnStage = StageTest;
using namespace std::chrono_literals;

TEST_F(MenuOnStage, PrizeSettingsThroughThePasswordGate) {
  addPrizePictures();
  start();
  // Right click on the stage background; the first item, "奖项设置", lies just below and
  // to the right of the cursor.
  xdotool(x.name(), "mousemove 200 250 click 3");
  std::this_thread::sleep_for(500ms);
  click(240, 267);
  std::this_thread::sleep_for(700ms);
  // The password window, 380 x 180, centred on the 1366 x 768 screen: "进入设置" with the
  // empty password of a fresh installation.
  const int gateLeft = (1366 - 380) / 2, gateTop = (768 - 180) / 2;
  click(gateLeft + 85 + 40, gateTop + 80 + 16);
  std::this_thread::sleep_for(700ms);
  // The prize settings, 564 x 433, centred: quantity of prize 1 becomes 9.
  const int left = (1366 - 564) / 2, top = (768 - 433) / 2;
  click(left + 115 + 80, top + 28 + 20);
  std::this_thread::sleep_for(200ms);
  key("ctrl+a");
  xdotool(x.name(), "type 9");
  std::this_thread::sleep_for(200ms);
  click(left + 223 + 56, top + 372 + 14);  // 确定
  ASSERT_TRUE(waitUntil([&] { return ini::read(dir.file("config.a"), "zbt", "一") == "9"; }, 5s));
  EXPECT_EQ(ini::read(dir.file("config.a"), "zbt", "八"), "50");
  key("Return");  // closes "设置成功！"
  std::this_thread::sleep_for(300ms);
  EXPECT_TRUE(program->running());
}

}  // namespace
}  // namespace zv::e2e
