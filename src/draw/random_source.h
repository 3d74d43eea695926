#pragma once
// The program's one random source: the classic C library generator (15-bit outputs),
// reseeded from the tick count before each use, plus the ranged draws built on it.
#include <cstdint>
#include <functional>

#include "platform/tick_count.h"

namespace zv {

class RandomSource {
 public:
  using Clock = std::function<std::uint32_t()>;

  explicit RandomSource(Clock clock = tickCount);
  // Tests seed the program's draws from a clock of their own.
  void setClock(Clock clock) { clock_ = std::move(clock); }

  // Restarts the sequence; the same seed always gives the same sequence.
  void seed(std::uint32_t seed);

  // The next output, 0..32767.
  int next();

  // Reseeds from the clock plus a running accumulator, so that two seedings within the
  // same millisecond still differ.
  void seedFromClock();

  // lo..hi from one output: negative bounds count as 0, swapped bounds are put in order,
  // lo == hi gives lo without advancing. One output covers at most 32768 values, so the
  // result never exceeds lo + 32767 whatever hi is.
  std::int32_t randomInt(std::int32_t lo, std::int32_t hi);

  // An unbiased value in 1..n for any n >= 1, from as many outputs as n needs; n == 1
  // gives 1 without advancing. n < 1 gives 0.
  std::int64_t uniformIndex(std::int64_t n);

  std::uint32_t accumulator() const { return accumulator_; }

 private:
  Clock clock_;
  std::uint32_t state_ = 1;  // the C library's state before any seeding
  std::uint32_t accumulator_ = 0;
};

}  // namespace zv
