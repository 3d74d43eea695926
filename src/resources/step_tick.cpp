#include "resources/step_tick.h"

#include <cmath>
#include <cstdint>
#include <numbers>
#include <string>
#include <vector>

#include "resources/wav_encoding.h"

namespace zv {
namespace {

constexpr int kRate = 44100;
constexpr int kFrames = 662;  // 15 ms
// Quieter than the win sound: heard over the music without covering it.
constexpr double kPeak = 0.45;

std::vector<double> compose() {
  std::vector<double> out(kFrames, 0.0);
  // The body: two inharmonic partials, damped within a few milliseconds, like a small
  // wooden block struck.
  struct Partial {
    double frequency, level, decaySeconds;
  };
  static constexpr Partial kPartials[] = {{1850.0, 1.0, 0.0035}, {3230.0, 0.55, 0.0020}};
  for (const Partial& p : kPartials) {
    for (int frame = 0; frame < kFrames; ++frame) {
      const double t = static_cast<double>(frame) / kRate;
      out[static_cast<std::size_t>(frame)] += p.level * std::exp(-t / p.decaySeconds) *
                                              std::sin(2.0 * std::numbers::pi * p.frequency * t);
    }
  }
  // The strike: a millisecond of noise from a fixed seed, so the tick is the same at
  // every run.
  std::uint32_t state = 0x71c1c4u;
  const int strike = kRate / 1000;
  for (int frame = 0; frame < strike; ++frame) {
    state = state * 1664525u + 1013904223u;
    const double noise = static_cast<double>(state >> 8) / 8388608.0 - 1.0;
    out[static_cast<std::size_t>(frame)] +=
        0.6 * noise * (1.0 - static_cast<double>(frame) / strike);
  }
  // A quarter-millisecond rise from zero, and a fall to exact zero over the last third.
  const int rise = kRate / 4000;
  for (int frame = 0; frame < rise; ++frame)
    out[static_cast<std::size_t>(frame)] *= static_cast<double>(frame) / rise;
  const int fadeStart = kFrames * 2 / 3;
  for (int frame = fadeStart; frame < kFrames; ++frame) {
    const double t = static_cast<double>(frame - fadeStart) / (kFrames - 1 - fadeStart);
    out[static_cast<std::size_t>(frame)] *= 0.5 * (1.0 + std::cos(std::numbers::pi * t));
  }
  return out;
}

}  // namespace

std::string_view stepTick() {
  static const std::string wav = [] {
    const std::vector<double> mono = compose();
    return encodeStereoWav(mono, mono, kRate, kPeak);
  }();
  return wav;
}

}  // namespace zv
