#include "draw/verifiable_pick.h"

#include <bit>

namespace zv {

std::string commitmentOf(std::string_view secret) { return hexText(sha256(secret)); }

std::string pickMessage(const VerifiableEvent& event, std::int64_t row, std::uint64_t block) {
  return event.commitment + "|" + event.audience + "|" + std::to_string(row) + "|" +
         std::to_string(block);
}

std::uint64_t RandomBits::take(int count) {
  std::uint64_t value = 0;
  for (int i = 0; i < count; ++i) {
    if (bitsUsed_ == 8 * current_.size()) {
      current_ = blocks_(nextBlock_++);
      bitsUsed_ = 0;
    }
    const std::uint8_t byte = current_[bitsUsed_ / 8];
    const int bit = (byte >> (7 - bitsUsed_ % 8)) & 1;
    value = (value << 1) | static_cast<std::uint64_t>(bit);
    ++bitsUsed_;
  }
  return value;
}

std::int64_t uniformEntry(std::int64_t n, RandomBits& bits) {
  if (n < 1) return 0;
  if (n == 1) return 1;
  const auto limit = static_cast<std::uint64_t>(n);
  const int width = std::bit_width(limit - 1);
  // Each try is accepted with a chance above one half.
  for (;;) {
    const std::uint64_t v = bits.take(width);
    if (v < limit) return static_cast<std::int64_t>(v) + 1;
  }
}

std::int64_t verifiableEntry(const VerifiableEvent& event, std::int64_t row, std::int64_t n) {
  RandomBits bits([&](std::uint64_t block) {
    return hmacSha256(event.secret, pickMessage(event, row, block));
  });
  return uniformEntry(n, bits);
}

int verifiableSlot(const VerifiableEvent& event, std::int64_t row, const DrawPool& pool) {
  if (pool.empty()) return 0;
  return pool.entry(verifiableEntry(event, row, pool.size()));
}

}  // namespace zv
