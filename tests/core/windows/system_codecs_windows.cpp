#include <windows.h>

#include "core/system_codecs.h"

namespace zv {

bool systemHasGb18030() { return IsValidCodePage(54936); }

}  // namespace zv
