#pragma once
// When a movie's pictures are drawn and which moment of the movie each one shows. Drawn
// smoothly, a picture is due at every refresh of the screen and shows the movie at that
// moment, between its frames; otherwise one picture per movie frame, as the movie was
// made. The movie follows the clock alone: a picture drawn late shows the moment it was
// due for, and a machine that cannot draw every picture draws every second (third, ...)
// one, evenly, rather than slowing the movie down.
#include <cstdint>

namespace zv::movie {

class FramePacing {
 public:
  // A display rate that is no number, or outside 24..240, counts as 60 (what a screen that
  // reports nothing sensible most likely shows).
  FramePacing(int frameRate, int frameCount, double displayRate, bool smooth);

  // Milliseconds between two pictures when every one is drawn.
  double period() const { return period_; }
  // Every how many pictures one is drawn (1: all of them).
  int stride() const { return stride_; }
  bool smooth() const { return smooth_; }

  // The moment of the movie (in frames, looped into 0..frameCount) to show at nowMs after
  // the start: that of the last picture due by then. Whole frames unless smooth.
  double frameAt(double nowMs) const;
  // When the next picture to draw is due, after nowMs.
  double nextDue(double nowMs) const;
  // A picture took costMs to draw: the stride follows the drawing cost, with some room
  // so that it does not swing between two values.
  void drawn(double costMs);

  static constexpr int kMaxStride = 30;  // two pictures a second at 60 Hz

 private:
  std::int64_t slotAt(double nowMs) const;

  int frameRate_;
  int frameCount_;
  bool smooth_;
  double period_;
  int stride_ = 1;
  double cost_ = 0;  // a running average of the drawing cost, ms
  bool costKnown_ = false;
};

}  // namespace zv::movie
