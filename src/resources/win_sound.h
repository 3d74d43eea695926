#pragma once
// The sound of a win, made by our own code and held in memory.
#include <string_view>

namespace zv {

// A complete WAV file (PCM, 2 channels, 44,100 samples a second, 16 bits; 71,296 frames,
// about 1.6 s): a rising bell arpeggio that opens into a shimmering major chord. Made at
// the first call and kept for the life of the program, so the view stays valid and the
// same address can key a decoded copy.
std::string_view winSound();

}  // namespace zv
