#pragma once
// Light added onto a picture by hand: the stars of a firework are a few thousand small
// shapes a picture, and at the screen's rate drawing each as an antialiased path costs
// several times more than working out how much of every pixel it covers directly.
// Pixels are 32-bit 0xAARRGGBB with premultiplied colour and left opaque; pixel (x, y)
// spans [x, x + 1) x [y, y + 1). Light adds up, clamped at full brightness in each channel.
#include <cstdint>

namespace zv::glow {

struct Canvas {
  std::uint32_t* pixels = nullptr;
  int stride = 0;  // pixels from one row to the next
  // Only pixels in [left, right) x [top, bottom) are touched.
  int left = 0, top = 0, right = 0, bottom = 0;
};

// What a fully covered pixel gains in each channel (0..255); a pixel partly covered gains
// its share of it.
struct Light {
  float r = 0, g = 0, b = 0;
};

// A disc centred at (x, y).
void addDisc(const Canvas& canvas, double x, double y, double radius, Light light);

// A trail: the triangle with its point at the tail and its base through the head, square to
// the line between them, reaching halfWidth to either side.
void addTaper(const Canvas& canvas, double tailX, double tailY, double headX, double headY,
              double halfWidth, Light light);

}  // namespace zv::glow
