// Composes the three built-in fireworks movies and writes their bytes into a C++ source.
//
//   movie_generator <output.cpp>
//
// Each show opens with shells already bursting, because the overlay is up for only 3.5 s
// and the audience looks at the wheel the moment the draw stops.
#include <cstdio>
#include <string>
#include <vector>

#include "host/logic/movie.h"

namespace {

using zv::movie::Burst;
using zv::movie::Colour;
using zv::movie::Movie;
using zv::movie::Pattern;

constexpr Colour kRed{255, 56, 48}, kGold{255, 196, 72}, kGreen{72, 255, 120}, kBlue{80, 150, 255},
    kPurple{196, 96, 255}, kPink{255, 110, 196}, kCyan{80, 236, 255}, kWhite{255, 250, 236},
    kOrange{255, 136, 32}, kSilver{220, 228, 255};

// The character of each pattern, in seconds and stage pixels; shells scale it.
struct Style {
  int particles;
  float speed, drag, gravity, life, trail, size;
  int sparkle;
};

Style styleOf(Pattern pattern) {
  switch (pattern) {
    case Pattern::kSphere:
      return {90, 230, 2.2f, 55, 1.3f, 0.12f, 1.6f, 24};
    case Pattern::kRing:
      return {64, 215, 2.0f, 40, 1.1f, 0.10f, 1.6f, 0};
    case Pattern::kWillow:
      return {110, 175, 1.7f, 72, 2.1f, 0.45f, 1.2f, 70};
    case Pattern::kPalm:
      return {80, 215, 1.8f, 80, 1.5f, 0.24f, 2.2f, 20};
    case Pattern::kCrossette:
      return {70, 205, 1.5f, 50, 1.4f, 0.12f, 1.7f, 0};
    case Pattern::kChrysanthemum:
      return {120, 240, 2.3f, 50, 1.5f, 0.30f, 1.3f, 90};
    case Pattern::kHeart:
      return {72, 150, 1.8f, 22, 1.3f, 0.06f, 1.8f, 30};
    case Pattern::kGlitter:
      return {130, 220, 2.4f, 45, 1.6f, 0.04f, 1.6f, 110};
  }
  return {};
}

class Show {
 public:
  // lifeScale shortens (below 1) every star's life, for the short shows.
  Show(int width, int height, int fps, int frames, double lifeScale = 1) : lifeScale_(lifeScale) {
    movie_.width = static_cast<std::uint16_t>(width);
    movie_.height = static_cast<std::uint16_t>(height);
    movie_.frameRate = static_cast<std::uint16_t>(fps);
    movie_.frameCount = static_cast<std::uint16_t>(frames);
    movie_.background = {0, 0, 0};
  }

  // A shell launched at `at` seconds from the ground below its burst point, bursting
  // `rise` seconds later (0: it is already up) at (x, y). scale sizes the burst.
  Show& shell(double at, double rise, float x, float y, Pattern pattern, Colour primary,
              Colour secondary, float scale = 1, float drift = 0) {
    const Style style = styleOf(pattern);
    const double fps = movie_.frameRate;
    Burst b;
    b.launchFrame = static_cast<std::uint16_t>(at * fps + 0.5);
    b.riseFrames = static_cast<std::uint16_t>(rise * fps + 0.5);
    b.launchX = x - drift;
    b.launchY = static_cast<float>(movie_.height) + 4;
    b.x = x;
    b.y = y;
    b.pattern = pattern;
    b.sparkle = static_cast<std::uint8_t>(style.sparkle);
    b.particles = static_cast<std::uint16_t>(style.particles * (0.6f + 0.4f * scale));
    b.primary = primary;
    b.secondary = secondary;
    b.speed = style.speed * scale * 1.3f;
    b.gravity = style.gravity;
    b.drag = style.drag;
    b.lifeFrames =
        static_cast<std::uint16_t>(style.life * lifeScale_ * fps * (0.8 + 0.2 * scale) + 0.5);
    b.trail = style.trail;
    b.size = style.size * (0.75f + 0.25f * scale);
    b.seed =
        0x5EED0000u + static_cast<std::uint32_t>(movie_.bursts.size()) * 7919u + movie_.frameRate;
    movie_.bursts.push_back(b);
    return *this;
  }

  // The last frame at which anything of the show still burns.
  static int lastBurningFrame(const Movie& movie) {
    int last = 0;
    for (const Burst& b : movie.bursts) {
      const int end = b.launchFrame + b.riseFrames + b.lifeFrames * 115 / 100;
      if (end > last) last = end;
    }
    return last;
  }

  const Movie& movie() const { return movie_; }

 private:
  Movie movie_;
  double lifeScale_;
};

// Effect movie 4: a long, stately show; the overlay shows its first 3.5 s.
Movie movie4() {
  Show s(550, 400, 12, 91);
  s.shell(0.0, 0.0, 170, 140, Pattern::kSphere, kRed, kGold, 1.1f)
      .shell(0.0, 0.34, 390, 120, Pattern::kChrysanthemum, kGold, kWhite, 1.0f, 20)
      .shell(0.17, 0.34, 275, 95, Pattern::kRing, kCyan, kBlue, 1.0f)
      .shell(0.5, 0.42, 110, 200, Pattern::kPalm, kGold, kOrange, 0.9f, -15)
      .shell(0.67, 0.42, 450, 210, Pattern::kSphere, kGreen, kWhite, 0.9f)
      .shell(0.92, 0.5, 290, 150, Pattern::kWillow, kGold, kGold, 1.3f)
      .shell(1.25, 0.34, 160, 110, Pattern::kCrossette, kWhite, kPink, 1.0f, 25)
      .shell(1.42, 0.34, 420, 95, Pattern::kGlitter, kSilver, kGold, 1.0f)
      .shell(1.75, 0.42, 220, 170, Pattern::kHeart, kPink, kRed, 1.0f)
      .shell(1.92, 0.42, 360, 180, Pattern::kSphere, kPurple, kBlue, 1.0f)
      .shell(2.25, 0.42, 470, 130, Pattern::kPalm, kGreen, kGold, 1.0f)
      .shell(2.42, 0.42, 90, 120, Pattern::kRing, kGold, kRed, 0.9f)
      .shell(2.75, 0.5, 280, 110, Pattern::kChrysanthemum, kBlue, kCyan, 1.2f)
      .shell(3.0, 0.34, 150, 180, Pattern::kSphere, kOrange, kGold, 1.0f)
      .shell(3.1, 0.34, 420, 170, Pattern::kCrossette, kGold, kGreen, 1.0f)
      // The rest of the show, for anyone who plays it to the end.
      .shell(3.6, 0.42, 270, 130, Pattern::kWillow, kGold, kGold, 1.3f)
      .shell(4.0, 0.42, 130, 150, Pattern::kGlitter, kWhite, kSilver, 1.0f)
      .shell(4.3, 0.42, 430, 120, Pattern::kSphere, kRed, kWhite, 1.1f)
      .shell(4.8, 0.42, 300, 170, Pattern::kRing, kPurple, kPink, 1.0f)
      .shell(5.1, 0.42, 180, 110, Pattern::kPalm, kOrange, kGold, 1.0f)
      .shell(5.4, 0.42, 400, 160, Pattern::kHeart, kRed, kPink, 1.0f)
      .shell(5.9, 0.34, 275, 110, Pattern::kChrysanthemum, kGold, kRed, 1.3f);
  return s.movie();
}

// Effect movie 5: a quick, bright volley at a fluid frame rate.
Movie movie5() {
  Show s(550, 400, 36, 60, 0.6);
  s.shell(0.0, 0.0, 275, 150, Pattern::kGlitter, kGold, kWhite, 1.4f)
      .shell(0.0, 0.2, 130, 120, Pattern::kSphere, kBlue, kCyan, 1.2f, 30)
      .shell(0.05, 0.2, 420, 120, Pattern::kSphere, kPink, kPurple, 1.2f, -30)
      .shell(0.25, 0.2, 185, 250, Pattern::kRing, kGreen, kGold, 1.1f)
      .shell(0.3, 0.2, 365, 250, Pattern::kRing, kRed, kGold, 1.1f)
      .shell(0.5, 0.0, 275, 115, Pattern::kCrossette, kWhite, kRed, 1.1f)
      .shell(0.45, 0.2, 110, 210, Pattern::kSphere, kGold, kRed, 1.0f, 20)
      .shell(0.5, 0.2, 440, 210, Pattern::kSphere, kCyan, kGreen, 1.0f, -20)
      .shell(0.75, 0.0, 275, 230, Pattern::kHeart, kPink, kRed, 0.8f);
  return s.movie();
}

// Effect movie 6: a square stage with a heart at its centre, framed by bursts.
Movie movie6() {
  Show s(400, 400, 20, 35, 0.7);
  s.shell(0.0, 0.0, 200, 175, Pattern::kHeart, kRed, kPink, 1.5f)
      .shell(0.0, 0.25, 95, 105, Pattern::kSphere, kGold, kOrange, 1.1f, 20)
      .shell(0.05, 0.25, 305, 105, Pattern::kSphere, kGreen, kCyan, 1.1f, -20)
      .shell(0.25, 0.2, 105, 275, Pattern::kPalm, kGold, kWhite, 1.0f)
      .shell(0.3, 0.2, 295, 275, Pattern::kRing, kPurple, kBlue, 1.1f)
      .shell(0.45, 0.0, 200, 110, Pattern::kChrysanthemum, kGold, kWhite, 1.0f)
      .shell(0.4, 0.0, 200, 290, Pattern::kGlitter, kSilver, kGold, 0.8f);
  return s.movie();
}

std::string arrayOf(const char* name, const std::string& bytes) {
  std::string out = "const unsigned char " + std::string(name) + "[] = {";
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (i % 20 == 0) out += "\n   ";
    out += " " + std::to_string(static_cast<unsigned char>(bytes[i])) + ",";
  }
  return out + "\n};\n";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: movie_generator <output.cpp>\n");
    return 2;
  }
  const std::vector<Movie> shows = {movie4(), movie5(), movie6()};
  std::string source =
      "// Written by movie_generator; do not edit.\n"
      "#include \"resources/effect_movie_blobs.h\"\n\n"
      "namespace zv::artwork::detail {\n\n";
  for (std::size_t i = 0; i < shows.size(); ++i) {
    const std::string bytes = zv::movie::write(shows[i]);
    if (bytes.empty() || !zv::movie::read(bytes)) {
      std::fprintf(stderr, "movie_generator: effect movie %zu is not valid\n", i + 4);
      return 1;
    }
    // The short shows loop while the overlay is up, so they must burn out before their end.
    if (i > 0 && Show::lastBurningFrame(shows[i]) >= shows[i].frameCount) {
      std::fprintf(stderr, "movie_generator: effect movie %zu still burns at its end\n", i + 4);
      return 1;
    }
    source += arrayOf(("kMovie" + std::to_string(i + 4)).c_str(), bytes);
  }
  source += "\nconst MovieBlob kEffectMovies[3] = {\n";
  for (int n = 4; n <= 6; ++n)
    source += "    {kMovie" + std::to_string(n) + ", sizeof kMovie" + std::to_string(n) + "},\n";
  source += "};\n\n}  // namespace zv::artwork::detail\n";

  std::FILE* file = std::fopen(argv[1], "wb");
  if (!file) {
    std::fprintf(stderr, "movie_generator: cannot create %s\n", argv[1]);
    return 1;
  }
  const bool written = std::fwrite(source.data(), 1, source.size(), file) == source.size();
  return std::fclose(file) == 0 && written ? 0 : 1;
}
