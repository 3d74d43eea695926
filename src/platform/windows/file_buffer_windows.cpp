// Windows reads the bytes into ordinary memory: the large-page mapping is Linux's.
#include "platform/file_buffer.h"
#include "platform/files.h"
#include "platform/windows/windows_files.h"

namespace zv {

FileBuffer::~FileBuffer() = default;

std::shared_ptr<const FileBuffer> FileBuffer::read(const std::string& path) {
  std::optional<std::string> bytes = tryReadWholeFile(path);
  if (!bytes) return nullptr;
  return std::shared_ptr<const FileBuffer>(new FileBuffer(std::move(*bytes)));
}

std::shared_ptr<const FileBuffer> FileBuffer::readRegular(const std::string& path,
                                                          std::size_t maxBytes, bool* missing) {
  std::optional<std::string> bytes = windows_files::readRegularNotFollowing(path, maxBytes, missing);
  if (!bytes) return nullptr;
  return std::shared_ptr<const FileBuffer>(new FileBuffer(std::move(*bytes)));
}

}  // namespace zv
