#include "platform/local_time.h"

namespace zv {

LocalTime localTime(std::time_t moment) {
  LocalTime local;
  if (localtime_s(&local.fields, &moment) != 0) return local;
  // The local fields read as if they were UTC, less the moment itself: the zone's offset
  // then, summer time included.
  std::tm asUtc = local.fields;
  const std::time_t shifted = _mkgmtime(&asUtc);
  if (shifted != static_cast<std::time_t>(-1)) local.offsetSeconds = static_cast<long>(shifted - moment);
  return local;
}

}  // namespace zv
