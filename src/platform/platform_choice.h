#pragma once
// Which Qt platform plugin the program asks for. The overlay window, the window masks and
// the global Shift+Q hot key are X11 features; on a Wayland desktop that also offers an X
// display (XWayland) the program goes through X, unless the user chose a platform.
#include <string_view>

namespace zv {

// The environment values that decide it; an unset variable reads as empty.
struct DisplayEnvironment {
  std::string_view waylandDisplay;  // WAYLAND_DISPLAY
  std::string_view sessionType;     // XDG_SESSION_TYPE
  std::string_view x11Display;      // DISPLAY
  std::string_view qtPlatform;      // QT_QPA_PLATFORM
};

// "xcb" when the program should run through XWayland; empty to leave Qt its own choice.
std::string_view chooseQtPlatform(const DisplayEnvironment& environment);

// Reads the process environment and sets QT_QPA_PLATFORM when chooseQtPlatform asks for a
// platform. Call it before the QApplication is constructed.
void chooseQtPlatformForThisProcess();

}  // namespace zv
