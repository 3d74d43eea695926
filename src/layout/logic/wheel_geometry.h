#pragma once
// The arithmetic of the wheel: its layout geometry, the 1.1x enlargement step, the
// centring on the screen and the windowed size.
#include <array>

#include "store/prize_slots.h"

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
  std::array<Box, kSlotCount> prizes{};
  bool operator==(const WheelGeometry&) const = default;
};

// The wheel as laid out, before any enlargement step: the stage's layout, the reset,
// and the artwork generator that paints a slice behind each prize box all use it.
namespace layout_wheel {
inline constexpr int kSide = 500;                    // frame and background picture, square
inline constexpr Box kDrawLabel{205, 192, 96, 112};  // the start and the stop label
inline constexpr int kDrawLabelPoints = 30;
inline constexpr int kPrizeWidth = 106;
inline constexpr int kPrizeHeight = 65;
// Top-left corners of the prize boxes, slots 1..kSlotCount, clockwise from the upper left.
inline constexpr std::array<std::array<int, 2>, kSlotCount> kPrizeCorners = {
    {{132, 69}, {260, 55}, {334, 172}, {347, 268}, {260, 366}, {135, 379}, {60, 264}, {42, 172}}};
}  // namespace layout_wheel

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
