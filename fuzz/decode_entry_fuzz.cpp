// The reader of kept picture decodes, fed arbitrary bytes: either taken as an entry file
// as they are, or sealed into an entry whose checksums are right but whose header may
// still lie about the rows (or, half the time, does not). Whatever is taken must be an image whose every row lies
// inside the bytes.
#include <QImage>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "platform/logic/decode_entry.h"
#include "platform/qt/decode_entry_image.h"

namespace {

std::uint32_t word(std::string_view bytes, std::size_t at) {
  std::uint32_t w = 0;
  if (bytes.size() >= at + 4) std::memcpy(&w, bytes.data() + at, 4);
  return w;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const bool seal = (data[0] & 1) != 0;
  // Sealed with its row length and row count right, so that entries are taken often and
  // the image made of them is read through.
  const bool honest = (data[0] & 4) != 0;
  // A slot of a small exact size or the decoder's bound; sizes are kept small so a run
  // spends its time in the reader, not in allocations.
  const zv::EntryAllowance allowance = (data[0] & 2) != 0
                                           ? zv::EntryAllowance::exactly(data[1] % 64, data[0] >> 3)
                                           : zv::EntryAllowance::upTo(std::uint64_t{data[1]} << 8);
  std::string_view rest = input.substr(2);

  std::string entry;
  zv::EntrySource source;
  if (seal) {
    // Shape from the first 16 bytes, rows from the rest.
    zv::EntryShape shape{word(rest, 0) % 64, word(rest, 4) % 64, word(rest, 8) % 2000,
                         static_cast<zv::EntryPixels>(word(rest, 12))};
    std::string rows(rest.substr(std::min<std::size_t>(16, rest.size())));
    if (honest) {
      shape.bytesPerLine = (shape.width * zv::bytesPerPixel(shape.pixels) + 3) / 4 * 4;
      rows.resize(std::size_t{shape.bytesPerLine} * shape.height, '\x5a');
    }
    source.size = rest.size();
    entry = zv::makeDecodeEntry(shape, rows, source);
  } else {
    // The entry's own claim of its source, so the checks past the key are reached.
    entry = std::string(rest);
    if (entry.size() >= 64) {
      std::memcpy(&source.size, entry.data() + 24, 8);
      std::memcpy(source.digest.data(), entry.data() + 32, 32);
    }
  }
  auto owner = std::make_shared<const std::string>(std::move(entry));
  const std::string_view bytes(*owner);
  const std::optional<zv::EntryShape> shape = zv::parseDecodeEntry(bytes, source, allowance);
  const QImage image = zv::entryImage(owner, bytes, source, allowance);
  if (shape.has_value() != !image.isNull()) std::abort();
  if (!shape) return 0;
  const std::uint64_t rows = std::uint64_t{shape->bytesPerLine} * shape->height;
  if (zv::kDecodeEntryHeaderBytes + rows != bytes.size() ||
      shape->bytesPerLine < std::uint64_t{shape->width} * zv::bytesPerPixel(shape->pixels) ||
      std::uint64_t{shape->width} * shape->height > allowance.maxPixels ||
      bytes.size() > allowance.largestEntryBytes())
    std::abort();
  // Every pixel read, through Qt's own conversion: a row past the bytes is an overflow.
  const QImage converted = image.convertToFormat(QImage::Format_ARGB32);
  std::uint32_t sum = 0;
  for (int y = 0; y < converted.height(); ++y)
    sum += reinterpret_cast<const std::uint32_t*>(converted.constScanLine(y))[converted.width() - 1];
  volatile std::uint32_t kept = sum;
  static_cast<void>(kept);
  return 0;
}
