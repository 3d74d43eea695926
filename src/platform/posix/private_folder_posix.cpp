#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <utility>

#include "platform/private_folder.h"

namespace zv {
namespace {

std::string withoutTrailingSlashes(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

std::string inFolder(const std::string& folder, std::string_view name) {
  std::string path = folder == "/" ? std::string() : folder;
  path += '/';
  path.append(name);
  return path;
}

bool closedToOthers(const struct stat& st) {
  return st.st_uid == ::geteuid() && (st.st_mode & 077) == 0;
}

}  // namespace

std::string userRuntimeFolder(std::string_view name) {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  struct stat st {};
  if (runtime && runtime[0] == '/' && ::stat(runtime, &st) == 0 && S_ISDIR(st.st_mode) &&
      st.st_uid == ::geteuid()) {
    return inFolder(withoutTrailingSlashes(runtime), name);
  }
  const std::string cache = userCacheFolder(name);
  return cache.empty() ? cache : inFolder(cache, "run");
}

std::string userCacheFolder(std::string_view name) {
  const char* cache = std::getenv("XDG_CACHE_HOME");
  if (cache && cache[0] == '/') return inFolder(withoutTrailingSlashes(cache), name);
  const char* home = std::getenv("HOME");
  if (home && home[0] == '/') return inFolder(withoutTrailingSlashes(home) + "/.cache", name);
  return {};
}

std::optional<PrivateFolder> PrivateFolder::open(const std::string& requested) {
  // A trailing slash would make the calls below follow a link in the folder's place.
  const std::string path = withoutTrailingSlashes(requested);
  if (path.empty() || path == "/") return std::nullopt;
  if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return std::nullopt;
  struct stat named {};
  if (::lstat(path.c_str(), &named) != 0 || !S_ISDIR(named.st_mode) ||
      named.st_uid != ::geteuid())
    return std::nullopt;
  const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  // The folder opened must be the folder checked, not one put in its place meanwhile.
  struct stat opened {};
  const bool same = ::fstat(fd, &opened) == 0 && opened.st_dev == named.st_dev &&
                    opened.st_ino == named.st_ino && opened.st_uid == ::geteuid();
  // A mask set by the user may have made it without owner rights, or someone before us
  // opened it up: it is ours, so it becomes private.
  if (!same || ((opened.st_mode & 07777) != 0700 && ::fchmod(fd, 0700) != 0)) {
    ::close(fd);
    return std::nullopt;
  }
  return PrivateFolder(path, FolderHandle{fd});
}

std::optional<PrivateFolder> PrivateFolder::openUserRuntimeFolder(std::string_view name) {
  const std::string path = userRuntimeFolder(name);
  if (path.empty()) return std::nullopt;
  const std::string cache = userCacheFolder(name);
  if (!cache.empty() && path == inFolder(cache, "run")) {
    // The cache folder's own parents are the user's (under the home folder); the cache
    // folder itself is made private too, so no one else can replace the run folder.
    const std::size_t parent = cache.find_last_of('/');
    if (parent != std::string::npos && parent > 0) makeDirectories(cache.substr(0, parent));
    if (!open(cache)) return std::nullopt;
  }
  return open(path);
}

bool PrivateFolder::remove(const std::string& name) const {
  const int fd = static_cast<int>(folder_);
  return fd >= 0 &&
         (::unlinkat(fd, name.c_str(), 0) == 0 || ::unlinkat(fd, name.c_str(), AT_REMOVEDIR) == 0);
}

std::vector<PrivateFolder::Entry> PrivateFolder::entries() const {
  std::vector<Entry> entries;
  const int scanFd = folder_ < 0 ? -1
                                 : ::openat(static_cast<int>(folder_), ".",
                                            O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (scanFd < 0) return entries;
  DIR* dir = ::fdopendir(scanFd);
  if (!dir) {
    ::close(scanFd);
    return entries;
  }
  while (const dirent* e = ::readdir(dir)) {
    const std::string_view name = e->d_name;
    if (name == "." || name == "..") continue;
    Entry entry{std::string(name)};
    struct stat st {};
    if (::fstatat(::dirfd(dir), e->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0) {
      entry.regular = S_ISREG(st.st_mode);
      entry.modified = static_cast<std::int64_t>(st.st_mtime);
      entry.size = static_cast<std::uint64_t>(st.st_size);
    }
    entries.push_back(std::move(entry));
  }
  ::closedir(dir);
  return entries;
}

void PrivateFolder::touch(const std::string& name) const {
  if (folder_ >= 0)
    ::utimensat(static_cast<int>(folder_), name.c_str(), nullptr, AT_SYMLINK_NOFOLLOW);
}

std::optional<std::string> readPrivateFile(const std::string& path, std::size_t maxBytes) {
  const std::size_t slash = path.find_last_of('/');
  const std::string folder =
      slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  if (name.empty()) return std::nullopt;

  const int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folderFd < 0) return std::nullopt;
  struct stat st {};
  int fd = -1;
  if (::fstat(folderFd, &st) == 0 && closedToOthers(st)) {
    // Non-blocking, so that a pipe in the file's place cannot hold the program up.
    fd = ::openat(folderFd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  }
  ::close(folderFd);
  if (fd < 0) return std::nullopt;

  std::optional<std::string> contents;
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid() &&
      static_cast<std::size_t>(st.st_size) <= maxBytes) {
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(st.st_size));
    char chunk[65536];
    bool failed = false;
    for (;;) {
      const ssize_t n = ::read(fd, chunk, sizeof chunk);
      if (n < 0 && errno == EINTR) continue;
      // A file that grew past the bound meanwhile is refused as well.
      failed = n < 0 || bytes.size() + static_cast<std::size_t>(n) > maxBytes;
      if (n <= 0 || failed) break;
      bytes.append(chunk, static_cast<std::size_t>(n));
    }
    if (!failed) contents = std::move(bytes);
  }
  ::close(fd);
  return contents;
}

}  // namespace zv
