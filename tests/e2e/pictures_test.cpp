// The operator's own pictures through the real file dialog: a prize photo chosen by a
// double click, a stage background set and removed from the menu.
#include <gtest/gtest.h>

#include <thread>

#include "layout/logic/wheel_geometry.h"
#include "platform/jpeg.h"
#include "stage_fixture.h"

namespace zv::e2e {
namespace {

using namespace std::chrono_literals;

constexpr int kBackgroundRow = 7;
constexpr int kChangeBackgroundItem = 0, kRemoveBackgroundItem = 1;
// The wheel's place on a 1366 x 768 stage.
constexpr int kWheelLeft = (1366 - layout_wheel::kSide) / 2, kWheelTop = 160;

const Rgb kGreen{0x20, 0xC0, 0x40}, kOrange{0xF0, 0x90, 0x10};

std::string solidJpeg(Rgb colour, int width, int height) {
  RgbImage image;
  image.width = width;
  image.height = height;
  for (int i = 0; i < width * height; ++i) {
    image.pixels.push_back(static_cast<std::uint8_t>(colour.r));
    image.pixels.push_back(static_cast<std::uint8_t>(colour.g));
    image.pixels.push_back(static_cast<std::uint8_t>(colour.b));
  }
  return encodeJpeg(image, 95);
}

class PicturesOnStage : public StageTest {
 protected:
  // The centre of a prize box on the screen.
  static std::pair<int, int> slotCentre(int slot) {
    const auto& [left, top] = layout_wheel::kPrizeCorners[static_cast<std::size_t>(slot - 1)];
    return {kWheelLeft + left + layout_wheel::kPrizeWidth / 2,
            kWheelTop + top + layout_wheel::kPrizeHeight / 2};
  }

  void chooseFromMenu(int row, int subItem) {
    xdotool(x.name(), "mousemove 1250 700 click 3");
    std::this_thread::sleep_for(500ms);
    for (int i = 0; i <= row; ++i) key("Down");
    key("Right");
    std::this_thread::sleep_for(200ms);
    for (int i = 0; i < subItem; ++i) key("Down");
    key("Return");
  }

  // Waits for the file dialog, types the path into its file-name field (which has the
  // focus when it opens) and confirms.
  void answerFileDialog(const std::string& path) {
    std::optional<XvfbServer::Area> dialog;
    ASSERT_TRUE(waitUntil([&] { return (dialog = x.findWindow("打开")).has_value(); }, 10s))
        << "no file dialog";
    // Keys go to the window under the pointer where no window manager gives the focus.
    xdotool(x.name(), "mousemove " + std::to_string(dialog->x + dialog->width / 2) + " " +
                          std::to_string(dialog->y + 20));
    std::this_thread::sleep_for(600ms);
    xdotool(x.name(), "type --delay 20 '" + path + "'");
    std::this_thread::sleep_for(400ms);
    key("Return");
    ASSERT_TRUE(waitUntil([&] { return !x.findWindow("打开").has_value(); }, 10s))
        << "the file dialog did not close";
    xdotool(x.name(), "mousemove 1300 700");
  }
};

TEST_F(PicturesOnStage, DoubleClickedPrizeTakesTheChosenPicture) {
  start();
  const std::string green = solidJpeg(kGreen, 120, 80);
  const std::string chosen = dir.file("prize-green.jpg");
  ASSERT_TRUE(writeWholeFileAtomically(chosen, green));
  const auto [cx, cy] = slotCentre(3);
  ASSERT_FALSE(x.shot().at(cx, cy).near(kGreen));

  xdotool(x.name(), "mousemove " + std::to_string(cx) + " " + std::to_string(cy) +
                        " click --repeat 2 --delay 80 1");
  answerFileDialog(chosen);

  EXPECT_TRUE(waitUntil([&] { return x.shot().at(cx, cy).near(kGreen); }, 5s))
      << "slot 3 does not show the picture";
  EXPECT_EQ(readWholeFile(dir.file("奖品图片/3.jpg")), green);
  const auto [ox, oy] = slotCentre(4);
  EXPECT_FALSE(x.shot().at(ox, oy).near(kGreen)) << "another slot changed";
}

TEST_F(PicturesOnStage, BackgroundIsSetAndRemoved) {
  start();
  const std::string orange = solidJpeg(kOrange, 160, 90);
  const std::string chosen = dir.file("stage-orange.jpg");
  ASSERT_TRUE(writeWholeFileAtomically(chosen, orange));

  chooseFromMenu(kBackgroundRow, kChangeBackgroundItem);
  answerFileDialog(chosen);
  EXPECT_TRUE(waitUntil([&] { return x.shot().at(5, 700).near(kOrange); }, 5s))
      << "the stage does not show the background";
  EXPECT_EQ(readWholeFile(dir.file("底图.jpg")), orange);

  chooseFromMenu(kBackgroundRow, kRemoveBackgroundItem);
  EXPECT_TRUE(waitUntil([&] { return x.shot().at(5, 700).near(kStage, 4); }, 5s))
      << "the background stayed";
  EXPECT_FALSE(pathExists(dir.file("底图.jpg")));
}

}  // namespace
}  // namespace zv::e2e
