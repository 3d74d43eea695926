#pragma once
// The part of a colour-keyed picture that shows: every pixel whose colour is not the key.
// The outline is built as y-x banded rectangles (the form both X shapes and QRegion
// take), and how the overlay makes key pixels see-through is decided here too.
#include <cstdint>
#include <vector>

namespace zv::key {

struct Rect {
  int x = 0, y = 0, width = 0, height = 0;
  friend bool operator==(const Rect&, const Rect&) = default;
};

// Pixels are 32-bit 0xAARRGGBB words, row after row, stride words apart; the alpha byte
// is ignored. keyRgb is 0x00RRGGBB. Rows with identical runs are merged into one band;
// within a band rectangles are sorted by x and never touch.
std::vector<Rect> visibleOutline(const std::uint32_t* pixels, int width, int height, int stride,
                                 std::uint32_t keyRgb);

// Turns every key pixel fully transparent (0) in place and leaves the others as they are,
// for a window whose alpha the compositor honours.
void clearKeyPixels(std::uint32_t* pixels, int width, int height, int stride, std::uint32_t keyRgb);

// How key pixels are made see-through.
enum class Mechanism {
  // The window's shape: clips drawing and mouse input at once. Works without a
  // compositor; it must be reset whenever the outline changes.
  kWindowShape,
  // A translucent window with key pixels at alpha 0, plus an input shape so that clicks
  // on them pass through. Needs a compositor, a window created with an alpha channel and
  // a way to set the input shape.
  kAlphaWithInputShape,
  // A layer inside another window (the full-screen stage's own), repainted over what lies
  // beneath it by that window: key pixels at alpha 0, no shape at all, and the mouse
  // passes through the whole layer. Nothing for the X server or a window manager to do.
  kLayerInsideWindow,
};
Mechanism chooseMechanism(bool compositorPresent, bool inputShapeAvailable,
                          bool windowCreatedWithoutAlpha);

}  // namespace zv::key
