// What a stop with the win effect costs the GUI thread on a full-HD stage, and whether
// showing the effect again and again leaves memory behind.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <fstream>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

#include "app/main_window.h"
#include "stage/stage_draw.h"
#include "draw/draw_cycle.h"
#include "host/effects_window.h"
#include "host/movie_view.h"
#include "platform/files.h"
#include "support/temp_dir.h"

namespace {

// A full-HD stage with the sample-free defaults and effects on; every draw lands.
struct EffectStage {
  zv::testing::TempDir dir;
  std::unique_ptr<zv::MainWindow> stage;

  EffectStage() {
    // XDG_RUNTIME_DIR of the run's own keeps the effect files out of the user's folder.
    qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(dir.file("run")));
    zv::makeDirectories(dir.file("run"));
    ::chmod(dir.file("run").c_str(), 0700);
    // lx=真: by weight, so the pool never runs dry.
    zv::writeWholeFileAtomically(dir.file("config.a"), "[zbt]\r\nlx=\xD5\xE6\r\n");
    stage = std::make_unique<zv::MainWindow>(
        zv::StageEnvironment{dir.path(), [] { return QSize(1920, 1080); }});
    stage->start();
    settle(50);
  }
  static void settle(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
  }
  // One draw: start, a few steps, stop; returns the stop's own time in milliseconds.
  double draw() {
    stage->draw().toggle();
    settle(40);
    QElapsedTimer clock;
    clock.start();
    stage->draw().toggle();
    return clock.nsecsElapsed() / 1e6;
  }
};

long residentKilobytes() {
  std::ifstream statm("/proc/self/statm");
  long size = 0, resident = 0;
  statm >> size >> resident;
  return resident * (::sysconf(_SC_PAGESIZE) / 1024);
}

// The stop handler alone, then the longest the GUI thread stays busy with one event until
// the effect's first frame is painted.
void BM_StopWithEffects(benchmark::State& state) {
  EffectStage s;
  double longestAfter = 0;
  for (auto _ : state) {
    const double stop = s.draw();
    state.SetIterationTime(stop / 1000);
    // The effect's first frame and the stage's repaint come as events of their own.
    for (int i = 0; i < 4; ++i) {
      QElapsedTimer clock;
      clock.start();
      QCoreApplication::processEvents(QEventLoop::AllEvents);
      QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
      longestAfter = std::max(longestAfter, clock.nsecsElapsed() / 1e6);
    }
    state.PauseTiming();
    EffectStage::settle(30);
    state.ResumeTiming();
  }
  state.counters["longest_event_after_ms"] = longestAfter;
}
BENCHMARK(BM_StopWithEffects)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(15)
    ->Repetitions(3)->ReportAggregatesOnly(true);

// A hundred draws, each showing the effect until the next start removes it: the memory
// the process holds after the first twenty against after all of them.
void BM_MemoryOverDraws(benchmark::State& state) {
  EffectStage s;
  double perDraw = 0;
  for (auto _ : state) {
    for (int i = 0; i < 20; ++i) {
      s.draw();
      EffectStage::settle(60);
    }
    const long early = residentKilobytes();
    for (int i = 0; i < 100; ++i) {
      s.draw();
      EffectStage::settle(60);
    }
    perDraw = static_cast<double>(residentKilobytes() - early) / 100;
  }
  state.counters["kB_per_draw"] = perDraw;
}
BENCHMARK(BM_MemoryOverDraws)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
