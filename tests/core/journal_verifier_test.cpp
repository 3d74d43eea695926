// The journal's chain and the verifier, on journals written by Journal::append with the
// real verifiable pick, then edited the way a file can be edited by hand.
#include "draw/journal_verifier.h"

#include <gtest/gtest.h>

#include <functional>
#include <regex>

#include "core/journal_fixture.h"
#include "draw/draw_pool.h"
#include "draw/verifiable_pick.h"
#include "platform/digest.h"
#include "platform/files.h"

namespace zv {
namespace {

using zv::testing::win;

VerifyReport verifyBytes(const std::string& bytes) {
  JournalVerifier verifier;
  // In small pieces, so that records and quoted fields span them.
  for (std::size_t at = 0; at < bytes.size(); at += 7) verifier.feed(bytes.substr(at, 7));
  return verifier.finish();
}

std::string firstFindingText(const VerifyReport& report) {
  return report.findings.empty() ? std::string("(none)") : report.findings.front().text;
}

class JournalChainTest : public zv::testing::JournalFixture {};

TEST_F(JournalChainTest, EachRowChainsFromThePreviousOverQuotesCommasAndLineBreaks) {
  Journal journal = this->journal();
  const char* awkward[] = {"plain", "a,b", "say \"hi\"", "two\r\nlines", "lone\nLF", " padded "};
  for (const char* text : awkward) {
    JournalRow row = win(2, {text, "1", "0", "0", "0", "0", "0", text});
    row.stopReason = text;
    ASSERT_TRUE(journal.append(row));
  }
  const std::string bytes = readWholeFile(path());
  // Read from the bytes alone: a record ends ",<64 hex>\r\n"; its own bytes are what stands
  // between the previous record's end and that comma; the first chains from the header.
  const std::size_t headerEnd = bytes.find("\r\n");
  std::string previous = hexText(sha256(bytes.substr(3, headerEnd - 3)));
  std::size_t start = headerEnd + 2;
  const std::regex link(",([0-9a-f]{64})\r\n");
  std::size_t rows = 0;
  std::smatch match;
  while (std::regex_search(bytes.begin() + static_cast<std::ptrdiff_t>(start), bytes.end(), match,
                           link)) {
    const std::size_t at = start + static_cast<std::size_t>(match.position());
    const std::string own = bytes.substr(start, at - start);
    EXPECT_EQ(match[1].str(), hexText(sha256(previous + own))) << own;
    previous = match[1].str();
    start = at + static_cast<std::size_t>(match.length());
    ++rows;
  }
  EXPECT_EQ(rows, std::size(awkward));
  EXPECT_EQ(start, bytes.size());
  EXPECT_TRUE(verifyBytes(bytes).holds()) << firstFindingText(verifyBytes(bytes));

  // A byte changed inside the quoted two-line field breaks that row's link and no other.
  std::string edited = bytes;
  const std::size_t inside = edited.find("two\r\nlines");
  ASSERT_NE(inside, std::string::npos);
  edited[inside + 5] = 'L';
  const VerifyReport report = verifyBytes(edited);
  ASSERT_EQ(report.findings.size(), 1u) << firstFindingText(report);
  EXPECT_EQ(report.findings[0].fault, VerifyFault::Edited);
  EXPECT_EQ(report.findings[0].sequence, 4);
  EXPECT_NE(report.findings[0].text.find("序号 4"), std::string::npos);
}

// A journal written before the chain: 25 columns, header and rows.
std::string unchainedJournal(int rows) {
  std::string header;
  for (std::size_t i = 0; i < kUnchainedJournalColumns; ++i)
    header += (i ? "," : "") + journalHeadings()[i];
  std::string bytes = "\xEF\xBB\xBF" + header + "\r\n";
  for (int n = 1; n <= rows; ++n) {
    JournalRow row = win(n);
    row.sequence = n;
    row.time = "2024-05-01 14:03:07 +08:00";
    const std::string line = formatJournalRow(row);  // its 链值 field empty: ",\r\n"
    bytes += line.substr(0, line.size() - 3) + "\r\n";
  }
  return bytes;
}

TEST_F(JournalChainTest, AnOlderJournalKeepsItsHeaderAndNewRowsChainOnFromItsLastRow) {
  const std::string old = unchainedJournal(3);
  ASSERT_TRUE(writeWholeFileAtomically(path(), old));
  {
    Journal journal = this->journal();
    EXPECT_EQ(journal.nextSequence(), 4);
    ASSERT_TRUE(journal.append(win(4)));
  }
  // A row torn by a crash is passed over by the chain, and by the next run's append.
  ASSERT_TRUE(writeWholeFileAtomically(path(), readWholeFile(path()) + "5,2024-05-01 14:0"));
  Journal journal = this->journal();
  ASSERT_TRUE(journal.append(win(5)));
  const std::string bytes = readWholeFile(path());
  EXPECT_EQ(bytes.substr(0, old.size()), old);  // never rewritten

  const JournalContents read = journal.read();
  ASSERT_EQ(read.rows.size(), 5u);
  EXPECT_EQ(read.skipped, 1u);
  for (std::size_t i = 0; i < 5; ++i) EXPECT_EQ(read.rows[i].chain.empty(), i < 3) << i;

  const VerifyReport report = verifyBytes(bytes);
  EXPECT_TRUE(report.holds()) << firstFindingText(report);
  EXPECT_EQ(report.unchained, 3);
  EXPECT_EQ(report.exitCode(), 0);
  EXPECT_TRUE(report.events.empty());
  EXPECT_NE(report.lines().at(report.lines().size() - 3).find("无法验证"), std::string::npos);

  // Erasing a new row's 链值 to pass it off as an older row does not hold.
  std::string erased = bytes;
  const std::size_t chain = erased.rfind(',') + 1;
  erased.erase(chain, 64);
  const VerifyReport caught = verifyBytes(erased);
  ASSERT_FALSE(caught.findings.empty());
  EXPECT_EQ(caught.findings.front().fault, VerifyFault::ChainMissing);
  EXPECT_EQ(caught.findings.front().sequence, 5);
}

// A verifiable event as the stage records it: the start row, draws picked by the secret
// for the row they will be recorded in, the published secret.
struct EventJournal {
  int designatedDraw = -1;  // this draw (0-based) is a designated pick
  bool publishWrongSecret = false;
  bool publish = true;
};

const std::string kSecret(32, '\x5a');

void writeEvent(Journal& journal, const EventJournal& how) {
  ASSERT_TRUE(journal.append(win(1)));  // a draw before the event: chain only
  JournalRow start;
  start.event = JournalEvent::VerifyStart;
  start.commitment = commitmentOf(kSecret);
  start.audience = "4711";
  ASSERT_TRUE(journal.append(start));
  const VerifiableEvent event{kSecret, start.commitment, start.audience};
  for (int draw = 0; draw < 5; ++draw) {
    JournalRow row = win(0);
    row.poolCounts = {3, 0, 5, 1, 2, 9, 4, 6};
    row.poolSize = 30;
    const DrawPool pool = DrawPool::fromCounts(row.poolCounts);
    row.designated = draw == how.designatedDraw;
    row.slot = row.designated ? pool.first() : verifiableSlot(event, journal.nextSequence(), pool);
    row.tallies[static_cast<std::size_t>(row.slot - 1)] = "1";
    ASSERT_TRUE(journal.append(row));
  }
  if (!how.publish) return;
  JournalRow end;
  end.event = JournalEvent::VerifyEnd;
  end.secret = hexText(how.publishWrongSecret ? std::string(32, '\x5b') : kSecret);
  ASSERT_TRUE(journal.append(end));
}

// The file's lines; every row of these journals is one line.
std::vector<std::string> linesOf(const std::string& bytes) {
  std::vector<std::string> lines;
  for (std::size_t at = 0; at < bytes.size();) {
    const std::size_t end = bytes.find("\r\n", at);
    lines.push_back(bytes.substr(at, end - at));
    at = end + 2;
  }
  return lines;
}

std::string joinLines(const std::vector<std::string>& lines) {
  std::string bytes;
  for (const std::string& line : lines) bytes += line + "\r\n";
  return bytes;
}

// Replaces field `column` (no quoting in these rows) of line `at`.
void setField(std::vector<std::string>& lines, std::size_t at, int column,
              const std::string& text) {
  std::string& line = lines[at];
  std::size_t from = 0;
  for (int c = 0; c < column; ++c) from = line.find(',', from) + 1;
  line.replace(from, line.find(',', from) - from, text);
}

class VerifierTest : public zv::testing::JournalFixture {
 protected:
  std::string written(const EventJournal& how) {
    Journal journal = this->journal();
    writeEvent(journal, how);
    return readWholeFile(path());
  }
};

// Rows: 序号 1 a plain win, 2 开始验证, 3..7 the draws, 8 公布密钥; line n is 序号 n.
TEST_F(VerifierTest, EachChangeIsNamedAtItsRowWithItsReason) {
  struct Case {
    const char* name;
    EventJournal how;
    std::function<void(std::vector<std::string>&)> edit;
    std::int64_t sequence;            // of the first finding
    std::vector<VerifyFault> faults;  // every finding, in file order
  };
  const auto none = [](std::vector<std::string>&) {};
  const Case cases[] = {
      {"untouched", {}, none, 0, {}},
      {"changed slot",
       {},
       [](auto& lines) {
         const int slot = std::stoi(lines[5].substr(lines[5].find(",中奖,") + 8, 1));
         setField(lines, 5, 3, std::to_string(slot == 3 ? 1 : 3));
       },
       5,
       {VerifyFault::Edited, VerifyFault::PickDiffers}},
      {"deleted row",
       {},
       [](auto& lines) { lines.erase(lines.begin() + 4); },
       5,
       {VerifyFault::Removed}},
      {"swapped pair",
       {},
       [](auto& lines) { std::swap(lines[4], lines[5]); },
       5,
       {VerifyFault::Swapped}},
      {"edited tally",
       {},
       [](auto& lines) { setField(lines, 6, 17, "7"); },
       6,
       {VerifyFault::Edited}},
      {"wrong secret", {.publishWrongSecret = true}, none, 8, {VerifyFault::WrongSecret}},
      {"designated pick", {.designatedDraw = 2}, none, 5, {VerifyFault::Designated}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    deleteFile(path());
    std::vector<std::string> lines = linesOf(written(c.how));
    c.edit(lines);
    const VerifyReport report = verifyBytes(joinLines(lines));
    std::vector<VerifyFault> faults;
    for (const VerifyFinding& finding : report.findings) faults.push_back(finding.fault);
    EXPECT_EQ(faults, c.faults) << firstFindingText(report);
    EXPECT_EQ(report.exitCode(), c.faults.empty() ? 0 : 1);
    ASSERT_EQ(report.events.size(), 1u);
    const std::vector<std::string> printed = report.lines();
    EXPECT_EQ(printed.back(), c.faults.empty() ? "结论：通过" : printed.back());
    if (c.faults.empty()) {
      EXPECT_NE(report.events[0].find("5 次由密钥得出"), std::string::npos) << report.events[0];
      continue;
    }
    EXPECT_EQ(printed.back().rfind("结论：不通过", 0), 0u) << printed.back();
    EXPECT_EQ(report.findings.front().sequence, c.sequence);
    const std::string named = "序号 " + std::to_string(c.sequence);
    // The first line after the events and the heading of the findings names it.
    EXPECT_EQ(printed.at(report.events.size() + 1).find(named), 0u) << printed.at(2);
    if (c.faults.front() == VerifyFault::Designated) {
      EXPECT_NE(report.findings.front().text.find("指定中奖"), std::string::npos);
    }
  }
}

TEST_F(VerifierTest, AnEventNotYetPublishedIsNoFaultButNotProven) {
  const VerifyReport report = verifyBytes(written({.publish = false}));
  EXPECT_TRUE(report.findings.empty()) << firstFindingText(report);
  EXPECT_EQ(report.unpublished, 1);
  EXPECT_EQ(report.exitCode(), 1);
  ASSERT_EQ(report.events.size(), 1u);
  EXPECT_NE(report.events[0].find("密钥尚未公布"), std::string::npos) << report.events[0];
}

TEST_F(VerifierTest, TheCommandReadsTheFileAndAnUnreadableOneIsExitTwo) {
  written({});
  const VerifyCommandOutcome ok = runVerifyCommand(path());
  EXPECT_EQ(ok.exitCode, 0) << ok.text;
  EXPECT_NE(ok.text.find("结论：通过\n"), std::string::npos) << ok.text;
  const VerifyCommandOutcome missing = runVerifyCommand(dir.file("无此文件.csv"));
  EXPECT_EQ(missing.exitCode, 2);
  EXPECT_EQ(runVerifyCommand(dir.path()).exitCode, 2);  // a folder
}

}  // namespace
}  // namespace zv
