#include "platform/platform_choice.h"

namespace zv {

std::string_view chooseQtPlatform(const DisplayEnvironment& environment) {
  if (!environment.qtPlatform.empty()) return {};
  const bool wayland = !environment.waylandDisplay.empty() || environment.sessionType == "wayland";
  if (wayland && !environment.x11Display.empty()) return "xcb";
  return {};
}

std::string_view sessionBusAddressToSet(std::string_view address, bool userBusSocketExists) {
  if (!address.empty() || userBusSocketExists) return {};
  return "disabled:";
}

}  // namespace zv
