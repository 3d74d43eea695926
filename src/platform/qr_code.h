#pragma once
// A QR code as a grid of modules, for text shown to a camera on the projector.
#include <string_view>
#include <vector>

namespace zv {

struct QrCode {
  int size = 0;            // modules per side, without the quiet zone
  std::vector<bool> dark;  // size * size, row-major, true for a dark module
  bool empty() const { return size == 0; }
};

// The smallest QR code holding the text's bytes as they are (8-bit mode, error correction
// level M). Empty when there is nothing to encode, when the text exceeds the largest
// code (2331 bytes), or when the build has no QR encoder.
QrCode makeQrCode(std::string_view text);

// False when the build has no QR encoder: the caller then shows the text alone.
bool qrCodesAvailable();

}  // namespace zv
