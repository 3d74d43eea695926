// The effect movie format, the fireworks worked out from it, and the built-in movies.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "host/logic/fireworks.h"
#include "host/logic/movie.h"
#include "resources/effect_movies.h"

namespace zv::movie {
namespace {

Movie sample() {
  Movie m;
  m.width = 320;
  m.height = 200;
  m.frameRate = 25;
  m.frameCount = 40;
  m.background = {1, 2, 3};
  for (int p = 0; p < kPatternCount; ++p) {
    Burst b;
    b.launchFrame = static_cast<std::uint16_t>(p * 3);
    b.riseFrames = static_cast<std::uint16_t>(p % 2 ? 5 : 0);
    b.launchX = 10.5f + p;
    b.launchY = 204;
    b.x = 40.25f * (p % 7 + 1);
    b.y = 60 + p;
    b.pattern = static_cast<Pattern>(p);
    b.sparkle = static_cast<std::uint8_t>(p * 30);
    b.particles = static_cast<std::uint16_t>(20 + p * 70);
    b.primary = {255, static_cast<std::uint8_t>(p * 20), 7};
    b.secondary = {9, 8, static_cast<std::uint8_t>(200 - p)};
    b.speed = 150 + p;
    b.gravity = -5.5f + p * 10;
    b.drag = 0.25f * p;
    b.lifeFrames = static_cast<std::uint16_t>(12 + p);
    b.trail = 0.05f * p;
    b.size = 1 + 0.5f * p;
    b.seed = 0xDEADBEEFu - static_cast<std::uint32_t>(p);
    m.bursts.push_back(b);
  }
  return m;
}

constexpr std::size_t kHeader = 20, kBurst = 56;

// bytes with a little-endian value put at offset and the checksum made right again, so
// only the field check can refuse them.
std::string patched(std::string bytes, std::size_t offset, std::uint32_t value, int size) {
  for (int i = 0; i < size; ++i) bytes[offset + i] = static_cast<char>(value >> (8 * i));
  const std::uint32_t crc = crc32(std::string_view(bytes).substr(0, bytes.size() - 4));
  for (int i = 0; i < 4; ++i) bytes[bytes.size() - 4 + i] = static_cast<char>(crc >> (8 * i));
  return bytes;
}

std::uint32_t bitsOf(float f) {
  std::uint32_t u;
  std::memcpy(&u, &f, 4);
  return u;
}

TEST(MovieFormat, AMovieWrittenAndReadBackIsTheSame) {
  const Movie m = sample();
  const std::string bytes = write(m);
  ASSERT_EQ(bytes.size(), kHeader + m.bursts.size() * kBurst + 4);
  EXPECT_EQ(bytes.substr(0, 4), "ZVFX");
  const auto back = read(bytes);
  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(*back, m);
  Movie empty;
  EXPECT_EQ(read(write(empty)), empty);
}

TEST(MovieFormat, EveryTruncationAndEveryFlippedByteReadsAsNoMovie) {
  const std::string bytes = write(sample());
  for (std::size_t n = 0; n < bytes.size(); ++n) {
    EXPECT_FALSE(read(bytes.substr(0, n))) << "truncated to " << n;
  }
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    std::string corrupt = bytes;
    corrupt[i] = static_cast<char>(corrupt[i] ^ 0x41);
    EXPECT_FALSE(read(corrupt)) << "byte " << i;
  }
  EXPECT_FALSE(read(bytes + "x"));
  EXPECT_FALSE(read(""));
  EXPECT_FALSE(read(std::string(4096, '\0')));
}

TEST(MovieFormat, FieldsOutOfBoundsAreRefusedEvenWithAGoodChecksum) {
  const std::string bytes = write(sample());
  const std::size_t b0 = kHeader;  // the first burst's record
  struct Case {
    const char* what;
    std::size_t offset;
    std::uint32_t value;
    int size;
  };
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const Case cases[] = {
      {"version", 4, 2, 2},
      {"width 0", 6, 0, 2},
      {"height too large", 8, kMaxStageSide + 1, 2},
      {"frame rate 0", 10, 0, 2},
      {"frame rate too high", 10, kMaxFrameRate + 1, 2},
      {"frame count 0", 12, 0, 2},
      {"reserved byte", 17, 1, 1},
      {"burst count beyond the bytes", 18, 9, 2},
      {"burst count huge", 18, 0xFFFF, 2},
      {"launch past the last frame", b0, 40, 2},
      {"burst x not a number", b0 + 12, bitsOf(nan), 4},
      {"burst y far off the stage", b0 + 16, bitsOf(1e6f), 4},
      {"unknown pattern", b0 + 20, kPatternCount, 1},
      {"no particles", b0 + 22, 0, 2},
      {"too many particles", b0 + 22, kMaxParticles + 1, 2},
      {"negative speed", b0 + 30, bitsOf(-1), 4},
      {"infinite gravity", b0 + 34, bitsOf(std::numeric_limits<float>::infinity()), 4},
      {"no life", b0 + 42, 0, 2},
      {"size 0", b0 + 48, bitsOf(0), 4},
  };
  for (const Case& c : cases)
    EXPECT_FALSE(read(patched(bytes, c.offset, c.value, c.size))) << c.what;
  // The same patch with an allowed value reads, so the offsets above are the fields'.
  EXPECT_TRUE(read(patched(bytes, b0 + 22, kMaxParticles, 2)));
  EXPECT_TRUE(read(patched(bytes, 10, kMaxFrameRate, 2)));
}

TEST(MovieFormat, AMovieOutOfBoundsWritesNothing) {
  Movie m = sample();
  m.bursts[0].particles = kMaxParticles + 1;
  EXPECT_EQ(write(m), "");
  m = sample();
  m.bursts.resize(kMaxBursts + 1, m.bursts[0]);
  EXPECT_EQ(write(m), "");
}

TEST(MovieFormat, TheBuiltInMoviesHaveTheirStagesRatesAndLengths) {
  struct Case {
    int number, width, height, frameRate, frameCount;
  };
  for (const Case c :
       {Case{4, 550, 400, 12, 91}, Case{5, 550, 400, 36, 60}, Case{6, 400, 400, 20, 35}}) {
    const auto m = read(artwork::effectMovie(c.number));
    ASSERT_TRUE(m.has_value()) << c.number;
    EXPECT_EQ(m->width, c.width) << c.number;
    EXPECT_EQ(m->height, c.height) << c.number;
    EXPECT_EQ(m->frameRate, c.frameRate) << c.number;
    EXPECT_EQ(m->frameCount, c.frameCount) << c.number;
    EXPECT_EQ(m->background, (Colour{0, 0, 0})) << c.number;
    // Fireworks show from the first frames on, within half a second.
    FrameContent content;
    bool early = false;
    for (int f = 0; f <= c.frameRate / 2; ++f) {
      frameContent(*m, f, content);
      early |= !content.sparks.empty();
    }
    EXPECT_TRUE(early) << c.number;
  }
  EXPECT_TRUE(artwork::effectMovie(3).empty());
  EXPECT_TRUE(artwork::effectMovie(7).empty());
  // Three different shows.
  EXPECT_NE(artwork::effectMovie(4), artwork::effectMovie(5));
}

TEST(MovieFireworks, AFrameDependsOnItsNumberAlone) {
  const Movie m = sample();
  FrameContent first, again, other;
  for (int frame : {0, 7, 19, 39}) {
    frameContent(m, frame, first);
    frameContent(m, (frame + 11) % 40, other);  // something else in between
    frameContent(m, frame, again);
    ASSERT_EQ(first.sparks.size(), again.sparks.size()) << frame;
    for (std::size_t i = 0; i < first.sparks.size(); ++i) {
      EXPECT_EQ(first.sparks[i].x, again.sparks[i].x);
      EXPECT_EQ(first.sparks[i].y, again.sparks[i].y);
      EXPECT_EQ(first.sparks[i].colour, again.sparks[i].colour);
      EXPECT_EQ(first.sparks[i].brightness, again.sparks[i].brightness);
    }
  }
  frameContent(m, -1, first);
  EXPECT_TRUE(first.sparks.empty());
  frameContent(m, 40, first);
  EXPECT_TRUE(first.sparks.empty() && first.flashes.empty());
}

TEST(MovieFireworks, StarsFlyOutFromTheirBurstAndBurnOut) {
  Movie m;
  m.frameRate = 10;
  m.frameCount = 100;
  Burst b;
  b.launchFrame = 10;
  b.riseFrames = 5;
  b.x = 200;
  b.y = 150;
  b.launchX = 200;
  b.launchY = 400;
  b.particles = 50;
  b.lifeFrames = 20;
  b.gravity = 0;
  m.bursts = {b};
  FrameContent c;
  frameContent(m, 9, c);
  EXPECT_TRUE(c.sparks.empty()) << "nothing before the launch";
  frameContent(m, 12, c);
  ASSERT_EQ(c.sparks.size(), 1u) << "the rising shell";
  EXPECT_GT(c.sparks[0].y, 150);
  EXPECT_LT(c.sparks[0].y, 400);
  frameContent(m, 15, c);
  EXPECT_FALSE(c.flashes.empty()) << "the burst flashes";
  frameContent(m, 20, c);
  EXPECT_EQ(c.sparks.size(), 50u);
  for (const Spark& s : c.sparks) {
    const double d = std::hypot(s.x - 200, s.y - 150);
    EXPECT_GT(d, 5);
    EXPECT_LT(d, 100);  // speed 100 px/s for half a second, slowed by drag
  }
  frameContent(m, 15 + 24, c);
  EXPECT_TRUE(c.sparks.empty()) << "burnt out";
}

TEST(MovieFireworks, AStageFitsItsAreaWithItsAspectKeptAndCentred) {
  struct Case {
    int sw, sh, aw, ah;
    double scale, left, top;
  };
  const Case cases[] = {
      {550, 400, 1920, 1080, 2.7, 217.5, 0},
      {400, 400, 1920, 1080, 2.7, 420, 0},
      {550, 400, 550, 400, 1, 0, 0},
      {400, 400, 400, 1000, 1, 0, 300},
      {550, 400, 0, 0, 1, 0, 0},
  };
  for (const Case& c : cases) {
    const Fit fit = fitStage(c.sw, c.sh, c.aw, c.ah);
    EXPECT_DOUBLE_EQ(fit.scale, c.scale) << c.aw << "x" << c.ah;
    EXPECT_DOUBLE_EQ(fit.left, c.left) << c.aw << "x" << c.ah;
    EXPECT_DOUBLE_EQ(fit.top, c.top) << c.aw << "x" << c.ah;
  }
}

}  // namespace
}  // namespace zv::movie
