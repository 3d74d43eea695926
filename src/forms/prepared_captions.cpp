#include "forms/prepared_captions.h"

#include <QPainter>
#include <QRect>
#include <cmath>
#include <system_error>
#include <utility>

namespace zv::forms {
namespace {

// Above this size the toolkit's raster engine fills glyphs as outlines rather than
// blending cached glyph images (QT_MAX_CACHED_GLYPH_SIZE).
constexpr double kLargestCachedGlyph = 64;

// The caption in device pixels, drawn as the label would draw it at its place on the
// window: shifted by its phase, so that each pixel of the image is one of the window's.
QImage drawnAlone(const CaptionLook& look) {
  const QSize pixels(
      static_cast<int>(std::ceil(look.phase.x() + look.size.width() * look.pixelRatio)),
      static_cast<int>(std::ceil(look.phase.y() + look.size.height() * look.pixelRatio)));
  QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
  if (image.isNull()) return image;
  image.fill(Qt::transparent);
  {
    QPainter painter(&image);
    painter.translate(look.phase);
    painter.scale(look.pixelRatio, look.pixelRatio);
    drawCaption(painter, QRect(QPoint(0, 0), look.size), look.font.toQFont(), look.colour,
                look.caption);
  }
  image.setDevicePixelRatio(look.pixelRatio);
  return image;
}

}  // namespace

void drawCaption(QPainter& painter, const QRect& area, const QFont& font, const QColor& colour,
                 const QString& caption) {
  painter.setRenderHint(QPainter::TextAntialiasing);
  painter.setFont(font);
  painter.setPen(colour);
  painter.drawText(area, Qt::AlignCenter | Qt::TextWordWrap, caption);
}

void paintPrepared(QPainter& painter, const QImage& image, const CaptionLook& look) {
  // The image's first pixel is the device pixel the label's origin falls in.
  painter.drawImage(QPointF(-look.phase.x() / look.pixelRatio, -look.phase.y() / look.pixelRatio),
                    image);
}

bool PreparedCaptions::drawnAlike(const CaptionLook& look) {
  return pointsToPixels(look.font.points) * look.pixelRatio > kLargestCachedGlyph;
}

PreparedCaptions::PreparedCaptions(std::vector<CaptionLook> looks) : looks_(std::move(looks)) {
  std::vector<std::promise<QImage>> promises(looks_.size());
  for (auto& promise : promises) images_.push_back(promise.get_future().share());
  try {
    // The thread gets its own copies: the labels may change theirs meanwhile.
    drawer_ = std::thread([looks = looks_, promises = std::move(promises)]() mutable {
      for (std::size_t i = 0; i < looks.size(); ++i) promises[i].set_value(drawnAlone(looks[i]));
    });
  } catch (const std::system_error&) {
    // No thread to spare: every label draws itself.
    looks_.clear();
    images_.clear();
  }
}

PreparedCaptions::~PreparedCaptions() {
  if (drawer_.joinable()) drawer_.join();
}

QImage PreparedCaptions::imageFor(const CaptionLook& look) {
  for (std::size_t i = 0; i < looks_.size(); ++i) {
    if (looks_[i] == look) return images_[i].get();
  }
  return {};
}

}  // namespace zv::forms
