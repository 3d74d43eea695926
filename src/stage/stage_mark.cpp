#include "stage/stage_mark.h"

#include <QLabel>

namespace zv {

namespace {
constexpr int kMarkMargin = 16;
}  // namespace

QLabel* makeStageMark(QWidget* stage, const char* text, const char* objectName) {
  auto* mark = new QLabel(QString::fromUtf8(text), stage);
  mark->setObjectName(QString::fromUtf8(objectName));
  QFont font(QStringLiteral("黑体"));
  font.setPixelSize(28);
  font.setBold(true);
  mark->setFont(font);
  mark->setStyleSheet(QStringLiteral(
      "color: rgba(255, 255, 255, 150); background: rgba(0, 0, 0, 70); padding: 2px 8px;"));
  mark->setAttribute(Qt::WA_TransparentForMouseEvents);
  mark->adjustSize();
  return mark;
}

void placeStageMark(QLabel* mark, const QWidget* stage, int row) {
  if (!mark || !stage) return;
  const int y = stage->height() - kMarkMargin - (row + 1) * mark->height() - row * kMarkMargin / 2;
  mark->move(kMarkMargin, y);
  mark->raise();
}

}  // namespace zv
