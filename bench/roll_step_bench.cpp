// The roll step on the real stage with eight 12-megapixel prize pictures: one step (its
// file read, picture changes and repaint) against decoding one picture at full size, and
// the pacing of the roll at the default 30 ms interval over ten seconds.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <cstdint>

#include "app/main_window.h"
#include "photo_stage.h"
#include "photos.h"
#include "platform/jpeg.h"

namespace {

using zv::bench::PhotoStage;

void BM_RollStepWithPhotos(benchmark::State& state) {
  PhotoStage s;
  s.stage->draw().toggle();                 // start a draw...
  s.stage->drawStage().setRollInterval(0);  // ...whose steps this loop makes itself
  for (int i = 0; i < 16; ++i) {            // every picture decoded once
    s.stage->draw().rollStep();
    s.paint();
  }
  for (auto _ : state) {
    s.stage->draw().rollStep();
    s.paint();
  }
}
BENCHMARK(BM_RollStepWithPhotos)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_DecodeOnePhotoFull(benchmark::State& state) {
  const std::string& jpeg = zv::bench::photo12MP(1);
  for (auto _ : state) benchmark::DoNotOptimize(zv::decodeJpeg(jpeg).pixels.data());
}
BENCHMARK(BM_DecodeOnePhotoFull)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

// Ten seconds of rolling with real timers: the share of the steps the interval asks for
// that the highlight made, and the same share of a bare precise 30 ms timer's ticks in the
// same event loop at the same time, which loses the ticks the machine's load takes.
void BM_RollPacing(benchmark::State& state) {
  PhotoStage s;
  constexpr int kMilliseconds = 10'000;
  double ratio = 0, ticks = 0;
  for (auto _ : state) {
    QTimer reference;
    reference.setTimerType(Qt::PreciseTimer);
    ticks = 0;
    QObject::connect(&reference, &QTimer::timeout, [&] { ++ticks; });
    s.stage->draw().toggle();
    reference.start(30);
    const std::int32_t budget = s.stage->draw().stepBudget();
    QEventLoop loop;
    QTimer::singleShot(kMilliseconds, &loop, &QEventLoop::quit);
    loop.exec();
    const double made = budget - s.stage->draw().stepBudget();
    ratio = made / (kMilliseconds / 30.0);
    s.stage->drawStage().setRollInterval(0);
  }
  state.counters["steps_made_share"] = ratio;
  state.counters["steps_per_tick"] = ticks > 0 ? ratio * (kMilliseconds / 30.0) / ticks : 0;
}
BENCHMARK(BM_RollPacing)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
