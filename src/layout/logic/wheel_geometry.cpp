#include "layout/logic/wheel_geometry.h"

#include <cmath>

namespace zv {

namespace {

// The product is formed in extended precision, rounded to a double, then truncated, as
// the stored sizes have always been computed.
int scaled(int value) {
  const long double product =
      static_cast<long double>(value) * static_cast<long double>(kEnlargementFactor);
  return static_cast<int>(std::trunc(static_cast<double>(product)));
}

void scale(Box& box, bool withPosition) {
  box.width = scaled(box.width);
  box.height = scaled(box.height);
  if (withPosition) {
    box.left = scaled(box.left);
    box.top = scaled(box.top);
  }
}

}  // namespace

WheelGeometry layoutWheel() {
  namespace lw = layout_wheel;
  WheelGeometry wheel;
  wheel.frameWidth = wheel.frameHeight = lw::kSide;
  wheel.backgroundWidth = wheel.backgroundHeight = lw::kSide;
  wheel.startLabel = wheel.stopLabel = lw::kDrawLabel;
  wheel.startLabelPoints = wheel.stopLabelPoints = lw::kDrawLabelPoints;
  for (std::size_t i = 0; i < lw::kPrizeCorners.size(); ++i) {
    wheel.prizes[i] =
        Box{lw::kPrizeCorners[i][0], lw::kPrizeCorners[i][1], lw::kPrizeWidth, lw::kPrizeHeight};
  }
  return wheel;
}

void enlargeWheel(WheelGeometry& wheel) {
  wheel.frameWidth = scaled(wheel.frameWidth);
  wheel.frameHeight = scaled(wheel.frameHeight);
  wheel.backgroundWidth = scaled(wheel.backgroundWidth);
  wheel.backgroundHeight = scaled(wheel.backgroundHeight);
  scale(wheel.startLabel, true);
  scale(wheel.stopLabel, true);
  wheel.startLabelPoints = scaled(wheel.startLabelPoints);
  wheel.stopLabelPoints = scaled(wheel.stopLabelPoints);
  for (Box& prize : wheel.prizes) scale(prize, true);
}

int wheelSteps(double wheelSize) {
  if (!(wheelSize >= 1.0)) return 0;  // also NaN
  if (wheelSize >= kMaxWheelSteps) return kMaxWheelSteps;
  return static_cast<int>(std::trunc(wheelSize));
}

int centredLeft(int screenWidth, int width) { return (screenWidth - width) / 2; }

Size windowedSize(Size screen) { return Size{screen.width - 20, screen.height - 20}; }

}  // namespace zv
