// QR codes through libqrencode.
#include <qrencode.h>

#include <memory>

#include "platform/qr_code.h"

namespace zv {

QrCode makeQrCode(std::string_view text) {
  if (text.empty() || text.size() > 0x7fffffff) return {};
  // The data call rather than the string one: the text's bytes are taken whole, a NUL
  // among them included, and always in 8-bit mode.
  const std::unique_ptr<QRcode, decltype(&QRcode_free)> encoded(
      QRcode_encodeData(static_cast<int>(text.size()),
                        reinterpret_cast<const unsigned char*>(text.data()), 0, QR_ECLEVEL_M),
      &QRcode_free);
  if (!encoded || encoded->width <= 0) return {};
  QrCode code;
  code.size = encoded->width;
  const std::size_t modules = static_cast<std::size_t>(code.size) * code.size;
  code.dark.resize(modules);
  // Bit 0 is the colour; the higher bits say what the module is part of, and are set on
  // light modules too (the finder patterns' separators, the format information).
  for (std::size_t i = 0; i < modules; ++i) code.dark[i] = (encoded->data[i] & 1u) != 0;
  return code;
}

bool qrCodesAvailable() { return true; }

}  // namespace zv
