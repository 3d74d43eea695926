#pragma once
// Work that can wait until a window is on screen: run once, from the event loop, after
// the window's first paint, so that it does not compete with the start-up for the
// processor.
#include <functional>

class QWidget;

namespace zv {

void runAfterFirstPaint(QWidget& window, std::function<void()> work);

}  // namespace zv
