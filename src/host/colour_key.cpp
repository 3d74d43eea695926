#include "host/colour_key.h"

#include <QGuiApplication>
#include <QRegion>
#include <string>

#include "host/native_window.h"
#include "host/pixel_scale.h"

// X headers last: their macros clash with Qt names.
#include <X11/Xlib.h>
#if defined(ZV_HAVE_XCB_SHAPE)
#include <xcb/shape.h>
#include <xcb/xcb.h>
#endif

namespace zv {

namespace {

QNativeInterface::QX11Application* x11() {
  return qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
}

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

void setInputShape([[maybe_unused]] QWidget* window,
                   [[maybe_unused]] const std::vector<key::Rect>& rects) {
#if defined(ZV_HAVE_XCB_SHAPE)
  QNativeInterface::QX11Application* x = x11();
  if (!x || !x->connection()) return;
  std::vector<xcb_rectangle_t> shape;
  shape.reserve(rects.size());
  for (const key::Rect& r : rects) {
    shape.push_back({static_cast<std::int16_t>(r.x), static_cast<std::int16_t>(r.y),
                     static_cast<std::uint16_t>(r.width), static_cast<std::uint16_t>(r.height)});
  }
  xcb_shape_rectangles(x->connection(), XCB_SHAPE_SO_SET, XCB_SHAPE_SK_INPUT,
                       XCB_CLIP_ORDERING_YX_BANDED, static_cast<xcb_window_t>(topLevelWindowId(window)), 0,
                       0, static_cast<std::uint32_t>(shape.size()), shape.data());
  xcb_flush(x->connection());
#endif
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

bool ColourKey::compositorPresent() {
  QNativeInterface::QX11Application* x = x11();
  Display* display = x ? x->display() : nullptr;
  if (!display) return false;
  const std::string selection = "_NET_WM_CM_S" + std::to_string(DefaultScreen(display));
  const Atom atom = XInternAtom(display, selection.c_str(), False);
  return atom != 0 && XGetSelectionOwner(display, atom) != 0;
}

bool ColourKey::inputShapeAvailable() {
#if defined(ZV_HAVE_XCB_SHAPE)
  return x11() != nullptr;
#else
  return false;
#endif
}

}  // namespace zv
