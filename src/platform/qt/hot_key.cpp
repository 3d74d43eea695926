// The system-wide Shift+Q on every platform: registering, letting go, when it is the
// program's and when it is given up, and what a press does. The backends grab and ungrab.
#include <QApplication>
#include <QCoreApplication>
#include <QWidget>

#include "platform/qt/hot_key.h"
#include "platform/qt/text_focus.h"

namespace zv {

GlobalHotKey::~GlobalHotKey() { release(); }

bool GlobalHotKey::registerShiftQ(std::function<void()> pressed) {
  const unsigned keycode = keyQ();
  if (keycode == 0) return false;
  keycode_ = keycode;
  if (!grab()) {
    keycode_ = 0;
    return false;
  }
  grabbed_ = true;
  pressed_ = std::move(pressed);
  QCoreApplication::instance()->installNativeEventFilter(this);
  followFocus();
  return true;
}

void GlobalHotKey::release() {
  if (keycode_ == 0) return;
  QObject::disconnect(focusWatch_);
  if (grabbed_) ungrab();
  grabbed_ = false;
  if (QCoreApplication::instance()) QCoreApplication::instance()->removeNativeEventFilter(this);
  keycode_ = 0;
}

bool GlobalHotKey::deliverPress(bool capsLock) {
  if (typeIntoFocusedTextField(Qt::Key_Q, Qt::ShiftModifier, capsLock ? "q" : "Q")) return true;
  if (pressed_) pressed_();
  return true;
}

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
