#include "stage/display_modes.h"

#include <QTimer>

#include "layout/handler_names.h"
#include "layout/logic/wheel_geometry.h"
#include "layout/window_layouts.h"
#include "dialogs/message_boxes.h"

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

DisplayModes::DisplayModes(StageContext& stage) : stage_(stage) {
  stage.services.placeStage = [this] { applyAtStartUp(); };
  stage.startUp.add(StartUpStep::kDisplayMode, [this] { applyAtStartUp(); });
}

void DisplayModes::addHandlers(forms::HandlerTable& table) {
  addHandler(table, handlers::kMenuFullScreen, [this] { fullScreen(); });
  addHandler(table, handlers::kMenuWindowed, [this] { windowed(); });
}

void DisplayModes::applyAtStartUp() {
  const bool windowedStored = stage_.settings.get(setting::kDisplayMode) == setting::kWindowed;
  windowedStored ? showWindowed() : showFullScreen();
  // Only repeats what is stored; a folder that cannot be written is already reported once at
  // start-up, and the operator's next change of mode reports a failed write.
  (void)stage_.settings.set(setting::kDisplayMode,
                            windowedStored ? setting::kWindowed : setting::kFullScreen);
}

void DisplayModes::fullScreen() {
  showFullScreen();
  storeMode(setting::kFullScreen);
}

void DisplayModes::windowed() {
  showWindowed();
  storeMode(setting::kWindowed);
}

void DisplayModes::storeMode(std::size_t mode) {
  if (!stage_.settings.set(setting::kDisplayMode, mode)) {
    MessageBoxes::reportWriteFailure(stage_.settings.path());
  }
}

void DisplayModes::showFullScreen() {
  QWidget& window = stage_.form;
  const bool visible = window.isVisible();
  const QRect screen = stage_.screenGeometry ? stage_.screenGeometry()
                                              : QRect(QPoint(0, 0), stage_.screenSize());
  window.setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
  window.setWindowState(Qt::WindowNoState);  // so that a full-screen window can change monitor
  window.setGeometry(screen);
  window.setWindowState(Qt::WindowFullScreen);
  if (visible) {
    window.show();
    stage_.services.takeKeyboardFocus();
  }
  tickExclusively(stage_.form, {menu::kWindowed, menu::kFullScreen}, menu::kFullScreen);
}

void DisplayModes::showWindowed() {
  QWidget& window = stage_.form;
  const bool visible = window.isVisible();
  const QSize screen = stage_.screenSize();
  const Size outer = windowedSize(Size{screen.width(), screen.height()});
  QPoint position = window.pos();
  if (stage_.screenGeometry) {
    // On another monitor than the chosen one: to the chosen one's corner.
    const QRect monitor = stage_.screenGeometry();
    if (!monitor.contains(position)) position = monitor.topLeft();
  }
  window.setWindowState(Qt::WindowNoState);
  window.setWindowFlags(Qt::Window);
  window.move(position);
  resizeOuter(window, QSize(outer.width, outer.height));
  if (visible) {
    window.show();
    stage_.services.takeKeyboardFocus();
  }
  forms::Form* form = &stage_.form;
  QTimer::singleShot(300, form, [form, outer] {
    if (form->menuItem(menu::kWindowed)->isTicked()) {
      resizeOuter(*form, QSize(outer.width, outer.height));
    }
  });
  tickExclusively(stage_.form, {menu::kWindowed, menu::kFullScreen}, menu::kWindowed);
}

}  // namespace zv
