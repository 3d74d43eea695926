#include "photos.h"

#include <cstdint>
#include <map>

#include "platform/jpeg.h"

namespace zv::bench {

const std::string& photo12MP(int variant) {
  static std::map<int, std::string> made;
  auto it = made.find(variant);
  if (it != made.end()) return it->second;
  RgbImage image;
  image.width = 4000;
  image.height = 3000;
  image.pixels.resize(static_cast<std::size_t>(image.width) * image.height * 3);
  std::uint8_t* out = image.pixels.data();
  std::uint32_t seed = 2463534242u + static_cast<std::uint32_t>(variant) * 7919u;
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      seed ^= seed << 13;
      seed ^= seed >> 17;
      seed ^= seed << 5;
      const int grain = static_cast<int>(seed & 31) - 16;
      const int shade[3] = {(x * 200 / image.width + 30 + variant * 29) % 230,
                            y * 180 / image.height + 40,
                            ((x / 250 + y / 250 + variant) % 2) * 90 + 60};
      for (const int s : shade) {
        const int v = s + grain;
        *out++ = static_cast<std::uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v);
      }
    }
  }
  return made.emplace(variant, encodeJpeg(image, 90)).first->second;
}

}  // namespace zv::bench
