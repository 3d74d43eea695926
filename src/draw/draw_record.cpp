#include "draw/draw_record.h"

#include <utility>

#include "platform/number_text.h"

namespace zv {

const char* stopReasonName(StopReason reason) {
  switch (reason) {
    case StopReason::Click: return journal_text::kStopClick;
    case StopReason::Space: return journal_text::kStopSpace;
    case StopReason::AutoStop: return journal_text::kStopAuto;
    case StopReason::StepBudget: return journal_text::kStopBudget;
  }
  return "";
}

DrawRecord::DrawRecord(Journal& journal, ResultsFile results,
                       std::function<void(const std::string&)> reportJournalFailure)
    : journal_(journal),
      results_(std::move(results)),
      reportJournalFailure_(std::move(reportJournalFailure)) {}

std::array<std::string, kSlotCount> DrawRecord::tallyTexts() const {
  const std::array<double, kSlotCount> values = results_.tallies();
  std::array<std::string, kSlotCount> texts;
  for (std::size_t i = 0; i < texts.size(); ++i) texts[i] = formatNumber(values[i]);
  return texts;
}

std::optional<JournalRow> DrawRecord::append(JournalRow row) {
  std::optional<JournalRow> written = journal_.append(std::move(row));
  if (!written && !failureReported_) {
    failureReported_ = true;
    if (reportJournalFailure_) reportJournalFailure_(journal_.path());
  }
  return written;
}

std::optional<JournalRow> DrawRecord::recordLanding(const Landing& landing) {
  JournalRow row;
  row.event = landing.rehearsal ? JournalEvent::RehearsalWin : JournalEvent::Win;
  row.slot = landing.slot;
  row.drawMode =
      landing.quantityMode ? journal_text::kQuantityMode : journal_text::kProbabilityMode;
  row.poolSize = landing.poolSize;
  row.poolCounts = landing.poolCounts;
  row.stopReason = stopReasonName(landing.stop);
  row.designated = landing.designated;
  row.tallies = tallyTexts();
  std::optional<JournalRow> written = append(row);
  // A win that was never counted cannot be taken back.
  if (!landing.rehearsal && !landing.tallyWritten) {
    if (auto win = journal_.voidableWin()) uncountedWin_ = win->sequence;
  }
  return written;
}

void DrawRecord::recordClear(const std::array<double, kSlotCount>& before) {
  JournalRow row;
  row.event = JournalEvent::Clear;
  for (std::size_t i = 0; i < before.size(); ++i) row.tallies[i] = formatNumber(before[i]);
  append(row);
}

std::optional<JournalRow> DrawRecord::reconcile() {
  std::array<std::string, kSlotCount> expected;
  expected.fill("0");
  if (const std::optional<JournalRow> last = journal_.lastRow()) expected = talliesAfter(*last);
  const std::array<double, kSlotCount> found = results_.tallies();
  JournalRow row;
  row.event = JournalEvent::Reconcile;
  for (std::size_t i = 0; i < found.size(); ++i) {
    row.tallies[i] = formatNumber(found[i]);
    const double difference = found[i] - numericValue(expected[i]);
    if (difference == 0) continue;
    if (!row.difference.empty()) row.difference += "；";
    row.difference += "奖项" + std::to_string(i + 1) + " " + (difference > 0 ? "+" : "") +
                      formatNumber(difference);
  }
  if (row.difference.empty()) return std::nullopt;
  return append(std::move(row));
}

std::optional<JournalRow> DrawRecord::voidableWin() {
  std::optional<JournalRow> win = journal_.voidableWin();
  if (!win || win->sequence == uncountedWin_) return std::nullopt;
  // The results file must still hold what the win left for its slot: a tally changed by
  // hand (or a results file replaced) since then is not ours to take one off.
  const double now = results_.tallies()[win->slot - 1];
  if (now < 1.0 || formatNumber(now) != win->tallies[win->slot - 1]) return std::nullopt;
  return win;
}

DrawRecord::VoidResult DrawRecord::voidWin(std::int64_t sequence) {
  const std::optional<JournalRow> win = voidableWin();
  if (!win || win->sequence != sequence) return VoidResult::Refused;
  if (!results_.removeWin(win->slot)) return VoidResult::TallyNotWritten;
  JournalRow row;
  row.event = JournalEvent::Void;
  row.slot = win->slot;
  row.voids = win->sequence;
  row.tallies = tallyTexts();
  append(row);
  return VoidResult::Voided;
}

}  // namespace zv
