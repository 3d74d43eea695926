#pragma once
// The arithmetic of fonts and colours as the stored settings and the layouts give them:
// character heights in pixels at 96 dots per inch, sizes in whole points, and colours as
// 0x00BBGGRR values (red in the low byte).
#include <cstdint>
#include <string>

namespace zv::forms {

// The point size of a character height in pixels: |pixels| × 72 / 96, rounded.
int pointsFromPixelHeight(int pixels);

// The height a title takes for a font of that many points: ⌊points × 1.8⌋, kept within
// 0..16,000 pixels.
int titleHeightForPoints(int points);

struct Rgb {
  int red = 0, green = 0, blue = 0;
  bool operator==(const Rgb&) const = default;
};

std::uint32_t bgrFromRgb(Rgb rgb);  // each channel taken modulo 256
Rgb rgbFromBgr(std::uint32_t bgr);  // the high byte is ignored

// A colour as the settings file stores it: the signed decimal of its 32-bit value.
std::string colourText(std::uint32_t bgr);

}  // namespace zv::forms
