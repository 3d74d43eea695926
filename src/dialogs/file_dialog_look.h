#pragma once
// Qt's own file dialog as the program shows it on every desktop.
#include <QString>

class QFileDialog;

namespace zv {

// Qt's own dialog, not the desktop's, so it looks and answers the keyboard the same way
// everywhere; its labels in Chinese, modified dates and sizes written the Chinese way (Qt
// writes them in the system's locale, often English on an event PC). acceptLabel: the
// button that chooses the file ("打开", "保存"). Call before setting the directory.
void dressFileDialog(QFileDialog& dialog, const QString& acceptLabel);

}  // namespace zv
