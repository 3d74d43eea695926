// Nothing is prepared ahead on Windows: the store there is a DIB section that the system
// hands over ready, and the cost this saves on Linux was measured only there.
#include "platform/qt/backing_store_warm_up.h"

namespace zv {

BackingStoreWarmUp::BackingStoreWarmUp(QWidget&) {}

BackingStoreWarmUp::~BackingStoreWarmUp() = default;

void BackingStoreWarmUp::prepareBlocks() {}

}  // namespace zv
