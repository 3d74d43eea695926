#include "draw/draw_pool.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <limits>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "draw/random_source.h"
#include "store/ini_file.h"
#include "store/program_files.h"
#include "store/results_file.h"
#include "store/settings_file.h"
#include "store/settings_keys.h"
#include "support/temp_dir.h"

namespace zv {
namespace {

using zv::testing::TempDir;
using Counts = std::array<std::int64_t, 8>;
using Values = std::array<std::int32_t, 8>;

constexpr std::int32_t kInt32Max = std::numeric_limits<std::int32_t>::max();
constexpr Counts kDefaultCounts = {1, 2, 4, 8, 10, 15, 20, 50};

// The pool written out as the explicit list, for small pools.
std::vector<int> entries(const DrawPool& pool) {
  std::vector<int> list;
  for (std::int64_t r = 1; r <= pool.size(); ++r) list.push_back(pool.entry(r));
  return list;
}

TEST(DrawPool, EntriesFollowSlotOrder) {
  struct Case {
    Counts counts;
    std::vector<int> list;
  };
  const Case cases[] = {
      {{2, 2, 0, 0, 0, 0, 0, 0}, {1, 1, 2, 2}}, {{0, 0, 1, 0, 0, 0, 0, 3}, {3, 8, 8, 8}},
      {{-2, 2, 0, -7, 1, 0, 0, 0}, {2, 2, 5}},  // negative counts add nothing
      {{0, 0, 0, 0, 0, 0, 0, 1}, {8}},          {{0, 0, 0, 0, 0, 0, 0, 0}, {}},
      {{-1, -1, -1, -1, -1, -1, -1, -1}, {}},
  };
  for (const Case& c : cases) {
    const DrawPool pool = DrawPool::fromCounts(c.counts);
    EXPECT_EQ(entries(pool), c.list);
    EXPECT_EQ(pool.size(), static_cast<std::int64_t>(c.list.size()));
    EXPECT_EQ(pool.empty(), c.list.empty());
    EXPECT_EQ(pool.first(), c.list.empty() ? 0 : c.list.front());
    EXPECT_EQ(pool.entry(0), 0);
    EXPECT_EQ(pool.entry(pool.size() + 1), 0);
  }
}

TEST(DrawPool, DefaultWeightsAtTheBoundaries) {
  const DrawPool pool = DrawPool::fromCounts(kDefaultCounts);
  ASSERT_EQ(pool.size(), 110);
  const std::pair<std::int64_t, int> at[] = {
      {1, 1},  {2, 2},  {3, 2},  {4, 3},  {5, 3},  {7, 3},  {8, 4},  {15, 4},
      {16, 5}, {25, 5}, {26, 6}, {40, 6}, {41, 7}, {60, 7}, {61, 8}, {110, 8},
  };
  for (const auto& [r, slot] : at) EXPECT_EQ(pool.entry(r), slot) << r;
}

TEST(DrawPool, HugeValuesNeedNoList) {
  const DrawPool pool = DrawPool::fromCounts(Counts{kInt32Max, kInt32Max, kInt32Max, kInt32Max,
                                                    kInt32Max, kInt32Max, kInt32Max, kInt32Max});
  EXPECT_EQ(pool.size(), std::int64_t{8} * kInt32Max);
  EXPECT_EQ(pool.entry(kInt32Max), 1);
  EXPECT_EQ(pool.entry(std::int64_t{kInt32Max} + 1), 2);
  EXPECT_EQ(pool.entry(std::int64_t{7} * kInt32Max), 7);
  EXPECT_EQ(pool.entry(std::int64_t{7} * kInt32Max + 1), 8);
  EXPECT_EQ(pool.entry(pool.size()), 8);
}

class DrawPoolBuild : public ::testing::Test {
 protected:
  void setMode(const char* lx) { ASSERT_TRUE(settings.writeGeneral(keys::kDrawMode, lx)); }
  void setQuantity(int slot, const char* text) {
    ASSERT_TRUE(settings.writeGeneral(keys::kPrizeValues[slot - 1], text));
  }
  void setTally(int slot, const char* text) {
    ASSERT_TRUE(
        ini::write(files.results(), results_keys::kSection, results_keys::tally(slot), text));
  }

  TempDir tmp;
  ProgramFiles files{tmp.path()};
  SettingsFile settings{files.settings()};
  ResultsFile results{files.results()};
  Values values = keys::kDefaultPrizeValues;
};

TEST_F(DrawPoolBuild, QuantityModeSubtractsTheTallies) {
  struct Case {
    std::map<int, const char*> quantities, tallies;
    Values values;
    std::vector<int> list;
  };
  const Case cases[] = {
      {{{1, "3"}, {2, "2"}}, {{1, "1"}}, {2, 2, 0, 0, 0, 0, 0, 0}, {1, 1, 2, 2}},
      // A tally above the quantity removes only that slot.
      {{{1, "3"}, {2, "2"}}, {{1, "5"}}, {-2, 2, 0, 0, 0, 0, 0, 0}, {2, 2}},
      {{{1, "3"}, {3, "1"}}, {{1, "3"}}, {0, 0, 1, 0, 0, 0, 0, 0}, {3}},
      // Fractions are cut after the subtraction; text that is no number is 0.
      {{{1, "2.9"}, {2, "2.9"}, {3, "3"}, {4, "abc"}, {5, "-4"}},
       {{2, "0.5"}, {3, "0.5"}, {4, "x"}},
       {2, 2, 2, 0, -4, 0, 0, 0},
       {1, 1, 2, 2, 3, 3}},
      {{{8, "1"}}, {{8, "1"}}, {}, {}},
      // A fresh installation: no quantities saved yet, whatever the values in memory.
      {{}, {}, {}, {}},
  };
  for (const Case& c : cases) {
    TempDir fresh;
    files.directory = fresh.path();
    settings = SettingsFile(files.settings());
    results = ResultsFile(files.results());
    for (const auto& [slot, text] : c.quantities) setQuantity(slot, text);
    for (const auto& [slot, text] : c.tallies) setTally(slot, text);
    values = keys::kDefaultPrizeValues;
    const DrawPool pool = buildDrawPool(settings, results, values);
    EXPECT_EQ(values, c.values);
    EXPECT_EQ(entries(pool), c.list);
  }
}

TEST_F(DrawPoolBuild, QuantitiesAreClampedTo32Bits) {
  setQuantity(1, "3000000000");
  setQuantity(2, "-3000000000");
  setQuantity(3, "1e300");
  setTally(3, "-1e300");
  const DrawPool pool = buildDrawPool(settings, results, values);
  EXPECT_EQ(values, (Values{kInt32Max, std::numeric_limits<std::int32_t>::min(), kInt32Max, 0, 0, 0,
                            0, 0}));
  EXPECT_EQ(pool.size(), std::int64_t{2} * kInt32Max);
}

TEST_F(DrawPoolBuild, OnlyTheExactTrueTextSelectsProbabilityMode) {
  setQuantity(1, "1");
  for (const char* lx : {"假", "1", "", "真 x", "true"}) {
    setMode(lx);
    values = keys::kDefaultPrizeValues;
    EXPECT_EQ(buildDrawPool(settings, results, values).size(), 1) << lx;
  }
  setMode("真");
  values = keys::kDefaultPrizeValues;
  EXPECT_EQ(buildDrawPool(settings, results, values).size(), 110);
}

TEST_F(DrawPoolBuild, ProbabilityModeUsesTheValuesAsTheyAre) {
  setMode("真");
  setQuantity(1, "0");
  setTally(8, "1000");
  const DrawPool pool = buildDrawPool(settings, results, values);
  EXPECT_EQ(values, keys::kDefaultPrizeValues);
  EXPECT_EQ(pool.size(), 110);
  EXPECT_EQ(pool.entry(110), 8);
}

TEST_F(DrawPoolBuild, FilesAreReadAtEveryBuild) {
  setQuantity(1, "2");
  setQuantity(2, "1");
  EXPECT_EQ(entries(buildDrawPool(settings, results, values)), (std::vector<int>{1, 1, 2}));
  ASSERT_TRUE(results.addWin(1));
  EXPECT_EQ(entries(buildDrawPool(settings, results, values)), (std::vector<int>{1, 2}));
  ASSERT_TRUE(results.addWin(1));
  EXPECT_EQ(entries(buildDrawPool(settings, results, values)), (std::vector<int>{2}));
  ASSERT_TRUE(results.clearTallies());
  EXPECT_EQ(buildDrawPool(settings, results, values).size(), 3);

  // Switching to probability mode without new values draws with what quantity mode left.
  ASSERT_TRUE(results.addWin(2));
  EXPECT_EQ(buildDrawPool(settings, results, values).size(), 2);
  setMode("真");
  EXPECT_EQ(entries(buildDrawPool(settings, results, values)), (std::vector<int>{1, 1}));
}

// A clock that advances by an irregular number of milliseconds per reading, like draws
// started by hand; `readings` counts the calls.
struct FakeClock {
  std::uint32_t operator()() {
    ++*readings;
    *now += 2000 + static_cast<std::uint32_t>(steps() % 30000);
    return *now;
  }
  std::shared_ptr<std::uint32_t> now = std::make_shared<std::uint32_t>(123456);
  std::shared_ptr<int> readings = std::make_shared<int>(0);
  std::minstd_rand steps{2024};
};

TEST(PickWinningSlot, DesignatedPickIsTheFirstEntryAndDrawsNothing) {
  struct Case {
    Counts counts;
    int slot;
  };
  const Case cases[] = {
      {kDefaultCounts, 1},
      {{0, 2, 4, 8, 10, 15, 20, 50}, 2},  // slot 1 used up
      {{-3, 0, 0, 0, 0, 0, 0, 5}, 8},
  };
  for (const Case& c : cases) {
    FakeClock clock;
    RandomSource random(clock);
    RandomSource twin;
    EXPECT_EQ(pickWinningSlot(DrawPool::fromCounts(c.counts), true, random), c.slot);
    EXPECT_EQ(*clock.readings, 0);
    EXPECT_EQ(random.accumulator(), 0u);
    EXPECT_EQ(random.next(), twin.next());
  }
}

TEST(PickWinningSlot, SingleEntrySeedsButDoesNotAdvance) {
  FakeClock clock;
  RandomSource random(clock);
  EXPECT_EQ(pickWinningSlot(DrawPool::fromCounts({0, 0, 0, 0, 1, 0, 0, 0}), false, random), 5);
  EXPECT_EQ(*clock.readings, 1);
  RandomSource twin;
  twin.seed(*clock.now);  // the accumulator was 0 before the first seeding
  EXPECT_EQ(random.next(), twin.next());
}

TEST(PickWinningSlot, EmptyPoolGivesNoSlot) {
  RandomSource random(FakeClock{});
  EXPECT_EQ(pickWinningSlot(DrawPool(), false, random), 0);
  EXPECT_EQ(pickWinningSlot(DrawPool(), true, random), 0);
}

// Pearson's statistic of observed counts against expected shares (which sum to 1).
double chiSquare(const std::vector<std::int64_t>& observed, const std::vector<double>& share,
                 std::int64_t draws) {
  double statistic = 0;
  for (std::size_t i = 0; i < observed.size(); ++i) {
    const double expected = share[i] * static_cast<double>(draws);
    const double d = static_cast<double>(observed[i]) - expected;
    statistic += d * d / expected;
  }
  return statistic;
}

constexpr double kChiSquare999For7 = 24.32;  // 0.999 quantile, 7 degrees of freedom
constexpr double kChiSquare999For1 = 10.83;  // the same for one degree of freedom

TEST(PickWinningSlot, WinsFollowThePoolShares) {
  struct Case {
    Counts counts;
  };
  const Case cases[] = {
      {kDefaultCounts},
      {{2500, 2500, 2500, 2500, 2500, 2500, 2500, 2500}},  // 20,000
      {{1000, 1500, 2000, 2500, 2500, 3000, 3500, 4000}},  // 20,000
      {{1, 399, 401, 1000, 5000, 8199, 10000, 15000}},     // 40,000
      {{32760, 1, 0, 0, 0, 0, 0, 0}},                      // just above 32760
  };
  constexpr std::int64_t kPicks = 1'000'000;
  for (const Case& c : cases) {
    const DrawPool pool = DrawPool::fromCounts(c.counts);
    RandomSource random(FakeClock{});
    std::vector<std::int64_t> wins(8);
    for (std::int64_t i = 0; i < kPicks; ++i) ++wins[pickWinningSlot(pool, false, random) - 1];

    std::vector<std::int64_t> observed;
    std::vector<double> share;
    for (std::size_t i = 0; i < 8; ++i) {
      if (c.counts[i] <= 0) {
        EXPECT_EQ(wins[i], 0) << "slot " << i + 1;
        continue;
      }
      const double p = static_cast<double>(c.counts[i]) / static_cast<double>(pool.size());
      observed.push_back(wins[i]);
      share.push_back(p);
      // Each slot on its own, against the rest of the pool.
      EXPECT_LT(chiSquare({wins[i], kPicks - wins[i]}, {p, 1 - p}, kPicks), kChiSquare999For1)
          << "pool " << pool.size() << " slot " << i + 1 << ": " << wins[i];
    }
    if (observed.size() == 8) {
      EXPECT_LT(chiSquare(observed, share, kPicks), kChiSquare999For7) << "pool " << pool.size();
    }
  }
}

TEST(PickWinningSlot, EveryIndexOfALargePoolIsReachable) {
  // With "output mod n" or a product of two small draws some of these never come up.
  constexpr std::int64_t n = 40000;
  RandomSource random(FakeClock{});
  std::vector<bool> seen(n + 1);
  std::int64_t missing = n;
  std::int64_t draws = 0;
  for (; missing > 0 && draws < 1'500'000; ++draws) {
    random.seedFromClock();
    const std::int64_t r = random.uniformIndex(n);
    ASSERT_GE(r, 1);
    ASSERT_LE(r, n);
    if (!seen[r]) {
      seen[r] = true;
      --missing;
    }
  }
  EXPECT_TRUE(seen[1]);
  EXPECT_TRUE(seen[401]);
  EXPECT_TRUE(seen[n]);
  EXPECT_EQ(missing, 0) << "after " << draws << " draws";
}

TEST(PickWinningSlot, UniformIndexIsEvenAcrossTheRange) {
  // Eight equal parts of 1..n (as equal as n allows) should be hit equally often.
  const std::int64_t sizes[] = {
      8, 110, 20000, 32760, 32761, 40000, std::int64_t{3} << 31, std::int64_t{8} * kInt32Max};
  constexpr std::int64_t kDraws = 400'000;
  for (const std::int64_t n : sizes) {
    RandomSource random(FakeClock{});
    std::vector<std::int64_t> observed(8);
    for (std::int64_t i = 0; i < kDraws; ++i) {
      random.seedFromClock();
      ++observed[(random.uniformIndex(n) - 1) * 8 / n];
    }
    std::vector<double> share(8);
    for (std::int64_t b = 0; b < 8; ++b) {
      // Indices r with (r - 1) * 8 / n == b.
      const std::int64_t from = (b * n + 7) / 8, to = ((b + 1) * n + 7) / 8;
      share[b] = static_cast<double>(to - from) / static_cast<double>(n);
    }
    EXPECT_LT(chiSquare(observed, share, kDraws), kChiSquare999For7) << n;
  }
}

}  // namespace
}  // namespace zv
