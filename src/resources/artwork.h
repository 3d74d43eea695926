#pragma once
// Pictures painted by our own generator at build time and embedded in the program.
#include <cstdint>
#include <string_view>

namespace zv::artwork {

// Wheel backdrop of style 1..4: a 914 x 914 JPEG. Any other number gives style 1.
std::string_view wheelStyle(int style);

// The glow of a highlighted slot on wheel style 1..4, as 0xRRGGBB colours: light at the
// centre, deep at the edge. Any other number gives style 1.
struct Glow {
  std::uint32_t centre;
  std::uint32_t edge;
};
Glow wheelStyleGlow(int style);

// The built-in prize picture that the layout gives slot 5..8 (JPEG); empty otherwise.
std::string_view builtinPrizePicture(int slot);

// The 16 x 16 JPEG icon of the other-settings panel.
std::string_view panelIcon();

}  // namespace zv::artwork
