#pragma once
// The monitors as Qt sees them: which one the stage goes on, its geometry, and where the
// operator's windows open when the stage is on another monitor.
#include <QRect>
#include <QSize>
#include <string>
#include <vector>

#include "platform/logic/screen_fit.h"

class QScreen;
class QWidget;

namespace zv {

// The primary screen's size in pixels, read afresh at each call.
QSize primaryScreenSize();

// The connected monitors in Qt's order, sizes in device pixels.
std::vector<MonitorInfo> connectedMonitors();

// The monitor stored by name, else the primary one; its geometry in layout pixels.
QScreen* monitorNamed(const std::string& name);
QRect monitorGeometry(const std::string& name);

// The geometry of the monitor the stage window is on (the primary's before it is placed).
// The overlay of the win effects covers exactly this.
QRect stageScreenGeometry(const QWidget* stage);

// A logical size in the device pixels of `widget`'s screen: the size to decode a picture
// at so that it is drawn sharp on a scaled screen.
QSize devicePixelSize(const QWidget* widget, QSize logical);

// From now on a modal window or message box that opens while the pointer is on another
// monitor than the stage's opens centred on the pointer's monitor (the operator's screen,
// not the audience's). On the stage's own monitor windows open where they always did.
void keepDialogsOnOperatorScreen(const QWidget* stage);

}  // namespace zv
