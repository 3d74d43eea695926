#pragma once
// The name a picture's bytes go by in the kept decodes: their BLAKE2b-256 digest, through
// Qt Core (which every platform's build has). Cryptographic, so that no two pictures can
// be made to share a name; BLAKE2b rather than SHA-256 because Qt's own SHA-256 runs at
// a third of its speed here (a 3 MB photograph: about 8 ms against 22 ms on this
// machine), and a start with eight photographs hashes them all before the first frame.
#include <array>
#include <cstdint>
#include <string_view>

namespace zv {

std::array<std::uint8_t, 32> pictureDigest(std::string_view bytes);

}  // namespace zv
