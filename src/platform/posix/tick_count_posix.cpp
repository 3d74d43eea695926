#include "platform/tick_count.h"

#include <ctime>

namespace zv {

std::uint32_t tickCount() {
  // CLOCK_BOOTTIME keeps counting through suspend, as an uptime counter should.
  timespec ts{};
  if (::clock_gettime(CLOCK_BOOTTIME, &ts) != 0) ::clock_gettime(CLOCK_MONOTONIC, &ts);
  const auto ms = static_cast<std::uint64_t>(ts.tv_sec) * 1000u +
                  static_cast<std::uint64_t>(ts.tv_nsec) / 1000000u;
  return static_cast<std::uint32_t>(ms);
}

}  // namespace zv
