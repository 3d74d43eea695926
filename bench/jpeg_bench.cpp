// Decoding a camera-sized prize picture at full size against decoding it through the
// DCT scaling for the 106 x 65 box it is shown in.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include "platform/jpeg.h"

namespace {

// A 4000 x 3000 picture with smooth shading and fine grain, so that it compresses
// about as much as a photograph does.
const std::string& photo12MP() {
  static const std::string jpeg = [] {
    zv::RgbImage image;
    image.width = 4000;
    image.height = 3000;
    image.pixels.resize(static_cast<std::size_t>(image.width) * image.height * 3);
    std::uint8_t* out = image.pixels.data();
    std::uint32_t seed = 2463534242u;
    for (int y = 0; y < image.height; ++y)
      for (int x = 0; x < image.width; ++x) {
        seed ^= seed << 13;
        seed ^= seed >> 17;
        seed ^= seed << 5;
        const int grain = static_cast<int>(seed & 31) - 16;
        const int shade[3] = {x * 200 / image.width + 30, y * 180 / image.height + 40,
                              ((x / 250 + y / 250) % 2) * 90 + 60};
        for (const int s : shade) {
          const int v = s + grain;
          *out++ = static_cast<std::uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v);
        }
      }
    return zv::encodeJpeg(image, 90);
  }();
  return jpeg;
}

void decodeWithTarget(benchmark::State& state, int targetWidth, int targetHeight) {
  const std::string& jpeg = photo12MP();
  int width = 0, height = 0;
  for (auto _ : state) {
    const zv::RgbImage image = zv::decodeJpeg(jpeg, targetWidth, targetHeight);
    benchmark::DoNotOptimize(image.pixels.data());
    width = image.width;
    height = image.height;
  }
  state.SetLabel(std::to_string(jpeg.size() / 1024) + " KiB -> " + std::to_string(width) + "x" +
                 std::to_string(height));
}

void BM_DecodeFull12MP(benchmark::State& state) { decodeWithTarget(state, 0, 0); }
void BM_DecodeScaledToBox(benchmark::State& state) { decodeWithTarget(state, 106, 65); }

BENCHMARK(BM_DecodeFull12MP)->Unit(benchmark::kMillisecond)->MinTime(0.5);
BENCHMARK(BM_DecodeScaledToBox)->Unit(benchmark::kMillisecond)->MinTime(0.5);

}  // namespace
