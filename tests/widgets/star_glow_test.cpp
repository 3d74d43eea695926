// Stars drawn by hand look as the painter draws the same shapes: a star's disc, its white
// core and its tapering trail, added as light onto what is there.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "host/logic/glow.h"

namespace zv {
namespace {

struct Star {
  const char* what;
  double x, y, radius;
  double tailX, tailY;  // tail == head: no trail
  QColor colour;        // with its opacity
  QRgb under;           // what the star is added onto
};

// The painter's antialiased shapes added with CompositionMode_Plus.
QImage painted(const Star& s, QSize size) {
  QImage image(size, QImage::Format_ARGB32_Premultiplied);
  image.fill(s.under);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.setCompositionMode(QPainter::CompositionMode_Plus);
  p.setPen(Qt::NoPen);
  const QPointF head(s.x, s.y), tail(s.tailX, s.tailY);
  const QPointF along = head - tail;
  const double length = std::hypot(along.x(), along.y());
  if (length > 0) {
    const QPointF side = QPointF(-along.y(), along.x()) * (s.radius * 0.85 / length);
    const QPointF triangle[3] = {tail, head + side, head - side};
    p.setBrush(s.colour);
    p.drawConvexPolygon(triangle, 3);
  }
  p.setBrush(s.colour);
  p.drawEllipse(head, s.radius, s.radius);
  p.setBrush(QColor(255, 255, 255, s.colour.alpha()));
  p.drawEllipse(head, s.radius * 0.5, s.radius * 0.5);
  return image;
}

QImage byHand(const Star& s, QSize size) {
  QImage image(size, QImage::Format_ARGB32_Premultiplied);
  image.fill(s.under);
  glow::Canvas canvas;
  canvas.pixels = reinterpret_cast<std::uint32_t*>(image.bits());
  canvas.stride = static_cast<int>(image.bytesPerLine() / 4);
  canvas.right = size.width();
  canvas.bottom = size.height();
  const float a = static_cast<float>(s.colour.alphaF());
  const glow::Light light{s.colour.red() * a, s.colour.green() * a, s.colour.blue() * a};
  glow::addTaper(canvas, s.tailX, s.tailY, s.x, s.y, s.radius * 0.85, light);
  glow::addDisc(canvas, s.x, s.y, s.radius, light);
  glow::addDisc(canvas, s.x, s.y, s.radius * 0.5, {255 * a, 255 * a, 255 * a});
  return image;
}

TEST(StarGlow, AStarDrawnByHandMatchesThePaintersShapes) {
  const QRgb black = qRgb(0, 0, 0);
  const Star stars[] = {
      {"smallest star", 20.3, 20.7, 0.7, 20.3, 20.7, QColor(255, 210, 90), black},
      {"star between pixels", 31.5, 30.25, 3.4, 31.5, 30.25, QColor(40, 200, 110, 230), black},
      {"large dim star", 32.6, 33.1, 9.3, 32.6, 33.1, QColor(90, 140, 255, 120), black},
      {"trail to the left", 50.2, 30.6, 3.1, 8.4, 24.9, QColor(255, 90, 40), black},
      {"steep trail upwards", 30.7, 8.2, 2.6, 36.1, 58.3, QColor(200, 60, 255, 200), black},
      {"diagonal trail", 12.5, 12.5, 4.0, 52.5, 52.5, QColor(255, 255, 255, 190), black},
      {"over something lit", 31.2, 29.8, 5.2, 10.1, 44.4, QColor(255, 160, 20), qRgb(200, 90, 160)},
  };
  const QSize size(64, 64);
  for (const Star& s : stars) {
    const QImage want = painted(s, size), got = byHand(s, size);
    long wantLight = 0, gotLight = 0;
    int worst = 0;
    for (int y = 0; y < size.height(); ++y) {
      for (int x = 0; x < size.width(); ++x) {
        const QRgb w = want.pixel(x, y), g = got.pixel(x, y);
        ASSERT_EQ(qAlpha(g), 255) << s.what;
        for (const int shift : {16, 8, 0}) {
          const int a = (w >> shift) & 0xFF, b = (g >> shift) & 0xFF;
          worst = std::max(worst, std::abs(a - b));
          wantLight += a;
          gotLight += b;
        }
      }
    }
    // Edges a fraction of a pixel apart (half a pixel off shows as ~130 on a bright edge).
    // The painter rounds each shape's faint edge pixels down, so the smallest stars come
    // out up to a tenth brighter by hand; a radius a tenth off would be a fifth.
    EXPECT_LE(worst, 64) << s.what;
    EXPECT_NEAR(static_cast<double>(gotLight) / wantLight, 1.0, 0.14) << s.what;
  }
}

}  // namespace
}  // namespace zv
