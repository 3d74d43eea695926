#include "platform/logic/checksum.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace zv {
namespace {

std::string sample(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 7 + 3);
  return bytes;
}

TEST(Checksum, EqualBytesGiveEqualChecksums) {
  EXPECT_EQ(checksum(sample(1000)), checksum(sample(1000)));
  EXPECT_EQ(checksum(sample(1000)).hex().size(), 32u);
}

// One changed bit anywhere (stripes, word tail, byte tail) or another length gives
// another hash, in both halves.
TEST(Checksum, AnyChangedBitOrLengthChangesBothHalves) {
  const std::string base = sample(100);  // three stripes, a word and four bytes left
  std::set<std::uint64_t> highs{checksum(base).high}, lows{checksum(base).low};
  std::size_t variants = 1;
  for (const std::size_t at : {std::size_t{0}, std::size_t{31}, std::size_t{32}, std::size_t{95},
                               std::size_t{96}, std::size_t{99}}) {
    for (const int bit : {0, 7}) {
      std::string changed = base;
      changed[at] = static_cast<char>(changed[at] ^ (1 << bit));
      highs.insert(checksum(changed).high);
      lows.insert(checksum(changed).low);
      ++variants;
    }
  }
  for (const std::size_t size :
       {std::size_t{0}, std::size_t{1}, std::size_t{99}, std::size_t{101}}) {
    highs.insert(checksum(sample(size)).high);
    lows.insert(checksum(sample(size)).low);
    ++variants;
  }
  EXPECT_EQ(highs.size(), variants);
  EXPECT_EQ(lows.size(), variants);
}

TEST(Checksum, ZeroBytesOfDifferentLengthsDiffer) {
  EXPECT_NE(checksum(std::string(64, '\0')), checksum(std::string(65, '\0')));
  EXPECT_NE(checksum(std::string(8, '\0')), checksum(std::string()));
}

}  // namespace
}  // namespace zv
