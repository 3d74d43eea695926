#include "platform/platform_choice.h"

#include <cstdlib>
#include <string>

namespace zv {

std::string_view chooseQtPlatform(const DisplayEnvironment& environment) {
  if (!environment.qtPlatform.empty()) return {};
  const bool wayland = !environment.waylandDisplay.empty() || environment.sessionType == "wayland";
  if (wayland && !environment.x11Display.empty()) return "xcb";
  return {};
}

void chooseQtPlatformForThisProcess() {
  const auto read = [](const char* name) -> std::string_view {
    const char* value = std::getenv(name);
    return value ? value : "";
  };
  const std::string_view platform = chooseQtPlatform({read("WAYLAND_DISPLAY"),
                                                      read("XDG_SESSION_TYPE"), read("DISPLAY"),
                                                      read("QT_QPA_PLATFORM")});
  if (!platform.empty()) setenv("QT_QPA_PLATFORM", std::string(platform).c_str(), 1);
}

}  // namespace zv
