#include "resources/win_sound.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <string>
#include <vector>

#include "resources/wav_encoding.h"

namespace zv {
namespace {

constexpr int kRate = 44100;
constexpr int kFrames = 71296;  // about 1.62 s
constexpr double kPeak = 0.72;  // of full scale: loud, with headroom for the mixer
constexpr double kTwoPi = 2.0 * std::numbers::pi;

int frameAt(double seconds) { return static_cast<int>(std::lround(seconds * kRate)); }

// Left and right, summed in double and scaled to 16 bits at the end.
struct Stereo {
  std::vector<double> left = std::vector<double>(kFrames, 0.0);
  std::vector<double> right = std::vector<double>(kFrames, 0.0);
};

// Equal-power gains for a position from -1 (left) to 1 (right).
struct Pan {
  double left;
  double right;
  explicit Pan(double position) {
    const double angle = (position + 1.0) * std::numbers::pi / 4.0;
    left = std::cos(angle);
    right = std::sin(angle);
  }
};

// A sine tone from start to the end of the sound, with a short sine-shaped attack and
// an exponential decay. The phase advances by complex rotation: a few million std::sin
// calls would make the first win noticeably slower than the rest.
void addTone(std::vector<double>& out, int start, double frequency, double amplitude,
             double attackSeconds, double decaySeconds) {
  if (frequency <= 0.0 || frequency >= kRate * 0.4) return;  // nothing near Nyquist
  const double step = kTwoPi * frequency / kRate;
  const double stepCos = std::cos(step), stepSin = std::sin(step);
  const double fall = decaySeconds > 0.0 ? std::exp(-1.0 / (decaySeconds * kRate)) : 1.0;
  const int attack = std::max(1, frameAt(attackSeconds));
  double re = 1.0, im = 0.0;  // phase 0, so the tone starts at zero
  double level = amplitude;
  for (int frame = start; frame < kFrames; ++frame) {
    const int since = frame - start;
    const double ramp = since < attack ? std::sin(0.5 * std::numbers::pi * since / attack) : 1.0;
    out[static_cast<std::size_t>(frame)] += level * ramp * im;
    const double nextRe = re * stepCos - im * stepSin;
    im = re * stepSin + im * stepCos;
    re = nextRe;
    level *= fall;
    if (level < 1e-6) break;
  }
}

// A struck bell: a bright fundamental with harmonics and a faint inharmonic partial
// that gives the metallic edge; higher partials die away sooner.
void addBell(Stereo& sound, double seconds, double frequency, double amplitude, double position) {
  struct Partial {
    double ratio, level, decaySeconds;
  };
  static constexpr Partial kPartials[] = {{1.0, 1.0, 0.55},
                                          {2.0, 0.45, 0.30},
                                          {3.0, 0.20, 0.18},
                                          {2.76, 0.12, 0.12},
                                          {5.4, 0.06, 0.07}};
  const Pan pan(position);
  const int start = frameAt(seconds);
  for (const Partial& p : kPartials) {
    const double level = amplitude * p.level;
    addTone(sound.left, start, frequency * p.ratio, level * pan.left, 0.003, p.decaySeconds);
    addTone(sound.right, start, frequency * p.ratio, level * pan.right, 0.003, p.decaySeconds);
  }
}

// A held chord voice. Each side is detuned a little the other way, so the two sides
// beat against each other: the shimmer, and a wide stereo image.
void addChordVoice(Stereo& sound, double seconds, double frequency, double amplitude,
                   double position) {
  constexpr double kDetune = 0.0018;
  const Pan pan(position);
  const int start = frameAt(seconds);
  const double harmonics[][2] = {{1.0, 1.0}, {2.0, 0.30}, {3.0, 0.10}};
  for (const auto& h : harmonics) {
    const double level = amplitude * h[1];
    addTone(sound.left, start, frequency * h[0] * (1.0 - kDetune), level * pan.left, 0.02, 1.6);
    addTone(sound.right, start, frequency * h[0] * (1.0 + kDetune), level * pan.right, 0.02, 1.6);
  }
}

// Fixed-seed generator, so the sound is the same at every run.
class Lcg {
 public:
  double next() {  // in [0, 1)
    state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<double>(state_ >> 11) / 9007199254740992.0;
  }

 private:
  std::uint64_t state_ = 0x5eed5eed5eedULL;
};

Stereo compose() {
  Stereo sound;
  // The rising arpeggio, C6 E6 G6 C7, sweeping from left to right.
  const double arpeggio[] = {1046.50, 1318.51, 1567.98, 2093.00};
  for (int i = 0; i < 4; ++i) addBell(sound, 0.09 * i, arpeggio[i], 0.30, -0.5 + i / 3.0);

  // The chord opens where the arpeggio ends, with a last strike on top.
  constexpr double kChord = 0.36;
  addBell(sound, kChord, 2093.00, 0.22, 0.0);
  addBell(sound, kChord, 2637.02, 0.12, 0.3);
  const double voices[][2] = {{523.25, -0.6}, {659.26, 0.6},    {783.99, -0.3},
                              {1046.50, 0.3}, {1318.51, -0.15}, {1567.98, 0.15}};
  for (const auto& v : voices) addChordVoice(sound, kChord, v[0], 0.10, v[1]);

  // Sparkle: tiny high pings scattered over the held chord, on notes of the chord.
  const double sparkle[] = {3135.96, 4186.01, 5274.04, 6271.93};
  Lcg random;
  for (int i = 0; i < 28; ++i) {
    const double when = kChord + 0.02 + random.next() * 0.95;
    const double note = sparkle[static_cast<int>(random.next() * 4) % 4];
    const double level = 0.025 + 0.035 * random.next();
    const double position = random.next() * 1.6 - 0.8;
    addTone(sound.left, frameAt(when), note, level * Pan(position).left, 0.002, 0.05);
    addTone(sound.right, frameAt(when), note, level * Pan(position).right, 0.002, 0.05);
  }

  // Gentle fade to exactly zero at the last frame, so the end cannot click.
  const int fadeStart = kFrames - frameAt(0.45);
  for (int frame = fadeStart; frame < kFrames; ++frame) {
    const double t = static_cast<double>(frame - fadeStart) / (kFrames - 1 - fadeStart);
    const double gain = 0.5 * (1.0 + std::cos(std::numbers::pi * t));
    sound.left[static_cast<std::size_t>(frame)] *= gain;
    sound.right[static_cast<std::size_t>(frame)] *= gain;
  }
  return sound;
}

}  // namespace

std::string_view winSound() {
  static const std::string wav = [] {
    const Stereo sound = compose();
    return encodeStereoWav(sound.left, sound.right, kRate, kPeak);
  }();
  return wav;
}

}  // namespace zv
