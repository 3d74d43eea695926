#include "platform/number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace zv {
namespace {

TEST(NumberText, ReadsTheLeadingNumber) {
  struct Case {
    const char* text;
    double value;
    std::int32_t integer;
  };
  const Case cases[] = {
      {"2.9", 2.9, 2},
      {"-1.5", -1.5, -1},
      {"+7", 7, 7},
      {"abc", 0, 0},
      {"", 0, 0},
      {"-", 0, 0},
      {".", 0, 0},
      {"１２", 12, 12},
      {"－３．５", -3.5, -3},
      {"＋４", 4, 4},
      {"\xE3\x80\x80\t 8", 8, 8},
      {" 42px", 42, 42},
      {"1e3", 1000, 1000},
      {"2.5E-1", 0.25, 0},
      {"1e", 1, 1},
      {"1e+", 1, 1},
      {"3ex", 3, 3},
      {".5", 0.5, 0},
      {"5.", 5, 5},
      {"12 34", 12, 12},
      {"- 5", 0, 0},
      {"1.2.3", 1.2, 1},
      {"99999999999", 99999999999.0, std::numeric_limits<std::int32_t>::max()},
      {"-99999999999", -99999999999.0, std::numeric_limits<std::int32_t>::min()},
  };
  for (const auto& c : cases) {
    EXPECT_DOUBLE_EQ(numericValue(c.text), c.value) << c.text;
    EXPECT_EQ(integerValue(c.text), c.integer) << c.text;
  }
}

TEST(NumberText, OutOfRangeExponents) {
  EXPECT_TRUE(std::isinf(numericValue("1e999")));
  EXPECT_LT(numericValue("-1e999"), 0);
  EXPECT_EQ(numericValue("1e-999"), 0.0);
}

TEST(NumberText, TruncatesToInt32) {
  constexpr auto lo = std::numeric_limits<std::int32_t>::min();
  constexpr auto hi = std::numeric_limits<std::int32_t>::max();
  const std::pair<double, std::int32_t> cases[] = {
      {-0.9, 0},
      {2147483647.9, hi},
      {-2147483648.9, lo},
      {3e9, hi},
      {std::numeric_limits<double>::infinity(), hi},
      {-std::numeric_limits<double>::infinity(), lo},
      {std::numeric_limits<double>::quiet_NaN(), 0},
  };
  for (const auto& [value, expected] : cases) EXPECT_EQ(truncateToInt32(value), expected) << value;
}

TEST(NumberText, FormatsWithThirteenSignificantDigits) {
  const std::pair<double, const char*> cases[] = {
      {2.5 + 1, "3.5"},   {8, "8"},    {1e13, "1e+13"},
      {0.1 + 0.2, "0.3"}, {-0.0, "0"}, {-12.25, "-12.25"},
  };
  for (const auto& [value, expected] : cases) EXPECT_EQ(formatNumber(value), expected);
}

}  // namespace
}  // namespace zv
