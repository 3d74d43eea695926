#pragma once
// The small marks the stage shows in its lower left corner while a mode is on (彩排,
// 可验证): translucent, out of the audience's way, plain to the operator. Each mark has a
// row of its own, counted from the bottom, so two never overlap.
class QLabel;
class QWidget;

namespace zv {

QLabel* makeStageMark(QWidget* stage, const char* text, const char* objectName);
// Row 0 is the lowest.
void placeStageMark(QLabel* mark, const QWidget* stage, int row);

}  // namespace zv
