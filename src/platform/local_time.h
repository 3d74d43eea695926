#pragma once
// The local calendar time of a moment, with the zone's distance from UTC at that moment.
#include <ctime>

namespace zv {

struct LocalTime {
  std::tm fields{};
  long offsetSeconds = 0;  // east of UTC is positive
};

LocalTime localTime(std::time_t moment);

}  // namespace zv
