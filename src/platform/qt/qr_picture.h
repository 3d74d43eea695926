#pragma once
// A QR code as a picture: black modules on white, with the quiet zone readers need.
#include <QImage>

#include "platform/qr_code.h"

namespace zv {

// Each module pixelsPerModule pixels square, framed by quietModules light modules on every
// side (four is what the standard asks). A null image for an empty code, a module under
// one pixel, a negative frame, or a picture wider than 16384 pixels.
QImage qrPicture(const QrCode& code, int pixelsPerModule, int quietModules = 4);

}  // namespace zv
