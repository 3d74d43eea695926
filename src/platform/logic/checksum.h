#pragma once
// A fast 128-bit checksum, to tell a kept file that was damaged on disk from a sound one.
// Not cryptographic: it catches every change confined to one 8-byte word and nearly every
// other, at memory speed (a 4 MB image in about a millisecond), but anyone who can write
// the file can also write a matching checksum.
#include <cstdint>
#include <string>
#include <string_view>

namespace zv {

struct Checksum {
  std::uint64_t high = 0, low = 0;
  friend bool operator==(const Checksum&, const Checksum&) = default;
  std::string hex() const;  // 32 lowercase hexadecimal digits
};

Checksum checksum(std::string_view bytes);

}  // namespace zv
