#include "platform/audio.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

#include "resources/step_tick.h"
#include "resources/win_sound.h"
#include "support/environment.h"
#include "support/temp_dir.h"

namespace zv {
namespace {

using namespace std::chrono_literals;
using zv::testing::TempDir;

// The dummy driver consumes sound in real time without a device, so playing and ending
// can be observed on any machine.
class AudioTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const char* driver = std::getenv("SDL_AUDIODRIVER")) savedDriver_ = driver;
    zv::testing::setEnvironment("SDL_AUDIODRIVER", "dummy");
  }
  void TearDown() override {
    if (savedDriver_.empty()) {
      zv::testing::unsetEnvironment("SDL_AUDIODRIVER");
    } else {
      zv::testing::setEnvironment("SDL_AUDIODRIVER", savedDriver_.c_str());
    }
  }

  void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary).write(bytes.data(), std::ssize(bytes));
  }

  TempDir dir_;
  std::string savedDriver_;
};

// Silent MPEG-1 Layer III: 32 kbit/s, 44.1 kHz mono frames (104 bytes, 1152 samples,
// 26 ms each) whose side information is all zero, which every decoder plays as silence.
std::string silentMp3(int frames) {
  std::string frame(104, '\0');
  frame[0] = static_cast<char>(0xFF);
  frame[1] = static_cast<char>(0xFB);  // MPEG-1, Layer III, no CRC
  frame[2] = static_cast<char>(0x10);  // 32 kbit/s, 44.1 kHz, no padding
  frame[3] = static_cast<char>(0xC0);  // mono
  std::string mp3;
  for (int i = 0; i < frames; ++i) mp3 += frame;
  return mp3;
}

// Polls until nothing plays or the time runs out; returns how long it took.
std::chrono::milliseconds waitUntilQuiet(const Audio& audio, std::chrono::milliseconds limit) {
  const auto start = std::chrono::steady_clock::now();
  while (audio.anythingPlaying() && std::chrono::steady_clock::now() - start < limit)
    std::this_thread::sleep_for(20ms);
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                               start);
}

TEST_F(AudioTest, WinSoundPlaysUntilStopped) {
  Audio audio;
  ASSERT_TRUE(audio.available());
  EXPECT_TRUE(audio.musicAvailable());
  EXPECT_FALSE(audio.anythingPlaying());
  audio.playOnce(winSound());
  EXPECT_TRUE(audio.anythingPlaying());
  EXPECT_EQ(audio.oneShotsStarted(), 1);
  EXPECT_FALSE(audio.musicPlaying());
  audio.stopAll();
  EXPECT_FALSE(audio.anythingPlaying());
  // Played again from the decoded copy.
  audio.playOnce(winSound());
  EXPECT_TRUE(audio.anythingPlaying());
}

TEST_F(AudioTest, TicksFasterThanTheyLastCutEachOtherAndLeaveTheWinSoundAlone) {
  Audio audio;
  ASSERT_TRUE(audio.available());
  audio.playOnce(winSound());
  // Steps every 5 ms, a third of a tick's length: each tick replaces the one before
  // instead of piling up on the free channels (which would queue them behind the picture
  // once the channels run out, and cut the win sound).
  for (int step = 0; step < 40; ++step) {
    audio.playTick(stepTick());
    EXPECT_LE(audio.soundsPlaying(), 2) << "step " << step;
    std::this_thread::sleep_for(5ms);
  }
  EXPECT_EQ(audio.ticksStarted(), 40);
  EXPECT_EQ(audio.oneShotsStarted(), 1);
  EXPECT_EQ(audio.soundsPlaying(), 2) << "the win sound and the last tick";
  // The tick ends by itself, long before the win sound.
  std::this_thread::sleep_for(200ms);
  EXPECT_EQ(audio.soundsPlaying(), 1);
}

TEST_F(AudioTest, WithoutAnMp3DecoderOnlyTheMusicIsOff) {
  const std::string path = dir_.file("loop.mp3");
  writeFile(path, silentMp3(12));
  Audio audio([](int) { return 0; });  // the decoder library is missing
  ASSERT_TRUE(audio.available());
  EXPECT_FALSE(audio.musicAvailable());
  audio.playMusicLoop(path);
  EXPECT_FALSE(audio.musicPlaying());
  EXPECT_FALSE(audio.anythingPlaying());
  audio.playOnce(winSound());
  EXPECT_EQ(audio.oneShotsStarted(), 1);
  EXPECT_TRUE(audio.anythingPlaying());
  EXPECT_FALSE(audio.musicPlaying());
}

TEST_F(AudioTest, WinSoundPlaysOnceAndEndsByItself) {
  Audio audio;
  audio.playOnce(winSound());
  const auto took = waitUntilQuiet(audio, 4000ms);
  EXPECT_FALSE(audio.anythingPlaying());
  EXPECT_GE(took, 1300ms) << "ended well before its 1.6 s";
}

TEST_F(AudioTest, MusicLoopsPastItsOwnLength) {
  const std::string path = dir_.file("loop.mp3");
  writeFile(path, silentMp3(12));  // about 0.31 s
  Audio audio;
  audio.playMusicLoop(path);
  ASSERT_TRUE(audio.musicPlaying());
  std::this_thread::sleep_for(1000ms);
  EXPECT_TRUE(audio.musicPlaying());
  audio.stopAll();
  EXPECT_FALSE(audio.anythingPlaying());
}

TEST_F(AudioTest, NewMusicReplacesTheOldEvenWhenItCannotPlay) {
  const std::string path = dir_.file("loop.mp3");
  writeFile(path, silentMp3(12));
  Audio audio;
  audio.playMusicLoop(path);
  ASSERT_TRUE(audio.musicPlaying());
  audio.playMusicLoop(dir_.file("missing.mp3"));
  EXPECT_FALSE(audio.musicPlaying());
  audio.playMusicLoop(path);
  EXPECT_TRUE(audio.musicPlaying());
}

// The device opens on a thread of its own; music asked for before it is open must still
// start, and the last of several asks is the one that plays.
TEST_F(AudioTest, MusicAskedWhileTheDeviceOpensPlaysTheLastAsked) {
  const std::string path = dir_.file("loop.mp3");
  writeFile(path, silentMp3(12));
  {
    Audio audio;
    audio.playMusicLoop(dir_.file("missing.mp3"));
    audio.playMusicLoop(path);
    EXPECT_TRUE(audio.musicPlaying());
  }
  Audio audio;
  audio.playMusicLoop(path);
  audio.playMusicLoop(dir_.file("missing.mp3"));
  EXPECT_FALSE(audio.musicPlaying());
}

TEST_F(AudioTest, UnplayableMusicPlaysNothing) {
  std::string garbage;
  for (int i = 0; i < 5000; ++i) garbage.push_back(static_cast<char>((i * 7919 + 13) % 251));
  writeFile(dir_.file("garbage.mp3"), garbage);
  writeFile(dir_.file("empty.mp3"), "");
  Audio audio;
  for (const char* name : {"missing.mp3", "garbage.mp3", "empty.mp3"}) {
    audio.playMusicLoop(dir_.file(name));
    std::this_thread::sleep_for(100ms);
    EXPECT_FALSE(audio.musicPlaying()) << name;
  }
}

TEST_F(AudioTest, BadSoundBytesPlayNothing) {
  Audio audio;
  const std::string garbage(4000, 'x');
  audio.playOnce(garbage);
  audio.playOnce(winSound().substr(0, 40));  // a header cut short
  audio.playOnce({});
  EXPECT_FALSE(audio.anythingPlaying());
  EXPECT_EQ(audio.oneShotsStarted(), 0);
}

TEST_F(AudioTest, WithoutADeviceEveryCallIsHarmless) {
  zv::testing::setEnvironment("SDL_AUDIODRIVER", "nosuchdriver");
  const std::string path = dir_.file("loop.mp3");
  writeFile(path, silentMp3(12));
  Audio audio;
  EXPECT_FALSE(audio.available());
  audio.playMusicLoop(path);
  audio.playOnce(winSound());
  EXPECT_FALSE(audio.musicPlaying());
  EXPECT_FALSE(audio.anythingPlaying());
  EXPECT_EQ(audio.oneShotsStarted(), 0);
  audio.stopAll();
}

TEST_F(AudioTest, OpensAgainAfterAFailedAttempt) {
  // A failed start must release what it took, or the next device could not open.
  zv::testing::setEnvironment("SDL_AUDIODRIVER", "nosuchdriver");
  { Audio silent; }
  zv::testing::setEnvironment("SDL_AUDIODRIVER", "dummy");
  Audio audio;
  EXPECT_TRUE(audio.available());
  audio.playOnce(winSound());
  EXPECT_TRUE(audio.anythingPlaying());
}

}  // namespace
}  // namespace zv
