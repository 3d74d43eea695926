#include "resources/artwork.h"

#include "resources/artwork_blobs.h"

namespace zv::artwork {
namespace {

std::string_view view(const detail::Blob& blob) {
  return {reinterpret_cast<const char*>(blob.data), blob.size};
}

}  // namespace

std::string_view wheelStyle(int style) {
  if (!isWheelStyle(style)) style = 1;
  return view(detail::kWheelStyles[style - 1]);
}

Glow wheelStyleGlow(int style) {
  if (!isWheelStyle(style)) style = 1;
  return {detail::kWheelGlows[style - 1][0], detail::kWheelGlows[style - 1][1]};
}

std::string_view builtinPrizePicture(int slot) {
  if (!hasBuiltinPrizePicture(slot)) return {};
  return view(detail::kPrizePictures[slot - kFirstBuiltinPrizeSlot]);
}

std::string_view panelIcon() { return view(detail::kPanelIcon); }

}  // namespace zv::artwork
