#include "resources/step_tick.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string_view>

#include "support/sound_bytes.h"

namespace zv {
namespace {

std::uint32_t le(std::string_view bytes, std::size_t at, int size) {
  return test::littleEndian(bytes, at, size);
}

// The tick must be heard (not silent, not a whisper), must be over well inside the default
// 30 ms step, and must start and end at silence so that cutting one short cannot click.
TEST(StepTick, IsAShortAudibleClickThatStartsAndEndsAtSilence) {
  const std::string_view wav = stepTick();
  ASSERT_GT(wav.size(), 44u);
  ASSERT_EQ(wav.substr(0, 4), "RIFF");
  ASSERT_EQ(wav.substr(36, 4), "data");
  EXPECT_EQ(le(wav, 22, 2), 2u);      // channels: the mixer's own layout
  EXPECT_EQ(le(wav, 24, 4), 44100u);  // the device's rate: no resampling per tick
  EXPECT_EQ(le(wav, 34, 2), 16u);
  const std::size_t dataBytes = le(wav, 40, 4);
  ASSERT_EQ(wav.size(), 44 + dataBytes);
  const std::size_t frames = dataBytes / 4;
  const double milliseconds = frames * 1000.0 / 44100;
  EXPECT_GE(milliseconds, 5.0);
  EXPECT_LE(milliseconds, 20.0) << "longer than two thirds of the default step";

  auto sample = [&](std::size_t frame, int channel) {
    return static_cast<std::int16_t>(le(wav, 44 + frame * 4 + channel * 2, 2)) / 32768.0;
  };
  double peak = 0, early = 0;
  for (std::size_t frame = 0; frame < frames; ++frame) {
    peak = std::max(peak, std::abs(sample(frame, 0)));
    if (frame < 44) early = std::max(early, std::abs(sample(frame, 0)));  // the first 1 ms
  }
  EXPECT_GE(peak, 0.3);
  EXPECT_GE(early, 0.1) << "the click must be at its start, where the step is";
  for (int channel = 0; channel < 2; ++channel) {
    EXPECT_NEAR(sample(0, channel), 0.0, 0.01);
    EXPECT_NEAR(sample(frames - 1, channel), 0.0, 0.01);
  }
  EXPECT_EQ(stepTick().data(), wav.data()) << "the player keys its decoded copy by address";
}

}  // namespace
}  // namespace zv
