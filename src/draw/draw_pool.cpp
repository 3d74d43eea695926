#include "draw/draw_pool.h"

#include <algorithm>

#include "platform/number_text.h"
#include "store/results_file.h"
#include "store/settings_file.h"

namespace zv {

DrawPool DrawPool::fromCounts(const std::array<std::int64_t, kSlotCount>& counts) {
  DrawPool pool;
  std::int64_t total = 0;
  for (std::size_t i = 0; i < counts.size(); ++i) {
    total += std::max<std::int64_t>(counts[i], 0);
    pool.totals_[i] = total;
  }
  return pool;
}

int DrawPool::entry(std::int64_t r) const {
  if (r < 1 || r > size()) return 0;
  // The first slot whose running total reaches r holds position r.
  const auto it = std::lower_bound(totals_.begin(), totals_.end(), r);
  return static_cast<int>(it - totals_.begin()) + 1;
}

std::int64_t DrawPool::count(int slot) const {
  if (slot < 1 || slot > kSlotCount) return 0;
  return totals_[slot - 1] - (slot == 1 ? 0 : totals_[slot - 2]);
}

bool quantityMode(const SettingsFile& settings) { return !settings.get(setting::kProbabilityMode); }

DrawPool buildDrawPool(const SettingsFile& settings, const ResultsFile& results,
                       PrizeValues& prizeValues) {
  if (quantityMode(settings)) {
    const std::array<double, kSlotCount> won = results.tallies();
    for (std::size_t i = 0; i < prizeValues.size(); ++i) {
      const double quantity = settings.get(setting::kPrizeValues[i]);
      prizeValues[i] = truncateToInt32(quantity - won[i]);
    }
  }
  std::array<std::int64_t, kSlotCount> counts{};
  std::copy(prizeValues.begin(), prizeValues.end(), counts.begin());
  return DrawPool::fromCounts(counts);
}

int pickWinningSlot(const DrawPool& pool, bool designated, RandomSource& random) {
  if (pool.empty()) return 0;
  if (designated) return pool.first();
  // Every index 1..n is equally likely, whatever n is. We do not use "output mod n", nor
  // for large pools the product of two small draws: both favour the low slots, and the
  // product cannot reach some indices at all (a prime above both factors' ranges).
  random.seedFromClock();
  return pool.entry(random.uniformIndex(pool.size()));
}

}  // namespace zv
