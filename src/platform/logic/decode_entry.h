#pragma once
// The file a kept picture decode is stored in: a header, then the image's rows. Such a
// file is input like any other (a damaged disk, a crash mid-write, a hand-edited cache),
// so it is taken only when every field agrees with the picture it claims to be, with the
// size its slot allows and with its checksums.
//
//   0  magic "ZVDEC02\n"                       8 bytes
//   8  width, height, bytes per line, pixels  4 x uint32
//  24  the source picture's length            uint64
//  32  digest of the source picture's bytes   32 bytes (BLAKE2b-256)
//  64  checksum of bytes 0..63                2 x uint64
//  80  checksum of the rows                   2 x uint64
//  96  rows, top to bottom
// Integers are in the machine's byte order (the file never leaves the machine).
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zv {

constexpr std::size_t kDecodeEntryHeaderBytes = 96;

// The pixel layouts an entry may hold; the numbers are the file's, not a toolkit's.
enum class EntryPixels : std::uint32_t { Rgb888 = 1, Rgb32 = 2, Argb32 = 3, Argb32Premultiplied = 4 };
std::uint32_t bytesPerPixel(EntryPixels pixels);

// The picture an entry belongs to.
struct EntrySource {
  std::array<std::uint8_t, 32> digest{};  // of its bytes (platform/qt/picture_digest.h)
  std::uint64_t size = 0;
};

// The sizes an entry may have: exactly width x height when those are set, else any size
// of at most maxPixels.
struct EntryAllowance {
  std::uint32_t width = 0, height = 0;
  std::uint64_t maxPixels = 0;
  static EntryAllowance exactly(std::uint32_t width, std::uint32_t height) {
    return {width, height, std::uint64_t{width} * height};
  }
  static EntryAllowance upTo(std::uint64_t maxPixels) { return {0, 0, maxPixels}; }
  // The largest entry file allowed, header included: a file larger than this is refused
  // before any of it is read.
  std::uint64_t largestEntryBytes() const;
};

struct EntryShape {
  std::uint32_t width = 0, height = 0, bytesPerLine = 0;
  EntryPixels pixels = EntryPixels::Rgb888;
};

// The shape of the image in entry (its rows start at kDecodeEntryHeaderBytes), or nothing
// when the entry is not a whole, sound entry of source within allowance.
std::optional<EntryShape> parseDecodeEntry(std::string_view entry, const EntrySource& source,
                                           const EntryAllowance& allowance);

// An entry of an image of shape, whose rows are rows (shape.bytesPerLine * shape.height
// bytes; the rows of a 32-bit aligned image: bytesPerLine is width * bytesPerPixel rounded
// up to a multiple of four).
std::string makeDecodeEntry(const EntryShape& shape, std::string_view rows,
                            const EntrySource& source);

}  // namespace zv
