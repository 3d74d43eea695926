#include "host/native_window.h"

#include <QCoreApplication>
#include <QWindow>

namespace zv {

std::uint64_t topLevelWindowId(QWidget* window) {
  if (!window || !window->isWindow()) return 0;
  if (const QWindow* handle = window->windowHandle(); handle && handle->handle()) {
    return static_cast<std::uint64_t>(handle->winId());
  }
  // winId() creates the window; with this attribute off it would also turn every child of
  // the window's parent widget into a native window.
  const bool siblings = QCoreApplication::testAttribute(Qt::AA_DontCreateNativeWidgetSiblings);
  QCoreApplication::setAttribute(Qt::AA_DontCreateNativeWidgetSiblings, true);
  const auto id = static_cast<std::uint64_t>(window->winId());
  QCoreApplication::setAttribute(Qt::AA_DontCreateNativeWidgetSiblings, siblings);
  return id;
}

}  // namespace zv
