#include "dialogs/title_room.h"

#include <QApplication>
#include <QBoxLayout>
#include <QDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QSpacerItem>

namespace zv {

namespace {

// The window icon, minimise, maximise and close buttons and the frame's edges and gaps
// (openbox's default theme needs about 90 pixels; other desktops' differ a little).
constexpr int kFrameRoom = 120;

}  // namespace

int widthForTitle(const QString& title) {
  QFont font = QApplication::font();
  font.setBold(true);
  return QFontMetrics(font).horizontalAdvance(title) + kFrameRoom;
}

void keepTitleWhole(QDialog& dialog) {
  QLayout* layout = dialog.layout();
  if (!layout) {
    dialog.setMinimumWidth(widthForTitle(dialog.windowTitle()));
    return;
  }
  const QMargins margins = layout->contentsMargins();
  auto* room = new QSpacerItem(widthForTitle(dialog.windowTitle()) - margins.left() - margins.right(),
                               0, QSizePolicy::Fixed, QSizePolicy::Minimum);
  if (auto* grid = qobject_cast<QGridLayout*>(layout)) {
    grid->addItem(room, grid->rowCount(), 0, 1, grid->columnCount());
  } else {
    layout->addItem(room);
  }
}

}  // namespace zv
