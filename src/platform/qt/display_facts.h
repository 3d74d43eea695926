#pragma once
// What the window system reports about its monitors, read before Qt starts (Qt's scaling
// is fixed when the application is constructed). No Qt here. X11: the X server's RandR
// monitors (x11/); Windows: the desktop's monitors, named as Qt names its screens there
// (windows/).
#include <vector>

#include "platform/logic/screen_fit.h"

namespace zv {

struct DisplayFacts {
  std::vector<MonitorInfo> monitors;  // in device pixels
  // The scaling Qt applies by itself: X11 Xft.dpi / 96; Windows the primary monitor's
  // scaling (each monitor has its own there).
  double desktopRatio = 1.0;
};

// Nothing (no monitors) when no display can be read.
DisplayFacts readDisplayFacts();

// Whether Qt is going to draw on the desktop readDisplayFacts reads: X11 when a display
// is named and no other platform is asked for; Windows unless another platform (the
// tests' offscreen one) is asked for.
bool drawsOnNativeDesktop();

}  // namespace zv
