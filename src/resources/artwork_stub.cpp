#include "resources/artwork.h"
namespace zv::artwork {
std::string_view wheelStyle(int) { return {}; }
std::string_view builtinPrizePicture(int) { return {}; }
std::string_view panelIcon() { return {}; }
}  // namespace zv::artwork
