#pragma once
// The win tallies of the eight prize slots, kept across runs in their own INI file. Like
// the settings file it has no cache: every call reads or writes the file at that moment.
#include <array>
#include <string>
#include <string_view>

#include "store/prize_slots.h"

namespace zv {

namespace results_keys {
inline constexpr std::string_view kSection = "zjjg";
// The key of slot 1..8: "j1".."j8".
std::string tally(int slot);
}  // namespace results_keys

class ResultsFile {
 public:
  explicit ResultsFile(std::string path);

  const std::string& path() const { return path_; }

  // The stored tally of slot 1..8 exactly as written in the file; "" when missing.
  std::string readTally(int slot) const;

  // Counts one win for slot 1..8. Returns whether the write succeeded.
  bool addWin(int slot) const;

  // Takes back one counted win of slot 1..8 (a voided win). Refused (false) when the
  // tally is below 1, so a tally never goes negative. Returns whether it was written.
  bool removeWin(int slot) const;

  // Writes "0" to all eight tallies. Returns true only if all eight writes succeeded.
  bool clearTallies() const;

  // The numeric values of the eight tallies (missing or non-numeric text is 0).
  std::array<double, kSlotCount> tallies() const;

 private:
  std::string path_;
};

}  // namespace zv
