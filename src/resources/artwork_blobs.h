#pragma once
// The JPEG files painted by artwork_generator, compiled in from its generated source.
#include <cstddef>

namespace zv::artwork::detail {

struct Blob {
  const unsigned char* data;
  std::size_t size;
};

extern const Blob kWheelStyles[4];    // styles 1..4
extern const Blob kPrizePictures[4];  // slots 5..8
extern const Blob kPanelIcon;
extern const unsigned kWheelGlows[4][2];  // styles 1..4: light centre, deep edge (0xRRGGBB)

}  // namespace zv::artwork::detail
