#pragma once
// The part of a picture that a frame drew into, kept as square tiles: coarse enough that
// the few hundred rectangles of a busy frame cost little to repaint and send, fine enough
// that the empty sky between bursts is left alone.
#include <vector>

#include "host/logic/key_region.h"

namespace zv::key {

class TileMask {
 public:
  TileMask(int width, int height, int tile);

  // Marks every tile that the box [left, right) x [top, bottom) touches; parts outside
  // the picture are ignored.
  void mark(double left, double top, double right, double bottom);
  bool empty() const { return marked_ == 0; }

  // The marked tiles as y-x banded rectangles, cut to the picture: runs of marked tiles in
  // a row of tiles make one rectangle, and rows with the same runs one band.
  std::vector<Rect> rects() const;

 private:
  int width_, height_, tile_, columns_, rows_;
  int marked_ = 0;
  std::vector<unsigned char> tiles_;
};

}  // namespace zv::key
