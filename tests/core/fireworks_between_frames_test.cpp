// The fireworks drawn between the movie's frames, and the pacing that says when each
// picture is drawn and what moment of the movie it shows.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "host/logic/fireworks.h"
#include "host/logic/frame_pacing.h"
#include "host/logic/movie.h"
#include "resources/effect_movies.h"

namespace zv::movie {
namespace {

struct Place {
  double x, y, tailX, tailY;
};

std::vector<Place> places(const Movie& m, double frame) {
  FrameContent content;
  frameContent(m, frame, content);
  std::vector<Place> out;
  for (const Spark& s : content.sparks) out.push_back({s.x, s.y, s.tailX, s.tailY});
  return out;
}

// The largest distance between paired stars' heads, and tails unless headsOnly.
double farthest(const std::vector<Place>& a, const std::vector<Place>& b, bool headsOnly = false) {
  double d = 0;
  for (std::size_t i = 0; i < a.size(); ++i) {
    d = std::max(d, std::hypot(a[i].x - b[i].x, a[i].y - b[i].y));
    if (!headsOnly) d = std::max(d, std::hypot(a[i].tailX - b[i].tailX, a[i].tailY - b[i].tailY));
  }
  return d;
}

// Each shell of the built-in movies on its own, frame by frame: a whole moment is exactly
// the movie's frame; just before the next frame the stars are where that frame has them
// (no jump at a frame); halfway they are about halfway (not held at the last frame, not run
// ahead). Moments where a star is born, splits or goes out change the count and are left
// out of the comparison; stars are paired by their order.
TEST(FireworksBetweenFrames, ContinuousAndExactAtWholeFrames) {
  for (const int number : {4, 5, 6}) {
    SCOPED_TRACE(number);
    const Movie movie = *read(artwork::effectMovie(number));
    int burning = 0, compared = 0, moving = 0;
    for (std::size_t shell = 0; shell < movie.bursts.size(); ++shell) {
      Movie m = movie;
      m.bursts = {movie.bursts[shell]};
      // Twinkling swaps which stars show at each whole frame: the stars would not pair up.
      m.bursts[0].sparkle = 0;
      for (int k = 0; k + 1 < m.frameCount; ++k) {
        SCOPED_TRACE(testing::Message() << "shell " << shell << ", frame " << k);
        FrameContent whole, at;
        frameContent(m, k, whole);
        frameContent(m, static_cast<double>(k), at);
        ASSERT_EQ(at.sparks.size(), whole.sparks.size());
        for (std::size_t i = 0; i < at.sparks.size(); ++i) {
          ASSERT_EQ(at.sparks[i].x, whole.sparks[i].x);
          ASSERT_EQ(at.sparks[i].y, whole.sparks[i].y);
          ASSERT_EQ(at.sparks[i].radius, whole.sparks[i].radius);
        }
        ASSERT_EQ(at.flashes.size(), whole.flashes.size());

        const auto a = places(m, k), b = places(m, k + 1);
        if (a.empty()) continue;
        ++burning;
        const auto justBefore = places(m, std::nextafter(k + 1.0, 0.0));
        const auto half = places(m, k + 0.5);
        if (a.size() != b.size() || justBefore.size() != b.size() || half.size() != b.size())
          continue;
        ++compared;
        EXPECT_LT(farthest(justBefore, b), 0.01);
        // A head flies a smooth path (a tail starts moving only once the trail is out).
        const double step = farthest(a, b, true);
        if (step < 2) continue;
        ++moving;
        std::vector<Place> middle;
        for (std::size_t i = 0; i < a.size(); ++i)
          middle.push_back({(a[i].x + b[i].x) / 2, (a[i].y + b[i].y) / 2, 0, 0});
        EXPECT_LT(farthest(half, middle, true), 0.2 * step);
      }
    }
    // The comparisons above were made over most of each movie, not a few lucky frames.
    EXPECT_GT(compared, burning / 2) << burning;
    EXPECT_GT(moving, burning / 4) << burning;
  }
  // Outside the movie, or at no moment at all, nothing burns.
  const Movie m = *read(artwork::effectMovie(5));
  for (const double outside : {-0.5, static_cast<double>(m.frameCount),
                               std::numeric_limits<double>::quiet_NaN(),
                               std::numeric_limits<double>::infinity()})
    EXPECT_TRUE(places(m, outside).empty()) << outside;
}

// A screen refreshing 60 times a second and a drawing that costs this much each time, for
// 3.5 s of a built-in movie's frame rate. Late pictures are not waited for: the clock goes
// on while one is drawn.
struct Showing {
  std::vector<double> times;    // when each picture was drawn, ms
  std::vector<double> moments;  // the movie's moment it showed, in ms of the movie, unlooped
  int stride = 0;
};

Showing run(int frameRate, int frameCount, double costMs, bool smooth, double displayRate = 60) {
  FramePacing pacing(frameRate, frameCount, displayRate, smooth);
  Showing r;
  double now = 0, lastFrame = -1, loops = 0;
  while (now < 3500) {
    const double frame = pacing.frameAt(now);
    if (frame < lastFrame) ++loops;
    lastFrame = frame;
    r.times.push_back(now);
    r.moments.push_back((frame + loops * frameCount) * 1000.0 / frameRate);
    now += costMs;
    pacing.drawn(costMs);
    now = std::max(now, pacing.nextDue(now));
  }
  r.stride = pacing.stride();
  return r;
}

// However slow the drawing, the movie keeps to the clock: each picture shows the moment it
// was due for, never one further back, so 3.5 s of showing is 3.5 s of movie. A machine that
// cannot draw every refresh drops pictures evenly (equal gaps once the cost is known), and
// one that can draws all of them.
TEST(FireworksPacing, DroppedPicturesKeepTheMovieToTheClockAndEvenlySpaced) {
  struct Case {
    double costMs;
    int stride;  // the pictures drawn: one in this many refreshes
  };
  const double period = 1000.0 / 60;
  for (const int frameRate : {12, 20, 36}) {
    for (const Case c : {Case{1, 1}, Case{12, 1}, Case{20, 2}, Case{40, 3}, Case{70, 5}, Case{200, 13}}) {
      SCOPED_TRACE(testing::Message() << frameRate << " fps, " << c.costMs << " ms a picture");
      const Showing r = run(frameRate, 91, c.costMs, true);
      EXPECT_EQ(r.stride, c.stride);
      for (std::size_t i = 0; i < r.times.size(); ++i) {
        EXPECT_LE(r.moments[i], r.times[i] + 1e-6) << i;
        EXPECT_GT(r.moments[i], r.times[i] - c.stride * period - 1e-6) << i;
      }
      EXPECT_GT(r.moments.back(), 3500 - c.stride * period - c.costMs);
      // Once the cost has settled the stride (a quarter second), the gaps are all equal.
      std::vector<double> gaps;
      for (std::size_t i = 1; i < r.times.size(); ++i)
        if (r.times[i - 1] > 250) gaps.push_back(r.times[i] - r.times[i - 1]);
      ASSERT_FALSE(gaps.empty());
      const auto [shortest, longest] = std::minmax_element(gaps.begin(), gaps.end());
      EXPECT_LT(*longest - *shortest, 1.0);
      EXPECT_NEAR(*longest, std::max(c.costMs, c.stride * period), 1.0);
    }
  }
}

// Not smooth: the movie's own frames at its own rate, whole frames only, as before.
// A screen that reports no sensible rate is taken as 60 Hz.
TEST(FireworksPacing, MovieRateAndUnknownScreens) {
  const Showing movieRate = run(12, 91, 1, false);
  EXPECT_EQ(movieRate.times.size(), 42u);  // 3.5 s at 12 frames a second
  for (const double m : movieRate.moments) EXPECT_EQ(std::fmod(m * 12 / 1000, 1.0), 0.0);

  for (const double odd : {0.0, -60.0, 1.0, 1000.0, std::numeric_limits<double>::quiet_NaN()}) {
    EXPECT_NEAR(FramePacing(20, 35, odd, true).period(), 1000.0 / 60, 1e-9) << odd;
  }
  EXPECT_NEAR(FramePacing(20, 35, 144, true).period(), 1000.0 / 144, 1e-9);
  EXPECT_EQ(run(20, 35, 1, true, 144).times.size(), 504u);  // 3.5 s at 144 Hz
}

}  // namespace
}  // namespace zv::movie
