#include "store/ini_file.h"

#include <cstdint>
#include <cstring>
#include <optional>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "platform/files.h"
#include "platform/text_codec.h"

namespace zv::ini {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

unsigned char u8(char c) { return static_cast<unsigned char>(c); }

bool isControlOrSpace(char c) { return u8(c) <= 32; }
bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimmed(std::string_view s, bool (*strip)(char)) {
  while (!s.empty() && strip(s.front())) s.remove_prefix(1);
  while (!s.empty() && strip(s.back())) s.remove_suffix(1);
  return s;
}

// The parsed file works on raw offsets so that a write can splice the one line it
// changes and leave every other byte as it was. Only names are decoded (GBK trail
// bytes include '[', ']' and ASCII letters); '=', blanks, quotes and line ends lie
// below every trail byte, so they are safe to find in the raw bytes. Key names are
// decoded only for the sections that lookups ask for, so a huge file costs one pass
// over its bytes.
struct Line {
  enum Kind { Blank, Comment, Section, KeyValue, Other };
  Kind kind = Blank;
  std::size_t start = 0;       // first byte of the line
  std::size_t contentEnd = 0;  // first byte of its line end
  std::size_t end = 0;         // first byte after its line end
  std::size_t nameStart = 0, nameEnd = 0;    // a key's raw name, trimmed
  std::size_t valueStart = 0, valueEnd = 0;  // a key's raw value, blanks trimmed
};

// Names match ignoring the case of ASCII letters only; both sides are UTF-8 here, whose
// multi-byte sequences contain no ASCII bytes, so folding bytes is safe.
std::string folded(std::string_view name) {
  std::string out(name);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

bool isAscii(std::string_view raw) {
  for (const char c : raw)
    if (u8(c) >= 0x80) return false;
  return true;
}

// The first section of each name: what a lookup sees. Its lines are read on first use.
struct SectionIndex {
  Line header;
  std::size_t bodyEnd = 0;  // first byte of the next header, or the end of the file
};

struct Document {
  std::string_view bytes;
  bool utf8 = false;
  std::size_t bodyStart = 0;  // after a byte-order mark
  std::unordered_map<std::string, SectionIndex> sections;  // by folded name

  std::string decode(std::string_view raw) const {
    if (isAscii(raw)) return std::string(raw);
    return utf8 ? std::string(raw) : gbkToUtf8(raw);
  }
  std::string encode(std::string_view text) const {
    return utf8 ? std::string(text) : utf8ToGbk(text);
  }
};

// The name of a header "[name]"; a line that opens with '[' but never closes it is no
// header (it is read as any other line), as the Windows profile functions read it.
std::optional<std::string> sectionHeader(const Document& doc, std::string_view afterBracket) {
  const std::string text = doc.decode(afterBracket);
  const std::string_view view(text);
  const auto close = view.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return std::string(trimmed(view.substr(0, close), isControlOrSpace));
}

// Classifies one line; a header's decoded name goes to headerName.
Line parseLine(const Document& doc, std::size_t start, std::size_t contentEnd, std::size_t end,
               std::optional<std::string>& headerName) {
  Line line;
  line.start = start;
  line.contentEnd = contentEnd;
  line.end = end;
  const std::string_view content = doc.bytes.substr(start, contentEnd - start);
  std::size_t first = 0;
  while (first < content.size() && isControlOrSpace(content[first])) ++first;
  headerName.reset();
  if (first == content.size()) {
    line.kind = Line::Blank;
  } else if (content[first] == ';') {
    line.kind = Line::Comment;
  } else if (content[first] == '[' &&
             (headerName = sectionHeader(doc, content.substr(first + 1)))) {
    line.kind = Line::Section;
  } else if (const auto eq = content.find('='); eq != std::string_view::npos) {
    line.kind = Line::KeyValue;
    std::size_t ns = 0, ne = eq;
    while (ns < ne && isControlOrSpace(content[ns])) ++ns;
    while (ne > ns && isControlOrSpace(content[ne - 1])) --ne;
    line.nameStart = start + ns;
    line.nameEnd = start + ne;
    std::size_t vs = eq + 1, ve = content.size();
    while (vs < ve && isBlank(content[vs])) ++vs;
    while (ve > vs && isBlank(content[ve - 1])) --ve;
    line.valueStart = start + vs;
    line.valueEnd = start + ve;
  } else {
    line.kind = Line::Other;
  }
  return line;
}

// Calls each(line, headerName) for every line from pos to limit.
template <typename Each>
void forEachLine(const Document& doc, std::size_t pos, std::size_t limit, Each each) {
  const std::string_view bytes = doc.bytes;
  std::optional<std::string> headerName;
  while (pos < limit) {
    const auto* lf = static_cast<const char*>(std::memchr(bytes.data() + pos, '\n', limit - pos));
    std::size_t end = lf ? static_cast<std::size_t>(lf - bytes.data()) + 1 : limit;
    // A lone CR ends a line too.
    if (const auto* cr = static_cast<const char*>(std::memchr(bytes.data() + pos, '\r', end - pos))) {
      const auto at = static_cast<std::size_t>(cr - bytes.data());
      end = at + 1 < limit && bytes[at + 1] == '\n' ? at + 2 : at + 1;
    }
    std::size_t contentEnd = end;
    while (contentEnd > pos && (bytes[contentEnd - 1] == '\n' || bytes[contentEnd - 1] == '\r'))
      --contentEnd;
    if (!each(parseLine(doc, pos, contentEnd, end, headerName), headerName)) return;
    pos = end;
  }
}

// One pass that finds the section headers; key lines are looked at only for the sections
// that are read.
Document parse(std::string_view bytes) {
  Document doc;
  doc.bytes = bytes;
  doc.utf8 = isUtf8Text(bytes);
  if (doc.utf8 && bytes.starts_with(kBom)) doc.bodyStart = kBom.size();
  SectionIndex* current = nullptr;  // null outside a section that lookups can see
  forEachLine(doc, doc.bodyStart, bytes.size(),
              [&](const Line& line, const std::optional<std::string>& headerName) {
                if (line.kind != Line::Section) return true;
                if (current) current->bodyEnd = line.start;
                // A later section of a name already seen is never read.
                const auto [entry, fresh] = doc.sections.try_emplace(folded(*headerName));
                current = fresh ? &entry->second : nullptr;
                if (current) current->header = line;
                return true;
              });
  if (current) current->bodyEnd = bytes.size();
  return doc;
}

// A file as last read and parsed. A read sees the file as it is now: the parse is reused
// only while the file's identity, size and modification time (to the nanosecond) stay
// the same, which every replacement by rename or in-place edit changes.
using Stamp = FileStatus;

std::optional<Stamp> stampOf(const std::string& path) { return fileStatus(path); }

class ParsedFile {
 public:
  ParsedFile() = default;
  ParsedFile(Stamp stamp, std::string bytes) : stamp_(stamp), bytes_(std::move(bytes)) {
    doc_ = parse(bytes_);
  }
  ParsedFile(const ParsedFile&) = delete;
  ParsedFile& operator=(const ParsedFile&) = delete;

  const Stamp& stamp() const { return stamp_; }
  const std::string& bytes() const { return bytes_; }
  const Document& doc() const { return doc_; }

  // The first section of that name, and in it the first line of the key.
  struct Lookup {
    bool section = false;
    std::optional<Line> key;
    Line lastContent;  // last non-blank line of the section (its header when it has none)
  };
  Lookup find(std::string_view section, std::string_view key) const {
    Lookup found;
    const auto entry = doc_.sections.find(folded(section));
    if (entry == doc_.sections.end()) return found;
    found.section = true;
    const std::lock_guard lock(keysMutex_);
    auto [lines, fresh] = sectionLines_.try_emplace(entry->first);
    SectionLines& own = lines->second;
    if (fresh) {
      const SectionIndex& s = entry->second;
      own.lastContent = s.header;
      forEachLine(doc_, s.header.end, s.bodyEnd, [&](const Line& line, const auto&) {
        if (line.kind != Line::Blank) own.lastContent = line;
        if (line.kind == Line::KeyValue) {
          const auto raw = doc_.bytes.substr(line.nameStart, line.nameEnd - line.nameStart);
          own.keys.try_emplace(folded(doc_.decode(raw)), line);
        }
        return true;
      });
    }
    found.lastContent = own.lastContent;
    if (const auto k = own.keys.find(folded(key)); k != own.keys.end()) found.key = k->second;
    return found;
  }

 private:
  Stamp stamp_;
  std::string bytes_;
  Document doc_;  // views into bytes_
  struct SectionLines {
    std::unordered_map<std::string, Line> keys;  // the first line of each folded key
    Line lastContent;
  };
  mutable std::mutex keysMutex_;
  mutable std::unordered_map<std::string, SectionLines> sectionLines_;
};

// The parsed file, or null when it is missing or cannot be read.
std::shared_ptr<const ParsedFile> load(const std::string& path) {
  static std::mutex mutex;
  static std::unordered_map<std::string, std::shared_ptr<const ParsedFile>> cache;
  constexpr std::size_t kMaxCached = 8;  // the program uses two files

  const auto before = stampOf(path);
  if (!before) return nullptr;
  {
    const std::lock_guard lock(mutex);
    if (const auto it = cache.find(path); it != cache.end() && it->second->stamp() == *before)
      return it->second;
  }
  auto bytes = tryReadWholeFile(path);
  if (!bytes) return nullptr;
  auto parsed = std::make_shared<const ParsedFile>(*before, std::move(*bytes));
  // Changed while it was read: used this once, not kept.
  if (stampOf(path) != before) return parsed;
  const std::lock_guard lock(mutex);
  if (cache.size() >= kMaxCached && !cache.count(path)) cache.erase(cache.begin());
  cache[path] = parsed;
  return parsed;
}

// What the caller names: leading control characters and blanks do not count, and
// trailing blanks cannot match anything in a file, whose names are trimmed.
std::string_view callerName(std::string_view name) { return trimmed(name, isControlOrSpace); }

// The number of bytes of the value that fit the limit without cutting a character.
std::size_t cappedLength(std::string_view raw, bool utf8) {
  if (raw.size() <= kMaxValueBytes) return raw.size();
  if (utf8) {
    std::size_t n = kMaxValueBytes;
    while (n > 0 && (u8(raw[n]) & 0xC0) == 0x80) --n;
    return n;
  }
  // GBK / GB18030: step character by character from the start, as a decoder would.
  std::size_t n = 0;
  while (n < raw.size()) {
    std::size_t len = 1;
    const unsigned char b0 = u8(raw[n]);
    if (b0 >= 0x81 && b0 <= 0xFE && n + 1 < raw.size()) {
      const unsigned char b1 = u8(raw[n + 1]);
      if (b1 >= 0x30 && b1 <= 0x39) {
        if (n + 3 < raw.size() && u8(raw[n + 2]) >= 0x81 && u8(raw[n + 2]) <= 0xFE &&
            u8(raw[n + 3]) >= 0x30 && u8(raw[n + 3]) <= 0x39)
          len = 4;
      } else if (b1 >= 0x40 && b1 <= 0xFE && b1 != 0x7F) {
        len = 2;
      }
    }
    if (n + len > kMaxValueBytes) break;
    n += len;
  }
  return n;
}

}  // namespace

std::string read(const std::string& path, std::string_view section, std::string_view key,
                 std::optional<std::string_view> fallback) {
  const std::string missing(fallback.value_or(std::string_view()));
  const auto file = load(path);
  if (!file) return missing;
  const Document& doc = file->doc();
  const auto found = file->find(callerName(section), callerName(key));
  if (!found.key) return missing;

  const Line& line = *found.key;
  std::string_view value = doc.bytes.substr(line.valueStart, line.valueEnd - line.valueStart);
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return doc.decode(value.substr(0, cappedLength(value, doc.utf8)));
}

bool write(const std::string& path, std::string_view section, std::string_view key,
           std::string_view value) {
  const std::string_view sectionName = callerName(section);
  const std::string_view keyName = callerName(key);
  if (sectionName.empty() || keyName.empty()) return false;

  const auto file = load(path);
  // Never replace a file that is there but could not be read.
  if (!file && pathExists(path)) return false;
  static const ParsedFile kNoFile;
  const ParsedFile& parsed = file ? *file : kNoFile;
  const std::string& bytes = parsed.bytes();
  const Document& doc = parsed.doc();
  const auto found = parsed.find(sectionName, keyName);
  const std::string entry = doc.encode(keyName) + "=" + doc.encode(value);

  std::string out;
  out.reserve(bytes.size() + entry.size() + sectionName.size() + 8);
  if (found.key) {
    // The line keeps its own line end; only its text is replaced.
    const Line& line = *found.key;
    out.append(bytes, 0, line.start);
    out += entry;
    out.append(bytes, line.contentEnd);
  } else if (found.section) {
    const Line& last = found.lastContent;
    out.append(bytes, 0, last.end);
    if (last.end == last.contentEnd) out += "\r\n";  // last line of a file without an end
    out += entry + "\r\n";
    out.append(bytes, last.end);
  } else {
    out = bytes;
    const bool atLineStart =
        out.size() <= doc.bodyStart || out.back() == '\n' || out.back() == '\r';
    if (!atLineStart) out += "\r\n";
    out += "[" + doc.encode(sectionName) + "]\r\n" + entry + "\r\n";
  }
  return writeWholeFileAtomically(path, out);
}

}  // namespace zv::ini
