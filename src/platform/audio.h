#pragma once
// The program's sound output: one looping music track and one-shot sounds held in
// memory. With no sound device the object stays silent and every call is a no-op, so the
// program runs the same without sound. Without an MP3 decoder only the music is off: the
// one-shot sounds are WAV and still play.
#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <utility>

struct Mix_Chunk;
struct _Mix_Music;

namespace zv {

// Opens the default sound device on construction and closes it on destruction. Meant to
// exist once in the program; the device is shared process state.
class Audio {
 public:
  // What loading the MP3 decoder reports, as Mix_Init does: the flags it could load.
  using DecoderLoader = int (*)(int flags);

  // loadDecoders stands in for Mix_Init, for tests that act out a missing decoder.
  explicit Audio(DecoderLoader loadDecoders = nullptr);
  ~Audio();
  Audio(const Audio&) = delete;
  Audio& operator=(const Audio&) = delete;

  // Whether the sound device opened; when false every call below does nothing.
  bool available() const { return open_; }
  // Whether music can play: a device and an MP3 decoder.
  bool musicAvailable() const { return open_ && musicDecoder_; }

  // Ends any music in progress, then plays the MP3 file at path from its beginning,
  // repeated without end. A missing or undecodable file, or no MP3 decoder, leaves the
  // music off.
  void playMusicLoop(const std::string& path);

  // Plays a WAV held in memory once, without waiting. The bytes must stay valid while
  // the object lives: the decoded sound is kept by their address and size, so the same
  // sound played again is not decoded again. Bad bytes play nothing.
  void playOnce(std::string_view wavBytes);

  // Ends the music and every one-shot sound.
  void stopAll();

  bool musicPlaying() const;
  bool anythingPlaying() const;  // music or any one-shot sound
  // How many one-shot sounds have started on a channel so far.
  int oneShotsStarted() const { return oneShotsStarted_; }

 private:
  void freeMusic();

  bool open_ = false;
  bool musicDecoder_ = false;
  int oneShotsStarted_ = 0;
  bool subsystemUp_ = false;  // SDL's audio subsystem, to be released on destruction
  bool mixerUp_ = false;      // Mix_Init succeeded, to be balanced by Mix_Quit
  _Mix_Music* music_ = nullptr;
  std::map<std::pair<const char*, std::size_t>, Mix_Chunk*> chunks_;
};

}  // namespace zv
