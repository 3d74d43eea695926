#include "host/logic/fireworks.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace zv::movie {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kFlashSeconds = 0.12;
constexpr double kCrossetteSplit = 0.38;  // share of a crossette star's life before it splits

std::uint64_t mix(std::uint64_t z) {
  z += 0x9E3779B97F4A7C15ull;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

// A small generator per star, so each star's numbers do not depend on the others.
class StarRandom {
 public:
  StarRandom(std::uint32_t seed, int star)
      : state_(mix((static_cast<std::uint64_t>(seed) << 20) ^ static_cast<std::uint64_t>(star))) {}
  // 0 <= value < 1
  double unit() {
    state_ = mix(state_);
    return static_cast<double>(state_ >> 11) * (1.0 / 9007199254740992.0);
  }
  double between(double lo, double hi) { return lo + (hi - lo) * unit(); }

 private:
  std::uint64_t state_;
};

// Whether star twinkles bright in frame, for a sparkle share of 0..255.
bool twinkles(std::uint32_t seed, int star, int frame, int sparkle) {
  if (sparkle <= 0) return false;
  const std::uint64_t h =
      mix(mix(seed) ^ (static_cast<std::uint64_t>(star) << 24) ^ static_cast<std::uint64_t>(frame));
  return static_cast<int>(h & 0xFF) < sparkle;
}

Colour blend(Colour a, Colour b, double share) {
  const auto channel = [share](int x, int y) {
    return static_cast<std::uint8_t>(std::lround(x + (y - x) * std::clamp(share, 0.0, 1.0)));
  };
  return {channel(a.r, b.r), channel(a.g, b.g), channel(a.b, b.b)};
}

constexpr Colour kWhite{255, 255, 255};
constexpr Colour kShellGold{255, 196, 112};

// Motion under linear drag k and gravity g (downwards) from p0 with velocity v0.
struct Motion {
  double x0, y0, vx, vy, k, g;
  // (1 - e^(-kt)) / k and (t - that) / k, with their limits for k -> 0.
  void factors(double t, double& f, double& h) const {
    if (k < 1e-6) {
      f = t;
      h = t * t / 2;
    } else {
      f = -std::expm1(-k * t) / k;
      h = (t - f) / k;
    }
  }
  void at(double t, double& x, double& y) const {
    double f, h;
    factors(t, f, h);
    x = x0 + vx * f;
    y = y0 + vy * f + g * h;
  }
  void velocity(double t, double& x, double& y) const {
    const double decay = std::exp(-k * t);
    x = vx * decay;
    y = vy * decay + (k < 1e-6 ? g * t : g * (1 - decay) / k);
  }
};

// Unit direction of star i of n, and its share of the burst's speed.
void direction(const Burst& b, int i, int n, StarRandom& rnd, double& dx, double& dy,
               double& speedShare) {
  switch (b.pattern) {
    case Pattern::kRing: {
      // All stars share the burst's tilt and turn, so they come from the same seed.
      StarRandom shape(b.seed, -1);
      const double squash = shape.between(0.35, 1.0), turn = shape.between(0, kPi);
      const double a = 2 * kPi * i / n + rnd.between(-0.02, 0.02);
      const double x = std::cos(a), y = std::sin(a) * squash;
      dx = x * std::cos(turn) - y * std::sin(turn);
      dy = x * std::sin(turn) + y * std::cos(turn);
      speedShare = rnd.between(0.97, 1.0);
      return;
    }
    case Pattern::kPalm: {
      StarRandom shape(b.seed, -1);
      const int arms = 6 + static_cast<int>(b.seed % 4);
      const double a =
          shape.between(0, 2 * kPi) + 2 * kPi * (i % arms) / arms + rnd.between(-0.05, 0.05);
      dx = std::cos(a);
      dy = std::sin(a);
      speedShare = rnd.between(0.45, 1.0);
      return;
    }
    case Pattern::kHeart: {
      const double a = 2 * kPi * i / n;
      const double s = std::sin(a);
      dx = 16 * s * s * s / 17;
      dy = -(13 * std::cos(a) - 5 * std::cos(2 * a) - 2 * std::cos(3 * a) - std::cos(4 * a)) / 17;
      speedShare = rnd.between(0.98, 1.0);
      return;
    }
    case Pattern::kCrossette: {
      const double a = 2 * kPi * (i + rnd.between(-0.15, 0.15)) / n;
      dx = std::cos(a);
      dy = std::sin(a);
      speedShare = rnd.between(0.9, 1.0);
      return;
    }
    default: {
      // A sphere seen from the side: uniform on the sphere, projected.
      const double z = rnd.between(-1, 1), a = rnd.between(0, 2 * kPi);
      const double r = std::sqrt(1 - z * z);
      dx = r * std::cos(a);
      dy = r * std::sin(a);
      speedShare = rnd.between(0.9, 1.0);
      return;
    }
  }
}

// Brightness and size over a star's life (age 0..1). A dying star shrinks to nothing
// rather than dimming to nothing, so it never lingers as a dark smudge where a colour key
// shows everything that is not quite black.
double glowAt(double age) { return age < 0.6 ? 1 : 1 - 0.4 * (age - 0.6) / 0.4; }
double sizeAt(double age) {
  if (age < 0.6) return 1 - 0.25 * age / 0.6;
  return std::max(0.0, 0.75 * (1 - (age - 0.6) / 0.4));
}

struct StarLook {
  Colour colour;
  double radius;
  double brightness;
};

// frame is the whole movie frame: twinkling changes at the movie's own rate, however
// often the picture is drawn.
StarLook lookOf(const Burst& b, int i, double age, int frame, StarRandom& rnd) {
  StarLook look{b.primary, b.size * sizeAt(age), glowAt(age)};
  switch (b.pattern) {
    case Pattern::kSphere:
    case Pattern::kRing:
    case Pattern::kHeart:
      if (i % 2 == 1) look.colour = b.secondary;
      break;
    case Pattern::kChrysanthemum:
    case Pattern::kPalm:
      // Changes colour in flight.
      look.colour = blend(b.primary, b.secondary, (age - 0.35) / 0.2);
      break;
    case Pattern::kGlitter:
      look.colour = blend(b.primary, b.secondary, rnd.unit());
      break;
    default:
      break;
  }
  if (age < 0.08) look.colour = blend(kWhite, look.colour, age / 0.08);
  if (twinkles(b.seed, i, frame, b.sparkle)) {
    look.colour = blend(look.colour, kWhite, 0.6);
    look.radius *= 1.35;
  } else if (b.pattern == Pattern::kGlitter && age > 0.25) {
    look.brightness = 0;  // strobes: only the twinkling stars show
  }
  return look;
}

void addStar(FrameContent& out, const Motion& m, double t, double trail, const StarLook& look) {
  if (look.brightness <= 0.02 || look.radius <= 0.02) return;
  Spark s;
  double x, y, tx, ty;
  m.at(t, x, y);
  m.at(std::max(0.0, t - trail), tx, ty);
  s.x = static_cast<float>(x);
  s.y = static_cast<float>(y);
  s.tailX = static_cast<float>(tx);
  s.tailY = static_cast<float>(ty);
  s.radius = static_cast<float>(look.radius);
  s.colour = look.colour;
  s.brightness = static_cast<float>(std::min(1.0, look.brightness));
  out.sparks.push_back(s);
}

// frame may lie between whole frames: every place and size is a function of time.
void addShell(const Burst& b, double frame, double fps, FrameContent& out) {
  const int burstFrame = b.launchFrame + b.riseFrames;
  const int whole = static_cast<int>(std::floor(frame));
  if (b.riseFrames > 0 && frame >= b.launchFrame && frame < burstFrame) {
    // The shell slows as it climbs.
    const auto place = [&](double u, double& x, double& y) {
      const double eased = 1 - (1 - u) * (1 - u);
      x = b.launchX + (b.x - b.launchX) * eased;
      y = b.launchY + (b.y - b.launchY) * eased;
    };
    const double u = static_cast<double>(frame - b.launchFrame) / b.riseFrames;
    double x, y, tx, ty;
    place(u, x, y);
    place(std::max(0.0, u - 0.22), tx, ty);
    Spark s;
    s.x = static_cast<float>(x);
    s.y = static_cast<float>(y);
    s.tailX = static_cast<float>(tx);
    s.tailY = static_cast<float>(ty);
    s.radius = std::max(1.0f, b.size * 0.8f);
    s.colour = twinkles(b.seed, -2, whole, 120) ? kWhite : kShellGold;
    s.brightness = 0.95f;
    out.sparks.push_back(s);
    return;
  }
  if (frame < burstFrame) return;
  const double t = (frame - burstFrame) / fps;
  const double lifeSeconds = b.lifeFrames / fps;
  if (t < kFlashSeconds) {
    const double share = t / kFlashSeconds;
    out.flashes.push_back({b.x, b.y, static_cast<float>(b.speed * (0.03 + 0.03 * share)),
                           blend(kWhite, b.primary, 0.3), static_cast<float>(1 - 0.3 * share)});
  }
  if (t > lifeSeconds * 1.15) return;

  const bool crossette = b.pattern == Pattern::kCrossette;
  const int n = crossette ? std::max(4, b.particles / 5) : b.particles;
  for (int i = 0; i < n; ++i) {
    StarRandom rnd(b.seed, i);
    double dx, dy, share;
    direction(b, i, n, rnd, dx, dy, share);
    const double life = lifeSeconds * rnd.between(0.85, 1.15);
    if (t >= life) continue;
    const Motion m{b.x, b.y, dx * b.speed * share, dy * b.speed * share, b.drag, b.gravity};
    const double age = t / life;
    const StarLook look = lookOf(b, i, age, whole, rnd);
    if (!crossette || age < kCrossetteSplit) {
      addStar(out, m, t, b.trail, look);
      continue;
    }
    // Past the split the star is four, flying apart in a cross from where it was.
    const double ts = life * kCrossetteSplit;
    double sx, sy, vx, vy;
    m.at(ts, sx, sy);
    m.velocity(ts, vx, vy);
    const double turn = rnd.between(0, kPi / 2);
    for (int arm = 0; arm < 4; ++arm) {
      const double a = turn + arm * kPi / 2;
      const Motion piece{sx,
                         sy,
                         vx * 0.25 + std::cos(a) * b.speed * 0.42,
                         vy * 0.25 + std::sin(a) * b.speed * 0.42,
                         b.drag,
                         b.gravity};
      StarLook pieceLook = lookOf(b, i * 4 + arm + n, age, whole, rnd);
      pieceLook.colour = b.secondary;
      addStar(out, piece, t - ts, std::min<double>(b.trail, t - ts), pieceLook);
    }
  }
}

}  // namespace

void frameContent(const Movie& movie, double frame, FrameContent& out) {
  out.clear();
  // Not-a-number fails both comparisons, so it is caught by the negated form.
  if (!(frame >= 0 && frame < movie.frameCount)) return;
  for (const Burst& b : movie.bursts) addShell(b, frame, movie.frameRate, out);
}

void frameContent(const Movie& movie, int frame, FrameContent& out) {
  frameContent(movie, static_cast<double>(frame), out);
}

Fit fitStage(int stageWidth, int stageHeight, int areaWidth, int areaHeight) {
  Fit fit;
  if (stageWidth <= 0 || stageHeight <= 0 || areaWidth <= 0 || areaHeight <= 0) return fit;
  fit.scale = std::min(static_cast<double>(areaWidth) / stageWidth,
                       static_cast<double>(areaHeight) / stageHeight);
  fit.width = stageWidth * fit.scale;
  fit.height = stageHeight * fit.scale;
  fit.left = (areaWidth - fit.width) / 2;
  fit.top = (areaHeight - fit.height) / 2;
  return fit;
}

}  // namespace zv::movie
