#include "resources/artwork.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>

#include "layout/logic/wheel_geometry.h"
#include "platform/jpeg.h"

namespace zv {
namespace {

using Rgb = std::array<int, 3>;

// Picture boxes (left, top; 106 x 65) of slots 1..8 in the 500 x 500 wheel.
constexpr std::array<std::array<int, 2>, 8> kBoxes = {
    {{132, 69}, {260, 55}, {334, 172}, {347, 268}, {260, 366}, {135, 379}, {60, 264}, {42, 172}}};

// The backdrop's pixel under a point of the 500 x 500 wheel.
Rgb wheelPixel(const RgbImage& wheel, double x, double y) {
  const double scale = wheel.width / 500.0;
  const int px = static_cast<int>(x * scale), py = static_cast<int>(y * scale);
  const std::size_t i = (static_cast<std::size_t>(py) * wheel.width + px) * 3;
  return {wheel.pixels[i], wheel.pixels[i + 1], wheel.pixels[i + 2]};
}

int distance(const Rgb& a, const Rgb& b) {
  return std::abs(a[0] - b[0]) + std::abs(a[1] - b[1]) + std::abs(a[2] - b[2]);
}

Rgb boxCentre(const RgbImage& wheel, int slot) {
  const auto& box = kBoxes[static_cast<std::size_t>(slot - 1)];
  return wheelPixel(wheel, box[0] + 53, box[1] + 32.5);
}

// Square and large enough that a stage drawn at the largest scale only ever reduces them.
TEST(Artwork, WheelStylesAreDistinctSquarePicturesCoveringTheLargestScale) {
  const int side = layout_wheel::kSide * artwork::kSharpUpToScale;
  std::array<RgbImage, 4> wheels;
  for (int style = 1; style <= 4; ++style) {
    RgbImage& wheel = wheels[static_cast<std::size_t>(style - 1)];
    wheel = decodeJpeg(artwork::wheelStyle(style));
    ASSERT_EQ(wheel.width, side) << style;
    ASSERT_EQ(wheel.height, side) << style;
  }
  for (int a = 0; a < 4; ++a)
    for (int b = a + 1; b < 4; ++b)
      EXPECT_GT(distance(boxCentre(wheels[a], 1), boxCentre(wheels[b], 1)), 60)
          << "styles " << a + 1 << " and " << b + 1;
}

TEST(Artwork, UnknownStyleFallsBackToStyleOne) {
  const std::string_view first = artwork::wheelStyle(1);
  ASSERT_FALSE(first.empty());
  for (const int style : {0, -1, 5, 1000})
    EXPECT_EQ(artwork::wheelStyle(style).data(), first.data()) << style;
}

TEST(Artwork, WheelLayoutFitsThePrizePictures) {
  for (int style = 1; style <= 4; ++style) {
    const RgbImage wheel = decodeJpeg(artwork::wheelStyle(style));
    ASSERT_FALSE(wheel.empty());
    // The hub carries the red start/stop label, so it must be light.
    for (const int c : wheelPixel(wheel, 253, 248)) EXPECT_GT(c, 200) << "hub, style " << style;
    // The corners are clipped away by the window; they stay dark.
    for (const int c : wheelPixel(wheel, 2, 2)) EXPECT_LT(c, 60) << "corner, style " << style;

    for (int slot = 1; slot <= 8; ++slot) {
      const int next = slot % 8 + 1;
      const Rgb own = boxCentre(wheel, slot);
      const Rgb neighbour = boxCentre(wheel, next);
      EXPECT_GT(distance(own, neighbour), 60)
          << "slots " << slot << " and " << next << " share a colour, style " << style;
      // Every corner of the box lies in the picture's own slice, not across a divider.
      const auto& box = kBoxes[static_cast<std::size_t>(slot - 1)];
      for (const auto& [dx, dy] : {std::array<int, 2>{3, 3}, {103, 3}, {3, 62}, {103, 62}}) {
        const Rgb corner = wheelPixel(wheel, box[0] + dx, box[1] + dy);
        EXPECT_LT(distance(corner, own), distance(corner, neighbour))
            << "slot " << slot << " corner " << dx << "," << dy << ", style " << style;
      }
    }
  }
}

TEST(Artwork, BuiltinPrizePicturesExistForSlotsFiveToEight) {
  for (int slot = -1; slot <= 9; ++slot) {
    const std::string_view jpeg = artwork::builtinPrizePicture(slot);
    if (slot < 5 || slot > 8) {
      EXPECT_TRUE(jpeg.empty()) << slot;
      continue;
    }
    const RgbImage picture = decodeJpeg(jpeg);
    EXPECT_FALSE(picture.empty()) << slot;
    // Wider than tall, like the 106 x 65 boxes they are shown in.
    EXPECT_GT(picture.width, picture.height) << slot;
    // Shaped as the box (a picture painted out of shape is stretched on screen), and as
    // high as its largest showing at the largest scale.
    EXPECT_NEAR(picture.width * 65.0 / 106, picture.height, 1.0) << slot;
    EXPECT_GE(picture.height, artwork::kLargestPrizePictureHeight * artwork::kSharpUpToScale)
        << slot;
  }
  EXPECT_NE(artwork::builtinPrizePicture(5), artwork::builtinPrizePicture(6));
}

TEST(Artwork, PanelIconIs16Square) {
  const RgbImage icon = decodeJpeg(artwork::panelIcon());
  EXPECT_EQ(icon.width, 16);
  EXPECT_EQ(icon.height, 16);
}

}  // namespace
}  // namespace zv
