#pragma once
// Pictures painted by our own generator at build time and embedded in the program.
#include <cstdint>
#include <string_view>

namespace zv::artwork {

// The built-in pictures are painted for a stage drawn up to this many times its layout
// size (a 3840 x 2160 monitor draws the 768-pixel-high layout 2.8125 times), so that up to
// there they are only ever reduced on screen, never enlarged.
inline constexpr int kSharpUpToScale = 3;
// The largest a prize picture is shown, in layout pixels high: the winner close-up, 40 % of
// the 768-pixel-high stage (the result picture is 160).
inline constexpr int kLargestPrizePictureHeight = 308;

// Wheel backdrop of style 1..4: a square JPEG of the wheel's layout side times
// kSharpUpToScale. Any other number gives style 1.
std::string_view wheelStyle(int style);

// The glow of a highlighted slot on wheel style 1..4, as 0xRRGGBB colours: light at the
// centre, deep at the edge. Any other number gives style 1.
struct Glow {
  std::uint32_t centre;
  std::uint32_t edge;
};
Glow wheelStyleGlow(int style);

// The built-in prize picture that the layout gives slot 5..8 (JPEG, shaped as the slot's
// box, kLargestPrizePictureHeight times kSharpUpToScale high); empty otherwise.
std::string_view builtinPrizePicture(int slot);

// The 16 x 16 JPEG icon of the other-settings panel.
std::string_view panelIcon();

}  // namespace zv::artwork
