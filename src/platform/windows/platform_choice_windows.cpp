#include "platform/platform_choice.h"

namespace zv {

// Windows has one platform plugin and no session bus: nothing to choose or keep away.
void chooseQtPlatformForThisProcess() {}

void keepSessionBusFromStarting() {}

}  // namespace zv
