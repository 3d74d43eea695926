#pragma once
// The tick heard at each step of the highlight, made by our own code and held in memory.
#include <string_view>

namespace zv {

// A complete WAV file (PCM, 2 channels, 44,100 samples a second, 16 bits; 662 frames,
// 15 ms): a dry wooden click, a short noise transient over a quickly damped pair of
// tones. Shorter than the shortest usual step, so at the default 30 ms every tick is
// heard whole; it fades to exact silence, so a tick cut short by the next cannot click.
// Made at the first call and kept for the life of the program.
std::string_view stepTick();

}  // namespace zv
