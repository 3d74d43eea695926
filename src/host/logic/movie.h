#pragma once
// The effect movie format: a fireworks show held as vector content, so the player can draw
// any frame at any size. Little-endian binary:
//
//   "ZVFX", version, stage width and height, frame rate, frame count, background colour,
//   burst count, then one fixed-size record per burst, then a CRC-32 of all bytes before it.
//
// Reading validates everything; a truncated, corrupt or out-of-range file reads as no movie.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zv::movie {

// How a shell's stars leave the burst point.
enum class Pattern : std::uint8_t {
  kSphere,         // a peony: stars in every direction of a sphere, seen from the side
  kRing,           // one flat ring, tilted
  kWillow,         // a slow, heavy gold sphere whose long trails droop
  kPalm,           // a few thick arms that bend down like fronds
  kCrossette,      // a few stars that each split into four
  kChrysanthemum,  // a sphere with long, sparkling trails
  kHeart,          // stars on a heart outline
  kGlitter,        // a sphere of strobing stars
};
inline constexpr int kPatternCount = 8;

struct Colour {
  std::uint8_t r = 0, g = 0, b = 0;
  friend bool operator==(const Colour&, const Colour&) = default;
};

// One shell: it rises from the launch point (unless riseFrames is 0), bursts at (x, y) and
// its stars burn for lifeFrames. Positions are stage pixels, y downwards; speeds are
// stage pixels per second.
struct Burst {
  std::uint16_t launchFrame = 0;
  std::uint16_t riseFrames = 0;
  float launchX = 0, launchY = 0;
  float x = 0, y = 0;
  Pattern pattern = Pattern::kSphere;
  std::uint8_t sparkle = 0;  // 0..255: share of stars twinkling
  std::uint16_t particles = 60;
  Colour primary{255, 255, 255};
  Colour secondary{255, 255, 255};  // alternate stars, or the colour they change into
  float speed = 100;                // initial star speed
  float gravity = 60;               // pixels per second squared, downwards
  float drag = 1;                   // per second: speed falls as e^(-drag t)
  std::uint16_t lifeFrames = 20;
  float trail = 0.1f;  // seconds of path drawn behind each star
  float size = 1.5f;   // star radius in stage pixels
  std::uint32_t seed = 1;
  friend bool operator==(const Burst&, const Burst&) = default;
};

struct Movie {
  std::uint16_t width = 550, height = 400;
  std::uint16_t frameRate = 12;  // frames per second
  std::uint16_t frameCount = 1;
  Colour background;
  std::vector<Burst> bursts;
  friend bool operator==(const Movie&, const Movie&) = default;
};

// Bounds that keep a hostile file from costing unbounded memory or drawing time.
inline constexpr int kMaxStageSide = 4096;
inline constexpr int kMaxFrameRate = 120;
inline constexpr int kMaxFrameCount = 10000;
inline constexpr int kMaxBursts = 512;
inline constexpr int kMaxParticles = 600;  // stars of one burst
inline constexpr int kMaxLifeFrames = 2000;

inline constexpr std::uint16_t kFormatVersion = 1;

// The bytes of a movie. A movie outside the bounds above writes bytes that read as nothing.
std::string write(const Movie& movie);

// The movie in bytes, or nothing when they are not a complete, valid movie.
std::optional<Movie> read(std::string_view bytes);

// The CRC-32 (as in zip and PNG) of bytes.
std::uint32_t crc32(std::string_view bytes);

}  // namespace zv::movie
