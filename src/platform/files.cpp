#include "platform/files.h"

#include <cstdio>
#include <mutex>
#include <set>
#include <utility>

#include "platform/files_detail.h"

namespace zv {
namespace files_detail {
namespace {

constexpr std::string_view kTemporaryMark = ".tmp-";

std::function<std::uint64_t()>& nameSource() {
  static std::function<std::uint64_t()> source;
  return source;
}

bool allOf(std::string_view text, bool (*accept)(char)) {
  for (char c : text)
    if (!accept(c)) return false;
  return !text.empty();
}
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isLowerHex(char c) { return isDigit(c) || (c >= 'a' && c <= 'f'); }

struct UnusableFiles {
  std::mutex mutex;
  std::function<void(const std::string&)> listener;
  std::set<std::string> reported;
};
UnusableFiles& unusableFiles() {
  static UnusableFiles files;
  return files;
}

// The last separator in path, npos without one. Backslashes are ordinary name
// characters on Linux.
std::size_t lastSeparator(const std::string& path) {
  return pathSeparator() == '/' ? path.find_last_of('/') : path.find_last_of("/\\");
}

}  // namespace

std::uint64_t nextRandom() { return nameSource() ? nameSource()() : systemRandom(); }

bool isTemporaryOf(std::string_view entry, std::string_view target) {
  const std::size_t prefix = 1 + target.size() + kTemporaryMark.size();
  if (entry.size() <= prefix || entry[0] != '.' || entry.substr(1, target.size()) != target ||
      entry.substr(1 + target.size(), kTemporaryMark.size()) != kTemporaryMark)
    return false;
  const std::string_view rest = entry.substr(prefix);
  if (rest.size() == 16 && allOf(rest, isLowerHex)) return true;
  const std::size_t dash = rest.find('-');
  return dash != std::string_view::npos && allOf(rest.substr(0, dash), isDigit) &&
         allOf(rest.substr(dash + 1), isDigit);
}

void reportUnusable(const std::string& path) {
  std::function<void(const std::string&)> listener;
  {
    UnusableFiles& u = unusableFiles();
    const std::lock_guard<std::mutex> lock(u.mutex);
    if (!u.listener || !u.reported.insert(path).second) return;
    listener = u.listener;
  }
  listener(path);
}

bool isSeparator(char c) { return c == '/' || c == '\\'; }

std::string parentDirectory(const std::string& path) {
  const auto slash = lastSeparator(path);
  if (slash == std::string::npos) return ".";
  if (slash == 0) return path.substr(0, 1);
  // "C:\name": the drive's root, not the drive's current directory.
  if (pathSeparator() == '\\' && slash == 2 && path[1] == ':') return path.substr(0, 3);
  return path.substr(0, slash);
}

std::string baseName(const std::string& path) {
  const auto slash = lastSeparator(path);
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace files_detail

using namespace files_detail;

void setUnusableFileListener(std::function<void(const std::string& path)> listener) {
  UnusableFiles& u = unusableFiles();
  const std::lock_guard<std::mutex> lock(u.mutex);
  u.listener = std::move(listener);
  u.reported.clear();
}

bool reportedAsUnusable(const std::string& path) {
  UnusableFiles& u = unusableFiles();
  const std::lock_guard<std::mutex> lock(u.mutex);
  return u.reported.count(path) != 0;
}

bool isReadableRegularFile(const std::string& path) {
  const int fd = openRegularFileForReading(path);
  if (fd < 0) return false;
  closeFile(fd);
  return true;
}

std::string joinPath(std::string_view directory, std::string_view relative) {
  const char separator = pathSeparator();
  std::string result(directory);
  while (result.size() > 1 && isSeparator(result.back()) &&
         (result.back() == separator || separator == '\\'))
    result.pop_back();
  std::size_t pos = 0;
  while (pos < relative.size()) {
    if (isSeparator(relative[pos])) {
      ++pos;
      continue;
    }
    std::size_t end = pos;
    while (end < relative.size() && !isSeparator(relative[end])) ++end;
    if (!result.empty() && result.back() != separator && !(separator == '\\' && result.back() == '/'))
      result += separator;
    result.append(relative.substr(pos, end - pos));
    pos = end;
  }
  return result;
}

std::optional<std::string> tryReadWholeFile(const std::string& path) {
  const int fd = openRegularFileForReading(path);
  if (fd < 0) return std::nullopt;
  std::string contents;
  // Read straight into a string of the file's size: prize pictures are re-read at every
  // step of the roll and may be camera-sized.
  const std::int64_t size = openFileSize(fd);
  const std::size_t expected = size > 0 ? static_cast<std::size_t>(size) : 0;
  contents.resize(expected + 1);  // one byte more tells a file that grew meanwhile
  std::size_t filled = 0;
  for (;;) {
    if (filled == contents.size()) contents.resize(contents.size() * 2 + 65536);
    const std::int64_t n = readFile(fd, contents.data() + filled, contents.size() - filled);
    if (n < 0) {
      closeFile(fd);
      return std::nullopt;
    }
    if (n == 0) break;
    filled += static_cast<std::size_t>(n);
  }
  closeFile(fd);
  contents.resize(filled);
  return contents;
}

std::string readWholeFile(const std::string& path) {
  return tryReadWholeFile(path).value_or(std::string());
}

void setTemporaryNameSource(std::function<std::uint64_t()> source) {
  nameSource() = std::move(source);
}

std::string temporaryNameFor(std::string_view target, std::uint64_t random) {
  char digits[17];
  std::snprintf(digits, sizeof digits, "%016llx", static_cast<unsigned long long>(random));
  std::string name = ".";
  name.append(target);
  name.append(kTemporaryMark);
  name.append(digits);
  return name;
}

bool copyFileOverwriting(const std::string& from, const std::string& to) {
  const auto bytes = tryReadWholeFile(from);
  return bytes && writeWholeFileAtomically(to, *bytes);
}

}  // namespace zv
