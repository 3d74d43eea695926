// Font sizes and colours as the layouts give them and the settings file stores them.
#include "forms/logic/font_numbers.h"

#include <gtest/gtest.h>

namespace zv::forms {
namespace {

TEST(FontNumbers, PointsFromCharacterHeight) {
  const struct {
    int pixels, points;
  } rows[] = {
      {67, 50}, {40, 30}, {-67, 50},  // a negative height is a character height too
      {12, 9},  {14, 11},             // 10.5 rounds up
      {1, 1},   {0, 0},   {2, 2},   {-2, 2},
  };
  for (const auto& r : rows) EXPECT_EQ(pointsFromPixelHeight(r.pixels), r.points) << r.pixels;
}

TEST(FontNumbers, TitleHeightIsTheFloorOfPointsTimesOnePointEight) {
  const struct {
    int points, height;
  } rows[] = {
      {36, 64}, {20, 36}, {50, 90}, {30, 54}, {1, 1}, {0, 0},
      {-5, 0},                       // never a negative height
      {2147483647, 16000},           // no overflow, kept to a size Qt can take
  };
  for (const auto& r : rows) EXPECT_EQ(titleHeightForPoints(r.points), r.height) << r.points;
}

TEST(FontNumbers, ColoursAsStored) {
  const struct {
    Rgb rgb;
    std::uint32_t bgr;
    const char* text;
  } rows[] = {
      {{255, 0, 0}, 255u, "255"},
      {{0, 0, 255}, 16711680u, "16711680"},
      {{255, 255, 0}, 65535u, "65535"},
      {{0, 255, 0}, 65280u, "65280"},
      {{255, 255, 255}, 16777215u, "16777215"},
      {{0, 0, 0}, 0u, "0"},
      {{18, 52, 86}, 0x563412u, "5649426"},
  };
  for (const auto& r : rows) {
    EXPECT_EQ(bgrFromRgb(r.rgb), r.bgr) << r.text;
    EXPECT_EQ(rgbFromBgr(r.bgr), r.rgb) << r.text;
    EXPECT_EQ(colourText(r.bgr), r.text);
  }
}

TEST(FontNumbers, AStoredValueBeyondThreeBytesKeepsItsSignAndItsLowBytes) {
  // A hand-edited "-1" reads back as 0xFFFFFFFF: white, and written back as "-1".
  EXPECT_EQ(colourText(0xFFFFFFFFu), "-1");
  EXPECT_EQ(rgbFromBgr(0xFFFFFFFFu), (Rgb{255, 255, 255}));
  EXPECT_EQ(rgbFromBgr(0x01000000u), (Rgb{0, 0, 0}));
}

}  // namespace
}  // namespace zv::forms
