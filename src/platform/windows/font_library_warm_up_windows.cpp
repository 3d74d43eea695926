#include "platform/font_library_warm_up.h"

namespace zv {

// The toolkit's Windows fonts come from the system's own font service, loaded with the
// toolkit: there is no font configuration to load ahead.
FontLibraryWarmUp::FontLibraryWarmUp() = default;

FontLibraryWarmUp::~FontLibraryWarmUp() = default;

void FontLibraryWarmUp::wait() {}

}  // namespace zv
