// The show on the real program: with 减速停止 the highlight keeps moving after the stop and
// comes to rest on the slot jieguo.a counts; 中奖特写 then shows that prize large until a
// click.
#include <gtest/gtest.h>

#include <set>
#include <thread>

#include "platform/jpeg.h"
#include "stage_fixture.h"

namespace zv::e2e {
namespace {

using namespace std::chrono_literals;
using ShowOnStage = StageTest;

// Eight colours told apart by their proportions, so a dimmed one still reads as itself.
constexpr Rgb kSlotColours[8] = {{240, 240, 240}, {30, 200, 30},  {30, 30, 230},  {230, 220, 30},
                                 {220, 30, 220},  {30, 210, 220}, {240, 130, 20}, {120, 40, 230}};

void writeColouredPrizePictures(const std::string& folder) {
  makeDirectories(folder + "/奖品图片");
  for (int slot = 1; slot <= 8; ++slot) {
    RgbImage image{96, 72, {}};
    for (int i = 0; i < image.width * image.height; ++i) {
      const Rgb c = kSlotColours[slot - 1];
      image.pixels.insert(image.pixels.end(),
                          {std::uint8_t(c.r), std::uint8_t(c.g), std::uint8_t(c.b)});
    }
    writeWholeFileAtomically(folder + "/奖品图片/" + std::to_string(slot) + ".jpg",
                             encodeJpeg(image));
  }
}

// The slot whose colour this pixel shows, dimmed or not; 0 for none.
int slotOf(Rgb pixel) {
  const double sum = pixel.r + pixel.g + pixel.b;
  if (sum < 60) return 0;
  int best = 0;
  double bestDistance = 0.02;
  for (int slot = 1; slot <= 8; ++slot) {
    const Rgb c = kSlotColours[slot - 1];
    const double cs = c.r + c.g + c.b;
    const double dr = pixel.r / sum - c.r / cs, dg = pixel.g / sum - c.g / cs,
                 db = pixel.b / sum - c.b / cs;
    const double d = dr * dr + dg * dg + db * db;
    if (d < bestDistance) {
      bestDistance = d;
      best = slot;
    }
  }
  return best;
}

constexpr int kResultX = 120, kResultY = 520;    // the result picture follows the highlight
constexpr int kOutsideX = 100, kOutsideY = 700;  // bare stage, dimmed under the close-up
constexpr int kCentreX = 683, kCentreY = 384;

TEST_F(ShowOnStage, ASlowedDrawRestsOnTheCountedPrizeAndItsCloseUpClosesOnAClick) {
  writeColouredPrizePictures(dir.path());
  writeSettings("[zbt]\r\nlx=真\r\n禁用特效=真\r\n减速停止=真\r\n减速时长=3\r\n中奖特写=真\r\n");
  start();
  key("space");
  ASSERT_TRUE(waitUntil([&] { return slotOf(x.shot().at(kResultX, kResultY)) != 0; }, 5s));
  std::this_thread::sleep_for(400ms);
  key("space");
  // Moving after the stop, while nothing is counted yet.
  std::set<int> seen;
  const auto stopped = std::chrono::steady_clock::now();
  while (totalWins() == 0 && std::chrono::steady_clock::now() - stopped < 1500ms) {
    seen.insert(slotOf(x.shot().at(kResultX, kResultY)));
    std::this_thread::sleep_for(20ms);
  }
  EXPECT_EQ(totalWins(), 0) << "landed before the slow-down had run";
  seen.erase(0);
  EXPECT_GE(seen.size(), 3u);
  ASSERT_TRUE(waitUntil([&] { return totalWins() == 1; }, 6s));
  int counted = 0;
  for (int slot = 1; slot <= 8; ++slot) {
    if (tally(slot) == "1") counted = slot;
  }
  ASSERT_NE(counted, 0);
  // At rest on the counted slot, and the close-up shows that prize, dimming the stage.
  ASSERT_TRUE(waitUntil(
      [&] {
        const auto shot = x.shot();
        return slotOf(shot.at(kCentreX, kCentreY)) == counted &&
               !shot.at(kOutsideX, kOutsideY).near(kStage, 8);
      },
      3s))
      << "counted slot " << counted;
  EXPECT_EQ(slotOf(x.shot().at(kResultX, kResultY)), counted);
  std::this_thread::sleep_for(500ms);
  EXPECT_EQ(slotOf(x.shot().at(kResultX, kResultY)), counted);  // and it stays there

  click(kOutsideX, kOutsideY);
  EXPECT_TRUE(waitUntil([&] { return x.shot().at(kOutsideX, kOutsideY).near(kStage, 4); }, 3s));
  EXPECT_EQ(totalWins(), 1);  // the click only closed it
}

}  // namespace
}  // namespace zv::e2e
