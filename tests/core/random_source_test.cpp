#include "draw/random_source.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

namespace zv {
namespace {

constexpr std::int32_t kInt32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kInt32Min = std::numeric_limits<std::int32_t>::min();

std::vector<int> firstOutputs(RandomSource& random, int count) {
  std::vector<int> values;
  for (int i = 0; i < count; ++i) values.push_back(random.next());
  return values;
}

TEST(RandomSource, ReproducesTheCLibrarySequence) {
  const std::vector<int> fromOne = {41,    18467, 6334,  26500, 19169,
                                    15724, 11478, 29358, 26962, 24464};
  RandomSource unseeded;
  EXPECT_EQ(firstOutputs(unseeded, 10), fromOne);

  RandomSource random;
  random.seed(0);
  EXPECT_EQ(firstOutputs(random, 4), (std::vector<int>{38, 7719, 21238, 2437}));
  random.seed(1);
  EXPECT_EQ(firstOutputs(random, 10), fromOne);
}

TEST(RandomSource, RandomIntRules) {
  // After seed(1) the first output is 41 and the second 18467.
  struct Case {
    std::int32_t lo, hi;
    std::int32_t result;
    bool advances;
  };
  const Case cases[] = {
      {1, 10, 2, true},                  // 41 % 10 + 1
      {10, 1, 2, true},                  // swapped
      {-5, 9, 1, true},                  // 41 % 10 + 0
      {9, -5, 1, true},                  // negative and swapped
      {-5, -1, 0, false},                // both count as 0
      {7, 7, 7, false},                  // lo == hi
      {kInt32Min, kInt32Max, 41, true},  // size capped at 2^31 - 1
      {100000, 130000, 100041, true},    // step budget
      {4, 6, 6, true},                   // effect pick: 41 % 3 + 4
      {97, 122, 112, true},              // password salt: 41 % 26 + 97
      {kInt32Max - 1, kInt32Max, kInt32Max, true},
  };
  for (const Case& c : cases) {
    RandomSource random;
    random.seed(1);
    EXPECT_EQ(random.randomInt(c.lo, c.hi), c.result) << c.lo << ".." << c.hi;
    EXPECT_EQ(random.next(), c.advances ? 18467 : 41) << c.lo << ".." << c.hi;
  }
}

TEST(RandomSource, RandomIntOfAWideRangeStaysWithinOneOutput) {
  RandomSource random;
  random.seed(12345);
  std::int32_t highest = 0;
  for (int i = 0; i < 100000; ++i) highest = std::max(highest, random.randomInt(0, kInt32Max));
  EXPECT_EQ(highest, 32767);
}

TEST(RandomSource, SeedFromClockMixesInTheAccumulator) {
  std::uint32_t now = 1000;
  RandomSource random([&now] { return now; });
  RandomSource twin;

  struct Step {
    std::uint32_t clock;
    std::uint32_t seed;
    std::uint32_t accumulator;
  };
  const Step steps[] = {
      {1000, 1000, 332},         // 0 + 1000 % 256 + 100
      {1000, 1332, 484},         // the same millisecond gives another seed
      {0xFFFFFFF0u, 468, 796},   // the sum wraps at 32 bits
      {0, 796, 796 + 28 + 100},  // 796 % 256 = 28
  };
  for (const Step& s : steps) {
    now = s.clock;
    random.seedFromClock();
    EXPECT_EQ(random.accumulator(), s.accumulator) << s.clock;
    twin.seed(s.seed);
    EXPECT_EQ(firstOutputs(random, 3), firstOutputs(twin, 3)) << s.clock;
  }
}

TEST(RandomSource, UniformIndexKnownDraws) {
  RandomSource random;
  random.seed(1);
  EXPECT_EQ(random.uniformIndex(1), 1);  // does not advance
  EXPECT_EQ(random.uniformIndex(0), 0);
  // 20000 keeps the outputs below 20000 (the largest multiple that fits in 15 bits):
  // 41, 18467 and 6334 are used, 26500 is drawn again and 19169 taken instead.
  EXPECT_EQ(random.uniformIndex(20000), 42);
  EXPECT_EQ(random.uniformIndex(20000), 18468);
  EXPECT_EQ(random.uniformIndex(20000), 6335);
  EXPECT_EQ(random.uniformIndex(20000), 19170);
  EXPECT_EQ(random.next(), 15724);

  // Above 2^15 two outputs are joined, the first as the high half: 41 * 2^15 + 18467.
  random.seed(1);
  EXPECT_EQ(random.uniformIndex(40000), 1361955 % 40000 + 1);
  EXPECT_EQ(random.next(), 6334);
}

TEST(RandomSource, UniformIndexStaysInRange) {
  const std::int64_t sizes[] = {2,
                                3,
                                32767,
                                32768,
                                32769,
                                std::int64_t{1} << 30,
                                (std::int64_t{1} << 30) + 1,
                                std::int64_t{8} * kInt32Max,
                                std::int64_t{1} << 60,
                                std::numeric_limits<std::int64_t>::max()};
  RandomSource random;
  for (const std::int64_t n : sizes) {
    random.seed(7);
    std::int64_t lowest = n, highest = 1;
    for (int i = 0; i < 20000; ++i) {
      const std::int64_t r = random.uniformIndex(n);
      lowest = std::min(lowest, r);
      highest = std::max(highest, r);
    }
    EXPECT_GE(lowest, 1) << n;
    EXPECT_LE(highest, n) << n;
    // Both halves of the range are reached.
    EXPECT_LE(lowest, n / 2 + 1) << n;
    EXPECT_GT(highest, n / 2) << n;
  }
}

TEST(RandomSource, UniformIndexReachesBeyond32Bits) {
  const std::int64_t n = std::int64_t{3} << 31;
  RandomSource random;
  random.seed(99);
  std::int64_t highest = 0;
  for (int i = 0; i < 4000; ++i) highest = std::max(highest, random.uniformIndex(n));
  EXPECT_GT(highest, std::int64_t{1} << 32);
  EXPECT_LE(highest, n);
}

}  // namespace
}  // namespace zv
