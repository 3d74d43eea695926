#pragma once
// The program's sound output: one looping music track and one-shot sounds held in
// memory. With no sound device (or no MP3 decoder) the object stays silent and every call
// is a no-op, so the program runs the same without sound.
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
  Audio();
  ~Audio();
  Audio(const Audio&) = delete;
  Audio& operator=(const Audio&) = delete;

  // Whether the sound device opened; when false every call below does nothing.
  bool available() const { return open_; }

  // Ends any music in progress, then plays the MP3 file at path from its beginning,
  // repeated without end. A missing or undecodable file leaves the music off.
  void playMusicLoop(const std::string& path);

  // Plays a WAV held in memory once, without waiting. The bytes must stay valid while
  // the object lives: the decoded sound is kept by their address and size, so the same
  // sound played again is not decoded again. Bad bytes play nothing.
  void playOnce(std::string_view wavBytes);

  // Ends the music and every one-shot sound.
  void stopAll();

  bool musicPlaying() const;
  bool anythingPlaying() const;  // music or any one-shot sound

 private:
  void freeMusic();

  bool open_ = false;
  bool subsystemUp_ = false;  // SDL's audio subsystem, to be released on destruction
  bool mixerUp_ = false;      // Mix_Init succeeded, to be balanced by Mix_Quit
  _Mix_Music* music_ = nullptr;
  std::map<std::pair<const char*, std::size_t>, Mix_Chunk*> chunks_;
};

}  // namespace zv
