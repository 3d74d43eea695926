// When the program goes through XWayland on its own, and when it leaves Qt's choice alone;
// when it keeps a session bus from being started for it.
#include <gtest/gtest.h>

#include "platform/platform_choice.h"

namespace zv {
namespace {

struct Case {
  const char* what;
  DisplayEnvironment environment;
  std::string_view platform;
};

TEST(PlatformChoice, WaylandWithAnXDisplayGoesThroughXWayland) {
  const Case cases[] = {
      {"GNOME on Wayland", {"wayland-0", "wayland", ":0", ""}, "xcb"},
      {"only the Wayland socket", {"wayland-0", "", ":0", ""}, "xcb"},
      {"only the session type", {"", "wayland", ":1", ""}, "xcb"},
      {"Wayland without XWayland", {"wayland-0", "wayland", "", ""}, ""},
      {"plain X11 session", {"", "x11", ":0", ""}, ""},
      {"X11 session, no session type", {"", "", ":0", ""}, ""},
      {"other session type", {"", "tty", ":0", ""}, ""},
      {"session type is not matched loosely", {"", "Wayland", ":0", ""}, ""},
      {"the user chose Wayland", {"wayland-0", "wayland", ":0", "wayland"}, ""},
      {"the user chose xcb", {"wayland-0", "wayland", ":0", "xcb"}, ""},
      {"the user chose offscreen", {"", "", "", "offscreen"}, ""},
      {"no display at all", {"", "", "", ""}, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(chooseQtPlatform(c.environment), c.platform) << c.what;
  }
}

TEST(PlatformChoice, ASessionBusIsNeverStartedForTheProgram) {
  struct BusCase {
    const char* what;
    std::string_view address;
    bool userBusSocket;
    std::string_view set;
  };
  const BusCase cases[] = {
      {"the desktop's bus", "unix:path=/run/user/1000/bus", false, ""},
      {"the desktop's bus and the user bus", "unix:path=/run/user/1000/bus", true, ""},
      {"only the user bus socket", "", true, ""},
      {"no bus at all (a bare X server)", "", false, "disabled:"},
  };
  for (const BusCase& c : cases) {
    EXPECT_EQ(sessionBusAddressToSet(c.address, c.userBusSocket), c.set) << c.what;
  }
}

}  // namespace
}  // namespace zv
