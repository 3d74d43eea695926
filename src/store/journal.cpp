#include "store/journal.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <ctime>
#include <utility>

#include "platform/files.h"

namespace zv {

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr std::string_view kLineEnd = "\r\n";
constexpr std::size_t kColumns = 25;

const char* kSlotNumbers[8] = {"1", "2", "3", "4", "5", "6", "7", "8"};

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

std::string joinRecord(const std::vector<std::string>& fields) {
  std::string line;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i) line += ',';
    line += csvField(fields[i]);
  }
  return line + std::string(kLineEnd);
}

// Where a scan of the bytes ended: inside a record, and inside a quoted field of it.
struct Tail {
  bool open = false;
  bool inQuotes = false;
};

// Calls record(fields, n) for every record ended by a line break outside quotes (CR LF, or
// a lone LF from an editor); its fields are fields[0..n). What follows the last line break
// is the tail, not a record. The field strings are reused from record to record.
template <class OnRecord>
Tail scanRecords(std::string_view bytes, OnRecord record) {
  std::vector<std::string> fields(kColumns);
  std::size_t n = 1;
  fields[0].clear();
  bool inQuotes = false, afterQuote = false;
  std::size_t recordStart = 0;
  const char* data = bytes.data();
  const std::size_t size = bytes.size();
  for (std::size_t i = 0; i < size; ++i) {
    std::string& field = fields[n - 1];
    if (inQuotes) {
      std::size_t j = i;
      while (j < size && data[j] != '"') ++j;
      field.append(data + i, j - i);
      i = j;
      if (i >= size) break;
      if (i + 1 < size && data[i + 1] == '"') {
        field += '"';
        ++i;
      } else {
        inQuotes = false;
        afterQuote = true;
      }
      continue;
    }
    const char c = data[i];
    if (c == '"' && field.empty() && !afterQuote) {
      inQuotes = true;
    } else if (c == ',') {
      if (n == fields.size()) fields.emplace_back();
      fields[n++].clear();
      afterQuote = false;
    } else if (c == '\n' || (c == '\r' && i + 1 < size && data[i + 1] == '\n')) {
      if (c == '\r') ++i;
      record(fields, n);
      n = 1;
      fields[0].clear();
      afterQuote = false;
      recordStart = i + 1;
    } else {
      // A run of plain characters at once.
      std::size_t j = i + 1;
      while (j < size && data[j] != ',' && data[j] != '\n' && data[j] != '\r' && data[j] != '"') {
        ++j;
      }
      field.append(data + i, j - i);
      i = j - 1;
    }
  }
  return {recordStart < size, inQuotes};
}

bool parseInt(const std::string& text, std::int64_t& value) {
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  return ec == std::errc() && ptr == end;
}

std::optional<JournalEvent> eventFromName(std::string_view name) {
  for (JournalEvent e : {JournalEvent::Win, JournalEvent::Void, JournalEvent::Clear,
                         JournalEvent::RehearsalWin}) {
    if (name == journal_text::eventName(e)) return e;
  }
  return std::nullopt;
}

bool drawEvent(JournalEvent e) { return e == JournalEvent::Win || e == JournalEvent::RehearsalWin; }

// Fills row (a fresh one) from a record's fields; false for a damaged record.
bool fillRow(const std::vector<std::string>& f, std::size_t n, JournalRow& row) {
  if (n != kColumns) return false;
  if (!parseInt(f[0], row.sequence) || row.sequence < 1) return false;
  row.time = f[1];
  const auto event = eventFromName(f[2]);
  if (!event) return false;
  row.event = *event;
  if (row.event != JournalEvent::Clear) {
    std::int64_t slot = 0;
    if (!parseInt(f[3], slot) || slot < 1 || slot > 8) return false;
    row.slot = static_cast<int>(slot);
  }
  row.drawMode = f[4];
  if (drawEvent(row.event)) {
    if (!parseInt(f[5], row.poolSize)) return false;
    for (int i = 0; i < 8; ++i) {
      if (!parseInt(f[6 + i], row.poolCounts[i])) return false;
    }
  }
  row.stopReason = f[14];
  row.designated = f[15] == journal_text::kYes;
  for (int i = 0; i < 8; ++i) row.tallies[i] = f[16 + i];
  if (row.event == JournalEvent::Void && !parseInt(f[24], row.voids)) return false;
  return true;
}

}  // namespace

const char* journal_text::eventName(JournalEvent event) {
  switch (event) {
    case JournalEvent::Win: return kWin;
    case JournalEvent::Void: return kVoid;
    case JournalEvent::Clear: return kClear;
    case JournalEvent::RehearsalWin: return kRehearsalWin;
  }
  return "";
}

const std::vector<std::string>& journalHeadings() {
  static const std::vector<std::string> headings = [] {
    std::vector<std::string> h = {"序号", "时间", "事件", "奖项", "抽奖方式", "奖池总数"};
    for (const char* n : kSlotNumbers) h.push_back(std::string("奖池奖项") + n);
    h.push_back("停止方式");
    h.push_back("指定中奖");
    for (const char* n : kSlotNumbers) h.push_back(std::string("中奖数奖项") + n);
    h.push_back("所作废序号");
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
    case 3: return row.event == JournalEvent::Clear ? "" : std::to_string(row.slot);
    case 4: return row.drawMode;
    case 5: return draw ? std::to_string(row.poolSize) : "";
    case 14: return row.stopReason;
    case 15: return draw ? (row.designated ? journal_text::kYes : journal_text::kNo) : "";
    case 24: return row.event == JournalEvent::Void ? std::to_string(row.voids) : "";
  }
  return {};
}

std::string formatJournalRow(const JournalRow& row) {
  std::vector<std::string> f;
  f.reserve(kColumns);
  for (std::size_t column = 0; column < kColumns; ++column) f.push_back(journalField(row, column));
  return joinRecord(f);
}

JournalContents parseJournal(std::string_view bytes) {
  if (bytes.substr(0, kBom.size()) == kBom) bytes.remove_prefix(kBom.size());
  JournalContents contents;
  // One row a line as written: reserved at once, the rows are never moved while growing.
  contents.rows.reserve(static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n')));
  bool first = true;
  const auto& headings = journalHeadings();
  const Tail tail = scanRecords(bytes, [&](const std::vector<std::string>& fields, std::size_t n) {
    const bool header =
        first && n == headings.size() && std::equal(headings.begin(), headings.end(), fields.begin());
    first = false;
    if (header) return;
    if (n == 1 && fields[0].empty()) return;  // a blank line
    // Filled where it stays: a row is never moved once read.
    if (!fillRow(fields, n, contents.rows.emplace_back())) {
      contents.rows.pop_back();
      ++contents.skipped;
    }
  });
  if (tail.open) {
    contents.tornTail = true;
    ++contents.skipped;
  }
  return contents;
}

std::string journalFileBytes(const std::vector<JournalRow>& rows) {
  std::string bytes(kBom);
  bytes += formatJournalHeader();
  for (const JournalRow& row : rows) bytes += formatJournalRow(row);
  return bytes;
}

std::string journalTime(std::chrono::system_clock::time_point when) {
  const std::time_t t = std::chrono::system_clock::to_time_t(when);
  std::tm local{};
  localtime_r(&t, &local);
  char text[40];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  const long offset = local.tm_gmtoff;
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

JournalContents Journal::read() const {
  const std::optional<std::string> bytes = tryReadWholeFile(path_);
  return bytes ? parseJournal(*bytes) : JournalContents{};
}

void Journal::account(const JournalRow& row) {
  switch (row.event) {
    case JournalEvent::Win: voidable_ = row; break;
    case JournalEvent::Void:
    case JournalEvent::Clear: voidable_.reset(); break;
    case JournalEvent::RehearsalWin: break;
  }
}

void Journal::scanIfChanged() {
  struct stat st {};
  const std::int64_t size = ::stat(path_.c_str(), &st) == 0 ? st.st_size : 0;
  if (scanned_ && size == knownSize_) return;
  const std::string bytes = size > 0 ? readWholeFile(path_) : std::string();
  std::string_view body = bytes;
  if (body.substr(0, kBom.size()) == kBom) body.remove_prefix(kBom.size());
  // Replayed from the file; a sequence number once handed out is never handed out again.
  std::int64_t last = 0;
  voidable_.reset();
  const Tail tail = scanRecords(body, [&](const std::vector<std::string>& fields, std::size_t n) {
    JournalRow row;
    if (fillRow(fields, n, row)) {
      last = std::max(last, row.sequence);
      account(row);
    }
  });
  nextSequence_ = std::max(scanned_ ? nextSequence_ : 1, last + 1);
  tailOpen_ = tail.open;
  tailInQuotes_ = tail.inQuotes;
  knownSize_ = static_cast<std::int64_t>(bytes.size());
  scanned_ = true;
}

std::optional<JournalRow> Journal::voidableWin() {
  scanIfChanged();
  return voidable_;
}

std::optional<JournalRow> Journal::append(JournalRow row) {
  scanIfChanged();
  row.sequence = nextSequence_++;
  row.time = journalTime(clock_());
  account(row);

  const bool existed = fileExists(path_);
  const int fd = ::open(path_.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return std::nullopt;
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    ::close(fd);
    return std::nullopt;
  }
  std::string out;
  if (st.st_size == 0) {
    out = std::string(kBom) + formatJournalHeader();
  } else if (st.st_size == knownSize_ && tailOpen_) {
    // A row cut short by a crash is ended on its own line (closing its quote first), so
    // that it reads as one damaged record and this row stays whole.
    out = std::string(tailInQuotes_ ? "\"" : "") + std::string(kLineEnd);
  }
  out += formatJournalRow(row);
  std::size_t written = 0;
  bool ok = true;
  while (written < out.size()) {
    const ssize_t n = ::write(fd, out.data() + written, out.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ok = false;
      break;
    }
    written += static_cast<std::size_t>(n);
  }
  ok = ::fdatasync(fd) == 0 && ok;
  ok = ::close(fd) == 0 && ok;
  if (ok && !existed) {
    // The new file's name must survive a power cut too.
    const std::size_t slash = path_.rfind('/');
    const std::string dir = slash == std::string::npos ? "." : path_.substr(0, slash);
    const int dirFd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
      ::fsync(dirFd);
      ::close(dirFd);
    }
  }
  if (!ok) {
    // Whatever part of the row reached the file is found by the next scan.
    if (written > 0) knownSize_ = -1;
    return std::nullopt;
  }
  knownSize_ = static_cast<std::int64_t>(st.st_size) + static_cast<std::int64_t>(out.size());
  tailOpen_ = tailInQuotes_ = false;
  return row;
}

}  // namespace zv
