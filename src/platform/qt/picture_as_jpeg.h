#pragma once
// What the program stores under a ".jpg" name for a picture the operator chose: a real
// JPEG, so that the event folder reads as it says on any PC and in any program.
#include <optional>
#include <string>

namespace zv {

// The quality PNG, BMP and WebP pictures are encoded at: high enough that a prize photo
// shows no blocks on a projector, and a few times smaller than the PNG.
inline constexpr int kStoredJpegQuality = 92;

// A JPEG, or bytes no picture reader recognises, unchanged (a byte-for-byte copy); a PNG,
// BMP or WebP decoded at its own size and encoded as a baseline JPEG, transparent parts
// composited onto white as the stage shows them. Nothing when such a picture cannot be
// decoded within the decoder's caps or encoded.
std::optional<std::string> pictureAsJpegFile(std::string bytes);

}  // namespace zv
