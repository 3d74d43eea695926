#pragma once
// Numbers held as text: INI values and edit-box texts.
#include <cstdint>
#include <string>
#include <string_view>

namespace zv {

// The numeric value of a text: blanks skipped, then the leading decimal number
// (sign, digits, decimal point, exponent). Empty or non-numeric text gives 0.
// Full-width digits, sign and point (as typed with a Chinese input method) count.
double numericValue(std::string_view utf8);

// numericValue truncated toward zero and clamped to the 32-bit signed range.
std::int32_t integerValue(std::string_view utf8);

// Truncates toward zero and clamps to the 32-bit signed range (NaN gives 0).
std::int32_t truncateToInt32(double value);

// A computed number written back as text, in the "%.13g" form.
std::string formatNumber(double value);

}  // namespace zv
