// The win effect at full HD in software: drawing one frame of each built-in movie against
// its frame period, and what making the black see-through costs per frame on top.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QWidget>
#include <algorithm>
#include <string>

#include "host/colour_key.h"
#include "host/logic/key_region.h"
#include "host/logic/movie.h"
#include "host/movie_player.h"
#include "resources/effect_movies.h"

namespace {

constexpr int kWidth = 1920, kHeight = 1080;

zv::movie::Movie builtIn(int number) { return *zv::movie::read(zv::artwork::effectMovie(number)); }

// The frames the audience sees: the 3.5 s of the overlay, or the whole movie as it loops.
int framesShown(const zv::movie::Movie& m) {
  return std::min<int>(m.frameCount, m.frameRate * 35 / 10);
}

void renderMovie(benchmark::State& state, int number) {
  const zv::movie::Movie m = builtIn(number);
  zv::MoviePlayer player(m);
  QImage frame(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
  const int frames = framesShown(m);
  int f = 0;
  for (auto _ : state) {
    player.render(frame, f);
    benchmark::DoNotOptimize(frame.constBits());
    f = (f + 1) % frames;
  }
  state.counters["frame_period_ms"] = 1000.0 / m.frameRate;
}

// The overlay's share: the outline of the frame's non-black pixels set as the window's
// shape (the path without a compositor), plus clearing the black to transparent (the
// extra work of the compositor's path).
void overlayMovie(benchmark::State& state, int number) {
  const zv::movie::Movie m = builtIn(number);
  zv::MoviePlayer player(m);
  QWidget window(nullptr, Qt::Window | Qt::FramelessWindowHint);
  window.setGeometry(0, 0, kWidth, kHeight);
  zv::ColourKey* key = zv::ColourKey::install(&window, 0);
  QImage frame(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
  const int frames = framesShown(m);
  int f = 0;
  for (auto _ : state) {
    state.PauseTiming();
    player.render(frame, f);
    f = (f + 1) % frames;
    state.ResumeTiming();
    key->present(frame, QPoint(0, 0));
    zv::key::clearKeyPixels(reinterpret_cast<std::uint32_t*>(frame.bits()), kWidth, kHeight,
                            static_cast<int>(frame.bytesPerLine() / 4), 0);
    benchmark::DoNotOptimize(frame.constBits());
  }
  state.counters["outline_rects"] = static_cast<double>(key->outline().size());
}

const bool registered = [] {
  for (int number = 4; number <= 6; ++number) {
    benchmark::RegisterBenchmark(("BM_RenderEffectMovie" + std::to_string(number)).c_str(),
                                 renderMovie, number)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark(("BM_EffectOverlay" + std::to_string(number)).c_str(),
                                 overlayMovie, number)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
  }
  return true;
}();

}  // namespace
