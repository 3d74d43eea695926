#include "store/results_file.h"

#include <utility>

#include "platform/number_text.h"
#include "store/ini_file.h"

namespace zv {

std::string results_keys::tally(int slot) { return "j" + std::to_string(slot); }

ResultsFile::ResultsFile(std::string path) : path_(std::move(path)) {}

std::string ResultsFile::readTally(int slot) const {
  if (!isSlot(slot)) return {};
  return ini::read(path_, results_keys::kSection, results_keys::tally(slot));
}

bool ResultsFile::addWin(int slot) const {
  if (!isSlot(slot)) return false;
  // Kept as a double so that a hand-edited fraction survives ("2.5" becomes "3.5").
  const double next = numericValue(readTally(slot)) + 1.0;
  return ini::write(path_, results_keys::kSection, results_keys::tally(slot), formatNumber(next));
}

bool ResultsFile::removeWin(int slot) const {
  if (!isSlot(slot)) return false;
  const double tally = numericValue(readTally(slot));
  if (tally < 1.0) return false;
  return ini::write(path_, results_keys::kSection, results_keys::tally(slot),
                    formatNumber(tally - 1.0));
}

bool ResultsFile::clearTallies() const {
  bool all = true;
  // One write per key, in slot order; a failed key does not stop the later ones.
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    all = ini::write(path_, results_keys::kSection, results_keys::tally(slot), "0") && all;
  }
  return all;
}

std::array<double, kSlotCount> ResultsFile::tallies() const {
  std::array<double, kSlotCount> values{};
  for (int slot = 1; slot <= kSlotCount; ++slot) values[slot - 1] = numericValue(readTally(slot));
  return values;
}

}  // namespace zv
