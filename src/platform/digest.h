#pragma once
// SHA-256 and HMAC-SHA256 for the verifiable draws and the journal's chain. They come from
// Qt Core's hashing (QCryptographicHash, QMessageAuthenticationCode), which both builds
// have; the callers stay plain C++.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace zv {

using Digest = std::array<std::uint8_t, 32>;

Digest sha256(std::string_view bytes);
Digest hmacSha256(std::string_view key, std::string_view message);

// Lowercase hex, two digits a byte.
std::string hexText(std::string_view bytes);
std::string hexText(const Digest& digest);

// The bytes of an even-length hex text (either case); nothing for any other text.
bool bytesFromHex(std::string_view hex, std::string& bytes);

}  // namespace zv
