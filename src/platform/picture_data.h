#pragma once
// The bytes of a picture file, shared rather than copied: the roll step hands a 12-megapixel
// JPEG from slot to result picture and back dozens of times a second.
#include <memory>
#include <string>
#include <string_view>

#include "platform/file_buffer.h"

namespace zv {

class PictureData {
 public:
  PictureData() = default;
  explicit PictureData(std::string bytes) {
    if (bytes.empty()) return;
    auto owned = std::make_shared<const std::string>(std::move(bytes));
    bytes_ = *owned;
    owner_ = std::move(owned);
  }
  // A picture file's bytes; empty when it cannot be read or is empty.
  static PictureData fromFile(const std::string& path) {
    PictureData picture;
    if (auto buffer = FileBuffer::read(path); buffer && !buffer->bytes().empty()) {
      picture.bytes_ = buffer->bytes();
      picture.owner_ = std::move(buffer);
    }
    return picture;
  }

  bool empty() const { return !owner_; }
  std::string_view view() const { return bytes_; }
  std::size_t size() const { return bytes_.size(); }
  // The same shared bytes (not merely equal contents).
  bool sameAs(const PictureData& other) const { return owner_ == other.owner_; }

  friend bool operator==(const PictureData& a, const PictureData& b) {
    return a.sameAs(b) || a.view() == b.view();
  }

 private:
  std::shared_ptr<const void> owner_;
  std::string_view bytes_;
};

}  // namespace zv
