#pragma once
// The journal's rules: what row each landing, void and clear writes, and when the last win
// may be voided. Plain C++; the menu items and windows are in stage/ and dialogs/.
#include <array>
#include <functional>

#include "store/prize_slots.h"
#include <optional>
#include <string>

#include "draw/landing.h"
#include "store/journal.h"
#include "store/results_file.h"

namespace zv {

class DrawRecord {
 public:
  // reportJournalFailure is called (at most once per run) with the journal's path when a
  // row could not be written; the draw and its tally go on regardless.
  DrawRecord(Journal& journal, ResultsFile results,
             std::function<void(const std::string&)> reportJournalFailure);

  // A landing: a 中奖 row, or 彩排中奖 in rehearsal, with the tallies after it.
  // Returns the row as written; nothing when it could not be.
  std::optional<JournalRow> recordLanding(const Landing& landing);
  // A clear that succeeded: one 清空 row holding the tallies before it.
  void recordClear(const std::array<double, kSlotCount>& before);

  // The win that "void the last win" would take back: the last counted win since the
  // last clear, not voided yet, whose slot still holds the tally the win left.
  std::optional<JournalRow> voidableWin();

  // At start-up: when the results file's tallies are not those of the journal's last row
  // (a run killed between a tally and its row, a hand edit, a results file copied from
  // elsewhere), a 核对 row with the tallies found and the difference. A journal that is
  // missing or holds no intact row counts as all tallies 0, so non-zero tallies get a row
  // too. Returns the row written, if any.
  std::optional<JournalRow> reconcile();

  enum class VoidResult { Voided, Refused, TallyNotWritten };
  // Takes back the win of that sequence number if it is still the voidable one: one off
  // its slot's tally in the results file, then a 作废 row.
  VoidResult voidWin(std::int64_t sequence);

  Journal& journal() { return journal_; }
  const ResultsFile& results() const { return results_; }

 private:
  std::optional<JournalRow> append(JournalRow row);
  std::array<std::string, kSlotCount> tallyTexts() const;

  Journal& journal_;
  ResultsFile results_;
  std::function<void(const std::string&)> reportJournalFailure_;
  bool failureReported_ = false;
  std::optional<std::int64_t> uncountedWin_;  // a win whose tally could not be written
};

// The journal's name for how a draw was stopped.
const char* stopReasonName(StopReason reason);

}  // namespace zv
