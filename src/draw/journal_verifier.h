#pragma once
// The check of a journal after the event, by anyone: the chain of every row that has one,
// the order of the sequence numbers, and every pick of a verifiable event whose secret has
// been published, recomputed from the secret and the pool the row records.
//
// The file is read in pieces; what is kept is a few numbers per row (its sequence number,
// whether its link holds) and the pools of the draws of an event still open.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zv {

enum class VerifyFault {
  Edited,        // the row's own link fails, its sequence number is in place
  Removed,       // sequence numbers missing before the row, and its link fails
  Swapped,       // the row stands before a smaller sequence number
  Damaged,       // an intact row was made unreadable (the next row's link fails)
  ChainMissing,  // a row without 链值 after rows with one
  PoolSum,       // 奖池总数 is not the sum of the recorded counts
  PickDiffers,   // the slot is not the one the secret gives
  Designated,    // a designated pick inside a verifiable event
  WrongSecret,   // the published secret does not match the commitment
  Unopened,      // a secret published with no event open
};

struct VerifyFinding {
  std::int64_t sequence = 0;  // the row it is about (for Damaged: the row before it)
  VerifyFault fault = VerifyFault::Edited;
  std::string text;  // one line, naming the row as "序号 N"
};

struct VerifyReport {
  std::vector<std::string> events;      // one line per verifiable event
  std::vector<VerifyFinding> findings;  // in file order: the first is the first row that fails
  std::int64_t rows = 0;                // intact rows
  std::int64_t unchained = 0;           // rows written before the chain: not verifiable
  std::int64_t damaged = 0;             // unreadable records (a torn last row among them)
  std::int64_t unpublished = 0;         // events whose secret is not published yet

  // Everything holds: no finding and no event waiting for its secret (its draws are not
  // proven yet, though that alone is no fault).
  bool holds() const { return findings.empty() && unpublished == 0; }
  int exitCode() const { return holds() ? 0 : 1; }
  // The lines printed: the events, the findings, the summary, "结论：…" last.
  std::vector<std::string> lines() const;
};

// A journal fed in pieces split anywhere.
class JournalVerifier {
 public:
  JournalVerifier();
  ~JournalVerifier();
  JournalVerifier(const JournalVerifier&) = delete;
  JournalVerifier& operator=(const JournalVerifier&) = delete;
  void feed(std::string_view bytes);
  VerifyReport finish();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// The report of the file at path; nothing when it cannot be read.
std::optional<VerifyReport> verifyJournalFile(const std::string& path);

// `--verify <path>`: the text to print (UTF-8, a line end after each line) and the exit
// code: 0 everything holds, 1 something does not, 2 the file cannot be read.
struct VerifyCommandOutcome {
  std::string text;
  int exitCode = 2;
};
VerifyCommandOutcome runVerifyCommand(const std::string& path);

}  // namespace zv
