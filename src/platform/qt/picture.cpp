#include "platform/qt/picture.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/jpeg.h"

namespace zv {

QImage decodePicture(std::string_view jpeg, QSize target) {
  if (jpeg.empty()) return {};
  const RgbImage rgb = decodeJpeg(jpeg, std::max(0, target.width()), std::max(0, target.height()));
  if (rgb.empty()) return {};
  QImage image(rgb.width, rgb.height, QImage::Format_RGB888);
  if (image.isNull()) return {};
  const std::size_t rowBytes = static_cast<std::size_t>(rgb.width) * 3;
  for (int y = 0; y < rgb.height; ++y) {
    std::memcpy(image.scanLine(y), rgb.pixels.data() + rowBytes * static_cast<std::size_t>(y),
                rowBytes);
  }
  return image;
}

namespace {

struct CacheEntry {
  PictureData bytes;
  QSize target;
  QImage image;
  std::uint64_t lastUse = 0;
};

// Enough for the eight slots, the result picture, the wheel and the background at once.
constexpr std::size_t kCacheEntries = 16;

}  // namespace

QImage decodePictureCached(const PictureData& picture, QSize target) {
  if (picture.empty()) return {};
  static std::vector<CacheEntry> cache;
  static std::uint64_t uses = 0;
  ++uses;
  for (CacheEntry& entry : cache) {
    if (entry.target != target || entry.bytes.size() != picture.size()) continue;
    if (entry.bytes.sameAs(picture)) {
      entry.lastUse = uses;
      return entry.image;
    }
    if (std::memcmp(entry.bytes.view().data(), picture.view().data(), picture.size()) == 0) {
      // The same contents read again: every entry of the old bytes takes the new ones, so
      // their next look-ups need no comparison.
      const PictureData old = entry.bytes;
      for (CacheEntry& other : cache) {
        if (other.bytes.sameAs(old)) other.bytes = picture;
      }
      entry.lastUse = uses;
      return entry.image;
    }
  }
  // Kept at the box's own size, so that painting it is a plain copy.
  QImage image = decodePicture(picture.view(), target);
  if (!image.isNull() && target.isValid() && !target.isEmpty() && image.size() != target) {
    image = image.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  }
  CacheEntry fresh{picture, target, image, uses};
  if (cache.size() < kCacheEntries) {
    cache.push_back(std::move(fresh));
  } else {
    *std::min_element(cache.begin(), cache.end(), [](const CacheEntry& a, const CacheEntry& b) {
      return a.lastUse < b.lastUse;
    }) = std::move(fresh);
  }
  return image;
}

}  // namespace zv
