#include "screen_frames.h"

#include <X11/Xlib.h>
#include <X11/extensions/Xcomposite.h>
#include <X11/extensions/Xdamage.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <fstream>
#include <sstream>
#include <thread>

namespace zv::bench {

std::vector<std::int64_t> frameStarts(const std::vector<std::int64_t>& serverMs,
                                      std::int64_t gapMs) {
  std::vector<std::int64_t> starts;
  std::int64_t last = 0;
  for (const std::int64_t t : serverMs) {
    if (starts.empty() || t - last > gapMs) starts.push_back(t);
    last = t;
  }
  return starts;
}

struct DamageWatch::X {
  Display* display = nullptr;
  int eventBase = 0, errorBase = 0;
  Damage root = 0, overlay = 0;
  Window overlayWindow = 0;
  bool haveServerTime = false;
  unsigned long lastRaw = 0;
  std::int64_t unwrapped = 0;

  // Server time is 32 bits of milliseconds: it wraps every 49 days.
  std::int64_t unwrap(unsigned long raw) {
    if (!haveServerTime) {
      haveServerTime = true;
      unwrapped = static_cast<std::int64_t>(raw & 0xFFFFFFFFu);
    } else {
      unwrapped += static_cast<std::int32_t>(static_cast<std::uint32_t>(raw - lastRaw));
    }
    lastRaw = raw;
    return unwrapped;
  }
};

DamageWatch::DamageWatch(const std::string& display, bool overlayToo) : x_(std::make_unique<X>()) {
  x_->display = XOpenDisplay(display.c_str());
  if (!x_->display) return;
  if (!XDamageQueryExtension(x_->display, &x_->eventBase, &x_->errorBase)) {
    XCloseDisplay(x_->display);
    x_->display = nullptr;
    return;
  }
  const Window root = DefaultRootWindow(x_->display);
  x_->root = XDamageCreate(x_->display, root, XDamageReportNonEmpty);
  if (overlayToo) {
    x_->overlayWindow = XCompositeGetOverlayWindow(x_->display, root);
    if (x_->overlayWindow)
      x_->overlay = XDamageCreate(x_->display, x_->overlayWindow, XDamageReportNonEmpty);
  }
  XSync(x_->display, False);
}

DamageWatch::~DamageWatch() {
  if (!x_->display) return;
  if (x_->overlay) XDamageDestroy(x_->display, x_->overlay);
  if (x_->overlayWindow) XCompositeReleaseOverlayWindow(x_->display, x_->overlayWindow);
  if (x_->root) XDamageDestroy(x_->display, x_->root);
  XCloseDisplay(x_->display);
}

bool DamageWatch::ok() const { return x_->display != nullptr; }

void DamageWatch::collectUntil(Clock::time_point end) {
  if (!x_->display) {
    std::this_thread::sleep_until(end);
    return;
  }
  Display* d = x_->display;
  for (;;) {
    while (XPending(d) > 0) {
      XEvent event;
      XNextEvent(d, &event);
      if (event.type != x_->eventBase + XDamageNotify) continue;
      const auto& notify = reinterpret_cast<const XDamageNotifyEvent&>(event);
      reports_.push_back(Report{notify.damage == x_->overlay ? CompositeOverlay : Root,
                                Clock::now(), x_->unwrap(notify.timestamp), notify.area.width,
                                notify.area.height});
      // Emptied at once: the next drawing on screen reports again.
      XDamageSubtract(d, notify.damage, 0, 0);
    }
    XFlush(d);
    const auto now = Clock::now();
    if (now >= end) return;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - now).count();
    pollfd fd{ConnectionNumber(d), POLLIN, 0};
    poll(&fd, 1, static_cast<int>(std::clamp<long long>(left, 1, 50)));
  }
}

namespace {
std::int64_t steadyMs(Clock::time_point t) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(t.time_since_epoch()).count();
}
}  // namespace

std::int64_t DamageWatch::serverMsAt(Clock::time_point t) const {
  std::int64_t offset = LLONG_MAX;
  for (const Report& r : reports_) offset = std::min(offset, steadyMs(r.arrived) - r.serverMs);
  return reports_.empty() ? steadyMs(t) : steadyMs(t) - offset;
}

FrameCount countFrames(const DamageWatch& watch, DamageWatch::Target target, Clock::time_point from,
                       Clock::time_point to, std::int64_t gapMs) {
  std::vector<std::int64_t> times;
  for (const auto& r : watch.reports())
    if (r.target == target) times.push_back(r.serverMs);
  std::sort(times.begin(), times.end());
  const std::int64_t begin = watch.serverMsAt(from), end = watch.serverMsAt(to);
  const std::vector<std::int64_t> starts = frameStarts(times, gapMs);
  FrameCount count;
  std::size_t next = 0;  // the first report after the frame that starts at starts[i]
  for (std::size_t i = 0; i < starts.size(); ++i) {
    const std::size_t first = next;
    while (next < times.size() && (i + 1 == starts.size() || times[next] < starts[i + 1])) ++next;
    if (starts[i] < begin || starts[i] >= end) continue;
    if (count.frames == 0) count.firstStart = starts[i];
    count.lastStart = starts[i];
    ++count.frames;
    count.reports += static_cast<int>(next - first);
    count.longestFrameMs = std::max(count.longestFrameMs, times[next - 1] - starts[i]);
    count.busyMs += times[next - 1] - starts[i];
  }
  return count;
}

double frameRate(const FrameCount& count, double windowMs, double periodMs) {
  if (count.frames < 2) return count.frames * 1000.0 / windowMs;
  // On time, the starts span (frames - 1) periods, which is always more than the window
  // less two periods.
  const double span =
      std::max(static_cast<double>(count.lastStart - count.firstStart), windowMs - 2 * periodMs);
  return (count.frames - 1) * 1000.0 / span;
}

double cpuSeconds(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  if (pid <= 0 || !std::getline(in, line)) return -1;
  // The command name is in parentheses and may hold spaces: count fields after it.
  const auto close = line.rfind(')');
  if (close == std::string::npos) return -1;
  std::istringstream fields(line.substr(close + 2));
  std::string field;
  long long utime = 0, stime = 0;
  for (int i = 3; i <= 15 && fields >> field; ++i) {
    if (i == 14) utime = std::stoll(field);
    if (i == 15) stime = std::stoll(field);
  }
  return static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

void paintKnownFrames(const std::string& display, int frames, int periodMs, int pieces) {
  Display* d = XOpenDisplay(display.c_str());
  if (!d) return;
  const int screen = DefaultScreen(d);
  XSetWindowAttributes attributes{};
  attributes.override_redirect = True;
  attributes.background_pixel = BlackPixel(d, screen);
  const Window w =
      XCreateWindow(d, RootWindow(d, screen), 40, 40, 480, 320, 0, CopyFromParent, InputOutput,
                    CopyFromParent, CWOverrideRedirect | CWBackPixel, &attributes);
  XMapRaised(d, w);
  const GC gc = XCreateGC(d, w, 0, nullptr);
  XSync(d, False);
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  auto next = Clock::now();
  for (int f = 0; f < frames; ++f) {
    for (int p = 0; p < pieces; ++p) {
      XSetForeground(d, gc,
                     static_cast<unsigned long>(0x10000 * ((f * 37 + p * 91) & 0xFF) + 0x40));
      XFillRectangle(d, w, gc, 10 + p * 150, 10, 140, 300);
      XFlush(d);
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    next += std::chrono::milliseconds(periodMs);
    std::this_thread::sleep_until(next);
  }
  XFreeGC(d, gc);
  XDestroyWindow(d, w);
  XCloseDisplay(d);
}

}  // namespace zv::bench
