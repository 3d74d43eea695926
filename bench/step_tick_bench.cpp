// The step tick against its step, in the sound the program actually mixes. SDL's disk
// audio driver writes every buffer the mixer makes to a file; the real stage rolls with its
// own 30 ms roll timer and 滚动音效 on, every step's time is taken as the timer fires, and
// the tick onsets found in the file are compared with those times: lag median, maximum, and
// steps whose tick never came. A second, shorter phase plays the music and the win sound
// under the ticks and measures the audio thread's work per buffer against the buffer's
// length: the headroom that keeps a real device from running dry with the small buffer.
//
// Pace. A tick waits for the next buffer the device asks for, so the lag depends on how
// often buffers are asked for: a real device asks once per buffer length. The disk driver
// instead sleeps SDL_DISKAUDIODELAY whole milliseconds after each buffer (by default the
// buffer's length rounded down, 5 ms for 5.8 ms), and would run ahead of real time and
// flatter the lag. The delay is set to the program's buffer length rounded up (6 ms), so
// buffers come no more often than from a real device (a larger buffer in the program gives
// a longer delay here, and the lag grows as it would on stage); the run checks that the
// driver's pace was not faster than real time.
//
// Clock alignment. A file position means a time only through that pace, and the pace is
// not real time: the rounding and the scheduler's wake-up delays add up, so "sample index
// / rate after the device started" drifts from the steady clock by a few per cent, a few
// hundred milliseconds over the run, far more than the lag being measured (the run prints
// the drift). So every buffer is stamped on the steady clock as the mixer finishes it,
// through the mixer's post-mix hook, on the audio thread, just before the driver writes
// it to the file: file buffer k is the k-th stamped buffer (after the few silent ones the
// device wrote before the hook was set; that offset is found by matching which buffers
// hold sound), and a sample at position p of a buffer stamped at T was handed to the
// device at T and plays from T + p / rate. The steps are stamped on the same clock as the
// roll timer fires, before the step's file read and pictures. What the figures leave out is
// the device's own queue: a real device plays a buffer after the one it holds, one buffer
// (5.8 ms) later, and the sound card's fixed latency.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QLineEdit>
#include <QSize>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "forms/units.h"
#include "layout/window_layouts.h"
#include "platform/audio.h"
#include "platform/files.h"
#include "platform/sdl_mixer_loader.h"
#include "platform/text_codec.h"
#include "resources/win_sound.h"
#include "support/environment.h"
#include "support/sound_bytes.h"
#include "support/temp_dir.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kRate = zv::Audio::kFrequency;
constexpr int kBytesPerFrame = 4;     // 16-bit stereo
constexpr int kStepInterval = 30;     // the roll's default, ms
constexpr int kTicksAloneMs = 4'000;  // phase one: ticks over silence, for the onsets
constexpr int kUnderMusicMs = 1'500;  // phase two: music, win sound and ticks, for the work
// An onset: a sample of at least this much of full scale after this much quiet; the tick
// peaks at 0.45 and falls below 0.05 within 9 ms, the steps are 30 ms apart.
constexpr int kOnsetLevel = 1638;  // 0.05 of full scale
constexpr int kQuietFrames = kRate * 4 / 1000;

std::int64_t nanoseconds(Clock::time_point t) {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(t.time_since_epoch()).count();
}

// What the post-mix hook records of each buffer, on the audio thread.
struct MixStamp {
  std::int64_t wallNs;  // steady clock, as the buffer was finished
  std::int64_t cpuNs;   // the audio thread's processor time so far
  int bytes;
  bool sound;  // any sample not zero
};
constexpr int kMaxStamps = 4096;  // about 24 s of 5.8 ms buffers
MixStamp stamps[kMaxStamps];
std::atomic<int> stampCount{0};

void stampBuffer(void*, std::uint8_t* stream, int bytes) {
  const int i = stampCount.load(std::memory_order_relaxed);
  if (i >= kMaxStamps) return;
  timespec cpu{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &cpu);
  const bool sound = std::any_of(stream, stream + bytes, [](std::uint8_t b) { return b != 0; });
  stamps[i] = {nanoseconds(Clock::now()), cpu.tv_sec * 1'000'000'000LL + cpu.tv_nsec, bytes, sound};
  stampCount.store(i + 1, std::memory_order_release);
}

using PostMixHook = void (*)(void*, std::uint8_t*, int);
using SetPostMix = void (*)(PostMixHook, void*);

void runEventLoop(int milliseconds) {
  QEventLoop loop;
  QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
  loop.exec();
}

using zv::test::silentMp3;

double median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

struct Figures {
  int steps = 0, lost = 0, extraOnsets = 0;
  double lagMedianMs = 0, lagMaxMs = 0;
  double workMedianMs = 0, workMaxMs = 0, bufferMs = 0;
  double driftMs = 0;  // the file's own clock against the steady clock over the run
  double pace = 0;     // the driver's time per buffer over the buffer's length
  std::string error;
};

Figures analyse(const std::string& pcm, const std::vector<std::int64_t>& steps,
                std::int64_t phaseTwoNs) {
  Figures f;
  const int count = stampCount.load(std::memory_order_acquire);
  if (count < 100) return f.error = "too few buffers mixed", f;
  const int bufferFrames = stamps[0].bytes / kBytesPerFrame;
  if (bufferFrames <= 0) return f.error = "empty buffers", f;
  f.bufferMs = bufferFrames * 1000.0 / kRate;
  const auto* samples = reinterpret_cast<const std::int16_t*>(pcm.data());
  const std::size_t frames = pcm.size() / kBytesPerFrame;
  const int fileBuffers = static_cast<int>(frames / static_cast<std::size_t>(bufferFrames));

  // Which file buffer the first stamp is: where the pattern of buffers holding sound agrees.
  auto bufferHasSound = [&](int buffer) {
    const std::size_t from = static_cast<std::size_t>(buffer) * bufferFrames * 2;
    return std::any_of(samples + from, samples + from + bufferFrames * 2,
                       [](std::int16_t s) { return s != 0; });
  };
  int offset = -1;
  for (int candidate = std::max(0, fileBuffers - count - 8);
       candidate <= fileBuffers - count + 8 && offset < 0; ++candidate) {
    bool agrees = candidate >= 0 && candidate + count <= fileBuffers;
    for (int i = 0; agrees && i < count; ++i)
      agrees = bufferHasSound(candidate + i) == stamps[i].sound;
    if (agrees) offset = candidate;
  }
  if (offset < 0) return f.error = "the file's buffers do not match the mixed ones", f;
  f.driftMs = (stamps[count - 1].wallNs - stamps[0].wallNs) / 1e6 - (count - 1) * f.bufferMs;
  f.pace = (stamps[count - 1].wallNs - stamps[0].wallNs) / 1e6 / ((count - 1) * f.bufferMs);
  if (f.pace < 0.98)
    return f.error = "the driver ran faster than real time: the lag would flatter", f;

  // Onsets in phase one, on the steady clock.
  std::vector<std::int64_t> onsets;
  int quiet = kQuietFrames;
  for (int i = 0; i < count && stamps[i].wallNs < phaseTwoNs; ++i) {
    const std::size_t first = static_cast<std::size_t>(offset + i) * bufferFrames;
    for (int p = 0; p < bufferFrames; ++p) {
      const std::size_t frame = first + static_cast<std::size_t>(p);
      const int level =
          std::max(std::abs(int{samples[frame * 2]}), std::abs(int{samples[frame * 2 + 1]}));
      if (level >= kOnsetLevel) {
        if (quiet >= kQuietFrames)
          onsets.push_back(stamps[i].wallNs + static_cast<std::int64_t>(p) * 1'000'000'000 / kRate);
        quiet = 0;
      } else {
        ++quiet;
      }
    }
  }

  // Each step of phase one with the first onset after it; a tick that did not come within
  // 25 ms is lost (a later one would be heard with the next step).
  std::vector<double> lags;
  std::size_t next = 0;
  for (const std::int64_t step : steps) {
    if (step >= phaseTwoNs) break;
    ++f.steps;
    while (next < onsets.size() && onsets[next] < step - 1'000'000) {
      ++f.extraOnsets;  // an onset no step asked for
      ++next;
    }
    if (next < onsets.size() && onsets[next] <= step + 25'000'000) {
      lags.push_back((onsets[next] - step) / 1e6);
      ++next;
    } else {
      ++f.lost;
    }
  }
  f.lagMedianMs = median(lags);
  f.lagMaxMs = lags.empty() ? 0 : *std::max_element(lags.begin(), lags.end());

  // The audio thread's processor time per buffer under the music and the win sound.
  std::vector<double> work;
  for (int i = 1; i < count; ++i)
    if (stamps[i - 1].wallNs >= phaseTwoNs)
      work.push_back((stamps[i].cpuNs - stamps[i - 1].cpuNs) / 1e6);
  f.workMedianMs = median(work);
  f.workMaxMs = work.empty() ? 0 : *std::max_element(work.begin(), work.end());
  return f;
}

void BM_StepTickLag(benchmark::State& state) {
  const zv::SdlLibraries sdl = zv::openSdlLibraries();
  const auto setPostMix =
      sdl.find ? reinterpret_cast<SetPostMix>(sdl.find("Mix_SetPostMix")) : nullptr;
  if (!setPostMix) {
    state.SkipWithError("no SDL2_mixer");
    return;
  }
  Figures figures;
  for (auto _ : state) {
    zv::testing::TempDir dir;
    zv::makeDirectories(dir.file("奖品图片"));
    for (int slot = 1; slot <= 8; ++slot) {
      const std::string name = "/" + std::to_string(slot) + ".jpg";
      zv::writeWholeFileAtomically(dir.file("奖品图片") + name,
                                   zv::readWholeFile(std::string(ZV_SAMPLES) + name));
    }
    zv::writeWholeFileAtomically(dir.file("config.a"),
                                 zv::utf8ToGbk("[zbt]\r\nlx=真\r\n滚动音效=真\r\n"));
    const std::string pcm = dir.file("mixed.raw");
    zv::testing::setEnvironment("SDL_AUDIODRIVER", "disk");
    zv::testing::setEnvironment("SDL_DISKAUDIOFILE", pcm);
    constexpr int kDelayMs = (zv::Audio::kBufferFrames * 1000 + kRate - 1) / kRate;
    zv::testing::setEnvironment("SDL_DISKAUDIODELAY", std::to_string(kDelayMs));
    stampCount.store(0);
    std::vector<std::int64_t> steps;
    steps.reserve(1000);
    std::int64_t phaseTwo = 0;
    {
      zv::MainWindow stage(zv::StageEnvironment{dir.path(), [] { return QSize(1366, 768); }});
      stage.start();
      QCoreApplication::processEvents();
      zv::Audio& audio = stage.audio();
      if (!audio.available()) {
        figures.error = "the disk audio driver did not open";
        break;
      }
      setPostMix(stampBuffer, nullptr);
      // The program's step path, with each step's time taken as the roll timer fires.
      zv::DrawCycle& draw = stage.draw();
      stage.form().unit<zv::forms::WindowTimer>(zv::units::kRollTimer)->onTick([&] {
        steps.push_back(nanoseconds(Clock::now()));
        draw.rollStep();
      });
      runEventLoop(100);  // the device settled
      stage.form().unit<QLineEdit>(zv::units::kRollIntervalEdit)->setText("30");
      stage.form().unit<QLineEdit>(zv::units::kAutoStopEdit)->setText("0");
      draw.toggle();
      runEventLoop(kTicksAloneMs);
      stage.drawStage().setRollInterval(0);
      runEventLoop(100);  // the last tick played out

      phaseTwo = nanoseconds(Clock::now());
      const std::string music = dir.file("music.mp3");
      zv::writeWholeFileAtomically(music, silentMp3(40));
      audio.playMusicLoop(music);
      audio.playOnce(zv::winSound());
      stage.drawStage().setRollInterval(kStepInterval);
      runEventLoop(kUnderMusicMs);
      stage.drawStage().setRollInterval(0);
      audio.stopAll();
    }  // the device closed: the file is complete
    figures = analyse(zv::readWholeFile(pcm), steps, phaseTwo);
  }
  setPostMix(nullptr, nullptr);
  zv::testing::setEnvironment("SDL_AUDIODRIVER", "dummy");
  zv::testing::unsetEnvironment("SDL_DISKAUDIOFILE");
  zv::testing::unsetEnvironment("SDL_DISKAUDIODELAY");
  if (!figures.error.empty()) {
    state.SkipWithError(figures.error.c_str());
    return;
  }
  state.counters["steps"] = figures.steps;
  state.counters["ticks_lost"] = figures.lost;
  state.counters["extra_onsets"] = figures.extraOnsets;
  state.counters["step_interval_ms"] = kStepInterval;
  state.counters["lag_median_ms"] = figures.lagMedianMs;
  state.counters["lag_max_ms"] = figures.lagMaxMs;
  state.counters["buffer_ms"] = figures.bufferMs;
  state.counters["mix_work_median_ms"] = figures.workMedianMs;
  state.counters["mix_work_max_ms"] = figures.workMaxMs;
  state.counters["file_clock_drift_ms"] = figures.driftMs;
  state.counters["driver_pace"] = figures.pace;
}
BENCHMARK(BM_StepTickLag)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
