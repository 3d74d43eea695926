// The colour-key outline of effect movie frames and the choice of keying mechanism.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/logic/key_region.h"

namespace zv::key {
namespace {

constexpr std::uint32_t kBlack = 0xFF000000, kGold = 0xFFFFC048;

// A picture from rows of '.' (key black) and '#' (burning).
std::vector<std::uint32_t> picture(const std::vector<std::string>& rows) {
  std::vector<std::uint32_t> pixels;
  for (const std::string& row : rows)
    for (char c : row) pixels.push_back(c == '#' ? kGold : kBlack);
  return pixels;
}

std::vector<Rect> outlineOf(const std::vector<std::string>& rows) {
  const auto pixels = picture(rows);
  const int width = static_cast<int>(rows[0].size());
  return visibleOutline(pixels.data(), width, static_cast<int>(rows.size()), width, 0x000000);
}

TEST(MovieKeyRegion, TheOutlineCoversExactlyTheNonKeyPixelsInMergedBands) {
  struct Case {
    const char* what;
    std::vector<std::string> rows;
    std::vector<Rect> rects;
  };
  const Case cases[] = {
      {"all key", {"....", "...."}, {}},
      {"all burning", {"###", "###"}, {{0, 0, 3, 2}}},
      {"one pixel", {"....", "..#.", "...."}, {{2, 1, 1, 1}}},
      {"two runs in a row", {"#..##"}, {{0, 0, 1, 1}, {3, 0, 2, 1}}},
      {"equal rows merge", {".##.", ".##.", "...."}, {{1, 0, 2, 2}}},
      {"different rows do not",
       {".##.", "###.", ".##."},
       {{1, 0, 2, 1}, {0, 1, 3, 1}, {1, 2, 2, 1}}},
      {"a gap between bands", {"#...", "....", "#..."}, {{0, 0, 1, 1}, {0, 2, 1, 1}}},
  };
  for (const Case& c : cases) EXPECT_EQ(outlineOf(c.rows), c.rects) << c.what;
}

TEST(MovieKeyRegion, OnlyTheExactKeyColourIsSeeThroughWhateverTheAlpha) {
  // Nearly black still shows; black with another alpha is still the key.
  const std::uint32_t pixels[] = {0xFF010000, 0x00000000, 0xFF000001, 0x80000000, 0xFF0A0B0C};
  EXPECT_EQ(visibleOutline(pixels, 5, 1, 5, 0x000000),
            (std::vector<Rect>{{0, 0, 1, 1}, {2, 0, 1, 1}, {4, 0, 1, 1}}));
  EXPECT_EQ(visibleOutline(pixels, 5, 1, 5, 0x0A0B0C), (std::vector<Rect>{{0, 0, 4, 1}}));
}

TEST(MovieKeyRegion, StrideSkipsPaddingAtTheEndOfEachRow) {
  const std::uint32_t pixels[] = {kBlack, kGold,  kGold /* padding */,
                                  kGold,  kBlack, kGold /* padding */};
  EXPECT_EQ(visibleOutline(pixels, 2, 2, 3, 0), (std::vector<Rect>{{1, 0, 1, 1}, {0, 1, 1, 1}}));
}

TEST(MovieKeyRegion, ClearingKeyPixelsMakesThemTransparentAndLeavesTheRest) {
  std::uint32_t pixels[] = {kBlack, kGold, 0xFF010101, kBlack};
  clearKeyPixels(pixels, 4, 1, 4, 0);
  EXPECT_EQ(pixels[0], 0u);
  EXPECT_EQ(pixels[1], kGold);
  EXPECT_EQ(pixels[2], 0xFF010101u);
  EXPECT_EQ(pixels[3], 0u);
}

TEST(MovieKeyRegion, AlphaIsUsedOnlyWithACompositorAnInputShapeAndAnAlphaWindow) {
  struct Case {
    bool compositor, inputShape, createdWithoutAlpha;
    Mechanism mechanism;
  };
  const Case cases[] = {
      {false, false, false, Mechanism::kWindowShape},
      {false, true, false, Mechanism::kWindowShape},
      {true, false, false, Mechanism::kWindowShape},
      {true, true, true, Mechanism::kWindowShape},
      {true, true, false, Mechanism::kAlphaWithInputShape},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(chooseMechanism(c.compositor, c.inputShape, c.createdWithoutAlpha), c.mechanism)
        << c.compositor << c.inputShape << c.createdWithoutAlpha;
  }
}

}  // namespace
}  // namespace zv::key
