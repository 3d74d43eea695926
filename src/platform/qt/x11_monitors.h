#pragma once
// What the X server reports about its monitors, read before Qt starts (Qt's scaling is
// fixed when the application is constructed). No Qt here.
#include <vector>

#include "platform/logic/screen_fit.h"

namespace zv {

struct XDisplayFacts {
  std::vector<MonitorInfo> monitors;  // in device pixels
  double desktopRatio = 1.0;          // Xft.dpi / 96, the scaling Qt applies by itself
};

// Nothing (no monitors) when no X display can be opened.
XDisplayFacts readXDisplayFacts();

}  // namespace zv
