// The X11/Wayland choice and the session bus, read from and set in the environment.
#include <sys/stat.h>

#include <cstdlib>
#include <string>

#include "platform/platform_choice.h"

namespace zv {

void chooseQtPlatformForThisProcess() {
  const auto read = [](const char* name) -> std::string_view {
    const char* value = std::getenv(name);
    return value ? value : "";
  };
  const std::string_view platform =
      chooseQtPlatform({read("WAYLAND_DISPLAY"), read("XDG_SESSION_TYPE"), read("DISPLAY"),
                        read("QT_QPA_PLATFORM")});
  if (!platform.empty()) setenv("QT_QPA_PLATFORM", std::string(platform).c_str(), 1);
}

void keepSessionBusFromStarting() {
  const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  struct stat bus {};
  const bool userBus = runtime && *runtime &&
                       ::stat((std::string(runtime) + "/bus").c_str(), &bus) == 0 &&
                       S_ISSOCK(bus.st_mode);
  const std::string_view set = sessionBusAddressToSet(address ? address : "", userBus);
  if (!set.empty()) setenv("DBUS_SESSION_BUS_ADDRESS", std::string(set).c_str(), 1);
}

}  // namespace zv
