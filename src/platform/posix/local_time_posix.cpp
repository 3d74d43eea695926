#include "platform/local_time.h"

namespace zv {

LocalTime localTime(std::time_t moment) {
  LocalTime local;
  localtime_r(&moment, &local.fields);
  local.offsetSeconds = local.fields.tm_gmtoff;
  return local;
}

}  // namespace zv
