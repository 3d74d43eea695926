// Decoding a camera-sized prize picture at full size against decoding it through the
// DCT scaling for the 106 x 65 box it is shown in.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include "photos.h"
#include "platform/jpeg.h"

namespace {

void decodeWithTarget(benchmark::State& state, int targetWidth, int targetHeight) {
  const std::string& jpeg = zv::bench::photo12MP();
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
