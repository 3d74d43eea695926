#include "store/ini_file.h"

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

// Names match ignoring the case of ASCII letters only. Both sides are UTF-8 here,
// whose multi-byte sequences contain no ASCII bytes, so a byte compare is safe.
bool sameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

// The parsed file works on raw offsets so that a write can splice the one line it
// changes and leave every other byte as it was. Only names are decoded (GBK trail
// bytes include '[', ']' and ASCII letters); '=', blanks, quotes and line ends lie
// below every trail byte, so they are safe to find in the raw bytes.
struct Line {
  enum Kind { Blank, Comment, Section, KeyValue, Other };
  Kind kind = Blank;
  std::size_t start = 0;       // first byte of the line
  std::size_t contentEnd = 0;  // first byte of its line end
  std::size_t end = 0;         // first byte after its line end
  std::string name;            // section or key, decoded and trimmed
  std::size_t valueStart = 0, valueEnd = 0;
};

struct Document {
  std::string_view bytes;
  bool utf8 = false;
  std::size_t bodyStart = 0;  // after a byte-order mark
  std::vector<Line> lines;

  std::string decode(std::string_view raw) const {
    return utf8 ? std::string(raw) : gbkToUtf8(raw);
  }
  std::string encode(std::string_view text) const {
    return utf8 ? std::string(text) : utf8ToGbk(text);
  }
};

Line parseLine(const Document& doc, std::size_t start, std::size_t contentEnd, std::size_t end) {
  Line line;
  line.start = start;
  line.contentEnd = contentEnd;
  line.end = end;
  const std::string_view content = doc.bytes.substr(start, contentEnd - start);
  std::size_t first = 0;
  while (first < content.size() && isControlOrSpace(content[first])) ++first;
  if (first == content.size()) {
    line.kind = Line::Blank;
  } else if (content[first] == ';') {
    line.kind = Line::Comment;
  } else if (content[first] == '[') {
    line.kind = Line::Section;
    const std::string text = doc.decode(content.substr(first + 1));
    const std::string_view view(text);
    line.name = trimmed(view.substr(0, view.find(']')), isControlOrSpace);
  } else if (const auto eq = content.find('='); eq != std::string_view::npos) {
    line.kind = Line::KeyValue;
    line.name = trimmed(doc.decode(content.substr(0, eq)), isControlOrSpace);
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

Document parse(std::string_view bytes) {
  Document doc;
  doc.bytes = bytes;
  doc.utf8 = isUtf8Text(bytes);
  if (doc.utf8 && bytes.starts_with(kBom)) doc.bodyStart = kBom.size();
  std::size_t pos = doc.bodyStart;
  while (pos < bytes.size()) {
    std::size_t contentEnd = pos;
    while (contentEnd < bytes.size() && bytes[contentEnd] != '\r' && bytes[contentEnd] != '\n')
      ++contentEnd;
    std::size_t end = contentEnd;
    if (end < bytes.size()) {
      if (bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n') ++end;
      ++end;
    }
    doc.lines.push_back(parseLine(doc, pos, contentEnd, end));
    pos = end;
  }
  return doc;
}

// The lines of the first section with the given name, and in it the first key line
// with the given key.
struct Lookup {
  std::ptrdiff_t section = -1;      // index of the header line
  std::ptrdiff_t key = -1;          // index of the key line
  std::ptrdiff_t lastContent = -1;  // last non-blank line of the section
};

Lookup find(const Document& doc, std::string_view section, std::string_view key) {
  Lookup found;
  for (std::size_t i = 0; i < doc.lines.size(); ++i) {
    const Line& line = doc.lines[i];
    const auto index = static_cast<std::ptrdiff_t>(i);
    if (line.kind == Line::Section) {
      if (found.section >= 0) break;  // a later section, even of the same name, is not seen
      if (sameName(line.name, section)) found.section = found.lastContent = index;
      continue;
    }
    if (found.section < 0) continue;
    if (line.kind != Line::Blank) found.lastContent = index;
    if (found.key < 0 && line.kind == Line::KeyValue && sameName(line.name, key)) found.key = index;
  }
  return found;
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
  const auto bytes = tryReadWholeFile(path);
  if (!bytes) return missing;
  const Document doc = parse(*bytes);
  const Lookup found = find(doc, callerName(section), callerName(key));
  if (found.key < 0) return missing;

  const Line& line = doc.lines[static_cast<std::size_t>(found.key)];
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

  auto existing = tryReadWholeFile(path);
  if (!existing) {
    // Never replace a file that is there but could not be read.
    if (pathExists(path)) return false;
    existing.emplace();
  }
  const std::string& bytes = *existing;
  const Document doc = parse(bytes);
  const Lookup found = find(doc, sectionName, keyName);
  const std::string entry = doc.encode(keyName) + "=" + doc.encode(value);

  std::string out;
  out.reserve(bytes.size() + entry.size() + sectionName.size() + 8);
  if (found.key >= 0) {
    // The line keeps its own line end; only its text is replaced.
    const Line& line = doc.lines[static_cast<std::size_t>(found.key)];
    out.append(bytes, 0, line.start);
    out += entry;
    out.append(bytes, line.contentEnd);
  } else if (found.section >= 0) {
    const Line& last = doc.lines[static_cast<std::size_t>(found.lastContent)];
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
