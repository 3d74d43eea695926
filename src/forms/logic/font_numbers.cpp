#include "forms/logic/font_numbers.h"

#include <algorithm>
#include <cstdlib>

namespace zv::forms {

int pointsFromPixelHeight(int pixels) {
  // Exact in integers: round(|p| × 3 / 4), halves away from zero.
  const long long scaled = std::llabs(static_cast<long long>(pixels)) * 3;
  return static_cast<int>((scaled + 2) / 4);
}

int titleHeightForPoints(int points) {
  // ⌊points × 18 / 10⌋ in integers, so that 20 points give exactly 36.
  const long long tenths = static_cast<long long>(points) * 18;
  const long long height = tenths >= 0 ? tenths / 10 : -((-tenths + 9) / 10);
  return static_cast<int>(std::clamp(height, 0LL, 16000LL));
}

std::uint32_t bgrFromRgb(Rgb rgb) {
  const auto byte = [](int v) { return static_cast<std::uint32_t>(v) & 0xFFu; };
  return byte(rgb.red) | (byte(rgb.green) << 8) | (byte(rgb.blue) << 16);
}

Rgb rgbFromBgr(std::uint32_t bgr) {
  return {static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
          static_cast<int>((bgr >> 16) & 0xFF)};
}

std::string colourText(std::uint32_t bgr) {
  return std::to_string(static_cast<std::int32_t>(bgr));
}

}  // namespace zv::forms
