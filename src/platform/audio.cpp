#include "platform/audio.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <climits>
#include <cstdio>

namespace zv {
namespace {

constexpr int kFrequency = 44100;
constexpr int kChannels = 2;
constexpr int kBufferFrames = 1024;  // about 23 ms: short enough for a sound on a landing
constexpr int kMixChannels = 8;      // one-shot sounds that may overlap
// Bytes are cached by address; a bound keeps callers with changing buffers from
// growing the cache without end.
constexpr std::size_t kMaxCachedSounds = 16;

}  // namespace

Audio::Audio(DecoderLoader loadDecoders) {
  const char* failure = nullptr;
  // SDL would otherwise turn SIGINT and SIGTERM into events nobody reads, and the program
  // could then not be ended by a signal.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    failure = "no audio subsystem";
  } else {
    subsystemUp_ = true;
    if (Mix_OpenAudio(kFrequency, MIX_DEFAULT_FORMAT, kChannels, kBufferFrames) != 0) {
      failure = "no sound device";
    } else {
      open_ = true;
      Mix_AllocateChannels(kMixChannels);
    }
  }
  if (failure) {
    std::fprintf(stderr, "Sound off (%s): %s\n", failure, SDL_GetError());
    if (subsystemUp_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    subsystemUp_ = false;
    return;
  }
  // Mix_Init reports what it could load; MP3 is what the music files are. The win sound
  // is WAV, which needs no decoder, so a missing one silences the music alone.
  const int loaded = loadDecoders ? loadDecoders(MIX_INIT_MP3) : Mix_Init(MIX_INIT_MP3);
  mixerUp_ = !loadDecoders && loaded != 0;
  musicDecoder_ = (loaded & MIX_INIT_MP3) != 0;
  if (!musicDecoder_) std::fprintf(stderr, "Music off (no MP3 decoder): %s\n", SDL_GetError());
}

Audio::~Audio() {
  if (open_) {
    stopAll();
    freeMusic();
    for (auto& [key, chunk] : chunks_) Mix_FreeChunk(chunk);
    chunks_.clear();
    Mix_CloseAudio();
  }
  if (mixerUp_) Mix_Quit();
  if (subsystemUp_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void Audio::playMusicLoop(const std::string& path) {
  if (!musicAvailable()) return;
  freeMusic();
  music_ = Mix_LoadMUS(path.c_str());
  if (!music_) return;
  if (Mix_PlayMusic(music_, -1) != 0) freeMusic();
}

void Audio::playOnce(std::string_view wavBytes) {
  if (!open_ || wavBytes.empty() || wavBytes.size() > static_cast<std::size_t>(INT_MAX)) return;
  const auto key = std::make_pair(wavBytes.data(), wavBytes.size());
  auto it = chunks_.find(key);
  if (it == chunks_.end()) {
    SDL_RWops* source = SDL_RWFromConstMem(wavBytes.data(), static_cast<int>(wavBytes.size()));
    if (!source) return;
    Mix_Chunk* chunk = Mix_LoadWAV_RW(source, 1);
    if (!chunk) return;
    if (chunks_.size() >= kMaxCachedSounds) {
      // Freeing a chunk halts the channels that play it, so nothing reads freed memory.
      for (auto& [oldKey, old] : chunks_) Mix_FreeChunk(old);
      chunks_.clear();
    }
    it = chunks_.emplace(key, chunk).first;
  }
  if (Mix_PlayChannel(-1, it->second, 0) >= 0) ++oneShotsStarted_;
}

void Audio::stopAll() {
  if (!open_) return;
  Mix_HaltMusic();
  Mix_HaltChannel(-1);
}

bool Audio::musicPlaying() const { return open_ && Mix_PlayingMusic() != 0; }

bool Audio::anythingPlaying() const {
  return open_ && (Mix_PlayingMusic() != 0 || Mix_Playing(-1) > 0);
}

void Audio::freeMusic() {
  if (!music_) return;
  Mix_HaltMusic();
  Mix_FreeMusic(music_);
  music_ = nullptr;
}

}  // namespace zv
