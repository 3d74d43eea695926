#pragma once
// The JPEG files painted by artwork_generator, compiled in from its generated source.
#include <cstddef>

#include "store/prize_slots.h"
#include "store/wheel_styles.h"

namespace zv::artwork::detail {

struct Blob {
  const unsigned char* data;
  std::size_t size;
};

extern const Blob kWheelStyles[kWheelStyleCount];
extern const Blob kPrizePictures[kBuiltinPrizeCount];  // from kFirstBuiltinPrizeSlot
extern const Blob kPanelIcon;
extern const unsigned kWheelGlows[kWheelStyleCount][2];  // light centre, deep edge (0xRRGGBB)

}  // namespace zv::artwork::detail
