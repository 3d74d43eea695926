#include "platform/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>

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

}  // namespace

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
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
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

bool writeWholeFileAtomically(const std::string& path, std::string_view bytes) {
  static std::atomic<unsigned> counter{0};
  const std::string directory = parentDirectory(path);
  const std::string temp = (directory == "/" ? "" : directory) + "/." + baseName(path) + ".tmp-" +
                           std::to_string(::getpid()) + "-" + std::to_string(counter++);
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return false;

  // A file being replaced keeps its permissions.
  struct stat st {};
  bool ok = true;
  if (::stat(path.c_str(), &st) == 0) ok = ::fchmod(fd, st.st_mode & 07777) == 0;
  ok = ok && writeAll(fd, bytes) && ::fsync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  ok = ok && ::rename(temp.c_str(), path.c_str()) == 0;
  if (!ok) {
    ::unlink(temp.c_str());
    return false;
  }
  // Makes the rename itself durable. Some file systems refuse to sync a directory;
  // the new contents are in place by now either way, so that is not a failure.
  const int dirFd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd >= 0) {
    ::fsync(dirFd);
    ::close(dirFd);
  }
  return true;
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
