#include <time.h>

#include "platform/local_time.h"

namespace zv {

LocalTime localTime(std::time_t moment) {
  LocalTime local;
  if (localtime_s(&local.fields, &moment) != 0) return local;
  // The local fields read as UTC, less the moment: the zone's offset at that moment.
  std::tm asUtc = local.fields;
  const std::time_t shifted = _mkgmtime(&asUtc);
  if (shifted != static_cast<std::time_t>(-1))
    local.utcOffsetSeconds = static_cast<long>(shifted - moment);
  return local;
}

}  // namespace zv
