#include "platform/digest.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QMessageAuthenticationCode>
#include <algorithm>

namespace zv {

namespace {

QByteArrayView view(std::string_view bytes) {
  return QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

Digest toDigest(const QByteArray& result) {
  Digest digest{};
  std::copy_n(reinterpret_cast<const std::uint8_t*>(result.constData()),
              std::min<std::size_t>(digest.size(), static_cast<std::size_t>(result.size())),
              digest.begin());
  return digest;
}

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

Digest sha256(std::string_view bytes) {
  return toDigest(QCryptographicHash::hash(view(bytes), QCryptographicHash::Sha256));
}

Digest hmacSha256(std::string_view key, std::string_view message) {
  const QByteArray keyBytes(key.data(), static_cast<qsizetype>(key.size()));
  const QByteArray messageBytes(message.data(), static_cast<qsizetype>(message.size()));
  return toDigest(
      QMessageAuthenticationCode::hash(messageBytes, keyBytes, QCryptographicHash::Sha256));
}

std::string hexText(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  text.reserve(bytes.size() * 2);
  for (unsigned char b : bytes) {
    text += kDigits[b >> 4];
    text += kDigits[b & 15];
  }
  return text;
}

std::string hexText(const Digest& digest) {
  return hexText(std::string_view(reinterpret_cast<const char*>(digest.data()), digest.size()));
}

bool bytesFromHex(std::string_view hex, std::string& bytes) {
  if (hex.size() % 2 != 0) return false;
  std::string out;
  out.reserve(hex.size() / 2);
  for (std::size_t i = 0; i < hex.size(); i += 2) {
    const int high = hexValue(hex[i]), low = hexValue(hex[i + 1]);
    if (high < 0 || low < 0) return false;
    out += static_cast<char>(high * 16 + low);
  }
  bytes = std::move(out);
  return true;
}

}  // namespace zv
