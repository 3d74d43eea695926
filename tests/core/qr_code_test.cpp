// QR codes of the commitment shown on the projector: the right size for the text, and a
// grid whose corners hold the finder patterns where a reader looks for them.
#include "platform/qr_code.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

namespace zv {
namespace {

// The 7×7 finder pattern (dark ring, light ring, dark 3×3 core) with its light separator,
// at the module (top, left) of the pattern itself.
bool finderAt(const QrCode& code, int top, int left) {
  for (int row = -1; row <= 7; ++row) {
    for (int column = -1; column <= 7; ++column) {
      const int y = top + row;
      const int x = left + column;
      if (y < 0 || x < 0 || y >= code.size || x >= code.size) continue;
      const int ring = std::max(std::abs(row - 3), std::abs(column - 3));
      const bool dark = ring == 3 || ring <= 1;  // ring 4 is the separator, ring 2 light
      if (code.dark[static_cast<std::size_t>(y) * code.size + x] != dark) return false;
    }
  }
  return true;
}

TEST(QrCode, TheSmallestVersionForTheTextAtLevelM) {
  if (!qrCodesAvailable()) GTEST_SKIP() << "built without a QR encoder";
  struct Case {
    std::string text;
    int size;  // 0: no code
  };
  const Case cases[] = {
      {"", 0},
      {"a", 21},  // version 1 holds 14 bytes at M
      {std::string(14, 'x'), 21},
      {std::string(15, 'x'), 25},  // version 2
      {std::string(64, 'f'), 37},  // a SHA-256 in hex: 64 bytes need version 5
      {std::string(64, 'F'), 37},  // upper-case hex too: bytes, never alphanumerics
      {std::string(64, '7'), 37},  // and digits: bytes, never the numeric mode
      {std::string("\0", 1) + std::string(20, 'x'), 25},  // a leading NUL ends nothing
      {std::string(2331, 'x'), 177},                      // the largest code, version 40
      {std::string(2332, 'x'), 0},                        // one byte more fits no code
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.text.size() << " bytes");
    const QrCode code = makeQrCode(c.text);
    EXPECT_EQ(code.size, c.size);
    EXPECT_EQ(code.empty(), c.size == 0);
    EXPECT_EQ(code.dark.size(), static_cast<std::size_t>(c.size) * c.size);
  }
}

TEST(QrCode, FinderPatternsInThreeCornersAndNotTheFourth) {
  if (!qrCodesAvailable()) GTEST_SKIP() << "built without a QR encoder";
  for (const char* text :
       {"a", "3f9c0e1d2b4a5968778695a4b3c2d1e0f0e1d2c3b4a5968778695a4b3c2d1e0f"}) {
    SCOPED_TRACE(text);
    const QrCode code = makeQrCode(text);
    ASSERT_FALSE(code.empty());
    const int far = code.size - 7;
    EXPECT_TRUE(finderAt(code, 0, 0));
    EXPECT_TRUE(finderAt(code, 0, far));
    EXPECT_TRUE(finderAt(code, far, 0));
    EXPECT_FALSE(finderAt(code, far, far));
    // The dark module beside the lower-left finder, and the timing pattern on row 6.
    EXPECT_TRUE(code.dark[static_cast<std::size_t>(code.size - 8) * code.size + 8]);
    for (int column = 8; column < code.size - 8; ++column) {
      EXPECT_EQ(code.dark[6 * static_cast<std::size_t>(code.size) + column], column % 2 == 0)
          << "timing module " << column;
    }
  }
}

}  // namespace
}  // namespace zv
