#include "platform/folder_lock.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <optional>

namespace zv {
namespace {

// A record is a few dozen bytes; anything much longer is not one.
constexpr std::size_t kLongestRecord = 4096;
// A lock file without a whole record is being written only for this long (where the
// folder takes no hard links and the file is written in place).
constexpr std::time_t kWritingSeconds = 2;

std::string firstLineOf(const char* path) {
  std::string line;
  if (std::FILE* file = std::fopen(path, "re")) {
    char buffer[256];
    if (std::fgets(buffer, sizeof buffer, file)) line = buffer;
    std::fclose(file);
  }
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  return line;
}

std::string hostName() {
  char buffer[HOST_NAME_MAX + 1] = {};
  if (::gethostname(buffer, sizeof buffer - 1) != 0) return "?";
  std::string host(buffer);
  for (char& c : host)
    if (c == '\n' || c == '\r') c = '_';
  return host.empty() ? "?" : host;
}

ProcessFacts processFacts(std::int64_t pid) {
  ProcessFacts facts;
  if (pid <= 0 || pid > INT_MAX) return facts;
  const pid_t id = static_cast<pid_t>(pid);
  facts.alive = ::kill(id, 0) == 0 || errno == EPERM;
  if (!facts.alive) return facts;
  const std::string folder = "/proc/" + std::to_string(pid);
  // Fields after the command name (which may hold spaces and parentheses): state is the
  // third field of the line, the start time the twenty-second.
  const std::string stat = firstLineOf((folder + "/stat").c_str());
  if (const std::size_t close = stat.rfind(')'); close != std::string::npos) {
    char state = 0;
    unsigned long long start = 0;
    if (std::sscanf(stat.c_str() + close + 1,
                    " %c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %*u %*u %*d %*d %*d %*d %*d %*d "
                    "%llu",
                    &state, &start) == 2) {
      facts.startTime = start;
      // A process that has ended but was not yet reaped holds nothing.
      if (state == 'Z' || state == 'X') facts.alive = false;
    }
  }
  struct stat st {};
  if (::stat(folder.c_str(), &st) == 0) facts.uid = st.st_uid;
  return facts;
}

bool writeAll(int fd, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

std::string readSome(int fd) {
  std::string bytes;
  char buffer[kLongestRecord + 1];
  while (bytes.size() <= kLongestRecord) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    bytes.append(buffer, static_cast<std::size_t>(n));
  }
  return bytes;
}

bool sameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool beingWritten(const struct stat& st) {
  const std::time_t age = std::time(nullptr) - st.st_mtim.tv_sec;
  return age >= 0 && age < kWritingSeconds;
}

// The new lock file is ours from its first byte: a second copy that opens it at once
// finds the flock taken.
bool stampOwnRecord(int fd) {
  ::flock(fd, LOCK_EX | LOCK_NB);  // a folder without flock has the record alone
  // Other users of a shared folder must read who holds it, whatever the mask.
  ::fchmod(fd, 0644);
  return writeAll(fd, formatFolderLockRecord(thisProcessRecord()));
}

}  // namespace

MachineFacts thisMachine() {
  return {hostName(), firstLineOf("/proc/sys/kernel/random/boot_id"), processFacts};
}

FolderLockRecord thisProcessRecord() {
  const MachineFacts here = thisMachine();
  return {::getpid(), here.host, here.boot, static_cast<std::int64_t>(::geteuid()),
          processFacts(::getpid()).startTime.value_or(0)};
}

FolderLock::FolderLock(const std::string& directory, const std::string& fileName)
    : directory_(directory),
      path_((directory.empty() || directory.back() == '/' ? directory : directory + "/") +
            fileName) {}

void FolderLock::release() {
  if (fd_ < 0) return;
  // Only while the name still is this copy's file: a copy that took it over keeps its own.
  struct stat own {};
  struct stat named {};
  if (::fstat(fd_, &own) == 0 && ::lstat(path_.c_str(), &named) == 0 && sameFile(own, named))
    ::unlink(path_.c_str());
  ::close(fd_);
  fd_ = -1;
}

FolderLock::Made FolderLock::make() {
  std::string temporary = path_ + ".XXXXXX";
  const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
  if (fd < 0) {
    why_ = std::strerror(errno);
    return Made::Failed;
  }
  if (!stampOwnRecord(fd)) {
    why_ = std::strerror(errno);
    ::unlink(temporary.c_str());
    ::close(fd);
    return Made::Failed;
  }
  // link(2) never replaces a name (a dangling link included), so exactly one copy wins.
  const int linked = ::link(temporary.c_str(), path_.c_str());
  const int error = errno;
  ::unlink(temporary.c_str());
  if (linked == 0) {
    fd_ = fd;
    return Made::Yes;
  }
  ::close(fd);
  if (error == EEXIST) return Made::Exists;
  // FAT sticks and some network folders take no hard links.
  if (error == EPERM || error == ENOTSUP || error == ENOSYS || error == EMLINK)
    return makeInPlace();
  why_ = std::strerror(error);
  return Made::Failed;
}

FolderLock::Made FolderLock::makeInPlace() {
  const int fd = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
  if (fd < 0) {
    if (errno == EEXIST) return Made::Exists;
    why_ = std::strerror(errno);
    return Made::Failed;
  }
  if (!stampOwnRecord(fd)) {
    why_ = std::strerror(errno);
    ::close(fd);
    ::unlink(path_.c_str());
    return Made::Failed;
  }
  fd_ = fd;
  return Made::Yes;
}

// Taken: the name is free now (try again); Held; or Unremovable.
FolderLock::Outcome FolderLock::clearAway() {
  const auto removed = [this](int result) {
    if (result == 0 || errno == ENOENT) return Outcome::Taken;
    why_ = std::strerror(errno);
    return Outcome::Unremovable;
  };
  struct stat named {};
  if (::lstat(path_.c_str(), &named) != 0) {
    if (errno == ENOENT) return Outcome::Taken;
    why_ = std::strerror(errno);
    return Outcome::Unremovable;
  }
  // Not a lock file at all: nothing of ours ever makes one of these.
  if (S_ISDIR(named.st_mode)) return removed(::rmdir(path_.c_str()));
  if (!S_ISREG(named.st_mode)) return removed(::unlink(path_.c_str()));

  const int fd = ::open(path_.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT) return Outcome::Taken;
    // Unreadable: it cannot name a holder.
    return removed(::unlink(path_.c_str()));
  }
  Outcome outcome = Outcome::Held;
  struct stat opened {};
  struct stat now {};
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
    outcome = Outcome::Held;  // a running process here holds it
  } else if (::fstat(fd, &opened) != 0 || !sameFile(opened, named)) {
    outcome = Outcome::Taken;  // changed meanwhile: look again
  } else {
    const std::optional<FolderLockRecord> record = parseFolderLockRecord(readSome(fd));
    if (!record && beingWritten(opened)) {
      outcome = Outcome::Held;
    } else if (!isStaleFolderLock(record, thisMachine())) {
      outcome = Outcome::Held;
    } else if (::lstat(path_.c_str(), &now) != 0 || !sameFile(now, opened)) {
      outcome = Outcome::Taken;
    } else {
      outcome = removed(::unlink(path_.c_str()));
    }
  }
  ::close(fd);
  return outcome;
}

}  // namespace zv
