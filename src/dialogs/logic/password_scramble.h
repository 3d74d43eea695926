#pragma once
// The operator password as stored in the settings file: a two-letter salt, then two
// letters A-P for each byte of the password's GBK text run through a keystream keyed by
// the program's own key and the salt.
#include <string>
#include <string_view>

namespace zv {

class RandomSource;

inline constexpr std::string_view kPasswordKey = "qorvelin";

// The stored form of a password (UTF-8 in memory, scrambled over its GBK bytes).
std::string passwordScramble(std::string_view password, RandomSource& random);
// The same with a given salt, for stored forms that must come out exactly.
std::string passwordScrambleWithSalt(std::string_view password, std::string_view salt);

// The password's GBK bytes from a stored form; any text unscrambles to some bytes.
std::string passwordUnscrambleBytes(std::string_view stored);

// Whether an entered password (UTF-8) is the stored one, byte for byte.
bool passwordMatches(std::string_view entered, std::string_view stored);

}  // namespace zv
