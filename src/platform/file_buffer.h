#pragma once
// A file's bytes in memory of their own, for camera-sized pictures. Memory from the
// allocator is faulted in one 4 kB page at a time (and zeroed first by a string), which
// cost more than the read itself: about 120 ms for eight 4 MB photographs here. This
// memory is mapped with a hint for large pages, so a 4 MB file needs a couple of faults.
// Files under 1 MB are read the ordinary way. Meant for reads into memory the process has
// not used yet (the start-up's): a file read again and again is better served by the
// heap, which hands back the same warm memory each time. The large pages are Linux's: on
// Windows the bytes are read into ordinary memory.
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace zv {

class FileBuffer {
 public:
  // The whole file; null when it cannot be opened or read. A file that changes size
  // while it is read is read again the ordinary way, so the bytes are always whole.
  static std::shared_ptr<const FileBuffer> read(const std::string& path);
  // A regular file of at most maxBytes, for files that are input even in the user's own
  // folders: a link in its place is not followed, a pipe not waited on, a larger file not
  // read at all. Null for anything else, and for a file that changes size while read;
  // missing (when given) then tells whether there was nothing at path at all.
  static std::shared_ptr<const FileBuffer> readRegular(const std::string& path,
                                                       std::size_t maxBytes,
                                                       bool* missing = nullptr);

  ~FileBuffer();
  FileBuffer(const FileBuffer&) = delete;
  FileBuffer& operator=(const FileBuffer&) = delete;

  std::string_view bytes() const { return {data_, size_}; }

 private:
  FileBuffer(char* mapping, std::size_t mappingSize, std::size_t size)
      : data_(mapping), mappingSize_(mappingSize), size_(size) {}
  explicit FileBuffer(std::string bytes);

  char* data_ = nullptr;
  std::size_t mappingSize_ = 0;  // 0: the bytes are in copy_
  std::size_t size_ = 0;
  std::string copy_;
};

}  // namespace zv
