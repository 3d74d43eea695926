#include "host/logic/movie.h"

#include <array>
#include <bit>
#include <cmath>
#include <cstring>

namespace zv::movie {

namespace {

constexpr char kMagic[4] = {'Z', 'V', 'F', 'X'};
constexpr std::size_t kHeaderSize = 4 + 2 + 2 + 2 + 2 + 2 + 3 + 1 + 2;
constexpr std::size_t kBurstSize = 2 + 2 + 4 * 4 + 1 + 1 + 2 + 3 + 3 + 4 * 3 + 2 + 4 * 2 + 4;
constexpr std::size_t kChecksumSize = 4;

class Writer {
 public:
  void bytes(const void* data, std::size_t size) {
    out_.append(static_cast<const char*>(data), size);
  }
  void u8(std::uint8_t v) { out_.push_back(static_cast<char>(v)); }
  void u16(std::uint16_t v) {
    u8(static_cast<std::uint8_t>(v));
    u8(static_cast<std::uint8_t>(v >> 8));
  }
  void u32(std::uint32_t v) {
    u16(static_cast<std::uint16_t>(v));
    u16(static_cast<std::uint16_t>(v >> 16));
  }
  void f32(float v) { u32(std::bit_cast<std::uint32_t>(v)); }
  void colour(Colour c) {
    u8(c.r);
    u8(c.g);
    u8(c.b);
  }
  std::string& text() { return out_; }

 private:
  std::string out_;
};

// Reads from a buffer whose size was checked beforehand, so no read can run past it.
class Reader {
 public:
  explicit Reader(std::string_view in) : in_(in) {}
  std::uint8_t u8() { return static_cast<std::uint8_t>(in_[at_++]); }
  std::uint16_t u16() {
    const std::uint16_t low = u8();
    return static_cast<std::uint16_t>(low | (u8() << 8));
  }
  std::uint32_t u32() {
    const std::uint32_t low = u16();
    return low | (static_cast<std::uint32_t>(u16()) << 16);
  }
  float f32() { return std::bit_cast<float>(u32()); }
  Colour colour() {
    Colour c;
    c.r = u8();
    c.g = u8();
    c.b = u8();
    return c;
  }

 private:
  std::string_view in_;
  std::size_t at_ = 0;
};

bool finiteWithin(float v, double lo, double hi) { return std::isfinite(v) && v >= lo && v <= hi; }
bool within(int v, int lo, int hi) { return v >= lo && v <= hi; }

bool valid(const Movie& m) {
  if (!within(m.width, 1, kMaxStageSide) || !within(m.height, 1, kMaxStageSide) ||
      !within(m.frameRate, 1, kMaxFrameRate) || !within(m.frameCount, 1, kMaxFrameCount) ||
      m.bursts.size() > kMaxBursts) {
    return false;
  }
  // Stars may start a little off the stage, never absurdly far.
  const double w = m.width, h = m.height;
  for (const Burst& b : m.bursts) {
    if (b.launchFrame >= m.frameCount || b.riseFrames > kMaxFrameCount ||
        !finiteWithin(b.launchX, -w, 2 * w) || !finiteWithin(b.launchY, -h, 2 * h) ||
        !finiteWithin(b.x, -w, 2 * w) || !finiteWithin(b.y, -h, 2 * h) ||
        static_cast<int>(b.pattern) >= kPatternCount || !within(b.particles, 1, kMaxParticles) ||
        !finiteWithin(b.speed, 0, 10000) || !finiteWithin(b.gravity, -10000, 10000) ||
        !finiteWithin(b.drag, 0, 50) || !within(b.lifeFrames, 1, kMaxLifeFrames) ||
        !finiteWithin(b.trail, 0, 5) || !finiteWithin(b.size, 0.05, 50)) {
      return false;
    }
  }
  return true;
}

std::array<std::uint32_t, 256> crcTable() {
  std::array<std::uint32_t, 256> table{};
  for (std::uint32_t n = 0; n < 256; ++n) {
    std::uint32_t c = n;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[n] = c;
  }
  return table;
}

}  // namespace

std::uint32_t crc32(std::string_view bytes) {
  static const std::array<std::uint32_t, 256> table = crcTable();
  std::uint32_t c = 0xFFFFFFFFu;
  for (const char ch : bytes) c = table[(c ^ static_cast<std::uint8_t>(ch)) & 0xFF] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

std::string write(const Movie& m) {
  if (!valid(m)) return {};
  Writer w;
  w.bytes(kMagic, sizeof kMagic);
  w.u16(kFormatVersion);
  w.u16(m.width);
  w.u16(m.height);
  w.u16(m.frameRate);
  w.u16(m.frameCount);
  w.colour(m.background);
  w.u8(0);
  w.u16(static_cast<std::uint16_t>(m.bursts.size()));
  for (const Burst& b : m.bursts) {
    w.u16(b.launchFrame);
    w.u16(b.riseFrames);
    w.f32(b.launchX);
    w.f32(b.launchY);
    w.f32(b.x);
    w.f32(b.y);
    w.u8(static_cast<std::uint8_t>(b.pattern));
    w.u8(b.sparkle);
    w.u16(b.particles);
    w.colour(b.primary);
    w.colour(b.secondary);
    w.f32(b.speed);
    w.f32(b.gravity);
    w.f32(b.drag);
    w.u16(b.lifeFrames);
    w.f32(b.trail);
    w.f32(b.size);
    w.u32(b.seed);
  }
  w.u32(crc32(w.text()));
  return std::move(w.text());
}

std::optional<Movie> read(std::string_view bytes) {
  if (bytes.size() < kHeaderSize + kChecksumSize ||
      std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0) {
    return std::nullopt;
  }
  Reader r(bytes.substr(sizeof kMagic));
  if (r.u16() != kFormatVersion) return std::nullopt;
  Movie m;
  m.width = r.u16();
  m.height = r.u16();
  m.frameRate = r.u16();
  m.frameCount = r.u16();
  m.background = r.colour();
  if (r.u8() != 0) return std::nullopt;
  const std::size_t count = r.u16();
  // The size must match exactly before anything is allocated for the bursts.
  if (count > kMaxBursts || bytes.size() != kHeaderSize + count * kBurstSize + kChecksumSize) {
    return std::nullopt;
  }
  const std::string_view body = bytes.substr(0, bytes.size() - kChecksumSize);
  if (Reader(bytes.substr(body.size())).u32() != crc32(body)) return std::nullopt;
  m.bursts.resize(count);
  for (Burst& b : m.bursts) {
    b.launchFrame = r.u16();
    b.riseFrames = r.u16();
    b.launchX = r.f32();
    b.launchY = r.f32();
    b.x = r.f32();
    b.y = r.f32();
    const std::uint8_t pattern = r.u8();
    if (pattern >= kPatternCount) return std::nullopt;
    b.pattern = static_cast<Pattern>(pattern);
    b.sparkle = r.u8();
    b.particles = r.u16();
    b.primary = r.colour();
    b.secondary = r.colour();
    b.speed = r.f32();
    b.gravity = r.f32();
    b.drag = r.f32();
    b.lifeFrames = r.u16();
    b.trail = r.f32();
    b.size = r.f32();
    b.seed = r.u32();
  }
  if (!valid(m)) return std::nullopt;
  return m;
}

}  // namespace zv::movie
