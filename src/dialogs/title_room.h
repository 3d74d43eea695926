#pragma once
// Room for a dialog's whole title in the window manager's title bar.
#include <QString>

class QDialog;

namespace zv {

// The width a window needs for its title to show whole: the title in a bold dialog face
// (title bars draw bold, at most at the dialog face's size), the frame's buttons and edges.
int widthForTitle(const QString& title);

// Keeps the dialog at least that wide. A message box sizes itself at each show, so a
// minimum width alone would be lost: the room goes into its layout.
void keepTitleWhole(QDialog& dialog);

}  // namespace zv
