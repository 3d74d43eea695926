#include "platform/logic/content_hash.h"

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

TEST(ContentHash, EqualBytesGiveEqualHashes) {
  EXPECT_EQ(contentHash(sample(1000)), contentHash(sample(1000)));
  EXPECT_EQ(contentHash(sample(1000)).hex().size(), 32u);
}

// One changed bit anywhere (stripes, word tail, byte tail) or another length gives
// another hash, in both halves.
TEST(ContentHash, AnyChangedBitOrLengthChangesBothHalves) {
  const std::string base = sample(100);  // three stripes, a word and four bytes left
  std::set<std::uint64_t> highs{contentHash(base).high}, lows{contentHash(base).low};
  std::size_t variants = 1;
  for (const std::size_t at : {std::size_t{0}, std::size_t{31}, std::size_t{32}, std::size_t{95},
                               std::size_t{96}, std::size_t{99}}) {
    for (const int bit : {0, 7}) {
      std::string changed = base;
      changed[at] = static_cast<char>(changed[at] ^ (1 << bit));
      highs.insert(contentHash(changed).high);
      lows.insert(contentHash(changed).low);
      ++variants;
    }
  }
  for (const std::size_t size :
       {std::size_t{0}, std::size_t{1}, std::size_t{99}, std::size_t{101}}) {
    highs.insert(contentHash(sample(size)).high);
    lows.insert(contentHash(sample(size)).low);
    ++variants;
  }
  EXPECT_EQ(highs.size(), variants);
  EXPECT_EQ(lows.size(), variants);
}

TEST(ContentHash, ZeroBytesOfDifferentLengthsDiffer) {
  EXPECT_NE(contentHash(std::string(64, '\0')), contentHash(std::string(65, '\0')));
  EXPECT_NE(contentHash(std::string(8, '\0')), contentHash(std::string()));
}

}  // namespace
}  // namespace zv
