#include "platform/qt/qr_picture.h"

#include <cstdint>
#include <cstring>

namespace zv {

namespace {
// Far beyond any screen; keeps a wrong scale from asking for gigabytes.
constexpr std::int64_t kLargestSide = 16384;
}  // namespace

QImage qrPicture(const QrCode& code, int pixelsPerModule, int quietModules) {
  if (code.empty() || pixelsPerModule < 1 || quietModules < 0) return {};
  if (code.dark.size() != static_cast<std::size_t>(code.size) * code.size) return {};
  const std::int64_t side =
      (static_cast<std::int64_t>(code.size) + 2 * static_cast<std::int64_t>(quietModules)) *
      pixelsPerModule;
  if (side > kLargestSide) return {};
  QImage picture(static_cast<int>(side), static_cast<int>(side), QImage::Format_Grayscale8);
  if (picture.isNull()) return {};
  picture.fill(0xff);
  const int origin = quietModules * pixelsPerModule;
  for (int row = 0; row < code.size; ++row) {
    for (int column = 0; column < code.size; ++column) {
      if (!code.dark[static_cast<std::size_t>(row) * code.size + column]) continue;
      const int x = origin + column * pixelsPerModule;
      const int y = origin + row * pixelsPerModule;
      for (int line = 0; line < pixelsPerModule; ++line) {
        std::memset(picture.scanLine(y + line) + x, 0, static_cast<std::size_t>(pixelsPerModule));
      }
    }
  }
  return picture;
}

}  // namespace zv
