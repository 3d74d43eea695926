// A kept decode's file is taken only when every field agrees: with the picture, with the
// slot's sizes, with the rows and with both checksums.
#include "platform/logic/decode_entry.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace zv {
namespace {

EntrySource source() {
  EntrySource s;
  for (std::size_t i = 0; i < s.digest.size(); ++i) s.digest[i] = static_cast<std::uint8_t>(i * 5);
  s.size = 3'000'000;
  return s;
}

// 5 x 3 three-byte pixels: rows of 15 bytes padded to 16.
const EntryShape kShape{5, 3, 16, EntryPixels::Rgb888};

std::string rows(std::size_t size) {
  std::string r(size, '\0');
  for (std::size_t i = 0; i < size; ++i) r[i] = static_cast<char>(i * 13 + 1);
  return r;
}

std::string sound() { return makeDecodeEntry(kShape, rows(48), source()); }

std::string flipped(std::string bytes, std::size_t at, int bit) {
  bytes[at] = static_cast<char>(bytes[at] ^ (1 << bit));
  return bytes;
}

TEST(DecodeEntry, ASoundEntryIsTakenAtTheSizesItsSlotAllows) {
  const auto shape = parseDecodeEntry(sound(), source(), EntryAllowance::exactly(5, 3));
  ASSERT_TRUE(shape.has_value());
  EXPECT_EQ(shape->width, 5u);
  EXPECT_EQ(shape->height, 3u);
  EXPECT_EQ(shape->bytesPerLine, 16u);
  EXPECT_EQ(shape->pixels, EntryPixels::Rgb888);
  EXPECT_TRUE(parseDecodeEntry(sound(), source(), EntryAllowance::upTo(15)).has_value());
  EXPECT_LE(sound().size(), EntryAllowance::exactly(5, 3).largestEntryBytes());
  EXPECT_LE(sound().size(), EntryAllowance::upTo(15).largestEntryBytes());
}

// Damage of any field, and entries whose checksums were made right over fields that do
// not add up (a writer's fault, or a hand-made entry): all refused.
TEST(DecodeEntry, AnEntryThatDisagreesAnywhereIsRefused) {
  EntrySource otherSource = source();
  otherSource.digest[31] ^= 1;
  EntrySource otherLength = source();
  otherLength.size += 1;
  struct Case {
    const char* what;
    std::string entry;
    EntrySource source;
    EntryAllowance allowance;
  };
  const EntryAllowance slot = EntryAllowance::exactly(5, 3);
  const Case cases[] = {
      {"empty", "", source(), slot},
      {"only the header", sound().substr(0, kDecodeEntryHeaderBytes), source(), slot},
      {"cut short", sound().substr(0, sound().size() - 1), source(), slot},
      {"a byte more", sound() + "x", source(), slot},
      {"older version", flipped(sound(), 6, 0), source(), slot},
      {"a bit of the width", flipped(sound(), 8, 1), source(), slot},
      {"a high bit of the width", flipped(sound(), 11, 7), source(), EntryAllowance::upTo(1u << 31)},
      {"a bit of the height", flipped(sound(), 12, 0), source(), slot},
      {"a bit of the row length", flipped(sound(), 16, 2), source(), slot},
      {"a bit of the layout", flipped(sound(), 20, 0), source(), slot},
      {"a bit of the header checksum", flipped(sound(), 64, 0), source(), slot},
      {"a bit of the rows' checksum", flipped(sound(), 88, 3), source(), slot},
      {"a bit of a pixel", flipped(sound(), kDecodeEntryHeaderBytes + 20, 4), source(), slot},
      {"the last byte", flipped(sound(), sound().size() - 1, 7), source(), slot},
      {"another picture's", sound(), otherSource, slot},
      {"a picture of another length", sound(), otherLength, slot},
      {"another slot size", sound(), source(), EntryAllowance::exactly(5, 4)},
      {"more pixels than allowed", sound(), source(), EntryAllowance::upTo(14)},
      {"sealed: a layout no entry holds, no rows",
       makeDecodeEntry({5, 3, 0, static_cast<EntryPixels>(0)}, "", source()), source(),
       EntryAllowance::upTo(15)},
      {"sealed: layout 5",
       makeDecodeEntry({5, 3, 20, static_cast<EntryPixels>(5)}, rows(60), source()), source(),
       EntryAllowance::upTo(15)},
      {"sealed: a huge layout number",
       makeDecodeEntry({5, 3, 0, static_cast<EntryPixels>(0x80000003u)}, "", source()), source(),
       EntryAllowance::upTo(15)},
      {"sealed: rows too short for the width",
       makeDecodeEntry({5, 3, 12, EntryPixels::Rgb888}, rows(36), source()), source(),
       EntryAllowance::upTo(15)},
      {"sealed: padded more than aligned",
       makeDecodeEntry({5, 3, 20, EntryPixels::Rgb888}, rows(60), source()), source(),
       EntryAllowance::upTo(15)},
      {"sealed: no width", makeDecodeEntry({0, 3, 0, EntryPixels::Rgb888}, "", source()),
       source(), EntryAllowance::upTo(15)},
      {"sealed: a side beyond any picture",
       makeDecodeEntry({1u << 16, 1, 1u << 18, EntryPixels::Rgb32}, rows(1u << 18), source()),
       source(), EntryAllowance::upTo(1u << 20)},
      {"sealed: rows the header does not count",
       makeDecodeEntry(kShape, rows(64), source()), source(), slot},
  };
  for (const Case& c : cases) {
    EXPECT_FALSE(parseDecodeEntry(c.entry, c.source, c.allowance).has_value()) << c.what;
  }
}

// The bound a reader checks the file's size against, before reading it: no sound entry
// is larger, so nothing good is refused by it.
TEST(DecodeEntry, TheLargestEntryBoundsEveryLayout) {
  for (const EntryPixels pixels : {EntryPixels::Rgb888, EntryPixels::Rgb32}) {
    for (const std::uint32_t width : {1u, 2u, 3u, 5u, 106u}) {
      const std::uint32_t bpl = (width * bytesPerPixel(pixels) + 3) / 4 * 4;
      const std::string entry = makeDecodeEntry({width, 7, bpl, pixels}, rows(bpl * 7), source());
      ASSERT_TRUE(parseDecodeEntry(entry, source(), EntryAllowance::exactly(width, 7)));
      EXPECT_LE(entry.size(), EntryAllowance::exactly(width, 7).largestEntryBytes());
      EXPECT_LE(entry.size(), EntryAllowance::upTo(width * 7).largestEntryBytes());
    }
  }
  EXPECT_LT(EntryAllowance::upTo(40'000'000).largestEntryBytes(), 161'000'000u);
}

}  // namespace
}  // namespace zv
