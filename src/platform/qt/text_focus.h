#pragma once
// Keys that a system-wide grab takes away from the program's own text fields.
#include <QString>

class QWidget;

namespace zv {

// The program's text field that has the keyboard focus in its active window, or null.
QWidget* focusedTextField();

// Delivers a typed character to the focused text field as a key press and release, as if
// the grab had not taken it. Returns false (and delivers nothing) when no text field has
// the focus.
bool typeIntoFocusedTextField(int qtKey, Qt::KeyboardModifiers modifiers, const QString& text);

}  // namespace zv
