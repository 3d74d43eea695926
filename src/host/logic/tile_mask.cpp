#include "host/logic/tile_mask.h"

#include <algorithm>
#include <cmath>

namespace zv::key {

TileMask::TileMask(int width, int height, int tile)
    : width_(std::max(0, width)),
      height_(std::max(0, height)),
      tile_(std::max(1, tile)),
      columns_((width_ + tile_ - 1) / tile_),
      rows_((height_ + tile_ - 1) / tile_),
      tiles_(static_cast<std::size_t>(columns_) * rows_, 0) {}

void TileMask::mark(double left, double top, double right, double bottom) {
  if (!(right > left) || !(bottom > top)) return;  // also refuses NaN
  const double l = std::max(0.0, left), t = std::max(0.0, top);
  const double r = std::min<double>(width_, right), b = std::min<double>(height_, bottom);
  if (!(r > l) || !(b > t)) return;
  const int c0 = static_cast<int>(l) / tile_, c1 = static_cast<int>(std::ceil(r) - 1) / tile_;
  const int r0 = static_cast<int>(t) / tile_, r1 = static_cast<int>(std::ceil(b) - 1) / tile_;
  for (int row = r0; row <= r1; ++row) {
    unsigned char* line = &tiles_[static_cast<std::size_t>(row) * columns_];
    for (int column = c0; column <= c1; ++column) {
      marked_ += !line[column];
      line[column] = 1;
    }
  }
}

std::vector<Rect> TileMask::rects() const {
  std::vector<Rect> out;
  std::vector<int> band, runs;  // start, end pairs in tiles
  int bandTop = 0;
  const auto close = [&](int bottomRow) {
    const int top = bandTop * tile_, bottom = std::min(height_, bottomRow * tile_);
    for (std::size_t i = 0; i < band.size(); i += 2) {
      const int x = band[i] * tile_, right = std::min(width_, band[i + 1] * tile_);
      out.push_back({x, top, right - x, bottom - top});
    }
  };
  for (int row = 0; row < rows_; ++row) {
    runs.clear();
    const unsigned char* line = &tiles_[static_cast<std::size_t>(row) * columns_];
    for (int column = 0; column < columns_;) {
      if (!line[column]) {
        ++column;
        continue;
      }
      const int start = column;
      while (column < columns_ && line[column]) ++column;
      runs.push_back(start);
      runs.push_back(column);
    }
    if (runs != band) {
      close(row);
      band.swap(runs);
      bandTop = row;
    }
  }
  close(rows_);
  return out;
}

}  // namespace zv::key
