// The X11 part of colour keying: the compositor's selection and the input shape.
#include <QGuiApplication>
#include <string>

#include "host/colour_key.h"
#include "host/native_window.h"

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

}  // namespace

void ColourKey::prepareTranslucentWindow(QWidget*) {}

void ColourKey::setInputShape([[maybe_unused]] QWidget* window,
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

bool ColourKey::passesEveryClick() { return false; }

}  // namespace zv
