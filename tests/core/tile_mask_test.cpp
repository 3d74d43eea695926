// The tiles a frame drew into, as the rectangles that are repainted and sent to the screen.
#include "host/logic/tile_mask.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace zv::key {
namespace {

struct Box {
  double left, top, right, bottom;
};

TEST(TileMask, MarkedBoxesBecomeBandedRectanglesOfWholeTilesCutToThePicture) {
  struct Case {
    const char* what;
    int width, height;
    std::vector<Box> boxes;
    std::vector<Rect> rects;
  };
  const double nan = std::nan("");
  const std::vector<Case> cases = {
      {"nothing marked", 100, 100, {}, {}},
      {"inside one tile", 100, 100, {{12, 12, 14, 14}}, {{10, 10, 10, 10}}},
      {"a right or bottom edge on a tile border stays in its tile", 100, 100, {{0, 0, 10, 10}},
       {{0, 0, 10, 10}}},
      {"across four tiles", 100, 100, {{8, 8, 12, 12}}, {{0, 0, 20, 20}}},
      {"outside the picture", 100, 100, {{-30, -30, -1, -1}, {100, 100, 120, 120}}, {}},
      {"half outside", 100, 100, {{-5, 95, 5, 130}}, {{0, 90, 10, 10}}},
      {"the last tile is cut to the picture", 25, 15, {{21, 11, 30, 30}}, {{20, 10, 5, 5}}},
      {"empty, inverted or NaN boxes mark nothing", 100, 100,
       {{5, 5, 5, 9}, {9, 9, 1, 1}, {nan, 0, 10, 10}, {0, 0, nan, 10}}, {}},
      {"two runs in a row, one band over rows with the same runs", 100, 100,
       {{0, 0, 15, 25}, {50, 0, 55, 25}},
       {{0, 0, 20, 30}, {50, 0, 10, 30}}},
      {"a new band where the runs change", 100, 100, {{0, 0, 5, 5}, {0, 10, 25, 15}},
       {{0, 0, 10, 10}, {0, 10, 30, 10}}},
  };
  for (const Case& c : cases) {
    TileMask mask(c.width, c.height, 10);
    for (const Box& b : c.boxes) mask.mark(b.left, b.top, b.right, b.bottom);
    EXPECT_EQ(mask.rects(), c.rects) << c.what;
    EXPECT_EQ(mask.empty(), c.rects.empty()) << c.what;
  }
}

TEST(TileMask, APictureOfNoSizeHasNoTiles) {
  TileMask mask(0, -5, 10);
  mask.mark(0, 0, 50, 50);
  EXPECT_TRUE(mask.empty());
  EXPECT_TRUE(mask.rects().empty());
}

}  // namespace
}  // namespace zv::key
