#include "platform/number_text.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace zv {
namespace {

// Reads one character of the number's alphabet at text[pos], folding the full-width
// forms a Chinese input method types (U+FF0B+, U+FF0D-, U+FF0E., U+FF10-FF19 digits)
// to ASCII. Returns the folded character and sets `len`; returns 0 for anything else.
char numberChar(std::string_view text, std::size_t pos, std::size_t& len) {
  const unsigned char c = static_cast<unsigned char>(text[pos]);
  if (c < 0x80) {
    len = 1;
    return static_cast<char>(c);
  }
  if (c == 0xEF && pos + 2 < text.size() && static_cast<unsigned char>(text[pos + 1]) == 0xBC) {
    const unsigned char c2 = static_cast<unsigned char>(text[pos + 2]);
    len = 3;
    if (c2 >= 0x90 && c2 <= 0x99) return static_cast<char>('0' + (c2 - 0x90));
    if (c2 == 0x8B) return '+';
    if (c2 == 0x8D) return '-';
    if (c2 == 0x8E) return '.';
  }
  len = 0;
  return 0;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

double numericValue(std::string_view utf8) {
  std::size_t pos = 0;
  for (;;) {
    if (pos < utf8.size() && (utf8[pos] == ' ' || utf8[pos] == '\t')) {
      ++pos;
    } else if (utf8.substr(pos).starts_with("\xE3\x80\x80")) {  // ideographic space
      pos += 3;
    } else {
      break;
    }
  }

  // Collect the number in plain ASCII so a locale-independent parser can read it.
  std::string ascii;
  bool negative = false;
  std::size_t len = 0;
  auto peek = [&]() -> char { return pos < utf8.size() ? numberChar(utf8, pos, len) : 0; };

  char c = peek();
  if (c == '+' || c == '-') {
    negative = c == '-';
    pos += len;
    c = peek();
  }
  bool digits = false;
  while (isDigit(c)) {
    ascii += c;
    digits = true;
    pos += len;
    c = peek();
  }
  if (c == '.') {
    ascii += '.';
    pos += len;
    c = peek();
    while (isDigit(c)) {
      ascii += c;
      digits = true;
      pos += len;
      c = peek();
    }
  }
  if (!digits) return 0.0;
  if (c == 'e' || c == 'E') {
    // The exponent counts only when digits follow it ("1e" is 1).
    std::size_t at = pos + len;
    std::string exponent = "e";
    std::size_t signLen = 0;
    const char sign = at < utf8.size() ? numberChar(utf8, at, signLen) : 0;
    if (sign == '+' || sign == '-') {
      exponent += sign;
      at += signLen;
    }
    bool expDigits = false;
    std::size_t digitLen = 0;
    char d = 0;
    while (at < utf8.size() && isDigit(d = numberChar(utf8, at, digitLen))) {
      exponent += d;
      expDigits = true;
      at += digitLen;
    }
    if (expDigits) ascii += exponent;
  }
  if (ascii.front() == '.') ascii.insert(ascii.begin(), '0');

  double value = 0.0;
  const auto [end, ec] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
  (void)end;
  if (ec == std::errc::result_out_of_range) {
    // from_chars leaves the value alone when it does not fit: huge or tiny.
    const auto e = ascii.find('e');
    const bool tiny = e != std::string::npos && ascii[e + 1] == '-';
    value = tiny ? 0.0 : std::numeric_limits<double>::infinity();
  }
  return negative ? -value : value;
}

std::int32_t truncateToInt32(double value) {
  if (std::isnan(value)) return 0;
  constexpr double lo = std::numeric_limits<std::int32_t>::min();
  constexpr double hi = std::numeric_limits<std::int32_t>::max();
  if (value <= lo) return std::numeric_limits<std::int32_t>::min();
  if (value >= hi) return std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(value);  // truncates toward zero
}

std::int32_t integerValue(std::string_view utf8) { return truncateToInt32(numericValue(utf8)); }

std::string formatNumber(double value) {
  if (value == 0.0) value = 0.0;  // no "-0"
  // The "%.13g" form without printf: the application runs under the user's locale (Qt
  // sets it), whose decimal point may be a comma; the files always use '.'.
  char buffer[64];
  const auto [end, ec] =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 13);
  return ec == std::errc() ? std::string(buffer, end) : std::string();
}

}  // namespace zv
