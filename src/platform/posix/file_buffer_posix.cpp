// The bytes of big files go into memory mapped for large pages (see file_buffer.h).
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

#include "platform/file_buffer.h"
#include "platform/files.h"

namespace zv {
namespace {

constexpr std::size_t kLargePage = std::size_t{2} << 20;
constexpr std::size_t kPage = 4096;

std::size_t roundUp(std::size_t n, std::size_t to) { return (n + to - 1) / to * to; }

// Anonymous memory of at least size bytes, starting on a large-page boundary so that the
// whole large pages inside it can be backed by large pages. A tail of less than half a
// large page stays in small pages; a longer one takes a whole large page.
char* mapAligned(std::size_t size, std::size_t& mapped) {
  mapped = size % kLargePage >= kLargePage / 2 ? roundUp(size, kLargePage) : roundUp(size, kPage);
  const std::size_t reserve = mapped + kLargePage;
  void* raw = ::mmap(nullptr, reserve, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (raw == MAP_FAILED) return nullptr;
  char* start = static_cast<char*>(raw);
  char* aligned =
      reinterpret_cast<char*>(roundUp(reinterpret_cast<std::uintptr_t>(start), kLargePage));
  if (aligned > start) ::munmap(start, static_cast<std::size_t>(aligned - start));
  char* end = start + reserve;
  if (end > aligned + mapped)
    ::munmap(aligned + mapped, static_cast<std::size_t>(end - (aligned + mapped)));
  ::madvise(aligned, mapped, MADV_HUGEPAGE);  // a hint; without it the memory still works
  return aligned;
}

// Reads exactly size bytes and checks that the file ends there; false on an error or a
// file that is not that size (any more).
bool readExactly(int fd, char* into, std::size_t size) {
  std::size_t filled = 0;
  while (filled < size) {
    const ssize_t n = ::read(fd, into + filled, size - filled);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    filled += static_cast<std::size_t>(n);
  }
  char probe;
  for (;;) {
    const ssize_t n = ::read(fd, &probe, 1);
    if (n < 0 && errno == EINTR) continue;
    return n == 0;
  }
}

// Smaller files gain nothing from a mapping of their own.
constexpr std::size_t kMappedFrom = kLargePage / 2;

}  // namespace

FileBuffer::~FileBuffer() {
  if (mappingSize_ > 0) ::munmap(data_, mappingSize_);
}

std::shared_ptr<const FileBuffer> FileBuffer::read(const std::string& path) {
  const int fd = openRegularFileForReading(path);
  if (fd < 0) return nullptr;
  struct stat st {};
  if (::fstat(fd, &st) == 0 && static_cast<std::size_t>(st.st_size) >= kMappedFrom) {
    const auto size = static_cast<std::size_t>(st.st_size);
    std::size_t mapped = 0;
    if (char* memory = mapAligned(size, mapped)) {
      if (readExactly(fd, memory, size)) {
        ::close(fd);
        return std::shared_ptr<const FileBuffer>(new FileBuffer(memory, mapped, size));
      }
      ::munmap(memory, mapped);
    }
  }
  ::close(fd);
  // Small, or changing while read: the ordinary way.
  std::optional<std::string> bytes = tryReadWholeFile(path);
  if (!bytes) return nullptr;
  return std::shared_ptr<const FileBuffer>(new FileBuffer(std::move(*bytes)));
}

}  // namespace zv

namespace zv {

std::shared_ptr<const FileBuffer> FileBuffer::readRegular(const std::string& path,
                                                          std::size_t maxBytes, bool* missing) {
  if (missing) *missing = false;
  const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    if (missing) *missing = errno == ENOENT;
    return nullptr;
  }
  struct stat st {};
  std::shared_ptr<const FileBuffer> buffer;
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size >= 0 &&
      static_cast<std::uint64_t>(st.st_size) <= maxBytes) {
    const auto size = static_cast<std::size_t>(st.st_size);
    if (size >= kMappedFrom) {
      std::size_t mapped = 0;
      if (char* memory = mapAligned(size, mapped)) {
        if (readExactly(fd, memory, size))
          buffer.reset(new FileBuffer(memory, mapped, size));
        else
          ::munmap(memory, mapped);
      }
    } else {
      std::string bytes(size, '\0');
      if (readExactly(fd, bytes.data(), size)) buffer.reset(new FileBuffer(std::move(bytes)));
    }
  }
  ::close(fd);
  return buffer;
}

}  // namespace zv
