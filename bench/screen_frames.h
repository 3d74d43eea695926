#pragma once
// What the X server puts on screen, seen from outside the program: damage reports on the
// root window (and on the compositor's overlay window) grouped into frames, and the CPU
// time processes spend meanwhile.
#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace zv::bench {

using Clock = std::chrono::steady_clock;

// A frame is a run of damage reports each within gapMs of the one before it (server
// milliseconds): a frame flushed as several pieces counts once, the next frame of a movie
// comes a frame period later. Returns the server time each frame began.
std::vector<std::int64_t> frameStarts(const std::vector<std::int64_t>& serverMs,
                                      std::int64_t gapMs);

class DamageWatch {
 public:
  enum Target { Root, CompositeOverlay };
  struct Report {
    Target target;
    Clock::time_point arrived;
    std::int64_t serverMs;  // unwrapped server timestamp
    int width, height;      // the area the report names (with NonEmpty reports, the drawable's)
  };

  // Watches the root window, and the compositor's overlay window when asked (only with a
  // compositor running: asking for that window maps it).
  DamageWatch(const std::string& display, bool overlayToo);
  ~DamageWatch();
  DamageWatch(const DamageWatch&) = delete;
  DamageWatch& operator=(const DamageWatch&) = delete;
  bool ok() const;

  // Reads reports until the time comes; each report is acknowledged at once, so the next
  // drawing reports again.
  void collectUntil(Clock::time_point end);
  const std::vector<Report>& reports() const { return reports_; }
  // The server's millisecond clock read at a steady-clock time: reports arrive at least
  // that late, so the earliest arrival minus its timestamp is the smallest latency.
  std::int64_t serverMsAt(Clock::time_point t) const;

 private:
  struct X;
  std::unique_ptr<X> x_;
  std::vector<Report> reports_;
};

// Frames on one target whose start falls inside [from, to).
struct FrameCount {
  int frames = 0;
  int reports = 0;
  std::int64_t longestFrameMs = 0;  // how long the longest run of reports lasted
  std::int64_t busyMs = 0;          // how long all the runs lasted together
  std::int64_t firstStart = 0, lastStart = 0;
};
FrameCount countFrames(const DamageWatch& watch, DamageWatch::Target target, Clock::time_point from,
                       Clock::time_point to, std::int64_t gapMs);

// Frames per second over a window of windowMs for a source of the given frame period,
// without the one frame more or less that where the window falls decides: frames on time
// give exactly one per period; frames missing at either edge of the window count against
// it once they leave more than a period uncovered there.
double frameRate(const FrameCount& count, double windowMs, double periodMs);

// utime + stime of a process in seconds; negative when it cannot be read.
double cpuSeconds(pid_t pid);

// Paints `frames` frames at `periodMs` into a window of its own, each frame as `pieces`
// rectangles flushed two milliseconds apart: a client whose frame count is known.
void paintKnownFrames(const std::string& display, int frames, int periodMs, int pieces);

}  // namespace zv::bench
