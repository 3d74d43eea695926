// When the system-wide Shift+Q is the program's and when it is given up: the part that
// is the same on every platform.
#include <QApplication>
#include <QWidget>

#include "platform/qt/hot_key.h"
#include "platform/qt/text_focus.h"

namespace zv {

void GlobalHotKey::followFocus() {
  if (keycode_ == 0) return;
  if (!focusWatch_) {
    // Also emitted with no new widget when the program loses the focus to another one.
    focusWatch_ = QObject::connect(qApp, &QApplication::focusChanged,
                                   [this](QWidget*, QWidget*) { followFocus(); });
  }
  const bool inOurTextField = focusedTextField() != nullptr;
  if (inOurTextField && grabbed_) {
    ungrab();
    grabbed_ = false;
  } else if (!inOurTextField && !grabbed_) {
    // Another program may have taken the combination meanwhile; then the next focus change
    // tries again.
    grabbed_ = grab();
  }
}

}  // namespace zv
