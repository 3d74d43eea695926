#pragma once
// The draw journal: one CSV row per landing, void and clear, appended to a file beside the
// program and flushed to disk at once, so a crash loses at most the row being written.
//
// The file is UTF-8 with a byte-order mark (spreadsheets in Chinese locales then read it
// as UTF-8), quoted by RFC 4180, CR LF line ends. The program only ever appends: a void or
// a clear is a new row. A last row cut short by a crash is skipped when read, and the
// next append first ends it on a line of its own, so it can never swallow a later row.
//
// Reading costs memory in proportion to the rows kept: the file is read in pieces, blank
// lines are skipped, and a record with an overlong field or too many fields is a damaged
// one, kept no further than those limits. An append reads only the file's tail.
//
// The last column chains the rows: a row's 链值 is the SHA-256 (hex) of the value its
// previous intact row passes on followed by its own first 25 fields as written (quoted,
// comma-joined, no line end). A chained row passes on its 链值; the header its line's
// hash; a row from before the chain (25 fields, no 链值) the hash of its own fields. So a
// changed row breaks its own link, a removed one the link of the row after it.
#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/prize_slots.h"

namespace zv {

// Reconcile: the results file's tallies differed from the journal's last row at start-up
// (a run killed between the tally and its row, a hand edit, a copied file); the row holds
// the tallies found and the difference, so the journal always explains the tallies.
// VerifyStart and VerifyEnd open and close a verifiable event: its commitment and audience
// number, then its published secret.
enum class JournalEvent { Win, Void, Clear, RehearsalWin, Reconcile, VerifyStart, VerifyEnd };

// Sequence numbers above this are beyond any real event: such a row is read as damaged.
inline constexpr std::int64_t kMaxJournalSequence = 1'000'000'000'000;
// A longer field, or a record with more fields than the journal has columns, is damaged.
inline constexpr std::size_t kMaxJournalFieldBytes = 4096;

struct JournalRow {
  std::int64_t sequence = 0;  // set by the append
  std::string time;           // set by the append: "2024-05-01 14:03:07 +08:00"
  JournalEvent event = JournalEvent::Win;
  int slot = 0;          // 1..8; 0 for a clear or a reconcile
  std::string drawMode;  // 按数量 / 按概率; empty for a void or a clear
  std::int64_t poolSize = 0;
  std::array<std::int64_t, kSlotCount> poolCounts{};  // the pool the pick was made from
  std::string stopReason;                    // see journal_text; empty for a void or a clear
  bool designated = false;                   // the designated pick (Shift+Q) decided it
  std::array<std::string, kSlotCount> tallies;        // after the event (before it, for a clear)
  std::int64_t voids = 0;                    // a void row: the sequence of the win voided
  std::string difference;  // a reconcile row: results file minus journal, "奖项1 +1；…"
  std::string commitment;  // a verify start row: 64 lowercase hex digits
  std::string audience;    // a verify start row: the audience number (digits, may be empty)
  std::string secret;      // a verify end row: the secret in 64 lowercase hex digits
  std::string chain;       // set by the append; empty in a row written before the chain

  bool operator==(const JournalRow&) const = default;
};

namespace journal_text {
inline constexpr const char* kFileName = "抽奖记录.csv";
inline constexpr const char* kWin = "中奖";
inline constexpr const char* kVoid = "作废";
inline constexpr const char* kClear = "清空";
inline constexpr const char* kRehearsalWin = "彩排中奖";
inline constexpr const char* kReconcile = "核对";
inline constexpr const char* kVerifyStart = "开始验证";
inline constexpr const char* kVerifyEnd = "公布密钥";
inline constexpr const char* kQuantityMode = "按数量";
inline constexpr const char* kProbabilityMode = "按概率";
inline constexpr const char* kStopClick = "点击";
inline constexpr const char* kStopSpace = "空格键";
inline constexpr const char* kStopAuto = "自动停止";
inline constexpr const char* kStopBudget = "步数用尽";
inline constexpr const char* kYes = "是";
inline constexpr const char* kNo = "否";
const char* eventName(JournalEvent event);
}  // namespace journal_text

// The column headings, in file order (the chain's last).
const std::vector<std::string>& journalHeadings();
// The number of columns of a journal written before the chain (its header and rows).
inline constexpr std::size_t kUnchainedJournalColumns = 25;

// The text of one column of a row, as the file holds it (unquoted).
std::string journalField(const JournalRow& row, std::size_t column);

// One row as a CSV record with its CR LF; the header line likewise.
std::string formatJournalRow(const JournalRow& row);
std::string formatJournalHeader();

// The chain: the link of a row given what the row before passes on and the row's own
// bytes, and what a record without a 链值 (the header, an older row) passes on.
std::string journalLink(std::string_view previous, std::string_view own);
std::string journalLinkOfUnchained(std::string_view own);

// One record of a journal, in file order, for whoever follows the chain.
struct JournalRecord {
  enum class Kind { Header, Row, Damaged };
  Kind kind = Kind::Damaged;
  const JournalRow* row = nullptr;                  // a Row, as read
  const std::vector<std::string>* fields = nullptr;  // a Header or Row: its fields
  std::size_t fieldCount = 0;

  // A header's line, or a row's own bytes (its first 25 fields), as the program writes them.
  std::string own() const;
  // What the record passes on to the next row's link.
  std::string passesOn() const;
};

// Reads a journal fed in pieces split anywhere and hands on each record: a blank line is
// no record; a last record cut short is handed on as damaged at finish().
class JournalRecordReader {
 public:
  using OnRecord = std::function<void(const JournalRecord&)>;
  explicit JournalRecordReader(OnRecord onRecord);
  ~JournalRecordReader();
  JournalRecordReader(const JournalRecordReader&) = delete;
  JournalRecordReader& operator=(const JournalRecordReader&) = delete;
  void feed(std::string_view bytes);
  // True when the file ended inside a record.
  bool finish();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

struct JournalContents {
  std::vector<JournalRow> rows;  // in file order
  std::size_t skipped = 0;       // damaged records (a torn last line among them)
  bool tornTail = false;         // the file ends inside a record
};

// Parses a whole journal (with or without its byte-order mark and header).
JournalContents parseJournal(std::string_view bytes);

// The same, fed in pieces split anywhere: the file is never held whole.
class JournalParser {
 public:
  JournalParser();
  ~JournalParser();
  JournalParser(const JournalParser&) = delete;
  JournalParser& operator=(const JournalParser&) = delete;
  void feed(std::string_view bytes);
  JournalContents finish();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// The tallies as they stand after a row (a clear's row holds those before it).
std::array<std::string, kSlotCount> talliesAfter(const JournalRow& row);

// The whole journal as a file: byte-order mark, header, rows.
std::string journalFileBytes(const std::vector<JournalRow>& rows);

// The local time with seconds and UTC offset, as the journal writes it.
std::string journalTime(std::chrono::system_clock::time_point when);

class Journal {
 public:
  using Clock = std::function<std::chrono::system_clock::time_point()>;

  // clock: the system clock unless a test gives another.
  explicit Journal(std::string path, Clock clock = {});

  const std::string& path() const { return path_; }

  // Appends the row with the next sequence number and the clock's time, flushed to disk.
  // Returns the row as recorded, or nothing when the file could not be written. The event
  // counts for what can be voided either way: it happened, only its row is missing.
  std::optional<JournalRow> append(JournalRow row);

  // Every intact row of the file, read in one pass.
  JournalContents read() const;

  // The last counted win that may be voided: a 中奖 row since the last 清空, not voided yet
  // and not followed by a void or a 核对. Nothing otherwise. Found in the file's tail.
  std::optional<JournalRow> voidableWin();

  // The last intact row in the file's tail; nothing for a missing or empty journal.
  std::optional<JournalRow> lastRow();

  // The sequence number the next append will give its row (a verifiable pick is made for
  // the row it will be recorded in).
  std::int64_t nextSequence();

  // How much of the end of the file an append reads at first, and at most, while its
  // tail holds no intact row.
  static constexpr std::int64_t kTailWindow = 64 * 1024;
  static constexpr std::int64_t kMaxTailWindow = 1024 * 1024;

 private:
  void scanIfChanged();
  void account(const JournalRow& row);

  std::string path_;
  Clock clock_;
  bool scanned_ = false;
  std::int64_t knownSize_ = -1;  // the file's size after our last scan or append
  std::int64_t nextSequence_ = 1;
  bool tailOpen_ = false;        // the file ends inside a record
  bool tailInQuotes_ = false;    // ... inside a quoted field
  std::optional<JournalRow> voidable_;
  std::optional<JournalRow> last_;
  std::string chainTail_;  // what the last intact record passes on to the next row
};

}  // namespace zv
