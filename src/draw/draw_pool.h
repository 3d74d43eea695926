#pragma once
// The draw pool and the pick of the winning prize slot.
//
// The pool is conceptually the list "every 1, then every 2, ... then every 8", one entry
// per unit of a slot's remaining quantity or weight. It is held as eight running totals
// instead, so memory stays constant however large the prize values are, while entry r is
// still the one the explicit list would hold.
#include <array>
#include <cstdint>

#include "draw/random_source.h"
#include "store/prize_slots.h"

namespace zv {

class ResultsFile;
class SettingsFile;

class DrawPool {
 public:
  DrawPool() = default;  // empty

  // counts[N-1] entries of slot N; a count of 0 or less contributes nothing.
  static DrawPool fromCounts(const std::array<std::int64_t, kSlotCount>& counts);

  std::int64_t size() const { return totals_.back(); }
  bool empty() const { return size() == 0; }

  // The slot 1..8 at position r (1-based) of the list; 0 when r is outside 1..size().
  int entry(std::int64_t r) const;

  // The entries of slot 1..8.
  std::int64_t count(int slot) const;

  // The lowest slot with entries; 0 for an empty pool.
  int first() const { return entry(1); }

 private:
  std::array<std::int64_t, kSlotCount> totals_{};  // entries of slots 1..N together
};

// Whether the stored draw mode is quantity (the counts are what is left of each prize)
// rather than probability (the counts are weights).
bool quantityMode(const SettingsFile& settings);

// Builds the pool from the draw mode (read at every call). In quantity mode each slot's
// count is its configured quantity minus its tally, both read from their files now, and
// is stored into prizeValues; in probability mode prizeValues are the counts, unchanged.
DrawPool buildDrawPool(const SettingsFile& settings, const ResultsFile& results,
                       PrizeValues& prizeValues);

// The winning slot: the pool's first entry when designated (no random number drawn),
// otherwise a uniformly chosen entry after reseeding from the clock. 0 for an empty pool.
int pickWinningSlot(const DrawPool& pool, bool designated, RandomSource& random);

}  // namespace zv
