#include "platform/qt/decode_entry_image.h"

namespace zv {
namespace {

QImage::Format qtFormat(EntryPixels pixels) {
  switch (pixels) {
    case EntryPixels::Rgb888:
      return QImage::Format_RGB888;
    case EntryPixels::Rgb32:
      return QImage::Format_RGB32;
    case EntryPixels::Argb32:
      return QImage::Format_ARGB32;
    case EntryPixels::Argb32Premultiplied:
      return QImage::Format_ARGB32_Premultiplied;
  }
  return QImage::Format_Invalid;
}

}  // namespace

std::optional<EntryPixels> entryPixels(QImage::Format format) {
  switch (format) {
    case QImage::Format_RGB888:
      return EntryPixels::Rgb888;
    case QImage::Format_RGB32:
      return EntryPixels::Rgb32;
    case QImage::Format_ARGB32:
      return EntryPixels::Argb32;
    case QImage::Format_ARGB32_Premultiplied:
      return EntryPixels::Argb32Premultiplied;
    default:
      return std::nullopt;
  }
}

QImage entryImage(std::shared_ptr<const void> owner, std::string_view entry,
                  const EntrySource& source, const EntryAllowance& allowance) {
  const std::optional<EntryShape> shape = parseDecodeEntry(entry, source, allowance);
  if (!shape) return {};
  auto* keep = new std::shared_ptr<const void>(std::move(owner));
  QImage image(
      reinterpret_cast<const uchar*>(entry.data() + kDecodeEntryHeaderBytes),
      static_cast<int>(shape->width), static_cast<int>(shape->height),
      static_cast<qsizetype>(shape->bytesPerLine), qtFormat(shape->pixels),
      [](void* held) { delete static_cast<std::shared_ptr<const void>*>(held); }, keep);
  if (image.isNull()) delete keep;  // refused images do not call the clean-up
  return image;
}

std::string entryOfImage(const QImage& image, const EntrySource& source) {
  const std::optional<EntryPixels> pixels = entryPixels(image.format());
  if (image.isNull() || !pixels) return {};
  const EntryShape shape{static_cast<std::uint32_t>(image.width()),
                         static_cast<std::uint32_t>(image.height()),
                         static_cast<std::uint32_t>(image.bytesPerLine()), *pixels};
  return makeDecodeEntry(
      shape,
      std::string_view(reinterpret_cast<const char*>(image.constBits()),
                       static_cast<std::size_t>(image.sizeInBytes())),
      source);
}

}  // namespace zv
