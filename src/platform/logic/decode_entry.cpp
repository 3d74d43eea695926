#include "platform/logic/decode_entry.h"

#include <cstring>

#include "platform/logic/checksum.h"

namespace zv {
namespace {

constexpr char kMagic[8] = {'Z', 'V', 'D', 'E', 'C', '0', '2', '\n'};
constexpr std::size_t kCheckedHeaderBytes = 64;
// Larger sides than this are no picture this program shows (and keep the row arithmetic
// of an image toolkit with int sizes far from overflow).
constexpr std::uint32_t kLongestSide = 1u << 15;

struct Header {
  char magic[8];
  std::uint32_t width, height, bytesPerLine, pixels;
  std::uint64_t sourceSize;
  std::uint8_t digest[32];
  std::uint64_t headerCheck[2];
  std::uint64_t rowsCheck[2];
};
static_assert(sizeof(Header) == kDecodeEntryHeaderBytes);

std::uint64_t alignedRow(std::uint64_t width, std::uint32_t bytesPerPixel) {
  return (width * bytesPerPixel + 3) / 4 * 4;
}

void put(std::uint64_t (&into)[2], const Checksum& sum) {
  into[0] = sum.high;
  into[1] = sum.low;
}

bool same(const std::uint64_t (&stored)[2], const Checksum& sum) {
  return stored[0] == sum.high && stored[1] == sum.low;
}

}  // namespace

std::uint32_t bytesPerPixel(EntryPixels pixels) {
  switch (pixels) {
    case EntryPixels::Rgb888:
      return 3;
    case EntryPixels::Rgb32:
    case EntryPixels::Argb32:
    case EntryPixels::Argb32Premultiplied:
      return 4;
  }
  return 0;
}

std::uint64_t EntryAllowance::largestEntryBytes() const {
  // Four bytes a pixel at most: three-byte rows are padded by at most three bytes, and a
  // row holds at least one pixel.
  if (width > 0 && height > 0) return kDecodeEntryHeaderBytes + alignedRow(width, 4) * height;
  return kDecodeEntryHeaderBytes + maxPixels * 4;
}

std::optional<EntryShape> parseDecodeEntry(std::string_view entry, const EntrySource& source,
                                           const EntryAllowance& allowance) {
  if (entry.size() < sizeof(Header)) return std::nullopt;
  Header h;
  std::memcpy(&h, entry.data(), sizeof h);
  if (std::memcmp(h.magic, kMagic, sizeof kMagic) != 0 || h.sourceSize != source.size ||
      std::memcmp(h.digest, source.digest.data(), sizeof h.digest) != 0)
    return std::nullopt;
  // The raw number first: only then is it one of the layouts.
  if (h.pixels < 1 || h.pixels > 4) return std::nullopt;
  const auto pixels = static_cast<EntryPixels>(h.pixels);
  const bool exact = allowance.width > 0 && allowance.height > 0;
  if (h.width == 0 || h.height == 0 || h.width > kLongestSide || h.height > kLongestSide ||
      (exact && (h.width != allowance.width || h.height != allowance.height)) ||
      std::uint64_t{h.width} * h.height > allowance.maxPixels ||
      h.bytesPerLine != alignedRow(h.width, bytesPerPixel(pixels)) ||
      entry.size() - sizeof(Header) != std::uint64_t{h.bytesPerLine} * h.height)
    return std::nullopt;
  if (!same(h.headerCheck, checksum(entry.substr(0, kCheckedHeaderBytes))) ||
      !same(h.rowsCheck, checksum(entry.substr(sizeof(Header)))))
    return std::nullopt;
  return EntryShape{h.width, h.height, h.bytesPerLine, pixels};
}

std::string makeDecodeEntry(const EntryShape& shape, std::string_view rows,
                            const EntrySource& source) {
  Header h{};
  std::memcpy(h.magic, kMagic, sizeof kMagic);
  h.width = shape.width;
  h.height = shape.height;
  h.bytesPerLine = shape.bytesPerLine;
  h.pixels = static_cast<std::uint32_t>(shape.pixels);
  h.sourceSize = source.size;
  std::memcpy(h.digest, source.digest.data(), sizeof h.digest);
  put(h.headerCheck,
      checksum(std::string_view(reinterpret_cast<const char*>(&h), kCheckedHeaderBytes)));
  put(h.rowsCheck, checksum(rows));
  std::string out(reinterpret_cast<const char*>(&h), sizeof h);
  out.append(rows);
  return out;
}

}  // namespace zv
