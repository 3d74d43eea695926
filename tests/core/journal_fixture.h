#pragma once
// A journal in a temporary folder with a clock that moves on a second a row, and a win
// row to append: shared by the portable and the POSIX-only journal tests.
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <string>

#include "store/journal.h"
#include "support/temp_dir.h"

namespace zv::testing {

inline JournalRow win(int slot,
                      std::array<std::string, 8> tallies = {"0", "0", "0", "0", "0", "0", "0", "0"}) {
  JournalRow row;
  row.event = JournalEvent::Win;
  row.slot = slot;
  row.drawMode = journal_text::kQuantityMode;
  row.poolSize = 90;
  row.poolCounts = {1, 2, 4, 8, 10, 15, 20, 30};
  row.stopReason = journal_text::kStopSpace;
  row.tallies = std::move(tallies);
  return row;
}

class JournalFixture : public ::testing::Test {
 protected:
  std::string path() const { return dir.file(journal_text::kFileName); }
  Journal journal() {
    return Journal(path(), [this] {
      return std::chrono::system_clock::time_point(std::chrono::seconds(t++));
    });
  }
  TempDir dir;
  std::int64_t t = 1'700'000'000;
};

}  // namespace zv::testing
