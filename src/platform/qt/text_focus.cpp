#include "platform/qt/text_focus.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace zv {

QWidget* focusedTextField() {
  QWidget* focus = QApplication::focusWidget();
  if (!focus || !focus->isEnabled() || !QApplication::activeWindow()) return nullptr;
  if (auto* line = qobject_cast<QLineEdit*>(focus)) return line->isReadOnly() ? nullptr : line;
  if (auto* text = qobject_cast<QTextEdit*>(focus)) return text->isReadOnly() ? nullptr : text;
  if (auto* plain = qobject_cast<QPlainTextEdit*>(focus))
    return plain->isReadOnly() ? nullptr : plain;
  if (qobject_cast<QAbstractSpinBox*>(focus)) return focus;
  return nullptr;
}

bool typeIntoFocusedTextField(int qtKey, Qt::KeyboardModifiers modifiers, const QString& text) {
  QWidget* field = focusedTextField();
  if (!field) return false;
  QKeyEvent press(QEvent::KeyPress, qtKey, modifiers, text);
  QApplication::sendEvent(field, &press);
  QKeyEvent release(QEvent::KeyRelease, qtKey, modifiers, text);
  QApplication::sendEvent(field, &release);
  return true;
}

}  // namespace zv
