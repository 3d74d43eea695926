#include "host/logic/glow.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace zv::glow {

namespace {

// Vertical lines sampled across each pixel column, the cover exact along each: where an
// edge crosses a pixel without turning, the cover is linear across it and the middles of
// four strips give it exactly.
constexpr int kSamples = 4;
constexpr double kNone = std::numeric_limits<double>::infinity();

// Light in 1/256ths of a step, so that a pixel's share is whole-number arithmetic.
struct Amounts {
  std::uint32_t r, g, b;
};

std::uint32_t channel(std::uint32_t now, std::uint32_t amount, std::uint32_t cover) {
  return std::min<std::uint32_t>(now + ((amount * cover + 128) >> 8), 255);
}

void add(std::uint32_t& p, const Amounts& light, std::uint32_t cover) {
  p = (p & 0xFF000000u) | channel((p >> 16) & 0xFF, light.r, cover) << 16 |
      channel((p >> 8) & 0xFF, light.g, cover) << 8 | channel(p & 0xFF, light.b, cover);
}

std::uint32_t amount(float light) {
  return static_cast<std::uint32_t>(std::lround(std::clamp(light, 0.0f, 255.0f)));
}

// A shape given by where each vertical line across it enters and leaves it: span(x, lo, hi)
// says false where the line at x misses it, over minX..maxX.
template <typename Span>
void fill(const Canvas& c, double minX, double maxX, Light light, const Span& span) {
  if (!(minX <= maxX) || !c.pixels) return;  // also a position that is no number
  minX = std::max(minX, static_cast<double>(c.left));
  maxX = std::min(maxX, static_cast<double>(c.right) - 0.5);
  if (minX > maxX) return;
  const Amounts amounts{amount(light.r), amount(light.g), amount(light.b)};
  const int x0 = static_cast<int>(std::floor(minX)), x1 = static_cast<int>(std::floor(maxX));
  for (int x = x0; x <= x1; ++x) {
    // Each line's span, from the top of the canvas: floats keep a hundredth of a pixel's
    // precision over any screen.
    float lo[kSamples], hi[kSamples];
    double outerLo = kNone, outerHi = -kNone, innerLo = -kNone, innerHi = kNone;
    for (int k = 0; k < kSamples; ++k) {
      double a = 0, b = 0;
      if (span(x + (k + 0.5) / kSamples, a, b) && a < b) {
        outerLo = std::min(outerLo, a);
        outerHi = std::max(outerHi, b);
      } else {
        a = kNone;
        b = -kNone;
      }
      lo[k] = static_cast<float>(a - c.top);
      hi[k] = static_cast<float>(b - c.top);
      innerLo = std::max(innerLo, a);
      innerHi = std::min(innerHi, b);
    }
    if (!(outerLo < outerHi)) continue;
    const double top = std::max(outerLo, static_cast<double>(c.top));
    const double bottom = std::min(outerHi, static_cast<double>(c.bottom));
    if (!(top < bottom)) continue;
    const int y0 = static_cast<int>(std::floor(top)), y1 = static_cast<int>(std::ceil(bottom)) - 1;
    std::uint32_t* pixel = c.pixels + static_cast<std::ptrdiff_t>(y0) * c.stride + x;
    for (int y = y0; y <= y1; ++y, pixel += c.stride) {
      std::uint32_t cover = 256;
      if (y < innerLo || y + 1 > innerHi) {
        const float from = static_cast<float>(y - c.top), to = from + 1;
        float sum = 0;
        for (int k = 0; k < kSamples; ++k)
          sum += std::max(0.0f, std::min(hi[k], to) - std::max(lo[k], from));
        cover = static_cast<std::uint32_t>(sum * (256.0f / kSamples) + 0.5f);
        if (cover == 0) continue;
      }
      add(*pixel, amounts, cover);
    }
  }
}

}  // namespace

void addDisc(const Canvas& canvas, double x, double y, double radius, Light light) {
  if (!(radius > 0) || !std::isfinite(y)) return;
  const double rr = radius * radius;
  fill(canvas, x - radius, x + radius, light, [&](double at, double& lo, double& hi) {
    const double dx = at - x;
    const double h2 = rr - dx * dx;
    if (h2 <= 0) return false;
    const double h = std::sqrt(h2);
    lo = y - h;
    hi = y + h;
    return true;
  });
}

void addTaper(const Canvas& canvas, double tailX, double tailY, double headX, double headY,
              double halfWidth, Light light) {
  const double ax = headX - tailX, ay = headY - tailY;
  const double length = std::hypot(ax, ay);
  if (!(length > 0) || !(halfWidth > 0) || !std::isfinite(length)) return;
  const double sx = -ay / length * halfWidth, sy = ax / length * halfWidth;
  const double px[3] = {tailX, headX + sx, headX - sx};
  const double py[3] = {tailY, headY + sy, headY - sy};
  struct Edge {
    double from, to, x, y, slope;
  };
  Edge edges[3];
  int count = 0;
  for (int i = 0; i < 3; ++i) {
    const int j = (i + 1) % 3;
    // An upright edge is met where the edges beside it are.
    if (px[i] == px[j]) continue;
    edges[count++] = {std::min(px[i], px[j]), std::max(px[i], px[j]), px[i], py[i],
                      (py[j] - py[i]) / (px[j] - px[i])};
  }
  fill(canvas, std::min({px[0], px[1], px[2]}), std::max({px[0], px[1], px[2]}), light,
       [&](double at, double& lo, double& hi) {
         lo = kNone;
         hi = -kNone;
         for (int i = 0; i < count; ++i) {
           const Edge& e = edges[i];
           if (at < e.from || at > e.to) continue;
           const double v = e.y + (at - e.x) * e.slope;
           lo = std::min(lo, v);
           hi = std::max(hi, v);
         }
         return lo < hi;
       });
}

}  // namespace zv::glow
