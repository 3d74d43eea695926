#include "resources/wav_encoding.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace zv {
namespace {

constexpr int kBytesPerFrame = 4;  // two 16-bit channels

void putLe(std::string& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xff));
}

}  // namespace

std::string encodeStereoWav(const std::vector<double>& left, const std::vector<double>& right,
                            int rate, double peak) {
  const std::size_t frames = std::min(left.size(), right.size());
  const auto dataBytes = static_cast<std::uint32_t>(frames * kBytesPerFrame);
  std::string out;
  out.reserve(44 + dataBytes);
  out += "RIFF";
  putLe(out, 36 + dataBytes, 4);
  out += "WAVEfmt ";
  putLe(out, 16, 4);                                                 // fmt chunk size
  putLe(out, 1, 2);                                                  // PCM
  putLe(out, 2, 2);                                                  // channels
  putLe(out, static_cast<std::uint32_t>(rate), 4);                   // samples a second
  putLe(out, static_cast<std::uint32_t>(rate * kBytesPerFrame), 4);  // bytes a second
  putLe(out, kBytesPerFrame, 2);                                     // block align
  putLe(out, 16, 2);                                                 // bits a sample
  out += "data";
  putLe(out, dataBytes, 4);

  double loudest = 0.0;
  for (std::size_t i = 0; i < frames; ++i)
    loudest = std::max({loudest, std::abs(left[i]), std::abs(right[i])});
  const double scale = loudest > 0.0 ? peak * 32767.0 / loudest : 0.0;
  for (std::size_t i = 0; i < frames; ++i) {
    for (double sample : {left[i], right[i]}) {
      const long value = std::clamp(std::lround(sample * scale), -32767L, 32767L);
      putLe(out, static_cast<std::uint32_t>(static_cast<std::uint16_t>(value)), 2);
    }
  }
  return out;
}

}  // namespace zv
