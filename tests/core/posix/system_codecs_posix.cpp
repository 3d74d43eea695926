#include "core/system_codecs.h"

namespace zv {

bool systemHasGb18030() { return true; }

}  // namespace zv
