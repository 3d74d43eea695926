// Building the pool and picking a winner with the largest prize values the settings can
// hold: the pool's memory and the pick's cost must not grow with the values.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "draw/draw_pool.h"
#include "draw/random_source.h"
#include "store/program_files.h"
#include "store/results_file.h"
#include "store/settings_file.h"
#include "support/temp_dir.h"

namespace {

constexpr std::int32_t kHuge = 2147483647;

// A program directory whose settings give every slot 2147483647, in either draw mode,
// with a few wins counted.
struct HugeSetup {
  explicit HugeSetup(bool probability)
      : files{tmp.path()}, settings(files.settings()), results(files.results()) {
    bool written = true;
    for (const zv::NumberSetting& value : zv::setting::kPrizeValues)
      written = settings.setText(value.place, "2147483647") && written;
    written = settings.set(zv::setting::kProbabilityMode, probability) && written;
    // A benchmark over a pool that was never stored would measure nothing.
    if (!written) std::abort();
    for (int slot = 1; slot <= 8; ++slot) results.addWin(slot);
    values.fill(kHuge);
  }

  zv::testing::TempDir tmp;
  zv::ProgramFiles files;
  zv::SettingsFile settings;
  zv::ResultsFile results;
  std::array<std::int32_t, 8> values{};
};

void buildAndPick(benchmark::State& state, bool probability) {
  HugeSetup setup(probability);
  zv::RandomSource random;
  std::int64_t size = 0;
  for (auto _ : state) {
    const zv::DrawPool pool = zv::buildDrawPool(setup.settings, setup.results, setup.values);
    benchmark::DoNotOptimize(zv::pickWinningSlot(pool, false, random));
    size = pool.size();
  }
  state.SetLabel("pool of " + std::to_string(size) + " entries");
}

void BM_BuildAndPickHugePool(benchmark::State& state) { buildAndPick(state, true); }
void BM_BuildAndPickHugePoolQuantityMode(benchmark::State& state) { buildAndPick(state, false); }

void BM_PickHugePool(benchmark::State& state) {
  std::array<std::int64_t, 8> counts;
  counts.fill(kHuge);
  const zv::DrawPool pool = zv::DrawPool::fromCounts(counts);
  zv::RandomSource random;
  for (auto _ : state) benchmark::DoNotOptimize(zv::pickWinningSlot(pool, false, random));
  state.SetLabel("pool of " + std::to_string(pool.size()) + " entries");
}

// The same pick from a pool of 36 entries: the huge pool's pick is gated against it.
void BM_PickSmallPool(benchmark::State& state) {
  const zv::DrawPool pool = zv::DrawPool::fromCounts({1, 2, 3, 4, 5, 6, 7, 8});
  zv::RandomSource random;
  for (auto _ : state) benchmark::DoNotOptimize(zv::pickWinningSlot(pool, false, random));
}

BENCHMARK(BM_BuildAndPickHugePool)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BuildAndPickHugePoolQuantityMode)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PickHugePool)->Unit(benchmark::kNanosecond);
BENCHMARK(BM_PickSmallPool)->Unit(benchmark::kNanosecond);

}  // namespace
