#include <sys/resource.h>
#include <unistd.h>

#include "platform/thread_priority.h"

namespace zv {

void lowerThisThreadPriority() { ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), 10); }

}  // namespace zv
