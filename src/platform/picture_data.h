#pragma once
// The bytes of a picture file, shared rather than copied: the roll step hands a 12-megapixel
// JPEG from slot to result picture and back dozens of times a second.
#include <memory>
#include <string>
#include <string_view>

namespace zv {

class PictureData {
 public:
  PictureData() = default;
  explicit PictureData(std::string bytes)
      : bytes_(bytes.empty() ? nullptr : std::make_shared<const std::string>(std::move(bytes))) {}

  bool empty() const { return !bytes_; }
  std::string_view view() const { return bytes_ ? std::string_view(*bytes_) : std::string_view(); }
  std::size_t size() const { return bytes_ ? bytes_->size() : 0; }
  // The same shared bytes (not merely equal contents).
  bool sameAs(const PictureData& other) const { return bytes_ == other.bytes_; }
  const std::shared_ptr<const std::string>& shared() const { return bytes_; }

  friend bool operator==(const PictureData& a, const PictureData& b) {
    return a.sameAs(b) || a.view() == b.view();
  }

 private:
  std::shared_ptr<const std::string> bytes_;
};

}  // namespace zv
