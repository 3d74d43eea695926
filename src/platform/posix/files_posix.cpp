#include <dirent.h>
#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <ctime>
#include <random>

#include "platform/files.h"
#include "platform/files_detail.h"

namespace zv {

using namespace files_detail;

namespace {

bool writeAll(int fd, std::string_view bytes, std::size_t* written = nullptr) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(n));
    if (written) *written += static_cast<std::size_t>(n);
  }
  return true;
}

int asDescriptor(FolderHandle folder) { return static_cast<int>(folder); }

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

namespace files_detail {

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

}  // namespace files_detail

char pathSeparator() { return '/'; }

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

std::int64_t readFile(int fd, char* into, std::size_t size, std::int64_t offset) {
  for (;;) {
    const ssize_t n = offset < 0 ? ::read(fd, into, size) : ::pread(fd, into, size, offset);
    if (n < 0 && errno == EINTR) continue;
    return n;
  }
}

std::int64_t openFileSize(int fd) {
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return -1;
  return st.st_size;
}

void closeFile(int fd) { ::close(fd); }

std::optional<FileStatus> fileStatus(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return std::nullopt;
  FileStatus status;
  status.regular = S_ISREG(st.st_mode);
  status.device = st.st_dev;
  status.identity = st.st_ino;
  status.size = st.st_size;
  status.modifiedNs =
      static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
  return status;
}

AppendOutcome appendToFileSynced(
    const std::string& path, const std::function<std::string(std::int64_t sizeBefore)>& bytesFor) {
  AppendOutcome outcome;
  const bool existed = pathExists(path);
  const int fd = ::open(path.c_str(),
                        O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0644);
  if (fd < 0) return outcome;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return outcome;
  }
  outcome.opened = true;
  outcome.sizeBefore = st.st_size;
  const std::string out = bytesFor(outcome.sizeBefore);
  bool ok = writeAll(fd, out, &outcome.written);
  ok = ::fdatasync(fd) == 0 && ok;
  ok = ::close(fd) == 0 && ok;
  if (ok && !existed) {
    // The new file's name must survive a power cut too.
    const std::size_t slash = path.rfind('/');
    const std::string dir = slash == std::string::npos ? "." : path.substr(0, slash);
    const int dirFd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
      ::fsync(dirFd);
      ::close(dirFd);
    }
  }
  outcome.ok = ok;
  return outcome;
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

void closeFolder(FolderHandle folder) {
  if (folder >= 0) ::close(asDescriptor(folder));
}

bool writeFileAtomicallyAt(FolderHandle folder, const std::string& name, std::string_view bytes,
                           Durability durability) {
  const int directoryFd = asDescriptor(folder);
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

bool writePrivateFileAtomically(const std::string& path, std::string_view bytes) {
  // The replacement takes the mode of the file it replaces before a byte is written: made
  // (empty) or set to 0600 first, the secret is never readable by others, not even for
  // the moment of the write.
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  struct stat st {};
  const bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::fchmod(fd, 0600) == 0;
  ::close(fd);
  return ok && writeWholeFileAtomically(path, bytes);
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
