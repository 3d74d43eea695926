// The operator's way to the prize settings on the real program: right click, "奖项设置",
// the password, a changed quantity, confirm.
#include <gtest/gtest.h>

#include <algorithm>
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
  // to the right of the cursor (high enough for the whole menu to open below it).
  xdotool(x.name(), "mousemove 200 200 click 3");
  std::this_thread::sleep_for(500ms);
  click(240, 217);
  std::this_thread::sleep_for(700ms);
  // The password window, wherever the desktop put it: "进入设置" with the empty password of
  // a fresh installation.
  std::optional<XvfbServer::Area> gate;
  ASSERT_TRUE(waitUntil([&] { return (gate = x.findWindow("密码设置！")).has_value(); }, 5s));
  click(gate->x + 85 + 40, gate->y + 80 + 16);
  // The prize settings: quantity of prize 1 becomes 9.
  std::optional<XvfbServer::Area> settings;
  ASSERT_TRUE(waitUntil([&] { return (settings = x.findWindow("设置")).has_value(); }, 5s));
  std::this_thread::sleep_for(300ms);
  const int left = settings->x, top = settings->y;
  click(left + 115 + 80, top + 28 + 20);
  std::this_thread::sleep_for(200ms);
  key("ctrl+a");
  xdotool(x.name(), "type 9");
  std::this_thread::sleep_for(200ms);
  click(left + 223 + 56, top + 372 + 14);  // 确定
  ASSERT_TRUE(waitUntil([&] { return ini::read(dir.file("config.a"), "zbt", "一") == "9"; }, 5s));
  // The eight values are written one after another; the last one ends the store.
  EXPECT_TRUE(
      waitUntil([&] { return ini::read(dir.file("config.a"), "zbt", "八") == "50"; }, 5s));
  key("Return");  // closes "设置成功！"
  std::this_thread::sleep_for(300ms);
  EXPECT_TRUE(program->running());
}

TEST_F(MenuOnStage, SpaceAndEnterInTheResultsWindowKeepTheTallies) {
  for (int slot = 1; slot <= 8; ++slot) {
    ini::write(dir.file("jieguo.a"), "zjjg", "j" + std::to_string(slot), std::to_string(slot));
  }
  const std::string before = readWholeFile(dir.file("jieguo.a"));
  start();
  xdotool(x.name(), "mousemove 200 200 click 3");
  std::this_thread::sleep_for(500ms);
  click(240, 328);  // "中奖结果", the fifth item shown
  // The results window, 484 x 284, centred: its light face below the clear button.
  const int left = (1366 - 484) / 2, top = (768 - 284) / 2;
  ASSERT_TRUE(waitUntil(
      [&] { return x.shot().at(left + 240, top + 270).near({0xF0, 0xF0, 0xF0}, 12); }, 5s));
  std::this_thread::sleep_for(300ms);
  // The screen's centre, where a message box would open.
  const Rgb centre = x.shot().at(683, 384);
  // The operator, pointer over the window, presses the keys meant for the next draw.
  xdotool(x.name(), "mousemove " + std::to_string(left + 240) + " " + std::to_string(top + 260));
  std::this_thread::sleep_for(300ms);
  for (const char* k : {"space", "Return", "KP_Enter", "space"}) {
    key(k);
    std::this_thread::sleep_for(150ms);
  }
  std::this_thread::sleep_for(700ms);
  EXPECT_EQ(readWholeFile(dir.file("jieguo.a")), before);
  EXPECT_TRUE(x.shot().at(683, 384).near(centre, 4)) << "a message box opened";
  EXPECT_TRUE(program->running());
}

TEST_F(MenuOnStage, ExitAsksOnceAndTheProgramEnds) {
  constexpr const char* kExitTitle = "确定退出吗？";
  start();
  xdotool(x.name(), "mousemove 200 250 click 3");
  std::this_thread::sleep_for(500ms);
  key("Up");  // the last item, "退出"
  std::this_thread::sleep_for(200ms);
  key("Return");
  std::optional<XvfbServer::Area> box;
  ASSERT_TRUE(waitUntil([&] { return (box = x.findWindow(kExitTitle)).has_value(); }, 5s));
  EXPECT_EQ(x.countWindows(kExitTitle), 1);
  xdotool(x.name(), "mousemove " + std::to_string(box->x + box->width / 2) + " " +
                        std::to_string(box->y + box->height / 2));
  std::this_thread::sleep_for(300ms);
  key("Return");  // 确定, the default
  // No second question: the program ends at once.
  int mostBoxes = 0;
  const bool ended = waitUntil([&] {
    mostBoxes = std::max(mostBoxes, x.countWindows(kExitTitle));
    return !program->running();
  }, 5s);
  EXPECT_TRUE(ended) << "the program still runs; boxes titled " << kExitTitle << " open: "
                     << x.countWindows(kExitTitle);
  EXPECT_LE(mostBoxes, 1);
}

}  // namespace
}  // namespace zv::e2e
