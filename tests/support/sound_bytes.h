#pragma once
// Bytes of sound files for tests and benchmarks: reading a WAV header's little-endian
// fields, and silent MP3 frames that a decoder plays (so the decoder runs for every buffer).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace zv::test {

inline std::uint32_t littleEndian(std::string_view bytes, std::size_t at, int size) {
  std::uint32_t value = 0;
  for (int i = size - 1; i >= 0; --i)
    value = (value << 8) | static_cast<std::uint8_t>(bytes[at + static_cast<std::size_t>(i)]);
  return value;
}

// MPEG-1 Layer III frames of 26 ms, side information all zero.
inline std::string silentMp3(int frames) {
  std::string frame(104, '\0');
  frame[0] = static_cast<char>(0xFF);
  frame[1] = static_cast<char>(0xFB);
  frame[2] = static_cast<char>(0x10);
  frame[3] = static_cast<char>(0xC0);
  std::string mp3;
  for (int i = 0; i < frames; ++i) mp3 += frame;
  return mp3;
}

}  // namespace zv::test
