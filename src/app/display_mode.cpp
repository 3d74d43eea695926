// Full screen for the projector, or an ordinary frame a little smaller than the screen.
#include <QTimer>

#include "app/logic/wheel_geometry.h"
#include "app/main_window.h"
#include "app/window_layouts.h"
#include "store/settings_keys.h"

namespace zv {

namespace {

// Resizes the window so that its outer size, frame included, is `outer`. The frame of
// a window manager is known only once the window is shown, so the size is checked
// again shortly afterwards.
void resizeOuter(QWidget& window, QSize outer) {
  const QSize frame = window.frameGeometry().size() - window.geometry().size();
  window.resize(outer - frame);
}

}  // namespace

void MainWindow::fullScreenMode() {
  QWidget& window = *form_;
  const bool visible = window.isVisible();
  const QSize screen = screenSize();
  window.setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
  window.setGeometry(0, 0, screen.width(), screen.height());
  window.setWindowState(Qt::WindowFullScreen);
  if (visible) {
    window.show();
    takeKeyboardFocus();
  }
  tickExclusively({menu::kWindowed, menu::kFullScreen}, menu::kFullScreen);
  settings_.writeGeneral(keys::kDisplayMode, keys::kFullScreen);
}

void MainWindow::windowedMode() {
  QWidget& window = *form_;
  const bool visible = window.isVisible();
  const Size outer = windowedSize(Size{screenSize().width(), screenSize().height()});
  const QPoint position = window.pos();
  window.setWindowState(Qt::WindowNoState);
  window.setWindowFlags(Qt::Window);
  window.move(position);
  resizeOuter(window, QSize(outer.width, outer.height));
  if (visible) {
    window.show();
    takeKeyboardFocus();
  }
  QTimer::singleShot(300, &window, [this, outer] {
    if (form_->menuItem(menu::kWindowed)->isTicked()) {
      resizeOuter(*form_, QSize(outer.width, outer.height));
    }
  });
  tickExclusively({menu::kWindowed, menu::kFullScreen}, menu::kWindowed);
  settings_.writeGeneral(keys::kDisplayMode, keys::kWindowed);
}

}  // namespace zv
