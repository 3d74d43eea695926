// The draw journal: its CSV round trip, a torn last line, sequence numbers across restarts,
// and the rules of voiding the last win.
#include "store/journal.h"

#include <gtest/gtest.h>


#include <climits>
#include <regex>

#include "core/journal_fixture.h"
#include "draw/draw_record.h"
#include "platform/files.h"
#include "platform/number_text.h"
#include "store/ini_file.h"
#include "support/finishes_within.h"
#include "support/temp_dir.h"

namespace zv {
namespace {

using namespace std::chrono;

using zv::testing::win;

class JournalTest : public zv::testing::JournalFixture {};

TEST_F(JournalTest, RowsRoundTripEveryColumnWhateverTheirText) {
  std::vector<JournalRow> rows;
  const char* awkward[] = {"plain", "a,b", "say \"hi\"", "two\r\nlines", "lone\nLF",
                           " padded ", "\"", ",,", "全角，逗号"};
  std::int64_t sequence = 1;
  for (const char* text : awkward) {
    for (JournalEvent event : {JournalEvent::Win, JournalEvent::RehearsalWin, JournalEvent::Void,
                               JournalEvent::Clear}) {
      JournalRow row = win(3, {text, "1", "2", text, "", "5", "6", text});
      row.sequence = sequence++;
      row.time = text;
      row.event = event;
      row.drawMode = text;
      row.stopReason = text;
      row.designated = sequence % 2 == 0;
      if (event == JournalEvent::Clear) row.slot = 0;
      if (event == JournalEvent::Void) row.voids = 17;
      if (event == JournalEvent::Void || event == JournalEvent::Clear) {
        row.poolSize = 0;
        row.poolCounts = {};
        row.designated = false;  // only draws say whether they were designated
      }
      rows.push_back(row);
    }
  }
  const std::string bytes = journalFileBytes(rows);
  EXPECT_EQ(bytes.substr(0, 3), "\xEF\xBB\xBF");
  const JournalContents read = parseJournal(bytes);
  EXPECT_EQ(read.skipped, 0u);
  EXPECT_FALSE(read.tornTail);
  EXPECT_EQ(read.rows, rows);
}

TEST_F(JournalTest, AppendWritesTheHeaderOnceAndTheClocksLocalTime) {
  Journal j = journal();
  ASSERT_TRUE(j.append(win(2)));
  ASSERT_TRUE(j.append(win(5)));
  const std::string bytes = readWholeFile(path());
  EXPECT_EQ(bytes.rfind("\xEF\xBB\xBF", 0), 0u);
  EXPECT_EQ(bytes.find(formatJournalHeader()), 3u);
  EXPECT_EQ(bytes.find(formatJournalHeader(), 4), std::string::npos);
  const JournalContents read = j.read();
  ASSERT_EQ(read.rows.size(), 2u);
  EXPECT_EQ(read.rows[0].sequence, 1);
  EXPECT_EQ(read.rows[1].sequence, 2);
  EXPECT_EQ(read.rows[1].slot, 5);
  EXPECT_TRUE(std::regex_match(read.rows[0].time,
                               std::regex(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d [+-]\d\d:\d\d)")));
  EXPECT_NE(read.rows[0].time, read.rows[1].time);  // the clock moved on by a second
}

TEST_F(JournalTest, SequenceNumbersContinueAcrossRestarts) {
  {
    Journal first = journal();
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(first.append(win(1)));
  }
  Journal second = journal();
  const auto row = second.append(win(4));
  ASSERT_TRUE(row);
  EXPECT_EQ(row->sequence, 4);
  EXPECT_EQ(second.read().rows.back().sequence, 4);
}

TEST_F(JournalTest, ATornLastLineIsSkippedAndTheNextAppendStartsAFreshLine) {
  // Cut in the middle of a plain field, and inside a quoted field (whose line break and
  // comma would otherwise swallow the rows appended after it).
  JournalRow quoted = win(6);
  quoted.stopReason = "x,\r\ny";
  for (const JournalRow& cut : {win(6), quoted}) {
    SCOPED_TRACE(cut.stopReason);
    deleteFile(path());
    {
      Journal j = journal();
      ASSERT_TRUE(j.append(win(1)));
      ASSERT_TRUE(j.append(win(2)));
    }
    JournalRow third = cut;
    third.sequence = 3;
    third.time = "2024-01-01 00:00:00 +08:00";
    const std::string line = formatJournalRow(third);
    const std::size_t at = line.find(cut.stopReason) + 2;  // "x," or past 空 (mid-character)
    writeWholeFileAtomically(path(), readWholeFile(path()) + line.substr(0, at));

    Journal restarted = journal();
    JournalContents read = restarted.read();
    EXPECT_TRUE(read.tornTail);
    ASSERT_EQ(read.rows.size(), 2u);
    EXPECT_EQ(read.rows[1].sequence, 2);

    const auto next = restarted.append(win(8));
    ASSERT_TRUE(next);
    EXPECT_EQ(next->sequence, 3);
    const auto after = restarted.append(win(7));
    read = restarted.read();
    EXPECT_FALSE(read.tornTail);
    EXPECT_EQ(read.skipped, 1u);  // the cut line, now a damaged line of its own
    ASSERT_EQ(read.rows.size(), 4u);
    EXPECT_EQ(read.rows[2].slot, 8);
    EXPECT_EQ(read.rows[3].slot, 7);
    EXPECT_EQ(read.rows[3].sequence, 4);
  }
}

TEST_F(JournalTest, EarlierBytesAreNeverRewritten) {
  Journal j = journal();
  ASSERT_TRUE(j.append(win(1)));
  const std::string before = readWholeFile(path());
  ASSERT_TRUE(j.append(win(2)));
  EXPECT_EQ(readWholeFile(path()).substr(0, before.size()), before);
}

// The record's rules over a real results file.
class RecordTest : public JournalTest {
 protected:
  RecordTest() : j(journal()), record(j, ResultsFile(dir.file("jieguo.a")), [this](const std::string& p) {
    failures.push_back(p);
  }) {}
  void land(int slot, bool rehearsal = false) {
    Landing l;
    l.slot = slot;
    l.rehearsal = rehearsal;
    l.tallyWritten = !rehearsal && ResultsFile(dir.file("jieguo.a")).addWin(slot);
    record.recordLanding(l);
  }
  std::string tally(int slot) { return ini::read(dir.file("jieguo.a"), "zjjg", "j" + std::to_string(slot)); }

  Journal j;
  DrawRecord record;
  std::vector<std::string> failures;
};

TEST_F(RecordTest, VoidTakesBackTheLastWinOnceAndWritesARow) {
  land(2);
  land(5);
  land(3, true);  // a rehearsal win is not a counted win
  auto last = record.voidableWin();
  ASSERT_TRUE(last);
  EXPECT_EQ(last->slot, 5);
  EXPECT_EQ(record.voidWin(last->sequence), DrawRecord::VoidResult::Voided);
  EXPECT_EQ(tally(5), "0");
  EXPECT_EQ(tally(2), "1");
  // Already voided: refused, and the earlier win is not offered in its place.
  EXPECT_FALSE(record.voidableWin());
  EXPECT_EQ(record.voidWin(last->sequence), DrawRecord::VoidResult::Refused);
  EXPECT_EQ(tally(5), "0");

  const std::vector<JournalRow> rows = j.read().rows;
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[2].event, JournalEvent::RehearsalWin);
  EXPECT_EQ(rows[3].event, JournalEvent::Void);
  EXPECT_EQ(rows[3].slot, 5);
  EXPECT_EQ(rows[3].voids, last->sequence);
  EXPECT_EQ(rows[3].tallies[4], "0");
  EXPECT_EQ(rows[3].tallies[1], "1");
}

TEST_F(RecordTest, VoidIsRefusedAfterAClearAfterARestartToo) {
  land(4);
  const auto before = ResultsFile(dir.file("jieguo.a")).tallies();
  ASSERT_TRUE(ResultsFile(dir.file("jieguo.a")).clearTallies());
  record.recordClear(before);
  EXPECT_FALSE(record.voidableWin());
  Journal restarted = journal();
  EXPECT_FALSE(restarted.voidableWin());
  const JournalRow clear = restarted.read().rows.back();
  EXPECT_EQ(clear.event, JournalEvent::Clear);
  EXPECT_EQ(clear.tallies[3], "1");  // the tallies before the clear
  // A new win after the clear may be voided, also by the next run.
  land(6);
  EXPECT_EQ(journal().voidableWin()->slot, 6);
}

TEST_F(RecordTest, VoidIsRefusedWhenTheResultsFileNoLongerHoldsTheWin) {
  land(1);
  const auto last = record.voidableWin();
  ASSERT_TRUE(last);
  ini::write(dir.file("jieguo.a"), "zjjg", "j1", "0");  // cleared by hand
  EXPECT_FALSE(record.voidableWin());
  EXPECT_EQ(record.voidWin(last->sequence), DrawRecord::VoidResult::Refused);
  EXPECT_EQ(tally(1), "0");  // never below zero
}

TEST_F(RecordTest, AnUnwritableJournalIsReportedOnceAndTalliesGoOn) {
  Journal broken(dir.file("missing/抽奖记录.csv"));
  DrawRecord r(broken, ResultsFile(dir.file("jieguo.a")),
               [this](const std::string& p) { failures.push_back(p); });
  for (int i = 0; i < 3; ++i) {
    Landing l;
    l.slot = 2;
    l.tallyWritten = ResultsFile(dir.file("jieguo.a")).addWin(2);
    r.recordLanding(l);
  }
  EXPECT_EQ(failures, std::vector<std::string>{dir.file("missing/抽奖记录.csv")});
  EXPECT_EQ(tally(2), "3");
  // The win happened even though its row is missing: it can still be taken back.
  const auto last = r.voidableWin();
  ASSERT_TRUE(last);
  EXPECT_EQ(r.voidWin(last->sequence), DrawRecord::VoidResult::Voided);
  EXPECT_EQ(tally(2), "2");
}

TEST_F(RecordTest, AWinWhoseTallyWasNotWrittenCannotBeVoided) {
  Landing l;
  l.slot = 3;
  l.tallyWritten = false;
  record.recordLanding(l);
  EXPECT_FALSE(record.voidableWin());
}

TEST_F(JournalTest, SequenceNumbersBeyondAnyRealEventAreDamagedAndNumberingGoesOn) {
  struct Case {
    std::vector<std::int64_t> sequences;  // in file order
    std::int64_t next;
  };
  const Case cases[] = {
      {{5, INT64_MAX}, 6},
      {{5, INT64_MAX, 7}, 8},
      {{9, 1'000'000'000'001}, 10},
      {{999'999'999'999}, 1'000'000'000'000},
      {{INT64_MAX}, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.sequences.back());
    std::vector<JournalRow> rows;
    for (std::int64_t sequence : c.sequences) {
      rows.push_back(win(1));
      rows.back().sequence = sequence;
      rows.back().time = "2024-01-01 00:00:00 +08:00";
    }
    ASSERT_TRUE(writeWholeFileAtomically(path(), journalFileBytes(rows)));
    Journal j = journal();
    const auto next = j.append(win(2));
    ASSERT_TRUE(next);
    EXPECT_EQ(next->sequence, c.next);
    const JournalContents read = j.read();
    EXPECT_EQ(read.rows.back().sequence, c.next);
    for (const JournalRow& row : read.rows) EXPECT_LE(row.sequence, kMaxJournalSequence);
  }
}

TEST_F(RecordTest, AtStartUpTalliesTheJournalDoesNotExplainGetAReconcileRow) {
  struct Case {
    const char* name;
    std::function<void()> before;  // the journal and results file left behind
    const char* difference;        // nullptr: no row
  };
  const auto writeTallies = [&](const char* text) {
    ASSERT_TRUE(writeWholeFileAtomically(dir.file("jieguo.a"), text));
  };
  const Case cases[] = {
      {"agreeing",
       [&] {
         land(2);
         land(2);
         land(5, true);
       },
       nullptr},
      {"killed between tally and row",
       [&] {
         land(2);
         ASSERT_TRUE(ResultsFile(dir.file("jieguo.a")).addWin(7));
       },
       "奖项7 +1"},
      {"edited by hand",
       [&] {
         land(1);
         land(3);
         writeTallies("[zjjg]\r\nj1=0\r\nj3=3.5\r\n");
       },
       "奖项1 -1；奖项3 +2.5"},
      {"cleared",
       [&] {
         land(4);
         const auto before = ResultsFile(dir.file("jieguo.a")).tallies();
         ASSERT_TRUE(ResultsFile(dir.file("jieguo.a")).clearTallies());
         record.recordClear(before);
       },
       nullptr},
      {"no journal, no tallies", [&] {}, nullptr},
      {"no journal, tallies copied in", [&] { writeTallies("[zjjg]\r\nj8=2\r\n"); }, "奖项8 +2"},
      {"a journal of damaged rows only",
       [&] {
         ASSERT_TRUE(writeWholeFileAtomically(path(), "\xEF\xBB\xBFx,y\r\n\r\n"));
         writeTallies("[zjjg]\r\nj8=2\r\n");
       },
       "奖项8 +2"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    deleteFile(path());
    deleteFile(dir.file("jieguo.a"));
    c.before();
    const auto found = ResultsFile(dir.file("jieguo.a")).tallies();
    // The next start.
    Journal restarted = journal();
    DrawRecord r(restarted, ResultsFile(dir.file("jieguo.a")), [](const std::string&) {});
    const std::optional<JournalRow> row = r.reconcile();
    ASSERT_EQ(row.has_value(), c.difference != nullptr);
    EXPECT_FALSE(r.reconcile()) << "explained once";
    if (!row) continue;
    const JournalRow read = journal().read().rows.back();
    EXPECT_EQ(read, *row);
    EXPECT_EQ(read.event, JournalEvent::Reconcile);
    EXPECT_EQ(read.difference, c.difference);
    EXPECT_EQ(journalField(read, 2), "核对");
    for (int i = 0; i < 8; ++i) EXPECT_EQ(read.tallies[i], formatNumber(found[i]));
    // Nothing before it may be voided any more.
    EXPECT_FALSE(r.voidableWin());
  }
}

}  // namespace
}  // namespace zv
