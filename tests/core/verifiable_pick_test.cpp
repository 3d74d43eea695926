#include "draw/verifiable_pick.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace zv {
namespace {

using Counts = std::array<std::int64_t, 8>;

VerifiableEvent eventFromHex(const std::string& secretHex, const std::string& audience) {
  VerifiableEvent event;
  EXPECT_TRUE(bytesFromHex(secretHex, event.secret));
  event.commitment = commitmentOf(event.secret);
  event.audience = audience;
  return event;
}

std::string repeated(const std::string& pair) {
  std::string hex;
  for (int i = 0; i < 32; ++i) hex += pair;
  return hex;
}

const std::string kCounting = "000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f";

// Recomputable in a few lines of any language with SHA-256 and HMAC-SHA256:
//   c = sha256(secret).hexdigest(); block b = hmac(secret, f"{c}|{audience}|{row}|{b}")
//   w = bit length of n - 1; read w bits, most significant first, until one value v < n;
//   entry v + 1 of the list "every 1, then every 2, ...".
TEST(VerifiablePick, KnownAnswers) {
  struct Case {
    std::string secretHex, audience;
    std::int64_t row;
    Counts counts;
    std::int64_t entry;
    int slot;
  };
  const std::vector<Case> cases = {
      {repeated("00"), "", 1, {1, 1, 1, 1, 1, 1, 1, 1}, 6, 6},
      {repeated("00"), "", 2, {1, 1, 1, 1, 1, 1, 1, 1}, 1, 1},
      {repeated("ff"), "4711", 1, {3, 0, 0, 0, 0, 0, 0, 5}, 2, 1},
      {kCounting, "20261210", 17, {1, 2, 3, 4, 5, 6, 7, 8}, 8, 4},      // one value rejected
      {kCounting, "20261210", 18, {1, 2, 3, 4, 5, 6, 7, 8}, 12, 5},     // ten rejected
      {kCounting, "", 18, {1, 2, 3, 4, 5, 6, 7, 8}, 4, 3},              // audience mixed in
      {repeated("ab"), "6", 999, {0, 0, 0, 0, 0, 0, 0, 1}, 1, 8},       // reads no bits
      {repeated("5a"), "31415926", 12, {1000000, 0, 1, 0, 0, 0, 0, 0}, 196327, 1},
      {repeated("5a"), "31415926", 13, {100, 200, 300, 400, 500, 600, 700, 800}, 2068, 6},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.secretHex.substr(0, 8) + " row " + std::to_string(c.row));
    const VerifiableEvent event = eventFromHex(c.secretHex, c.audience);
    const DrawPool pool = DrawPool::fromCounts(c.counts);
    EXPECT_EQ(verifiableEntry(event, c.row, pool.size()), c.entry);
    EXPECT_EQ(verifiableSlot(event, c.row, pool), c.slot);
  }
  EXPECT_EQ(commitmentOf(std::string(32, '\0')).substr(0, 16), "66687aadf862bd77");
  EXPECT_EQ(verifiableSlot(eventFromHex(repeated("00"), ""), 1, DrawPool()), 0);
}

TEST(VerifiablePick, StreamRunsOnIntoTheNextBlock) {
  // Five tries of 63 bits: the fifth reads past the first 256 bits.
  const VerifiableEvent event = eventFromHex(kCounting, "7");
  EXPECT_EQ(verifiableEntry(event, 10, (std::int64_t{1} << 62) + 1), 1533790740445309922);
}

// A pool whose size is just above a power of two rejects nearly half the values, where a
// modulo would favour the low entries twice over.
TEST(VerifiablePick, RejectionSamplingIsUnbiased) {
  const VerifiableEvent event = eventFromHex(kCounting, "12345");
  for (const std::int64_t n : {3, 5, 9}) {
    SCOPED_TRACE(n);
    const int draws = 9000;
    std::vector<int> seen(static_cast<std::size_t>(n) + 1);
    for (int row = 1; row <= draws; ++row) {
      const std::int64_t entry = verifiableEntry(event, row, n);
      ASSERT_GE(entry, 1);
      ASSERT_LE(entry, n);
      ++seen[static_cast<std::size_t>(entry)];
    }
    const double expected = static_cast<double>(draws) / static_cast<double>(n);
    double chiSquared = 0;
    for (std::int64_t e = 1; e <= n; ++e) {
      const double d = seen[static_cast<std::size_t>(e)] - expected;
      chiSquared += d * d / expected;
    }
    // The 0.999 quantile of chi-squared with n - 1 degrees of freedom (2, 4, 8).
    const double limit = n == 3 ? 13.82 : n == 5 ? 18.47 : 26.12;
    EXPECT_LT(chiSquared, limit);
  }
}

TEST(VerifiablePick, BitsAreReadMostSignificantFirst) {
  RandomBits bits([](std::uint64_t block) {
    Digest d{};
    d[0] = static_cast<std::uint8_t>(0xA0 | block);  // 1010 then the block's number
    return d;
  });
  EXPECT_EQ(bits.take(4), 0xAu);
  EXPECT_EQ(bits.take(4), 0x0u);
  EXPECT_EQ(bits.take(0), 0u);
  EXPECT_EQ(bits.take(248), 0u);  // the rest of block 0 (only the low 64 bits kept)
  EXPECT_EQ(bits.take(8), 0xA1u);
}

}  // namespace
}  // namespace zv
