#include "platform/qt/picture.h"

#include <algorithm>
#include <cstring>

#include "platform/jpeg.h"

namespace zv {

QImage decodePicture(std::string_view jpeg, QSize target) {
  if (jpeg.empty()) return {};
  const RgbImage rgb = decodeJpeg(jpeg, std::max(0, target.width()), std::max(0, target.height()));
  if (rgb.empty()) return {};
  QImage image(rgb.width, rgb.height, QImage::Format_RGB888);
  const std::size_t rowBytes = static_cast<std::size_t>(rgb.width) * 3;
  for (int y = 0; y < rgb.height; ++y) {
    std::memcpy(image.scanLine(y), rgb.pixels.data() + rowBytes * static_cast<std::size_t>(y),
                rowBytes);
  }
  return image;
}

}  // namespace zv
