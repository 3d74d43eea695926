#include "platform/qt/picture_as_jpeg.h"

#include <cstring>
#include <new>

#include "platform/jpeg.h"
#include "platform/qt/picture.h"

namespace zv {

namespace {

std::string encodedAsJpeg(const std::string& bytes) {
  // No target size: the picture's own size, under the same caps as when it is shown, so
  // that whatever is stored also decodes again.
  const QImage decoded = decodePicture(bytes, QSize());
  if (decoded.isNull()) return {};
  const QImage rgb = decoded.convertToFormat(QImage::Format_RGB888);
  if (rgb.isNull()) return {};
  RgbImage image;
  image.width = rgb.width();
  image.height = rgb.height();
  const std::size_t rowBytes = static_cast<std::size_t>(image.width) * 3;
  image.pixels.resize(rowBytes * static_cast<std::size_t>(image.height));
  for (int y = 0; y < image.height; ++y) {
    std::memcpy(image.pixels.data() + rowBytes * static_cast<std::size_t>(y), rgb.constScanLine(y),
                rowBytes);
  }
  return encodeJpeg(image, kStoredJpegQuality);
}

}  // namespace

std::optional<std::string> pictureAsJpegFile(std::string bytes) {
  if (!otherPictureFormat(bytes)) return bytes;
  try {
    if (std::string jpeg = encodedAsJpeg(bytes); !jpeg.empty()) return jpeg;
  } catch (const std::bad_alloc&) {
    // a picture near the caps on a machine short of memory: not stored
  }
  return std::nullopt;
}

}  // namespace zv
