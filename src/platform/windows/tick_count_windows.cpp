#include <windows.h>

#include "platform/tick_count.h"

namespace zv {

std::uint32_t tickCount() {
  // Counts through sleep and hibernation, as the Linux boot-time clock does.
  return static_cast<std::uint32_t>(GetTickCount64());
}

}  // namespace zv
