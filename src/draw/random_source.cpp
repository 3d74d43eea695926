#include "draw/random_source.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace zv {
namespace {

constexpr int kOutputBits = 15;
// The widest value uniformIndex assembles: covers every positive int64.
constexpr int kMaxBits = 63;

}  // namespace

RandomSource::RandomSource(Clock clock) : clock_(std::move(clock)) {}

void RandomSource::seed(std::uint32_t seed) { state_ = seed; }

int RandomSource::next() {
  state_ = state_ * 214013u + 2531011u;
  return static_cast<int>((state_ >> 16) & 0x7FFF);
}

void RandomSource::seedFromClock() {
  const std::uint32_t seed = clock_() + accumulator_;
  accumulator_ += seed % 256 + 100;
  this->seed(seed);
}

std::int32_t RandomSource::randomInt(std::int32_t lo, std::int32_t hi) {
  lo = std::max(lo, 0);
  hi = std::max(hi, 0);
  if (lo > hi) std::swap(lo, hi);
  if (lo == hi) return lo;
  const std::int64_t size =
      std::min<std::int64_t>(std::int64_t{hi} - lo + 1, std::numeric_limits<std::int32_t>::max());
  return static_cast<std::int32_t>(next() % size + lo);
}

std::int64_t RandomSource::uniformIndex(std::int64_t n) {
  if (n < 1) return 0;
  if (n == 1) return 1;
  const auto count = static_cast<std::uint64_t>(n);
  int bits = kOutputBits;
  while (bits < kMaxBits && (std::uint64_t{1} << bits) < count) {
    bits = std::min(bits + kOutputBits, kMaxBits);
  }
  const std::uint64_t span = std::uint64_t{1} << bits;
  // The largest multiple of n that fits: values at or above it would favour the low
  // indices, so they are drawn again.
  const std::uint64_t limit = span - span % count;
  for (;;) {
    std::uint64_t value = 0;
    for (int have = 0; have < bits; have += kOutputBits) {
      const int take = std::min(kOutputBits, bits - have);
      // The high bits of an output are the better ones in this generator.
      value = (value << take) | (static_cast<std::uint64_t>(next()) >> (kOutputBits - take));
    }
    if (value < limit) return static_cast<std::int64_t>(value % count) + 1;
  }
}

}  // namespace zv
