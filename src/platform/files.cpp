#include "platform/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <mutex>
#include <random>
#include <set>
#include <utility>

namespace zv {
namespace {

bool isSeparator(char c) { return c == '/' || c == '\\'; }

std::string parentDirectory(const std::string& path) {
  const auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string baseName(const std::string& path) {
  const auto slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool writeAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

// Names taken by other files (or by leftovers that are not yet stale) are retried; a
// directory that refuses this many random names has something else wrong with it.
constexpr int kNameAttempts = 16;
constexpr std::time_t kStaleAfterSeconds = 24 * 60 * 60;
constexpr std::string_view kTemporaryMark = ".tmp-";

std::function<std::uint64_t()>& nameSource() {
  static std::function<std::uint64_t()> source;
  return source;
}

std::uint64_t systemRandom() {
  std::uint64_t value = 0;
  auto* bytes = reinterpret_cast<unsigned char*>(&value);
  std::size_t got = 0;
  while (got < sizeof value) {
    const ssize_t n = ::getrandom(bytes + got, sizeof value - got, 0);
    if (n < 0) {
      if (errno == EINTR) continue;
      break;
    }
    got += static_cast<std::size_t>(n);
  }
  if (got == sizeof value) return value;
  thread_local std::random_device device;
  return (std::uint64_t{device()} << 32) ^ device();
}

std::uint64_t nextRandom() { return nameSource() ? nameSource()() : systemRandom(); }

bool allOf(std::string_view text, bool (*accept)(char)) {
  for (char c : text)
    if (!accept(c)) return false;
  return !text.empty();
}
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isLowerHex(char c) { return isDigit(c) || (c >= 'a' && c <= 'f'); }

// Whether entry is a temporary file that a write of target made: ours, or of the form
// earlier versions used (process id and a counter), which killed runs may have left.
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

// Removes the user's own temporary files of target in the directory that are older than a
// day. One pass over the directory's names; only matching names are looked at further.
void removeStaleTemporaries(int directoryFd, std::string_view target) {
  const int scanFd = ::openat(directoryFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (scanFd < 0) return;
  DIR* directory = ::fdopendir(scanFd);
  if (!directory) {
    ::close(scanFd);
    return;
  }
  const std::time_t cutoff = std::time(nullptr) - kStaleAfterSeconds;
  while (const dirent* entry = ::readdir(directory)) {
    if (!isTemporaryOf(entry->d_name, target)) continue;
    struct stat st {};
    if (::fstatat(directoryFd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 &&
        S_ISREG(st.st_mode) && st.st_uid == ::geteuid() && st.st_mtime < cutoff) {
      ::unlinkat(directoryFd, entry->d_name, 0);
    }
  }
  ::closedir(directory);
}

struct UnusableFiles {
  std::mutex mutex;
  std::function<void(const std::string&)> listener;
  std::set<std::string> reported;
};
UnusableFiles& unusableFiles() {
  static UnusableFiles files;
  return files;
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

bool ownRegular(const struct stat& st) { return S_ISREG(st.st_mode) && st.st_uid == ::geteuid(); }

// The fully resolved target of a link in the directory open as directoryFd, when it is a
// regular file of this user; empty otherwise.
std::string ownRegularLinkTarget(int directoryFd, const std::string& name) {
  const std::string viaFd = "/proc/self/fd/" + std::to_string(directoryFd) + "/" + name;
  char resolved[PATH_MAX];
  if (!::realpath(viaFd.c_str(), resolved)) return {};
  struct stat st {};
  if (::stat(resolved, &st) != 0 || !ownRegular(st)) return {};
  return resolved;
}

}  // namespace

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

int openRegularFileForReading(const std::string& path) {
  // Looked at before it is opened: opening a device can have effects of its own.
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return -1;
  if (!S_ISREG(st.st_mode)) {
    reportUnusable(path);
    return -1;
  }
  // Not blocking: the name may have been replaced by a FIFO since.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return -1;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    reportUnusable(path);
    return -1;
  }
  return fd;
}

bool isReadableRegularFile(const std::string& path) {
  const int fd = openRegularFileForReading(path);
  if (fd < 0) return false;
  ::close(fd);
  return true;
}

std::optional<std::string> writableTarget(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) {
    if (errno == ENOENT) return path;
    return std::nullopt;
  }
  if (S_ISREG(st.st_mode)) return path;
  if (S_ISLNK(st.st_mode)) {
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved) && ::stat(resolved, &st) == 0 && ownRegular(st))
      return std::string(resolved);
  }
  reportUnusable(path);
  return std::nullopt;
}

std::string programDirectory() {
  // The kernel gives the executable's full path; once that file has been replaced or
  // deleted (a new copy put in its place, say) it appends " (deleted)", and the
  // directory is still the program's.
  char target[PATH_MAX];
  const ssize_t length = ::readlink("/proc/self/exe", target, sizeof target - 1);
  if (length <= 0) return ".";
  std::string path(target, static_cast<std::size_t>(length));
  constexpr std::string_view kDeleted = " (deleted)";
  if (path.ends_with(kDeleted) && !pathExists(path)) path.resize(path.size() - kDeleted.size());
  return parentDirectory(path);
}

std::string joinPath(std::string_view directory, std::string_view relative) {
  std::string result(directory);
  while (result.size() > 1 && result.back() == '/') result.pop_back();
  std::size_t pos = 0;
  while (pos < relative.size()) {
    if (isSeparator(relative[pos])) {
      ++pos;
      continue;
    }
    std::size_t end = pos;
    while (end < relative.size() && !isSeparator(relative[end])) ++end;
    if (!result.empty() && result.back() != '/') result += '/';
    result.append(relative.substr(pos, end - pos));
    pos = end;
  }
  return result;
}

std::optional<std::string> tryReadWholeFile(const std::string& path) {
  const int fd = openRegularFileForReading(path);
  if (fd < 0) return std::nullopt;
  std::string contents;
  struct stat st {};
  // Read straight into a string of the file's size: prize pictures are re-read at every
  // step of the roll and may be camera-sized.
  std::size_t expected = 0;
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0) {
    expected = static_cast<std::size_t>(st.st_size);
  }
  contents.resize(expected + 1);  // one byte more tells a file that grew meanwhile
  std::size_t filled = 0;
  for (;;) {
    if (filled == contents.size()) contents.resize(contents.size() * 2 + 65536);
    const ssize_t n = ::read(fd, contents.data() + filled, contents.size() - filled);
    if (n < 0) {
      if (errno == EINTR) continue;
      ::close(fd);
      return std::nullopt;
    }
    if (n == 0) break;
    filled += static_cast<std::size_t>(n);
  }
  ::close(fd);
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

bool writeFileAtomicallyAt(int directoryFd, const std::string& name, std::string_view bytes,
                           Durability durability) {
  if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos)
    return false;
  {
    // A link is followed only to a regular file of this user, whose directory is then
    // where the write happens; anything else under the name is left alone.
    struct stat st {};
    if (::fstatat(directoryFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
        !S_ISREG(st.st_mode)) {
      const std::string target =
          S_ISLNK(st.st_mode) ? ownRegularLinkTarget(directoryFd, name) : std::string();
      if (target.empty()) {
        char shown[PATH_MAX];
        const std::string viaFd = "/proc/self/fd/" + std::to_string(directoryFd);
        const ssize_t n = ::readlink(viaFd.c_str(), shown, sizeof shown - 1);
        reportUnusable(n > 0 ? std::string(shown, static_cast<std::size_t>(n)) + "/" + name : name);
        return false;
      }
      const int targetDirectoryFd =
          ::open(parentDirectory(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
      if (targetDirectoryFd < 0) return false;
      const bool ok = writeFileAtomicallyAt(targetDirectoryFd, baseName(target), bytes, durability);
      ::close(targetDirectoryFd);
      return ok;
    }
  }
  removeStaleTemporaries(directoryFd, name);
  std::string temp;
  int fd = -1;
  for (int attempt = 0; fd < 0 && attempt < kNameAttempts; ++attempt) {
    temp = temporaryNameFor(name, nextRandom());
    fd = ::openat(directoryFd, temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                  0666);
    if (fd < 0 && errno != EEXIST) return false;
  }
  if (fd < 0) return false;

  // A file being replaced keeps its permission bits (not set-id bits, which would come
  // from whoever made the old file).
  struct stat st {};
  bool ok = true;
  if (::fstatat(directoryFd, name.c_str(), &st, 0) == 0 && S_ISREG(st.st_mode))
    ok = ::fchmod(fd, st.st_mode & 0777) == 0;
  ok = ok && writeAll(fd, bytes) && (durability != Durability::kSynced || ::fsync(fd) == 0);
  ok = ::close(fd) == 0 && ok;
  ok = ok && ::renameat(directoryFd, temp.c_str(), directoryFd, name.c_str()) == 0;
  if (!ok) {
    ::unlinkat(directoryFd, temp.c_str(), 0);
    return false;
  }
  // Makes the rename itself durable. Some file systems refuse to sync a directory;
  // the new contents are in place by now either way, so that is not a failure.
  if (durability == Durability::kSynced) ::fsync(directoryFd);
  return true;
}

bool writeWholeFileAtomically(const std::string& path, std::string_view bytes,
                              Durability durability) {
  const std::optional<std::string> target = writableTarget(path);
  if (!target) return false;
  const int directoryFd =
      ::open(parentDirectory(*target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (directoryFd < 0) return false;
  const bool ok = writeFileAtomicallyAt(directoryFd, baseName(*target), bytes, durability);
  ::close(directoryFd);
  return ok;
}

bool copyFileOverwriting(const std::string& from, const std::string& to) {
  const auto bytes = tryReadWholeFile(from);
  return bytes && writeWholeFileAtomically(to, *bytes);
}

bool deleteFile(const std::string& path) { return ::unlink(path.c_str()) == 0; }

bool makeDirectories(const std::string& path) {
  if (path.empty()) return false;
  struct stat st {};
  std::size_t pos = 0;
  for (;;) {
    pos = path.find('/', pos + 1);
    const std::string prefix = path.substr(0, pos);
    if (!prefix.empty() && prefix.back() != '/' && ::mkdir(prefix.c_str(), 0777) != 0 &&
        errno != EEXIST)
      return false;
    if (pos == std::string::npos) break;
  }
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool fileExists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool pathExists(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0;
}

}  // namespace zv
