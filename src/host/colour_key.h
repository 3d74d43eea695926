#pragma once
// Colour-key transparency for a top-level window: wherever the window shows the key
// colour, the screen beneath shows and clicks go through to it. Without a compositor the
// window's shape does both; with one, key pixels are drawn fully transparent and an input
// shape lets clicks through them. Windows always composes: there the see-through window
// lets every click through (what it shows included), as the layer inside the full-screen
// stage does. The window system's part is in x11/ and windows/.
#include <QImage>
#include <QObject>
#include <QPoint>
#include <QRegion>
#include <QWidget>
#include <cstdint>
#include <vector>

#include "host/logic/key_region.h"

namespace zv {

class ColourKey : public QObject {
  Q_OBJECT  // so that of() finds this key and not any other child of the window

 public:
  // Keys window on colour (0x00BBGGRR). Best called before the window is first shown, so
  // that a compositor can be given a window with an alpha channel. A window that is not a
  // top-level window is keyed as a layer of the window it lies in.
  static ColourKey* install(QWidget* window, std::uint32_t colour);
  // The key of the keyed window or layer that widget lies in, if there is one.
  static ColourKey* of(const QWidget* widget);

  key::Mechanism mechanism() const { return mechanism_; }
  QRgb keyRgb() const { return keyRgb_; }

  // A frame that the window shows at origin (window coordinates) is about to be painted:
  // makes its key pixels see-through. Only the window shape, when it changed, costs an
  // X request; with the alpha mechanisms the frame's key pixels are cleared in place.
  // A layer is told which part of the frame holds anything but the key (frame
  // coordinates) and touches only that part; the rest is the key already.
  // The frame is in device pixels, `scale` of them to a window pixel (the screen's device
  // pixel ratio).
  void present(QImage& frame, QPoint origin, const QRegion& burning = {}, qreal scale = 1);

  // Whether the frame last presented shows something (not the key) at point, in the
  // coordinates of the frame.
  static bool showsAt(const QImage& frame, QPoint point, QRgb keyRgb, key::Mechanism mechanism);

  // The outline shown after the last present, in the window's device pixels.
  const std::vector<key::Rect>& outline() const { return outline_; }

  // Whether a compositor runs on the window's screen (X11: the owner of
  // _NET_WM_CM_S<screen>; Windows: the desktop window manager composes).
  static bool compositorPresent();
  // Whether this build can let clicks through the see-through parts of a translucent
  // window (X11: input shapes; Windows: a window transparent to input).
  static bool inputShapeAvailable();
  // Whether a translucent keyed window lets every click through, on what it shows too
  // (Windows); on X11 its input shape keeps the clicks on what it shows.
  static bool passesEveryClick();

 private:
  // The window system's part. Before the translucent window is created: whatever it needs
  // besides an alpha channel. Then, at every new outline, where clicks are caught.
  static void prepareTranslucentWindow(QWidget* window);
  static void setInputShape(QWidget* window, const std::vector<key::Rect>& rects);

  ColourKey(QWidget* window, std::uint32_t colour);
  void applyOutline();

  QWidget* window_;
  QRgb keyRgb_;
  key::Mechanism mechanism_;
  std::vector<key::Rect> outline_;
  qreal scale_ = 1;
};

}  // namespace zv
