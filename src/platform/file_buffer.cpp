#include "platform/file_buffer.h"

#include <utility>

namespace zv {

FileBuffer::FileBuffer(std::string bytes) : size_(bytes.size()), copy_(std::move(bytes)) {
  data_ = copy_.data();
}

}  // namespace zv
