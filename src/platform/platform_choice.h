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

// The session bus address the program sets for itself: empty to leave the environment as
// it is. A desktop session has a bus (DBUS_SESSION_BUS_ADDRESS, or the user bus socket
// $XDG_RUNTIME_DIR/bus), and it is used as before. Without one the D-Bus library would
// start a bus through dbus-launch when the toolkit or the sound library first asks: a
// copy of the whole program forked during start-up, and a bus daemon left running after
// the program ends. An address no transport accepts makes every connection fail at once
// instead; the features that need a bus have none anyway.
std::string_view sessionBusAddressToSet(std::string_view address, bool userBusSocketExists);

// Reads the process environment and sets QT_QPA_PLATFORM when chooseQtPlatform asks for a
// platform. Call it before the QApplication is constructed.
void chooseQtPlatformForThisProcess();

// Reads the process environment and sets DBUS_SESSION_BUS_ADDRESS when
// sessionBusAddressToSet asks for it. Call it before the QApplication is constructed.
void keepSessionBusFromStarting();

}  // namespace zv
