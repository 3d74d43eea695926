#include "platform/audio.h"

#include <climits>
#include <cstdio>

#include "platform/sdl_mixer_library.h"

namespace zv {
namespace {

constexpr int kChannels = 2;
constexpr int kMixChannels = 8;  // one-shot sounds that may overlap
// Channel 0 is kept for the step tick: a new tick cuts the one before on it, so ticks never
// queue up behind the picture nor take the channels of other sounds.
constexpr int kTickChannel = 0;
// Bytes are cached by address; a bound keeps callers with changing buffers from
// growing the cache without end.
constexpr std::size_t kMaxCachedSounds = 16;

}  // namespace

Audio::Audio(DecoderLoader loadDecoders) : loadDecoders_(loadDecoders) {}

void Audio::openInBackground() {
  if (openingStarted_) return;
  openingStarted_ = true;
  opener_ = std::thread([this] {
    open();
    const std::lock_guard<std::mutex> lock(openingMutex_);
    if (pendingMusic_) startMusic(*pendingMusic_);
    pendingMusic_.reset();
    openingDone_ = true;
  });
}

void Audio::open() {
  const DecoderLoader loadDecoders = loadDecoders_;
  std::string why;
  sdl_ = sdlMixerLibrary(&why);
  if (!sdl_) {
    std::fprintf(stderr, "Sound off (no SDL2_mixer library): %s\n", why.c_str());
    return;
  }
  const SdlMixerLibrary& sdl = *sdl_;
  const char* failure = nullptr;
  // SDL would otherwise turn SIGINT and SIGTERM into events nobody reads, and the program
  // could then not be ended by a signal.
  sdl.setHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  if (sdl.initSubSystem(SDL_INIT_AUDIO) != 0) {
    failure = "no audio subsystem";
  } else {
    subsystemUp_ = true;
    if (sdl.openAudio(kFrequency, MIX_DEFAULT_FORMAT, kChannels, kBufferFrames) != 0) {
      failure = "no sound device";
    } else {
      open_ = true;
      sdl.allocateChannels(kMixChannels);
      sdl.reserveChannels(kTickChannel + 1);
    }
  }
  if (failure) {
    std::fprintf(stderr, "Sound off (%s): %s\n", failure, sdl.getError());
    if (subsystemUp_) sdl.quitSubSystem(SDL_INIT_AUDIO);
    subsystemUp_ = false;
    return;
  }
  // Mix_Init reports what it could load; MP3 is what the music files are. The win sound
  // is WAV, which needs no decoder, so a missing one silences the music alone.
  const int loaded = loadDecoders ? loadDecoders(MIX_INIT_MP3) : sdl.init(MIX_INIT_MP3);
  mixerUp_ = !loadDecoders && loaded != 0;
  musicDecoder_ = (loaded & MIX_INIT_MP3) != 0;
  if (!musicDecoder_) std::fprintf(stderr, "Music off (no MP3 decoder): %s\n", sdl.getError());
}

void Audio::waitUntilOpened() const {
  // Callers wait from their own thread only, so the thread is not started or joined twice.
  const_cast<Audio*>(this)->openInBackground();
  if (opener_.joinable()) opener_.join();
}

Audio::~Audio() {
  if (openingStarted_) waitUntilOpened();
  if (open_) {
    stopAll();
    freeMusic();
    for (auto& [key, chunk] : chunks_) sdl_->freeChunk(chunk);
    chunks_.clear();
    sdl_->closeAudio();
  }
  if (mixerUp_) sdl_->quit();
  if (subsystemUp_) sdl_->quitSubSystem(SDL_INIT_AUDIO);
}

void Audio::playMusicLoop(const std::string& path) {
  {
    const std::lock_guard<std::mutex> lock(openingMutex_);
    if (!openingDone_) {
      pendingMusic_ = path;
      return;
    }
  }
  waitUntilOpened();  // done already: only the join is left
  startMusic(path);
}

void Audio::startMusic(const std::string& path) {
  if (!open_ || !musicDecoder_) return;
  freeMusic();
  music_ = sdl_->loadMusic(path.c_str());
  if (!music_) return;
  if (sdl_->playMusic(music_, -1) != 0) freeMusic();
}

Mix_Chunk* Audio::decoded(std::string_view wavBytes) {
  if (wavBytes.empty() || wavBytes.size() > static_cast<std::size_t>(INT_MAX)) return nullptr;
  const auto key = std::make_pair(wavBytes.data(), wavBytes.size());
  auto it = chunks_.find(key);
  if (it == chunks_.end()) {
    SDL_RWops* source = sdl_->rwFromConstMem(wavBytes.data(), static_cast<int>(wavBytes.size()));
    if (!source) return nullptr;
    Mix_Chunk* chunk = sdl_->loadWav(source, 1);
    if (!chunk) return nullptr;
    if (chunks_.size() >= kMaxCachedSounds) {
      // Freeing a chunk halts the channels that play it, so nothing reads freed memory.
      for (auto& [oldKey, old] : chunks_) sdl_->freeChunk(old);
      chunks_.clear();
    }
    it = chunks_.emplace(key, chunk).first;
  }
  return it->second;
}

void Audio::playOnce(std::string_view wavBytes) {
  waitUntilOpened();
  if (!open_) return;
  Mix_Chunk* chunk = decoded(wavBytes);
  if (chunk && sdl_->playChannelTimed(-1, chunk, 0, -1) >= 0) ++oneShotsStarted_;
}

void Audio::playTick(std::string_view wavBytes) {
  waitUntilOpened();
  if (!open_) return;
  // Playing on a busy channel replaces what it plays: the mixer picks the new sound up at
  // its next buffer.
  Mix_Chunk* chunk = decoded(wavBytes);
  if (chunk && sdl_->playChannelTimed(kTickChannel, chunk, 0, -1) >= 0) ++ticksStarted_;
}

void Audio::stopAll() {
  waitUntilOpened();
  if (!open_) return;
  sdl_->haltMusic();
  sdl_->haltChannel(-1);
}

bool Audio::musicPlaying() const {
  waitUntilOpened();
  return open_ && sdl_->playingMusic() != 0;
}

int Audio::soundsPlaying() const {
  waitUntilOpened();
  return open_ ? sdl_->playing(-1) : 0;
}

bool Audio::anythingPlaying() const {
  waitUntilOpened();
  return open_ && (sdl_->playingMusic() != 0 || sdl_->playing(-1) > 0);
}

void Audio::freeMusic() {
  if (!music_) return;
  sdl_->haltMusic();
  sdl_->freeMusic(music_);
  music_ = nullptr;
}

}  // namespace zv
