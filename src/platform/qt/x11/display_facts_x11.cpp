#include "platform/qt/display_facts.h"

#include <X11/Xlib.h>
#include <X11/Xresource.h>
#include <X11/extensions/Xrandr.h>

#include <cstdlib>
#include <string>
#include <string_view>

namespace zv {
namespace {

// Qt's xcb backend scales by Xft.dpi / 96 when the desktop sets Xft.dpi.
double xftRatio(Display* display) {
  const char* resources = XResourceManagerString(display);
  if (!resources) return 1.0;
  const std::string text(resources);
  const std::string key = "Xft.dpi:";
  const std::size_t at = text.find(key);
  if (at == std::string::npos) return 1.0;
  const double dpi = std::strtod(text.c_str() + at + key.size(), nullptr);
  return dpi >= 48 && dpi <= 960 ? dpi / 96.0 : 1.0;
}

}  // namespace

DisplayFacts readDisplayFacts() {
  DisplayFacts facts;
  Display* display = XOpenDisplay(nullptr);
  if (!display) return facts;
  facts.desktopRatio = xftRatio(display);
  const Window root = DefaultRootWindow(display);
  int eventBase = 0, errorBase = 0, major = 0, minor = 0;
  if (XRRQueryExtension(display, &eventBase, &errorBase) &&
      XRRQueryVersion(display, &major, &minor) && (major > 1 || (major == 1 && minor >= 5))) {
    int count = 0;
    XRRMonitorInfo* monitors = XRRGetMonitors(display, root, True, &count);
    for (int i = 0; monitors && i < count; ++i) {
      char* name = XGetAtomName(display, monitors[i].name);
      facts.monitors.push_back(
          {name ? name : "", monitors[i].width, monitors[i].height, monitors[i].primary != 0});
      if (name) XFree(name);
    }
    if (monitors) XRRFreeMonitors(monitors);
  }
  if (facts.monitors.empty()) {
    // No RandR 1.5: the one X screen is the one monitor.
    const int screen = DefaultScreen(display);
    facts.monitors.push_back(
        {"", DisplayWidth(display, screen), DisplayHeight(display, screen), true});
  }
  XCloseDisplay(display);
  return facts;
}

}  // namespace zv

namespace zv {

bool drawsOnNativeDesktop() {
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  if (platform && std::string_view(platform) != "xcb") return false;
  return std::getenv("DISPLAY") != nullptr;
}

}  // namespace zv
