#include "platform/logic/checksum.h"

#include <cstdio>
#include <cstring>

namespace zv {
namespace {

constexpr std::uint64_t kPrime1 = 0x9E3779B185EBCA87ULL;
constexpr std::uint64_t kPrime2 = 0xC2B2AE3D27D4EB4FULL;
constexpr std::uint64_t kPrime3 = 0x165667B19E3779F9ULL;

std::uint64_t rotate(std::uint64_t x, int by) { return (x << by) | (x >> (64 - by)); }

std::uint64_t word(const char* p) {
  std::uint64_t w;
  std::memcpy(&w, p, sizeof w);
  return w;
}

std::uint64_t round(std::uint64_t lane, std::uint64_t input) {
  return rotate(lane + input * kPrime2, 31) * kPrime1;
}

std::uint64_t avalanche(std::uint64_t h) {
  h ^= h >> 33;
  h *= kPrime2;
  h ^= h >> 29;
  h *= kPrime3;
  h ^= h >> 32;
  return h;
}

}  // namespace

Checksum checksum(std::string_view bytes) {
  // Four independent lanes over 32-byte stripes keep the multiplier busy; the tail is
  // folded in a word (then a byte) at a time, and the length closes it.
  std::uint64_t lanes[4] = {kPrime1 + kPrime2, kPrime2, 0, 0 - kPrime1};
  const char* p = bytes.data();
  std::size_t left = bytes.size();
  for (; left >= 32; p += 32, left -= 32) {
    for (int i = 0; i < 4; ++i) lanes[i] = round(lanes[i], word(p + 8 * i));
  }
  std::uint64_t tail = kPrime3 ^ bytes.size();
  for (; left >= 8; p += 8, left -= 8) tail = rotate(tail ^ round(0, word(p)), 27) * kPrime1;
  for (; left > 0; ++p, --left)
    tail = rotate(tail ^ (static_cast<unsigned char>(*p) * kPrime3), 11) * kPrime1;
  const std::uint64_t a =
      rotate(lanes[0], 1) + rotate(lanes[1], 7) + rotate(lanes[2], 12) + rotate(lanes[3], 18);
  const std::uint64_t b =
      (lanes[0] ^ rotate(lanes[2], 29)) * kPrime3 + (lanes[1] ^ rotate(lanes[3], 41));
  return {avalanche(a ^ tail), avalanche(b + rotate(tail, 17) * kPrime2)};
}

std::string Checksum::hex() const {
  char digits[33];
  std::snprintf(digits, sizeof digits, "%016llx%016llx", static_cast<unsigned long long>(high),
                static_cast<unsigned long long>(low));
  return digits;
}

}  // namespace zv
