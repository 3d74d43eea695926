#include "host/logic/key_region.h"

#include <algorithm>

namespace zv::key {

namespace {

constexpr std::uint32_t kRgbMask = 0x00FFFFFF;

// The runs [start, end) of non-key pixels in one row, as start, end pairs.
void rowRuns(const std::uint32_t* row, int width, std::uint32_t key, std::vector<int>& runs) {
  runs.clear();
  int x = 0;
  while (x < width) {
    while (x < width && (row[x] & kRgbMask) == key) ++x;
    if (x == width) break;
    const int start = x;
    while (x < width && (row[x] & kRgbMask) != key) ++x;
    runs.push_back(start);
    runs.push_back(x);
  }
}

}  // namespace

std::vector<Rect> visibleOutline(const std::uint32_t* pixels, int width, int height, int stride,
                                 std::uint32_t keyRgb) {
  std::vector<Rect> rects;
  if (!pixels || width <= 0 || height <= 0) return rects;
  const std::uint32_t key = keyRgb & kRgbMask;
  std::vector<int> band, runs;
  int bandTop = 0;
  const auto closeBand = [&](int bottom) {
    for (std::size_t i = 0; i < band.size(); i += 2)
      rects.push_back({band[i], bandTop, band[i + 1] - band[i], bottom - bandTop});
  };
  for (int y = 0; y < height; ++y) {
    rowRuns(pixels + static_cast<std::ptrdiff_t>(y) * stride, width, key, runs);
    if (runs != band) {
      closeBand(y);
      band.swap(runs);
      bandTop = y;
    }
  }
  closeBand(height);
  return rects;
}

void clearKeyPixels(std::uint32_t* pixels, int width, int height, int stride,
                    std::uint32_t keyRgb) {
  if (!pixels) return;
  const std::uint32_t key = keyRgb & kRgbMask;
  for (int y = 0; y < height; ++y) {
    std::uint32_t* row = pixels + static_cast<std::ptrdiff_t>(y) * stride;
    std::replace_if(
        row, row + width, [key](std::uint32_t p) { return (p & kRgbMask) == key; }, 0u);
  }
}

Mechanism chooseMechanism(bool compositorPresent, bool inputShapeAvailable,
                          bool windowCreatedWithoutAlpha) {
  // Without a compositor transparent pixels show black, so only the shape can key.
  if (compositorPresent && inputShapeAvailable && !windowCreatedWithoutAlpha)
    return Mechanism::kAlphaWithInputShape;
  return Mechanism::kWindowShape;
}

}  // namespace zv::key
