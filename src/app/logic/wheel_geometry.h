#pragma once
// The arithmetic of the wheel: its layout geometry, the 1.1x enlargement step, the
// centring on the screen and the windowed size.
#include <array>

namespace zv {

struct Box {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  bool operator==(const Box&) const = default;
};

// Everything inside the wheel frame that the enlargement step touches. Positions of the
// frame and of its background picture are not part of it: the wheel grows to the right
// and downward from its top-left corner.
struct WheelGeometry {
  int frameWidth = 0, frameHeight = 0;
  int backgroundWidth = 0, backgroundHeight = 0;
  Box startLabel, stopLabel;
  int startLabelPoints = 0, stopLabelPoints = 0;
  std::array<Box, 8> prizes{};
  bool operator==(const WheelGeometry&) const = default;
};

// The factor of one step, a 32-bit float (1.10000002384185791015625).
inline constexpr float kEnlargementFactor = 1.1f;

// More steps than this would only make the wheel larger than any screen; the clamp
// also keeps every size far from overflowing.
inline constexpr int kMaxWheelSteps = 20;

WheelGeometry layoutWheel();

// One enlargement step: every size (and the positions inside the wheel) multiplied by
// the factor and truncated toward zero, each step working on the truncated values.
void enlargeWheel(WheelGeometry& wheel);

// The number of steps a wheel-size value asks for: truncated toward zero, none for a
// value of 0 or less, at most kMaxWheelSteps.
int wheelSteps(double wheelSize);

// Left of a wheel of the given width centred on the screen.
int centredLeft(int screenWidth, int width);

// Outer size of the window in windowed mode.
struct Size {
  int width = 0;
  int height = 0;
  bool operator==(const Size&) const = default;
};
Size windowedSize(Size screen);

}  // namespace zv
