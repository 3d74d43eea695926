#include "store/journal.h"

#include <algorithm>
#include <charconv>
#include <ctime>
#include <utility>

#include "platform/digest.h"
#include "platform/files.h"
#include "platform/local_time.h"

namespace zv {

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr std::string_view kLineEnd = "\r\n";
// Sequence, time, event, slot, mode, pool size, a count per slot, stop reason, designated,
// a tally per slot, voids; then the chain. Rows written before the chain have no 链值
// column, and both kinds stay readable.
constexpr std::size_t kOwnColumns = 9 + 2 * kSlotCount;
constexpr std::size_t kColumns = kOwnColumns + 1;
static_assert(kOwnColumns == 25 && kOwnColumns == kUnchainedJournalColumns,
              "the journal's columns are a stored format");
static_assert(kColumns == 26, "the journal's columns are a stored format");

std::string csvField(std::string_view text) {
  const bool quote = text.find_first_of(",\"\r\n") != std::string_view::npos ||
                     (!text.empty() && (text.front() == ' ' || text.back() == ' '));
  if (!quote) return std::string(text);
  std::string out = "\"";
  for (char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + '"';
}

std::string joinFields(const std::vector<std::string>& fields, std::size_t count) {
  std::string line;
  for (std::size_t i = 0; i < count; ++i) {
    if (i) line += ',';
    line += csvField(fields[i]);
  }
  return line;
}

std::string joinRecord(const std::vector<std::string>& fields) {
  return joinFields(fields, fields.size()) + std::string(kLineEnd);
}

// Where a scan of the bytes ended: inside a record, and inside a quoted field of it.
struct Tail {
  bool open = false;
  bool inQuotes = false;
};

// Splits bytes fed in pieces into records, each ended by a line break outside quotes (CR
// LF, or a lone LF from an editor). What follows the last line break is the tail, not a
// record. A record's memory is bounded: a field stops growing at kMaxJournalFieldBytes
// and a record at one field more than the journal's columns, and such a record is marked
// damaged. The field strings are reused from record to record.
class RecordScanner {
 public:
  static constexpr std::size_t kMaxFields = kColumns + 1;

  RecordScanner() : fields_(kMaxFields) {}

  // Calls record(fields, n, damaged) for every record ended in bytes.
  template <class OnRecord>
  void feed(std::string_view bytes, OnRecord record) {
    const char* data = bytes.data();
    const std::size_t size = bytes.size();
    std::size_t i = 0;
    if (size == 0) return;
    // A piece ended on a CR, or on a quote inside quotes: the next byte decides.
    if (pendingCr_) {
      pendingCr_ = false;
      if (data[0] == '\n') {
        endRecord(record);
        i = 1;
      } else {
        append("\r", 1);
      }
    } else if (pendingQuote_) {
      pendingQuote_ = false;
      if (data[0] == '"') {
        append("\"", 1);
        i = 1;
      } else {
        inQuotes_ = false;
        afterQuote_ = true;
      }
    }
    for (; i < size; ++i) {
      open_ = true;  // until a line break ends the record
      if (inQuotes_) {
        std::size_t j = i;
        while (j < size && data[j] != '"') ++j;
        append(data + i, j - i);
        i = j;
        if (i >= size) break;
        if (i + 1 == size) {
          pendingQuote_ = true;
          break;
        }
        if (data[i + 1] == '"') {
          append("\"", 1);
          ++i;
        } else {
          inQuotes_ = false;
          afterQuote_ = true;
        }
        continue;
      }
      const char c = data[i];
      if (c == '"' && fields_[n_ - 1].empty() && !afterQuote_) {
        inQuotes_ = true;
      } else if (c == ',') {
        if (n_ == fields_.size()) {
          damaged_ = true;
        } else {
          fields_[n_++].clear();
        }
        afterQuote_ = false;
      } else if (c == '\n') {
        endRecord(record);
      } else if (c == '\r') {
        if (i + 1 == size) {
          pendingCr_ = true;
        } else if (data[i + 1] == '\n') {
          ++i;
          endRecord(record);
        } else {
          append("\r", 1);
        }
      } else {
        // A run of plain characters at once.
        std::size_t j = i + 1;
        while (j < size && data[j] != ',' && data[j] != '\n' && data[j] != '\r' &&
               data[j] != '"') {
          ++j;
        }
        append(data + i, j - i);
        i = j - 1;
      }
    }
  }

  Tail tail() const { return {open_, inQuotes_ && !pendingQuote_}; }

 private:
  void append(const char* bytes, std::size_t n) {
    std::string& field = fields_[n_ - 1];
    if (field.size() + n > kMaxJournalFieldBytes) {
      damaged_ = true;
      n = kMaxJournalFieldBytes - field.size();
    }
    field.append(bytes, n);
  }

  template <class OnRecord>
  void endRecord(OnRecord& record) {
    record(fields_, n_, damaged_);
    n_ = 1;
    fields_[0].clear();
    afterQuote_ = damaged_ = open_ = false;
  }

  std::vector<std::string> fields_;
  std::size_t n_ = 1;
  bool inQuotes_ = false, afterQuote_ = false, damaged_ = false, open_ = false;
  bool pendingCr_ = false, pendingQuote_ = false;
};

bool parseInt(const std::string& text, std::int64_t& value) {
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  return ec == std::errc() && ptr == end;
}

std::optional<JournalEvent> eventFromName(std::string_view name) {
  for (JournalEvent e : {JournalEvent::Win, JournalEvent::Void, JournalEvent::Clear,
                         JournalEvent::RehearsalWin, JournalEvent::Reconcile,
                         JournalEvent::VerifyStart, JournalEvent::VerifyEnd}) {
    if (name == journal_text::eventName(e)) return e;
  }
  return std::nullopt;
}

bool drawEvent(JournalEvent e) { return e == JournalEvent::Win || e == JournalEvent::RehearsalWin; }
bool slotEvent(JournalEvent e) {
  return e == JournalEvent::Win || e == JournalEvent::RehearsalWin || e == JournalEvent::Void;
}

// The 停止方式 column of a verifiable event's rows: "承诺=<hex>；现场随机数=<digits>" and
// "密钥=<hex>", readable in a spreadsheet and read back by their prefixes.
constexpr std::string_view kCommitmentLabel = "承诺=";
constexpr std::string_view kAudienceLabel = "；现场随机数=";
constexpr std::string_view kSecretLabel = "密钥=";

std::string noteColumn(const JournalRow& row) {
  switch (row.event) {
    case JournalEvent::Reconcile: return row.difference;
    case JournalEvent::VerifyStart:
      return std::string(kCommitmentLabel) + row.commitment + std::string(kAudienceLabel) +
             row.audience;
    case JournalEvent::VerifyEnd: return std::string(kSecretLabel) + row.secret;
    default: return row.stopReason;
  }
}

bool readNoteColumn(const std::string& text, JournalRow& row) {
  const std::string_view t = text;
  switch (row.event) {
    case JournalEvent::Reconcile: row.difference = text; return true;
    case JournalEvent::VerifyStart: {
      if (t.substr(0, kCommitmentLabel.size()) != kCommitmentLabel) return false;
      const std::size_t at = t.find(kAudienceLabel);
      if (at == std::string_view::npos) return false;
      row.commitment = std::string(t.substr(kCommitmentLabel.size(), at - kCommitmentLabel.size()));
      row.audience = std::string(t.substr(at + kAudienceLabel.size()));
      return true;
    }
    case JournalEvent::VerifyEnd:
      if (t.substr(0, kSecretLabel.size()) != kSecretLabel) return false;
      row.secret = std::string(t.substr(kSecretLabel.size()));
      return true;
    default: row.stopReason = text; return true;
  }
}

// Fills row (a fresh one) from a record's fields; false for a damaged record.
bool fillRow(const std::vector<std::string>& f, std::size_t n, JournalRow& row) {
  if (n != kColumns && n != kOwnColumns) return false;
  if (!parseInt(f[0], row.sequence) || row.sequence < 1 || row.sequence > kMaxJournalSequence)
    return false;
  row.time = f[1];
  const auto event = eventFromName(f[2]);
  if (!event) return false;
  row.event = *event;
  if (slotEvent(row.event)) {
    std::int64_t slot = 0;
    if (!parseInt(f[3], slot) || !isSlot(slot)) return false;
    row.slot = static_cast<int>(slot);
  }
  row.drawMode = f[4];
  if (drawEvent(row.event)) {
    if (!parseInt(f[5], row.poolSize)) return false;
    for (int i = 0; i < kSlotCount; ++i) {
      if (!parseInt(f[6 + i], row.poolCounts[i])) return false;
    }
  }
  if (!readNoteColumn(f[14], row)) return false;
  row.designated = drawEvent(row.event) && f[15] == journal_text::kYes;
  for (int i = 0; i < kSlotCount; ++i) row.tallies[i] = f[16 + i];
  if (row.event == JournalEvent::Void && !parseInt(f[24], row.voids)) return false;
  if (n == kColumns) row.chain = f[25];
  return true;
}

// The header of either kind: with the 链值 column, or from before it.
bool isHeader(const std::vector<std::string>& fields, std::size_t n, bool damaged) {
  const auto& headings = journalHeadings();
  return !damaged && (n == kColumns || n == kOwnColumns) &&
         std::equal(fields.begin(), fields.begin() + static_cast<std::ptrdiff_t>(n),
                    headings.begin());
}

std::string ownOfRow(const JournalRow& row) {
  std::vector<std::string> f;
  f.reserve(kColumns);
  for (std::size_t column = 0; column < kOwnColumns; ++column)
    f.push_back(journalField(row, column));
  return joinFields(f, f.size());
}

}  // namespace

const char* journal_text::eventName(JournalEvent event) {
  switch (event) {
    case JournalEvent::Win: return kWin;
    case JournalEvent::Void: return kVoid;
    case JournalEvent::Clear: return kClear;
    case JournalEvent::RehearsalWin: return kRehearsalWin;
    case JournalEvent::Reconcile: return kReconcile;
    case JournalEvent::VerifyStart: return kVerifyStart;
    case JournalEvent::VerifyEnd: return kVerifyEnd;
  }
  return "";
}

const std::vector<std::string>& journalHeadings() {
  static const std::vector<std::string> headings = [] {
    std::vector<std::string> h = {"序号", "时间", "事件", "奖项", "抽奖方式", "奖池总数"};
    for (int n = 1; n <= kSlotCount; ++n) h.push_back("奖池奖项" + std::to_string(n));
    h.push_back("停止方式");
    h.push_back("指定中奖");
    for (int n = 1; n <= kSlotCount; ++n) h.push_back("中奖数奖项" + std::to_string(n));
    h.push_back("所作废序号");
    h.push_back("链值");
    return h;
  }();
  return headings;
}

std::string formatJournalHeader() { return joinRecord(journalHeadings()); }

std::string journalField(const JournalRow& row, std::size_t column) {
  const bool draw = drawEvent(row.event);
  if (column >= 6 && column < 14) return draw ? std::to_string(row.poolCounts[column - 6]) : "";
  if (column >= 16 && column < 24) return row.tallies[column - 16];
  switch (column) {
    case 0: return std::to_string(row.sequence);
    case 1: return row.time;
    case 2: return journal_text::eventName(row.event);
    case 3: return slotEvent(row.event) ? std::to_string(row.slot) : "";
    case 4: return row.drawMode;
    case 5: return draw ? std::to_string(row.poolSize) : "";
    case 14: return noteColumn(row);
    case 15: return draw ? (row.designated ? journal_text::kYes : journal_text::kNo) : "";
    case 24: return row.event == JournalEvent::Void ? std::to_string(row.voids) : "";
    case 25: return row.chain;
  }
  return {};
}

std::string formatJournalRow(const JournalRow& row) {
  std::vector<std::string> f;
  f.reserve(kColumns);
  for (std::size_t column = 0; column < kColumns; ++column) f.push_back(journalField(row, column));
  return joinRecord(f);
}

std::string journalLink(std::string_view previous, std::string_view own) {
  std::string bytes;
  bytes.reserve(previous.size() + own.size());
  bytes.append(previous).append(own);
  return hexText(sha256(bytes));
}

std::string journalLinkOfUnchained(std::string_view own) { return hexText(sha256(own)); }

std::string JournalRecord::own() const {
  if (!fields) return {};
  return joinFields(*fields, kind == Kind::Header ? fieldCount : std::min(fieldCount, kOwnColumns));
}

std::string JournalRecord::passesOn() const {
  if (kind == Kind::Row && row && !row->chain.empty()) return row->chain;
  return journalLinkOfUnchained(own());
}

struct JournalRecordReader::State {
  explicit State(OnRecord on) : onRecord(std::move(on)) {}
  OnRecord onRecord;
  std::string head;  // the first bytes, until the byte-order mark can be told
  bool started = false;
  bool first = true;
  RecordScanner scanner;
  JournalRow row;  // reused from record to record

  void scan(std::string_view bytes) {
    scanner.feed(bytes, [&](const std::vector<std::string>& fields, std::size_t n, bool damaged) {
      JournalRecord record;
      record.fields = &fields;
      record.fieldCount = n;
      const bool header = first && isHeader(fields, n, damaged);
      first = false;
      if (header) {
        record.kind = JournalRecord::Kind::Header;
      } else if (n == 1 && fields[0].empty() && !damaged) {
        return;  // a blank line
      } else if (!damaged) {
        row = JournalRow{};
        if (fillRow(fields, n, row)) {
          record.kind = JournalRecord::Kind::Row;
          record.row = &row;
        }
      }
      if (record.kind == JournalRecord::Kind::Damaged) record.fields = nullptr;
      onRecord(record);
    });
  }
};

JournalRecordReader::JournalRecordReader(OnRecord onRecord)
    : state_(std::make_unique<State>(std::move(onRecord))) {}
JournalRecordReader::~JournalRecordReader() = default;

void JournalRecordReader::feed(std::string_view bytes) {
  State& s = *state_;
  if (!s.started) {
    const std::size_t take = std::min(bytes.size(), kBom.size() - s.head.size());
    s.head.append(bytes.substr(0, take));
    bytes.remove_prefix(take);
    if (s.head.size() < kBom.size()) return;
    s.started = true;
    if (s.head != kBom) s.scan(s.head);
  }
  s.scan(bytes);
}

bool JournalRecordReader::finish() {
  State& s = *state_;
  if (!s.started) {
    s.started = true;
    s.scan(s.head);
  }
  if (!s.scanner.tail().open) return false;
  s.onRecord(JournalRecord{});
  return true;
}

struct JournalParser::State {
  JournalContents contents;
  JournalRecordReader reader{[this](const JournalRecord& record) {
    switch (record.kind) {
      case JournalRecord::Kind::Header: break;
      case JournalRecord::Kind::Row: contents.rows.push_back(*record.row); break;
      case JournalRecord::Kind::Damaged: ++contents.skipped; break;
    }
  }};
};

JournalParser::JournalParser() : state_(std::make_unique<State>()) {}
JournalParser::~JournalParser() = default;

void JournalParser::feed(std::string_view bytes) { state_->reader.feed(bytes); }

JournalContents JournalParser::finish() {
  State& s = *state_;
  s.contents.tornTail = s.reader.finish();
  JournalContents contents = std::move(s.contents);
  state_ = std::make_unique<State>();
  return contents;
}

JournalContents parseJournal(std::string_view bytes) {
  JournalParser parser;
  parser.feed(bytes);
  return parser.finish();
}

std::array<std::string, kSlotCount> talliesAfter(const JournalRow& row) {
  if (row.event != JournalEvent::Clear) return row.tallies;
  std::array<std::string, kSlotCount> zero;
  zero.fill("0");
  return zero;
}

std::string journalFileBytes(const std::vector<JournalRow>& rows) {
  std::string bytes(kBom);
  bytes += formatJournalHeader();
  for (const JournalRow& row : rows) bytes += formatJournalRow(row);
  return bytes;
}

std::string journalTime(std::chrono::system_clock::time_point when) {
  const LocalTime local = localTime(std::chrono::system_clock::to_time_t(when));
  char text[40];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local.fields);
  const long offset = local.offsetSeconds;
  // A zone is never more than a day from UTC.
  const int minutes = static_cast<int>(((offset < 0 ? -offset : offset) / 60) % (24 * 60));
  char zone[16];
  std::snprintf(zone, sizeof zone, " %c%02d:%02d", offset < 0 ? '-' : '+', minutes / 60,
                minutes % 60);
  return std::string(text) + zone;
}

Journal::Journal(std::string path, Clock clock) : path_(std::move(path)), clock_(std::move(clock)) {
  if (!clock_) clock_ = [] { return std::chrono::system_clock::now(); };
}

namespace {

constexpr std::size_t kReadPiece = 64 * 1024;

// Reads from fd at offset (or from where it stands, for -1) until the end, in pieces.
template <class OnPiece>
bool readPieces(int fd, std::int64_t offset, OnPiece piece) {
  std::vector<char> buffer(kReadPiece);
  for (;;) {
    const std::int64_t n = readFile(fd, buffer.data(), buffer.size(), offset);
    if (n < 0) return false;
    if (n == 0) return true;
    if (offset >= 0) offset += n;
    piece(std::string_view(buffer.data(), static_cast<std::size_t>(n)));
  }
}

}  // namespace

JournalContents Journal::read() const {
  const int fd = openRegularFileForReading(path_);
  if (fd < 0) return {};
  JournalParser parser;
  const bool ok = readPieces(fd, -1, [&](std::string_view piece) { parser.feed(piece); });
  closeFile(fd);
  JournalContents contents = parser.finish();
  return ok ? std::move(contents) : JournalContents{};
}

void Journal::account(const JournalRow& row) {
  last_ = row;
  switch (row.event) {
    case JournalEvent::Win: voidable_ = row; break;
    case JournalEvent::Void:
    case JournalEvent::Clear:
    case JournalEvent::Reconcile: voidable_.reset(); break;
    case JournalEvent::RehearsalWin:
    case JournalEvent::VerifyStart:
    case JournalEvent::VerifyEnd: break;
  }
}

void Journal::scanIfChanged() {
  const std::optional<FileStatus> status = fileStatus(path_);
  const std::int64_t size = status && status->regular ? status->size : 0;
  if (scanned_ && size == knownSize_) return;
  // Only the tail is read: enough to hold the last rows, grown while it holds no intact
  // row, never the whole of a long (or damaged) file. A row earlier than the tail no
  // longer decides anything: the next number follows the largest in the tail.
  std::int64_t last = 0;
  voidable_.reset();
  last_.reset();
  Tail tail;
  const int fd = size > 0 ? openRegularFileForReading(path_) : -1;
  for (std::int64_t window = kTailWindow; fd >= 0; window *= 4) {
    const std::int64_t from = std::max<std::int64_t>(0, size - window);
    // A tail that starts inside the file starts after its first line break; the bytes
    // before it may be the end of a longer row.
    bool skipping = from > 0;
    RecordScanner scanner;
    chainTail_.clear();
    bool firstRecord = from == 0;
    const auto onRecord = [&](const std::vector<std::string>& fields, std::size_t n,
                              bool damaged) {
      JournalRecord record;
      record.fields = &fields;
      record.fieldCount = n;
      JournalRow row;
      if (std::exchange(firstRecord, false) && isHeader(fields, n, damaged)) {
        record.kind = JournalRecord::Kind::Header;
        chainTail_ = record.passesOn();
      } else if (!damaged && fillRow(fields, n, row)) {
        record.kind = JournalRecord::Kind::Row;
        record.row = &row;
        chainTail_ = record.passesOn();
        last = std::max(last, row.sequence);
        account(row);
      }
    };
    // From the byte before, so that a tail starting right at a line keeps that line.
    std::int64_t at = skipping ? from - 1 : from;
    bool first = true;
    readPieces(fd, at, [&](std::string_view piece) {
      if (at >= size) return;  // grown meanwhile: read at the next append
      piece = piece.substr(0, static_cast<std::size_t>(std::min<std::int64_t>(
                                  static_cast<std::int64_t>(piece.size()), size - at)));
      at += static_cast<std::int64_t>(piece.size());
      if (first && from == 0 && piece.substr(0, kBom.size()) == kBom)
        piece.remove_prefix(kBom.size());
      first = false;
      if (skipping) {
        const std::size_t lineEnd = piece.find('\n');
        if (lineEnd == std::string_view::npos) return;
        piece.remove_prefix(lineEnd + 1);
        skipping = false;
      }
      scanner.feed(piece, onRecord);
    });
    tail = scanner.tail();
    if (last_ || from == 0 || window >= kMaxTailWindow) break;
  }
  if (fd >= 0) closeFile(fd);
  // A sequence number once handed out in this run is never handed out again.
  nextSequence_ = std::max(scanned_ ? nextSequence_ : 1, last + 1);
  tailOpen_ = tail.open;
  tailInQuotes_ = tail.inQuotes;
  knownSize_ = size;
  scanned_ = true;
}

std::optional<JournalRow> Journal::voidableWin() {
  scanIfChanged();
  return voidable_;
}

std::optional<JournalRow> Journal::lastRow() {
  scanIfChanged();
  return last_;
}

std::int64_t Journal::nextSequence() {
  scanIfChanged();
  return nextSequence_;
}

std::optional<JournalRow> Journal::append(JournalRow row) {
  scanIfChanged();
  row.sequence = nextSequence_++;
  row.time = journalTime(clock_());
  account(row);

  // A link is followed only to a regular file of this user; a FIFO or a device under the
  // name is never opened (a FIFO would block the stage in open()).
  const std::optional<std::string> target = writableTarget(path_);
  if (!target) return std::nullopt;
  const AppendOutcome outcome = appendToFileSynced(*target, [&](std::int64_t size) {
    std::string out;
    std::string previous = chainTail_;
    if (size == 0) {
      out = std::string(kBom) + formatJournalHeader();
      const std::string header = formatJournalHeader();
      previous = journalLinkOfUnchained(header.substr(0, header.size() - kLineEnd.size()));
    } else if (size == knownSize_ && tailOpen_) {
      // A row cut short by a crash is ended on its own line (closing its quote first), so
      // that it reads as one damaged record and this row stays whole.
      out = std::string(tailInQuotes_ ? "\"" : "") + std::string(kLineEnd);
    }
    row.chain = journalLink(previous, ownOfRow(row));
    if (last_) last_->chain = row.chain;
    if (voidable_ && voidable_->sequence == row.sequence) voidable_->chain = row.chain;
    return out + formatJournalRow(row);
  });
  if (!outcome.opened) return std::nullopt;
  if (!outcome.ok) {
    // Whatever part of the row reached the file is found by the next scan.
    if (outcome.written > 0) knownSize_ = -1;
    return std::nullopt;
  }
  knownSize_ = outcome.sizeBefore + static_cast<std::int64_t>(outcome.written);
  tailOpen_ = tailInQuotes_ = false;
  chainTail_ = row.chain;
  return row;
}

}  // namespace zv
