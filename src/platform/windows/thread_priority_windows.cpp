#include <windows.h>

#include "platform/thread_priority.h"

namespace zv {

void lowerThisThreadPriority() { ::SetThreadPriority(::GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL); }

}  // namespace zv
