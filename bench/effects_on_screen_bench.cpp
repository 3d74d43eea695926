// The fireworks where the audience looks: frames of each effect movie that reach the X
// server's screen per second, on a bare X server, under openbox and under openbox with
// picom, against the screen's refresh rate (drawn smoothly, the default) or the movie's
// own rate; and the CPU the X server, the program and the compositor spend meanwhile.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "host/logic/fireworks.h"
#include "host/logic/movie.h"
#include "resources/effect_movies.h"
#include "screen_frames.h"
#include "support/program_folder.h"
#include "support/temp_dir.h"
#include "support/x_session.h"

namespace {

using namespace std::chrono_literals;
using zv::bench::Clock;
using zv::bench::DamageWatch;
using zv::e2e::Desktop;

constexpr int kWidth = 1920, kHeight = 1080;
// Damage reports closer than a third of the frame period belong to one frame. One frame's
// work reaches the screen in pieces: the window's shape, the stage repainted where it was
// uncovered, the picture itself, and a busy server serves a long drawing in slices of
// 5 ms, each reported again. Frames delivered on time have a quiet gap of at least
// two thirds of a period between them. A server that never goes quiet runs frames
// together and counts fewer: it has no room left to keep the rate (screen_busy_share and
// longest_frame_ms show it).
std::int64_t frameGapMs(int periodMs) { return std::max(4, periodMs / 3); }
// The overlay lasts 3.5 s after the stop. The stage beneath stands still then but for the
// landing, a burst or two at most.
constexpr auto kWindowFrom = 200ms, kWindowTo = 3200ms;

// One X server per desktop, kept for its three movies: the program is started afresh for
// each, and nothing of a run outlives it but the desktop itself.
zv::e2e::XvfbServer& serverFor(Desktop desktop, bool last) {
  static std::unique_ptr<zv::e2e::XvfbServer> server;
  static std::unique_ptr<zv::e2e::XvfbServer> retiring;
  retiring.reset();
  if (!server || server->desktop() != desktop) {
    server.reset();
    server = std::make_unique<zv::e2e::XvfbServer>(kWidth, kHeight, desktop);
  }
  // The caller's run still needs it; it goes at the next call or at exit.
  if (last) retiring = std::move(server);
  return last ? *retiring : *server;
}

// The environment the program inherits, for the length of one run.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    if (const char* old = getenv(name)) old_ = old;
    setenv(name, value.c_str(), 1);
  }
  ~ScopedEnv() {
    if (old_) {
      setenv(name_, old_->c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

const zv::e2e::Rgb kStage{0x7A, 0x0C, 0x12};

// The program started in a fresh program folder with the eight sample pictures and
// effects on, its stage painted; the pointer rests where it covers nothing.
struct ProgramRun {
  zv::testing::TempDir dir;
  std::unique_ptr<ScopedEnv> runtime;
  std::unique_ptr<zv::e2e::ProgramProcess> program;

  bool start(const zv::e2e::XvfbServer& x, bool smooth = true) {
    zv::e2e::addSamplePrizePictures(dir.path());
    zv::e2e::writeProgramSettings(dir.path(),
                                  std::string("[zbt]\r\nlx=真\r\n") + (smooth ? "" : "烟花平滑=假\r\n"));
    if (::mkdir(dir.file("run").c_str(), 0700) != 0) return false;
    runtime = std::make_unique<ScopedEnv>("XDG_RUNTIME_DIR", dir.file("run"));
    program = std::make_unique<zv::e2e::ProgramProcess>(dir.path(), x.name());
    const bool painted = zv::e2e::waitUntil([&] {
      const auto shot = x.shot();
      return shot.at(5, kHeight - 60).near(kStage, 4) && !shot.at(kWidth / 2, 420).near(kStage, 40);
    });
    if (!painted) return false;
    zv::e2e::xdotool(x.name(), "mousemove 1900 1000");
    std::this_thread::sleep_for(500ms);
    return true;
  }
};

struct CpuShare {
  pid_t pid;
  double before = 0;
  explicit CpuShare(pid_t p) : pid(p), before(zv::bench::cpuSeconds(p)) {}
  double over(double seconds) const {
    const double after = zv::bench::cpuSeconds(pid);
    return before < 0 || after < 0 ? -1 : (after - before) / seconds;
  }
};

// ZV_ONSCREEN_TRACE=<folder> keeps each run's damage reports there, one line each:
// target (root/overlay), milliseconds after the window began, width, height.
void trace(const DamageWatch& watch, const std::string& run, Clock::time_point from) {
  const char* folder = getenv("ZV_ONSCREEN_TRACE");
  if (!folder) return;
  std::ofstream out(std::string(folder) + "/" + run + ".txt");
  const std::int64_t zero = watch.serverMsAt(from);
  for (const auto& r : watch.reports()) {
    out << (r.target == DamageWatch::Root ? "root" : "overlay") << ' ' << r.serverMs - zero << ' '
        << r.width << ' ' << r.height << '\n';
  }
}

constexpr int movieRate(int number) { return number == 4 ? 12 : number == 5 ? 36 : 20; }
// What Xvfb tells the program its screen refreshes at.
constexpr int kRefreshRate = 60;

// The frames a second that can reach the screen at all: a frame with nothing burning after
// another with nothing burning is the same picture and changes no pixel (the movies end
// their loops on two or three empty frames). Drawn smoothly, the same share of the
// screen's refreshes.
double changingRate(int number) {
  const zv::movie::Movie m = *zv::movie::read(zv::artwork::effectMovie(number));
  zv::movie::FrameContent content;
  const auto empty = [&](int frame) {
    zv::movie::frameContent(m, frame, content);
    return content.sparks.empty() && content.flashes.empty();
  };
  int changing = 0;
  for (int f = 0; f < m.frameCount; ++f) changing += !(empty(f) && empty((f + m.frameCount - 1) % m.frameCount));
  return m.frameRate * static_cast<double>(changing) / m.frameCount;
}

// A draw started and stopped with ZV_EFFECT_MOVIE naming the movie; frames counted over
// the overlay's middle three seconds. Three draws, the median counts: a single stall of
// the shared host costs one run two frames of sixty, which is the whole margin.
void effectsOnScreen(benchmark::State& state, Desktop desktop, int number, bool smooth) {
  zv::e2e::XvfbServer& x = serverFor(desktop, number == 6);
  if (!x.ok()) {
    state.SkipWithError("Xvfb or its desktop did not start");
    return;
  }
  const bool composited = desktop == Desktop::Compositor;
  for (auto _ : state) {
    ScopedEnv movie("ZV_EFFECT_MOVIE", std::to_string(number));
    ProgramRun run;
    if (!run.start(x, smooth)) {
      x.savePng("/tmp/zorvane-bench-onscreen.png");
      state.SkipWithError("the stage was not painted");
      return;
    }
    DamageWatch watch(x.name(), composited);
    if (!watch.ok()) {
      state.SkipWithError("no DAMAGE extension");
      return;
    }
    zv::e2e::xdotool(x.name(), "key space");
    watch.collectUntil(Clock::now() + 600ms);
    zv::e2e::xdotool(x.name(), "key space");
    const auto stopped = Clock::now();
    watch.collectUntil(stopped + kWindowFrom);
    const CpuShare server(x.pid()), program(run.program->pid()),
        picom(composited && x.desktopPids().size() > 1 ? x.desktopPids()[1] : -1);
    const auto from = Clock::now();
    watch.collectUntil(stopped + kWindowTo);
    const auto to = Clock::now();
    const double seconds = std::chrono::duration<double>(to - from).count();
    state.counters["xserver_cpu"] = server.over(seconds);
    state.counters["program_cpu"] = program.over(seconds);
    if (composited) state.counters["picom_cpu"] = picom.over(seconds);
    state.SetIterationTime(seconds);

    // With a compositor the windows draw off screen and picom paints the screen into its
    // overlay window; both are counted, the overlay's is what the audience sees.
    const int rate = smooth ? kRefreshRate : movieRate(number);
    const std::int64_t gap = frameGapMs(1000 / rate);
    const auto onRoot = zv::bench::countFrames(watch, DamageWatch::Root, from, to, gap);
    const auto onOverlay =
        zv::bench::countFrames(watch, DamageWatch::CompositeOverlay, from, to, gap);
    const auto& screen = composited ? onOverlay : onRoot;
    const double fps = zv::bench::frameRate(screen, seconds * 1000, 1000.0 / rate);
    const double changing = changingRate(number) * rate / movieRate(number);
    state.counters["frames_per_second"] = fps;
    state.counters["screen_busy_share"] = screen.busyMs / (seconds * 1000);
    state.counters["movie_rate"] = movieRate(number);
    if (smooth) state.counters["refresh_rate"] = kRefreshRate;
    state.counters["changing_rate"] = changing;
    state.counters["on_screen_share"] = fps / changing;
    state.counters["reports_per_frame"] =
        screen.frames ? static_cast<double>(screen.reports) / screen.frames : 0;
    state.counters["longest_frame_ms"] = static_cast<double>(screen.longestFrameMs);
    if (composited) {
      state.counters["root_frames_per_second"] =
          zv::bench::frameRate(onRoot, seconds * 1000, 1000.0 / rate);
    }
    trace(watch,
          std::string(zv::e2e::desktopName(desktop)) + (smooth ? "" : "MovieRate") +
              std::to_string(number),
          from);
  }
}

// The instrument itself: a client of known rate, each frame flushed in three pieces, on a
// bare server and under the compositor (where the root window and picom's overlay window
// are both watched). The median of three runs, as for the movies.
void knownClient(benchmark::State& state, Desktop desktop) {
  zv::e2e::XvfbServer x(kWidth, kHeight, desktop);
  if (!x.ok()) {
    state.SkipWithError("Xvfb or its desktop did not start");
    return;
  }
  const bool composited = desktop == Desktop::Compositor;
  // The fastest movie's period, where frames have the least quiet between them.
  constexpr int kPeriodMs = 28, kFrames = 100;
  for (auto _ : state) {
    DamageWatch watch(x.name(), composited);
    const auto begun = Clock::now();
    std::thread painter(zv::bench::paintKnownFrames, x.name(), kFrames, kPeriodMs, 3);
    watch.collectUntil(begun + 2700ms);
    painter.join();
    // The window is mapped in the first 200 ms and unmapped after 3 s.
    const auto from = begun + 500ms, to = begun + 2500ms;
    const auto onRoot =
        zv::bench::countFrames(watch, DamageWatch::Root, from, to, frameGapMs(kPeriodMs));
    const auto onOverlay = zv::bench::countFrames(watch, DamageWatch::CompositeOverlay, from, to,
                                                  frameGapMs(kPeriodMs));
    const auto& screen = composited ? onOverlay : onRoot;
    state.SetIterationTime(2.0);
    state.counters["frames_per_second"] = zv::bench::frameRate(screen, 2000, kPeriodMs);
    state.counters["painted_rate"] = 1000.0 / kPeriodMs;
    state.counters["reports_per_frame"] =
        screen.frames ? static_cast<double>(screen.reports) / screen.frames : 0;
    state.counters["longest_frame_ms"] = static_cast<double>(screen.longestFrameMs);
    if (composited)
      state.counters["root_frames_per_second"] = zv::bench::frameRate(onRoot, 2000, kPeriodMs);
    trace(watch, std::string("KnownClient") + (composited ? "Compositor" : "Bare"), from);
  }
}

// A rough check on the real program: the roll's 30 ms steps repaint the stage about 33
// times a second, no effects involved.
void roll(benchmark::State& state) {
  zv::e2e::XvfbServer x(kWidth, kHeight, Desktop::Bare);
  if (!x.ok()) {
    state.SkipWithError("Xvfb did not start");
    return;
  }
  for (auto _ : state) {
    ProgramRun run;
    if (!run.start(x)) {
      state.SkipWithError("the stage was not painted");
      return;
    }
    DamageWatch watch(x.name(), false);
    zv::e2e::xdotool(x.name(), "key space");
    const auto started = Clock::now();
    watch.collectUntil(started + 2300ms);
    const auto count = zv::bench::countFrames(watch, DamageWatch::Root, started + 300ms,
                                              started + 2300ms, frameGapMs(30));
    state.SetIterationTime(2.0);
    state.counters["frames_per_second"] = zv::bench::frameRate(count, 2000, 30);
    state.counters["step_rate"] = 1000.0 / 30;
  }
}

const bool registered = [] {
  benchmark::RegisterBenchmark("BM_OnScreenKnownClientBare", knownClient, Desktop::Bare)
      ->Iterations(1)
      ->Repetitions(3)
      ->UseManualTime()
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("BM_OnScreenKnownClientCompositor", knownClient, Desktop::Compositor)
      ->Iterations(1)
      ->Repetitions(3)
      ->UseManualTime()
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("BM_OnScreenRoll", roll)
      ->Iterations(1)
      ->UseManualTime()
      ->Unit(benchmark::kMillisecond);
  const std::pair<Desktop, const char*> desktops[] = {
      {Desktop::Bare, "Bare"}, {Desktop::Openbox, "Openbox"}, {Desktop::Compositor, "Compositor"}};
  for (const auto& [desktop, name] : desktops) {
    for (int number = 4; number <= 6; ++number) {
      benchmark::RegisterBenchmark(
          ("BM_OnScreen" + std::string(name) + "Movie" + std::to_string(number)).c_str(),
          effectsOnScreen, desktop, number, true)
          ->Iterations(1)
          ->Repetitions(3)
          ->UseManualTime()
          ->Unit(benchmark::kMillisecond);
    }
  }
  // At the movie's own rate (烟花平滑 off) on the bare server, once each: the path
  // that was measured before the smooth one, kept from falling behind.
  for (int number = 4; number <= 6; ++number) {
    benchmark::RegisterBenchmark(("BM_OnScreenBareMovieRate" + std::to_string(number)).c_str(),
                                 effectsOnScreen, Desktop::Bare, number, false)
        ->Iterations(1)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
  }
  return true;
}();

}  // namespace
