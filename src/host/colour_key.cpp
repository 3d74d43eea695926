#include "host/colour_key.h"

#include <QGuiApplication>
#include <QRegion>
#include <string>

#include "host/pixel_scale.h"

namespace zv {

namespace {

// The outline in window pixels; on a scaled screen each device rectangle becomes the
// window pixels it touches.
QRegion regionOf(const std::vector<key::Rect>& rects, qreal scale) {
  if (scale != 1) {
    QRegion region;
    for (const key::Rect& r : rects) region += coveringRect(QRect(r.x, r.y, r.width, r.height), 1 / scale);
    return region;
  }
  std::vector<QRect> qrects;
  qrects.reserve(rects.size());
  for (const key::Rect& r : rects) qrects.emplace_back(r.x, r.y, r.width, r.height);
  QRegion region;
  // The outline is already banded the way QRegion keeps it, so it is taken as it is.
  region.setRects(qrects.data(), static_cast<int>(qrects.size()));
  return region;
}

}  // namespace

ColourKey* ColourKey::install(QWidget* window, std::uint32_t colour) {
  if (ColourKey* existing = of(window)) {
    existing->keyRgb_ = qRgb(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF) & 0xFFFFFF;
    return existing;
  }
  return new ColourKey(window, colour);
}

ColourKey* ColourKey::of(const QWidget* widget) {
  for (const QWidget* w = widget; w; w = w->parentWidget()) {
    if (auto* key = w->findChild<ColourKey*>(QString(), Qt::FindDirectChildrenOnly)) return key;
    if (w->isWindow()) break;
  }
  return nullptr;
}

ColourKey::ColourKey(QWidget* window, std::uint32_t colour)
    : QObject(window),
      window_(window),
      keyRgb_(qRgb(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF) & 0xFFFFFF),
      mechanism_(!window->isWindow()
                     ? key::Mechanism::kLayerInsideWindow
                     : key::chooseMechanism(compositorPresent(), inputShapeAvailable(),
                                            window->testAttribute(Qt::WA_WState_Created) &&
                                                !window->testAttribute(Qt::WA_TranslucentBackground))) {
  if (mechanism_ == key::Mechanism::kAlphaWithInputShape) {
    window_->setAttribute(Qt::WA_TranslucentBackground);
    prepareTranslucentWindow(window_);
  }
  applyOutline();  // nothing shows until the first frame
}

void ColourKey::present(QImage& frame, QPoint origin, const QRegion& burning, qreal scale) {
  if (frame.depth() != 32) return;
  if (mechanism_ == key::Mechanism::kLayerInsideWindow) {
    const int stride = static_cast<int>(frame.bytesPerLine() / 4);
    for (const QRect& area : burning.intersected(frame.rect())) {
      key::clearKeyPixels(
          reinterpret_cast<std::uint32_t*>(frame.bits()) + area.y() * stride + area.x(),
          area.width(), area.height(), stride, keyRgb_);
    }
    return;
  }
  std::vector<key::Rect> outline =
      key::visibleOutline(reinterpret_cast<const std::uint32_t*>(frame.constBits()), frame.width(),
                          frame.height(), static_cast<int>(frame.bytesPerLine() / 4), keyRgb_);
  for (key::Rect& r : outline) {
    r.x += qRound(origin.x() * scale);
    r.y += qRound(origin.y() * scale);
  }
  if (mechanism_ == key::Mechanism::kAlphaWithInputShape) {
    key::clearKeyPixels(reinterpret_cast<std::uint32_t*>(frame.bits()), frame.width(),
                        frame.height(), static_cast<int>(frame.bytesPerLine() / 4), keyRgb_);
  }
  if (outline == outline_ && scale == scale_) return;
  outline_ = std::move(outline);
  scale_ = scale;
  applyOutline();
}

bool ColourKey::showsAt(const QImage& frame, QPoint point, QRgb keyRgb, key::Mechanism mechanism) {
  if (!frame.valid(point)) return false;
  const QRgb pixel = frame.pixel(point);
  if (mechanism == key::Mechanism::kWindowShape) return (pixel & 0xFFFFFF) != (keyRgb & 0xFFFFFF);
  return qAlpha(pixel) != 0;
}

void ColourKey::applyOutline() {
  if (mechanism_ == key::Mechanism::kLayerInsideWindow) return;
  if (mechanism_ == key::Mechanism::kAlphaWithInputShape) {
    setInputShape(window_, outline_);
    return;
  }
  // An empty region would lift the mask altogether; a pixel outside the window shows
  // nothing instead.
  window_->setMask(outline_.empty() ? QRegion(-2, -2, 1, 1) : regionOf(outline_, scale_));
}

}  // namespace zv
