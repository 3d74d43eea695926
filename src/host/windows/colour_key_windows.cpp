// The Windows part of colour keying. The system composes translucent (layered) windows on
// every version the program runs on, so the see-through window is always the way; it is
// made transparent to input as a whole, the way the layer inside the full-screen stage
// lets every click through to the stage.
#include <windows.h>

#include "host/colour_key.h"
#include "host/native_window.h"

namespace zv {

namespace {

// Layered and transparent: clicks go to the window beneath. A tool window that is never
// activated: not on the taskbar, and the stage keeps the keyboard.
constexpr LONG_PTR kOverlayStyles = WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOOLWINDOW |
                                    WS_EX_NOACTIVATE;

// Qt sets the styles from the window's flags when it creates the window; they are made
// sure of on the native window too, since Qt rewrites the extended style on some changes.
void addOverlayStyles(QWidget* window) {
  if (!window->testAttribute(Qt::WA_WState_Created)) return;
  const auto hwnd = reinterpret_cast<HWND>(topLevelWindowId(window));
  if (!hwnd) return;
  const LONG_PTR styles = GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
  if ((styles & kOverlayStyles) != kOverlayStyles)
    SetWindowLongPtrW(hwnd, GWL_EXSTYLE, styles | kOverlayStyles);
}

}  // namespace

void ColourKey::prepareTranslucentWindow(QWidget* window) {
  if (!window->testAttribute(Qt::WA_WState_Created)) {
    // Qt's own flag for WS_EX_LAYERED | WS_EX_TRANSPARENT, kept when it recreates the window.
    window->setWindowFlag(Qt::WindowTransparentForInput);
    return;
  }
  addOverlayStyles(window);
}

void ColourKey::setInputShape(QWidget* window, const std::vector<key::Rect>&) {
  addOverlayStyles(window);
}

bool ColourKey::compositorPresent() { return true; }

bool ColourKey::inputShapeAvailable() { return true; }

bool ColourKey::passesEveryClick() { return true; }

}  // namespace zv
