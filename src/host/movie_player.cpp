#include "host/movie_player.h"

#include <QPainter>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "host/logic/glow.h"
#include "host/logic/tile_mask.h"

namespace zv {

namespace {

QColor paint(movie::Colour c, double alpha) {
  return QColor(c.r, c.g, c.b, std::clamp(static_cast<int>(std::lround(alpha * 255)), 0, 255));
}

// What a fully covered pixel gains from a colour at this opacity, as the painter adds it.
glow::Light light(movie::Colour c, double alpha) {
  const float a = static_cast<float>(std::clamp(alpha, 0.0, 1.0));
  return {c.r * a, c.g * a, c.b * a};
}

// Pixels that differ from the background by less than the floor in every channel become
// the background, inside area. It runs over every burning tile of every picture, so four
// pixels go at once where the processor allows.
void applyFloor(QImage& image, const QRect& area, QRgb background, int floor) {
  const int br = qRed(background), bg = qGreen(background), bb = qBlue(background);
  const QRgb exact = background | 0xFF000000u;
  const auto faint = [&](QRgb p) {
    return std::abs(qRed(p) - br) < floor && std::abs(qGreen(p) - bg) < floor &&
           std::abs(qBlue(p) - bb) < floor;
  };
#ifdef __SSE2__
  const __m128i exact4 = _mm_set1_epi32(static_cast<int>(exact));
  const __m128i colour = _mm_set1_epi32(0x00FFFFFF);  // alpha is no difference
  const __m128i below = _mm_set1_epi8(static_cast<char>(std::clamp(floor - 1, 0, 255)));
  const __m128i zero = _mm_setzero_si128(), all = _mm_set1_epi32(-1);
#endif
  for (int y = area.top(); y <= area.bottom(); ++y) {
    auto* row = reinterpret_cast<QRgb*>(image.scanLine(y)) + area.left();
    int x = 0;
#ifdef __SSE2__
    for (; x + 4 <= area.width(); x += 4) {
      const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + x));
      const __m128i apart =
          _mm_and_si128(_mm_or_si128(_mm_subs_epu8(p, exact4), _mm_subs_epu8(exact4, p)), colour);
      // Every channel's difference at most floor - 1: the pixel is background.
      const __m128i near = _mm_cmpeq_epi8(_mm_subs_epu8(apart, below), zero);
      const __m128i whole = _mm_cmpeq_epi32(near, all);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(row + x),
                       _mm_or_si128(_mm_and_si128(whole, exact4), _mm_andnot_si128(whole, p)));
    }
#endif
    for (; x < area.width(); ++x) {
      if (faint(row[x])) row[x] = exact;
    }
  }
}

}  // namespace

MoviePlayer::MoviePlayer(movie::Movie movie) : movie_(std::move(movie)) {}

QRegion MoviePlayer::render(QImage& target, int frame) {
  return render(target, static_cast<double>(frame), QRegion(target.rect()));
}

QRegion MoviePlayer::render(QImage& target, double frame, const QRegion& stale) {
  const movie::Colour bgc = movie_.background;
  const QRgb background = qRgb(bgc.r, bgc.g, bgc.b);
  if (QRegion(target.rect()).subtracted(stale).isEmpty()) {
    target.fill(background);
  } else if (!stale.isEmpty()) {
    QPainter clear(&target);
    clear.setCompositionMode(QPainter::CompositionMode_Source);
    for (const QRect& r : stale.intersected(target.rect())) clear.fillRect(r, QColor(background));
  }
  movie::frameContent(movie_, frame, content_);
  if (content_.sparks.empty() && content_.flashes.empty()) return {};

  const movie::Fit fit =
      movie::fitStage(movie_.width, movie_.height, target.width(), target.height());
  const QRectF stage(fit.left, fit.top, fit.width, fit.height);
  // Target pixels touched, to limit the floor pass and what reaches the screen; a shape
  // is counted with a pixel around it for its antialiased edge.
  key::TileMask drawn(target.width(), target.height(), kBurningTile);
  const auto touch = [&drawn, &stage](const QRectF& box) {
    const QRectF cut = box.adjusted(-2, -2, 2, 2).intersected(stage);
    if (!cut.isEmpty()) drawn.mark(cut.left(), cut.top(), cut.right(), cut.bottom());
  };
  // Shapes are placed in target pixels here rather than through a painter transform,
  // which costs several times more per shape.
  const auto place = [&fit](float x, float y) {
    return QPointF(fit.left + x * fit.scale, fit.top + y * fit.scale);
  };
  if (!content_.flashes.empty()) {
    QPainter p(&target);
    p.setRenderHint(QPainter::Antialiasing);
    // Light adds up: crossing trails and overlapping stars glow brighter, as real ones do.
    p.setCompositionMode(QPainter::CompositionMode_Plus);
    p.setClipRect(stage);
    p.setPen(Qt::NoPen);
    for (const movie::Flash& f : content_.flashes) {
      const QPointF centre = place(f.x, f.y);
      const double radius = f.radius * fit.scale;
      QRadialGradient gradient(centre, radius);
      // Bright to its rim: a glow fading into black would ring the flash in grey where
      // the key shows the stage around it.
      gradient.setColorAt(0, paint(f.colour, f.brightness));
      gradient.setColorAt(1, paint(f.colour, f.brightness * 0.55));
      p.setBrush(gradient);
      p.drawEllipse(centre, radius, radius);
      touch(QRectF(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius));
    }
  }
  // The stars by hand (see glow.h), added onto what the painter left: light adds up in
  // any order.
  const glow::Canvas canvas{reinterpret_cast<std::uint32_t*>(target.bits()),
                            static_cast<int>(target.bytesPerLine() / 4),
                            static_cast<int>(std::lround(stage.left())),
                            static_cast<int>(std::lround(stage.top())),
                            static_cast<int>(std::lround(stage.right())),
                            static_cast<int>(std::lround(stage.bottom()))};
  for (const movie::Spark& s : content_.sparks) {
    // Below a pixel across a star would flicker in and out; keep it at least that big.
    const double r = std::max(s.radius * fit.scale, 0.7);
    const QPointF head = place(s.x, s.y), tail = place(s.tailX, s.tailY);
    const QPointF along = head - tail;
    if (std::hypot(along.x(), along.y()) > r) {
      // A trail tapering from the star's width to a point.
      glow::addTaper(canvas, tail.x(), tail.y(), head.x(), head.y(), r * 0.85,
                     light(s.colour, s.brightness * 0.75));
    }
    glow::addDisc(canvas, head.x(), head.y(), r, light(s.colour, s.brightness));
    // A white-hot core.
    glow::addDisc(canvas, head.x(), head.y(), r * 0.5,
                  light({255, 255, 255}, s.brightness * 160 / 255.0));
    const double reach = r + 1;
    touch(QRectF(std::min(head.x(), tail.x()) - reach, std::min(head.y(), tail.y()) - reach,
                 std::abs(along.x()) + 2 * reach, std::abs(along.y()) + 2 * reach));
  }
  std::vector<QRect> tiles;
  for (const key::Rect& r : drawn.rects()) {
    tiles.emplace_back(r.x, r.y, r.width, r.height);
    applyFloor(target, tiles.back(), background, kEmberFloor);
  }
  QRegion burning;
  // Already banded the way QRegion keeps its rectangles.
  burning.setRects(tiles.data(), static_cast<int>(tiles.size()));
  return burning;
}

}  // namespace zv
