#include "dialogs/logic/password_scramble.h"

#include <array>
#include <cctype>
#include <cstdint>
#include <utility>

#include "draw/random_source.h"
#include "platform/text_codec.h"

namespace zv {

namespace {

// The keystream with 1-based state and indices, exactly as stored passwords were made:
// each step adds one to a value that already is a 1-based index, so i runs 2, 4, ..., 256
// and the mixing carries the same extra one. A zero-based keystream gives other bytes.
class Keystream {
 public:
  explicit Keystream(std::string_view key) {
    for (int n = 1; n <= 256; ++n) s_[n] = static_cast<std::uint8_t>(n - 1);
    std::array<std::uint8_t, 257> k{};
    std::size_t position = 1;
    for (int n = 1; n <= 256; ++n) {
      if (position > key.size()) position = 1;
      k[n] = static_cast<std::uint8_t>(key[position - 1]);
      ++position;
    }
    int j = 0;
    for (int n = 1; n <= 256; ++n) {
      j = ((j + s_[n] + k[n]) % 256) + 1;
      std::swap(s_[n], s_[j]);
    }
  }

  std::uint8_t next(std::uint8_t byte) {
    i_ = ((i_ + 1) % 256) + 1;
    j_ = ((j_ + s_[i_]) % 256) + 1;
    std::swap(s_[i_], s_[j_]);
    const int t = ((s_[i_] + s_[j_]) % 256) + 1;
    return static_cast<std::uint8_t>(byte ^ s_[t]);
  }

 private:
  std::array<std::uint8_t, 257> s_{};  // index 0 unused
  int i_ = 0, j_ = 0;
};

// A letter's place in the alphabet counting from 0, either case; -1 for anything else.
int letterValue(char c) {
  const unsigned char u = static_cast<unsigned char>(c);
  if (u >= 'A' && u <= 'Z') return u - 'A';
  if (u >= 'a' && u <= 'z') return u - 'a';
  return -1;
}

std::string keyFor(std::string_view salt) {
  return std::string(kPasswordKey) + std::string(salt);
}

}  // namespace

std::string passwordScrambleWithSalt(std::string_view password, std::string_view salt) {
  Keystream stream(keyFor(salt));
  std::string stored(salt);
  for (const char c : utf8ToGbk(password)) {
    const std::uint8_t b = stream.next(static_cast<std::uint8_t>(c));
    stored += static_cast<char>('A' + (b >> 4));
    stored += static_cast<char>('A' + (b & 0x0F));
  }
  return stored;
}

std::string passwordScramble(std::string_view password, RandomSource& random) {
  std::string salt;
  for (int i = 0; i < 2; ++i) {
    salt += static_cast<char>(std::toupper(random.randomInt(97, 122)));
  }
  return passwordScrambleWithSalt(password, salt);
}

std::string passwordUnscrambleBytes(std::string_view stored) {
  if (stored.empty()) return {};
  const std::string_view salt = stored.substr(0, 2);
  const std::string_view body = stored.size() > 2 ? stored.substr(2) : std::string_view();
  Keystream stream(keyFor(salt));
  std::string bytes;
  for (std::size_t p = 0; p < body.size(); p += 2) {
    const int value = p + 1 < body.size() ? letterValue(body[p]) * 16 + letterValue(body[p + 1])
                                          : letterValue(body[p]);
    bytes += static_cast<char>(stream.next(static_cast<std::uint8_t>(value & 0xFF)));
  }
  return bytes;
}

bool passwordMatches(std::string_view entered, std::string_view stored) {
  return utf8ToGbk(entered) == passwordUnscrambleBytes(stored);
}

}  // namespace zv
