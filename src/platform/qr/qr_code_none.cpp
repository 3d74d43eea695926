// A build without libqrencode: no QR codes, the text is shown alone.
#include "platform/qr_code.h"

namespace zv {

QrCode makeQrCode(std::string_view) { return {}; }

bool qrCodesAvailable() { return false; }

}  // namespace zv
