#include "platform/qt/window_owner.h"

#include <QApplication>
#include <QWidget>
#include <QWindow>

namespace zv {

namespace {

QWidget* ownerFor(const QWidget& window) {
  const auto usable = [&window](QWidget* w) {
    return w && w != &window && w->isVisible() && w->windowType() != Qt::Popup &&
           w->windowType() != Qt::ToolTip;
  };
  if (QWidget* modal = QApplication::activeModalWidget(); usable(modal)) return modal;
  if (QWidget* active = QApplication::activeWindow(); usable(active)) return active;
  // No window has the keyboard (none yet, or the desktop's own): the stage.
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (usable(w) && w->windowType() == Qt::Window) return w;
  }
  return nullptr;
}

}  // namespace

void keepAboveOwner(QWidget& window) {
  QWidget* owner = ownerFor(window);
  if (!owner) return;
  window.winId();  // the native window that carries the link
  QWindow* handle = window.windowHandle();
  QWindow* ownerHandle = owner->window()->windowHandle();
  if (handle && ownerHandle && handle != ownerHandle) handle->setTransientParent(ownerHandle);
}

}  // namespace zv
