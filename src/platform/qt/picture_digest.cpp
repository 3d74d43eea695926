#include "platform/qt/picture_digest.h"

#include <QByteArrayView>
#include <QCryptographicHash>
#include <algorithm>
#include <cstring>

namespace zv {

std::array<std::uint8_t, 32> pictureDigest(std::string_view bytes) {
  QCryptographicHash hash(QCryptographicHash::Blake2b_256);
  hash.addData(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
  const QByteArray digest = hash.result();
  std::array<std::uint8_t, 32> out{};
  std::memcpy(out.data(), digest.constData(), std::min<std::size_t>(out.size(), digest.size()));
  return out;
}

}  // namespace zv
