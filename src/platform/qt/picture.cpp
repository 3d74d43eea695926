#include "platform/qt/picture.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <QPainter>
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <vector>

namespace zv {

// Other formats Qt could read (SVG, TIFF, …) are not offered.
const char* otherPictureFormat(std::string_view bytes) {
  if (bytes.starts_with("\x89PNG\r\n\x1a\n")) return "png";
  if (bytes.starts_with("BM")) return "bmp";
  if (bytes.size() >= 12 && bytes.starts_with("RIFF") && bytes.substr(8, 4) == "WEBP")
    return "webp";
  return nullptr;
}

namespace {

QImage decodeOther(std::string_view bytes, const char* format, const JpegLimits& limits) {
  // The allocation limit below is the process's: one such decode at a time, so that
  // pictures decoded on several threads do not put back each other's limits.
  static std::mutex oneAtATime;
  const std::lock_guard<std::mutex> lock(oneAtATime);
  QByteArray data = QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
  QBuffer buffer(&data);
  if (!buffer.open(QIODevice::ReadOnly)) return {};
  QImageReader reader(&buffer, format);
  reader.setDecideFormatFromContent(false);
  reader.setAutoTransform(true);
  // Qt refuses an image whose decoded size exceeds this, before allocating it. The limit
  // is the process's, so it is put back for Qt's other readers (icons, themes).
  struct AllocationLimit {
    int saved = QImageReader::allocationLimit();
    explicit AllocationLimit(long bytes) {
      QImageReader::setAllocationLimit(
          static_cast<int>(std::clamp<long>(bytes / (1024 * 1024), 1, 1 << 20)));
    }
    ~AllocationLimit() { QImageReader::setAllocationLimit(saved); }
  } allocationLimit(limits.maxDecoderMemory);
  const QSize size = reader.size();  // from the header alone
  if (!size.isValid() || size.isEmpty()) return {};
  const std::int64_t pixels = std::int64_t{size.width()} * size.height();
  // These readers decode at full size, so the output cap applies to the header's size.
  if (pixels > limits.maxSourcePixels || pixels > limits.maxOutputPixels) return {};
  QImage image;
  if (!reader.read(&image) || image.isNull()) return {};
  if (std::int64_t{image.width()} * image.height() > limits.maxOutputPixels) return {};
  if (image.hasAlphaChannel()) {
    // Shop pictures often come cut out on a transparent ground: shown on white, as on the
    // supplier's page, not on whatever colour the transparent pixels happen to hold.
    QImage flat(image.size(), QImage::Format_RGB888);
    if (flat.isNull()) return {};
    flat.fill(Qt::white);
    QPainter painter(&flat);
    painter.drawImage(0, 0, image);
    painter.end();
    return flat;
  }
  return image.convertToFormat(QImage::Format_RGB888);
}

}  // namespace

QImage decodePicture(std::string_view bytes, QSize target) {
  return decodePicture(bytes, target, JpegLimits{});
}

QImage decodePicture(std::string_view bytes, QSize target, const JpegLimits& limits) {
  if (bytes.empty()) return {};
  if (const char* format = otherPictureFormat(bytes)) return decodeOther(bytes, format, limits);
  const RgbImage rgb =
      decodeJpeg(bytes, std::max(0, target.width()), std::max(0, target.height()), limits);
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

// Enough for the eight slots each at three sizes (the slot, the slot raised by the
// highlight, the result picture), the wheel, the background and the panel's icons.
constexpr std::size_t kCacheEntries = 32;

// Used from the GUI thread only; decodes made on other threads are stored from there.
std::vector<CacheEntry>& cache() {
  static std::vector<CacheEntry> entries;
  return entries;
}
std::uint64_t uses = 0;

CacheEntry* findEntry(const PictureData& picture, QSize target) {
  for (CacheEntry& entry : cache()) {
    if (entry.target != target || entry.bytes.size() != picture.size()) continue;
    if (entry.bytes.sameAs(picture)) return &entry;
    if (std::memcmp(entry.bytes.view().data(), picture.view().data(), picture.size()) == 0) {
      // The same contents read again: every entry of the old bytes takes the new ones, so
      // their next look-ups need no comparison.
      const PictureData old = entry.bytes;
      for (CacheEntry& other : cache()) {
        if (other.bytes.sameAs(old)) other.bytes = picture;
      }
      return &entry;
    }
  }
  return nullptr;
}

}  // namespace

QImage fitPictureToTarget(QImage decoded, QSize target) {
  // Kept at the box's own size, so that painting it is a plain copy.
  if (!decoded.isNull() && target.isValid() && !target.isEmpty() && decoded.size() != target) {
    return decoded.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  }
  return decoded;
}

bool isPictureCached(const PictureData& picture, QSize target) {
  return !picture.empty() && findEntry(picture, target) != nullptr;
}

void storeCachedPicture(const PictureData& picture, QSize target, QImage image) {
  if (picture.empty()) return;
  ++uses;
  if (CacheEntry* entry = findEntry(picture, target)) {
    entry->lastUse = uses;
    return;
  }
  CacheEntry fresh{picture, target, std::move(image), uses};
  std::vector<CacheEntry>& entries = cache();
  if (entries.size() < kCacheEntries) {
    entries.push_back(std::move(fresh));
  } else {
    *std::min_element(entries.begin(), entries.end(), [](const CacheEntry& a, const CacheEntry& b) {
      return a.lastUse < b.lastUse;
    }) = std::move(fresh);
  }
}

QImage decodePictureCached(const PictureData& picture, QSize target) {
  if (picture.empty()) return {};
  ++uses;
  if (CacheEntry* entry = findEntry(picture, target)) {
    entry->lastUse = uses;
    return entry->image;
  }
  QImage image = fitPictureToTarget(decodePicture(picture.view(), target), target);
  storeCachedPicture(picture, target, image);
  return image;
}

}  // namespace zv
