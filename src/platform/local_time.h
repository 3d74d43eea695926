#pragma once
// The local time of a moment, with its offset from UTC, the same on every system.
#include <ctime>

namespace zv {

struct LocalTime {
  std::tm fields{};
  long utcOffsetSeconds = 0;  // east of UTC positive, daylight saving included
};

LocalTime localTime(std::time_t moment);

}  // namespace zv
