#pragma once
// The program's sound output: one looping music track and one-shot sounds held in
// memory. With no sound device the object stays silent and every call is a no-op, so the
// program runs the same without sound. Without an MP3 decoder only the music is off: the
// one-shot sounds are WAV and still play.
//
// The sound library is loaded and the device opened on a thread of their own, started by
// openInBackground() (once the stage is on screen) or by the first call that needs the
// device. Music asked for before then starts as soon as the device is open; every other
// call waits for the opening to end.
#include <cstddef>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <utility>

struct Mix_Chunk;
struct _Mix_Music;

namespace zv {

struct SdlMixerLibrary;

// Opens the default sound device on construction and closes it on destruction. Meant to
// exist once in the program; the device is shared process state.
class Audio {
 public:
  static constexpr int kFrequency = 44100;
  // 256 frames, 5.8 ms: a step's tick starts within one buffer of its step. Mixing one
  // buffer of MP3 music and a few sounds takes the audio thread a small fraction of that
  // (measured in the tick benchmark), so the headroom against underruns stays wide;
  // smaller still would leave the sound at the mercy of the scheduler's wake-up latency on
  // a loaded machine, and 5.8 ms is already below what the eye can pair with a step.
  static constexpr int kBufferFrames = 256;

  // What loading the MP3 decoder reports, as Mix_Init does: the flags it could load.
  using DecoderLoader = int (*)(int flags);

  // loadDecoders stands in for Mix_Init, for tests that act out a missing decoder.
  explicit Audio(DecoderLoader loadDecoders = nullptr);
  ~Audio();
  Audio(const Audio&) = delete;
  Audio& operator=(const Audio&) = delete;

  // Starts opening the device, unless it is open or opening already.
  void openInBackground();

  // Whether the sound device opened; when false every call below does nothing.
  bool available() const {
    waitUntilOpened();
    return open_;
  }
  // Whether music can play: a device and an MP3 decoder.
  bool musicAvailable() const {
    waitUntilOpened();
    return open_ && musicDecoder_;
  }

  // Ends any music in progress, then plays the MP3 file at path from its beginning,
  // repeated without end. A missing or undecodable file, or no MP3 decoder, leaves the
  // music off. Does not wait for the device: asked before it is open, the music starts
  // when it is (the last asked wins).
  void playMusicLoop(const std::string& path);

  // Plays a WAV held in memory once, without waiting. The bytes must stay valid while
  // the object lives: the decoded sound is kept by their address and size, so the same
  // sound played again is not decoded again. Bad bytes play nothing.
  void playOnce(std::string_view wavBytes);

  // Plays a short WAV held in memory (as playOnce) on the channel kept for it, cutting
  // short the one it played before: sounds that mark steps, which must come with their
  // step however fast the steps come.
  void playTick(std::string_view wavBytes);

  // Ends the music and every one-shot sound.
  void stopAll();

  bool musicPlaying() const;
  bool anythingPlaying() const;  // music or any one-shot sound
  // How many one-shot sounds are playing now, ticks included.
  int soundsPlaying() const;
  // How many one-shot sounds (ticks) have started on a channel so far.
  int oneShotsStarted() const { return oneShotsStarted_; }
  int ticksStarted() const { return ticksStarted_; }

 private:
  void open();  // on the opening thread
  void waitUntilOpened() const;
  void startMusic(const std::string& path);
  // The sound decoded from the bytes, kept by their address; null for bad bytes.
  Mix_Chunk* decoded(std::string_view wavBytes);
  void freeMusic();

  // Written by the opening thread before it ends; read by callers after the join.
  const SdlMixerLibrary* sdl_ = nullptr;
  bool open_ = false;
  bool musicDecoder_ = false;
  int oneShotsStarted_ = 0;
  int ticksStarted_ = 0;
  bool subsystemUp_ = false;  // SDL's audio subsystem, to be released on destruction
  bool mixerUp_ = false;      // Mix_Init succeeded, to be balanced by Mix_Quit
  _Mix_Music* music_ = nullptr;
  std::map<std::pair<const char*, std::size_t>, Mix_Chunk*> chunks_;

  std::mutex openingMutex_;  // guards the two below between the caller and the opener
  bool openingDone_ = false;
  std::optional<std::string> pendingMusic_;
  DecoderLoader loadDecoders_;
  mutable bool openingStarted_ = false;  // the caller's own
  mutable std::thread opener_;
};

}  // namespace zv
