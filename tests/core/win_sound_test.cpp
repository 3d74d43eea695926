#include "resources/win_sound.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "support/sound_bytes.h"

namespace zv {
namespace {

std::uint32_t le(std::string_view bytes, std::size_t at, int size) {
  return test::littleEndian(bytes, at, size);
}

constexpr std::size_t kHeader = 44;
constexpr std::size_t kFrames = 285184 / 4;

// Sample of channel 0 (left) or 1 (right) at a frame, as a fraction of full scale.
double sample(std::string_view wav, std::size_t frame, int channel) {
  const auto raw = static_cast<std::int16_t>(le(wav, kHeader + frame * 4 + channel * 2, 2));
  return raw / 32768.0;
}

TEST(WinSound, IsACompleteStereoPcmWaveFile) {
  const std::string_view wav = winSound();
  ASSERT_EQ(wav.size(), 285228u);
  EXPECT_EQ(wav.substr(0, 4), "RIFF");
  EXPECT_EQ(le(wav, 4, 4), 285220u);
  EXPECT_EQ(wav.substr(8, 4), "WAVE");
  EXPECT_EQ(wav.substr(12, 4), "fmt ");
  EXPECT_EQ(le(wav, 16, 4), 16u);
  EXPECT_EQ(le(wav, 20, 2), 1u);       // PCM
  EXPECT_EQ(le(wav, 22, 2), 2u);       // channels
  EXPECT_EQ(le(wav, 24, 4), 44100u);   // samples a second
  EXPECT_EQ(le(wav, 28, 4), 176400u);  // bytes a second
  EXPECT_EQ(le(wav, 32, 2), 4u);       // block align
  EXPECT_EQ(le(wav, 34, 2), 16u);      // bits a sample
  EXPECT_EQ(wav.substr(36, 4), "data");
  EXPECT_EQ(le(wav, 40, 4), 285184u);
}

TEST(WinSound, IsTheSameBytesAtEveryCall) {
  // The player keys its decoded copy by address, so the address must not change.
  EXPECT_EQ(winSound().data(), winSound().data());
}

TEST(WinSound, StartsAndEndsAtSilenceWithoutClicks) {
  const std::string_view wav = winSound();
  for (int channel = 0; channel < 2; ++channel) {
    EXPECT_NEAR(sample(wav, 0, channel), 0.0, 0.01);
    EXPECT_NEAR(sample(wav, kFrames - 1, channel), 0.0, 0.01);
    // The attack ramps and the fade are gradual: no big jump near either end.
    for (std::size_t frame = 1; frame < 64; ++frame) {
      EXPECT_LT(std::abs(sample(wav, frame, channel) - sample(wav, frame - 1, channel)), 0.05);
      const std::size_t back = kFrames - frame;
      EXPECT_LT(std::abs(sample(wav, back, channel) - sample(wav, back - 1, channel)), 0.01);
    }
  }
}

TEST(WinSound, IsLoudWithoutClipping) {
  const std::string_view wav = winSound();
  double peak = 0.0;
  double firstHalfSecond = 0.0;  // sum of squares
  bool stereo = false;
  for (std::size_t frame = 0; frame < kFrames; ++frame) {
    const double left = sample(wav, frame, 0), right = sample(wav, frame, 1);
    peak = std::max({peak, std::abs(left), std::abs(right)});
    if (frame < 22050) firstHalfSecond += left * left + right * right;
    if (std::abs(left - right) > 0.01) stereo = true;
  }
  EXPECT_GT(peak, 0.3);
  EXPECT_LT(peak, 0.85);
  EXPECT_GT(std::sqrt(firstHalfSecond / (2 * 22050)), 0.05);  // RMS: clearly audible
  EXPECT_TRUE(stereo) << "the two channels are identical";
}

}  // namespace
}  // namespace zv
