// Start to first painted stage, end to end: the real program started from a program
// folder of its own on an Xvfb screen of 1920 x 1080 without a window manager, ten times,
// with eight 12-megapixel prize pictures and with none.
//
// The program keeps its decodes of large pictures in the user's cache folder from one
// start to the next. "With photos" starts an event again with the photographs of its
// last start (the decodes kept, as at every start but the first); "with new photos"
// gives each start an empty cache folder, as at the first start after the pictures
// were chosen.
//
// "First painted stage" is what the audience sees: the moment the X server has drawn the
// whole stage window. The X DAMAGE extension reports every area the server draws on the
// screen (the root window and everything on it); from the moment the stage window maps,
// the damaged areas are gathered, and the stage is painted once they cover its whole
// window. The time runs from the fork of the program's process.
#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>
#include <benchmark/benchmark.h>
#include <poll.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "photos.h"
#include "platform/files.h"
#include "support/temp_dir.h"
#include "support/x_session.h"

namespace {

// Which pixels of a rectangle the server has drawn.
class Coverage {
 public:
  Coverage(int x, int y, int width, int height)
      : x_(x),
        y_(y),
        width_(width),
        height_(height),
        drawn_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {}
  void add(int x, int y, int width, int height) {
    const int left = std::max(x, x_) - x_, right = std::min(x + width, x_ + width_) - x_;
    const int top = std::max(y, y_) - y_, bottom = std::min(y + height, y_ + height_) - y_;
    for (int row = top; row < bottom; ++row) {
      for (int column = left; column < right; ++column) {
        std::uint8_t& pixel = drawn_[static_cast<std::size_t>(row) * width_ + column];
        missing_ -= pixel == 0;
        pixel = 1;
      }
    }
  }
  bool complete() const { return missing_ == 0; }

 private:
  int x_, y_, width_, height_;
  std::vector<std::uint8_t> drawn_;
  std::size_t missing_ = drawn_.size();
};

using Clock = std::chrono::steady_clock;
constexpr int kScreenWidth = 1920, kScreenHeight = 1080;
constexpr int kStarts = 10;

zv::e2e::XvfbServer& server() {
  static zv::e2e::XvfbServer x(kScreenWidth, kScreenHeight, zv::e2e::Desktop::Bare);
  return x;
}

struct StartTimes {
  double mapped = 0;   // the stage window mapped, ms after the fork
  double painted = 0;  // the whole stage window drawn
};

// From the fork to the whole stage on screen; none when the program showed no stage
// within ten seconds.
std::optional<StartTimes> startToFirstPaintedStage(const std::string& folder) {
  const zv::e2e::XvfbServer& x = server();
  Display* display = XOpenDisplay(x.name().c_str());
  if (!display) return std::nullopt;
  int damageEvent = 0, damageError = 0;
  if (!XDamageQueryExtension(display, &damageEvent, &damageError)) {
    XCloseDisplay(display);
    return std::nullopt;
  }
  const Window root = DefaultRootWindow(display);
  XSelectInput(display, root, SubstructureNotifyMask);
  const Damage damage = XDamageCreate(display, root, XDamageReportRawRectangles);
  XSync(display, False);
  while (XPending(display)) {
    XEvent ignored;
    XNextEvent(display, &ignored);
  }

  std::optional<StartTimes> painted;
  double mapped = 0;
  {
    zv::e2e::ProgramProcess program(folder, x.name());
    std::optional<Coverage> stage;
    const Clock::time_point deadline = Clock::now() + std::chrono::seconds(10);
    while (!painted && Clock::now() < deadline && program.running()) {
      while (!painted && XPending(display)) {
        XEvent event;
        XNextEvent(display, &event);
        const Clock::time_point now = Clock::now();
        if (event.type == MapNotify && event.xmap.event == root) {
          XWindowAttributes a;
          if (XGetWindowAttributes(display, event.xmap.window, &a) &&
              a.width * a.height * 2 >= kScreenWidth * kScreenHeight) {
            stage.emplace(a.x, a.y, a.width, a.height);
            mapped = std::chrono::duration<double, std::milli>(now - program.started()).count();
          }
        } else if (event.type == damageEvent + XDamageNotify && stage) {
          const auto& area = reinterpret_cast<const XDamageNotifyEvent&>(event).area;
          stage->add(area.x, area.y, area.width, area.height);
          if (stage->complete()) {
            painted = StartTimes{
                mapped, std::chrono::duration<double, std::milli>(now - program.started()).count()};
          }
        }
      }
      pollfd fd{ConnectionNumber(display), POLLIN, 0};
      if (!painted) poll(&fd, 1, 20);
    }
    program.terminate(std::chrono::seconds(5));
  }
  XDamageDestroy(display, damage);
  XCloseDisplay(display);
  return painted;
}

// The cache folder the programs started meanwhile use, set in the environment they
// inherit.
class CacheFolder {
 public:
  explicit CacheFolder(const std::string& path) { ::setenv("XDG_CACHE_HOME", path.c_str(), 1); }
  ~CacheFolder() { ::unsetenv("XDG_CACHE_HOME"); }
  CacheFolder(const CacheFolder&) = delete;
  CacheFolder& operator=(const CacheFolder&) = delete;
};

enum class Kept { FromLastStart, Nothing };

double medianOf(std::vector<double>& values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void startUp(benchmark::State& state, int pictures, Kept kept) {
  if (!server().ok()) {
    state.SkipWithError("Xvfb did not start");
    return;
  }
  std::vector<double> times, mapTimes;
  zv::testing::TempDir cacheOfAllStarts;
  for (auto _ : state) {
    // One start first, not counted: the program's files come into the page cache (and
    // its decodes into the cache folder that is kept).
    for (int run = 0; run <= kStarts; ++run) {
      zv::testing::TempDir folder, cacheOfThisStart;
      const CacheFolder cache(kept == Kept::FromLastStart ? cacheOfAllStarts.path()
                                                          : cacheOfThisStart.path());
      if (pictures > 0) zv::makeDirectories(folder.file("奖品图片"));
      for (int slot = 1; slot <= pictures; ++slot) {
        zv::writeWholeFileAtomically(folder.file("奖品图片/" + std::to_string(slot) + ".jpg"),
                                     zv::bench::photo12MP(slot));
      }
      const std::optional<StartTimes> ms = startToFirstPaintedStage(folder.path());
      if (!ms) {
        state.SkipWithError("the stage was not painted within ten seconds");
        return;
      }
      if (run > 0) {
        times.push_back(ms->painted);
        mapTimes.push_back(ms->mapped);
      }
    }
    const double median = medianOf(times);
    state.SetIterationTime(median / 1000);
    state.counters["fastest_ms"] = times.front();
    state.counters["slowest_ms"] = times.back();
    state.counters["mapped_median_ms"] = medianOf(mapTimes);
  }
}

void BM_StartUpWithPhotos(benchmark::State& state) { startUp(state, 8, Kept::FromLastStart); }
void BM_StartUpWithNewPhotos(benchmark::State& state) { startUp(state, 8, Kept::Nothing); }
void BM_StartUpWithoutPictures(benchmark::State& state) {
  startUp(state, 0, Kept::FromLastStart);
}

BENCHMARK(BM_StartUpWithPhotos)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);
BENCHMARK(BM_StartUpWithNewPhotos)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);
BENCHMARK(BM_StartUpWithoutPictures)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);

}  // namespace
