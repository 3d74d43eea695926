#pragma once
// SDL2_mixer and SDL2, loaded when the sound is first opened rather than by the dynamic
// loader at start: the two pull in about fifty libraries (decoders, sound servers,
// Wayland), which cost the stage about twenty milliseconds before main. Only the
// functions the program calls are looked up.
#include <SDL.h>
#include <SDL_mixer.h>

#include <string>

namespace zv {

struct SdlMixerLibrary {
  decltype(&::SDL_SetHint) setHint;
  decltype(&::SDL_InitSubSystem) initSubSystem;
  decltype(&::SDL_QuitSubSystem) quitSubSystem;
  decltype(&::SDL_GetError) getError;
  decltype(&::SDL_RWFromConstMem) rwFromConstMem;
  decltype(&::Mix_Init) init;
  decltype(&::Mix_Quit) quit;
  decltype(&::Mix_OpenAudio) openAudio;
  decltype(&::Mix_CloseAudio) closeAudio;
  decltype(&::Mix_AllocateChannels) allocateChannels;
  decltype(&::Mix_ReserveChannels) reserveChannels;
  decltype(&::Mix_LoadMUS) loadMusic;
  decltype(&::Mix_FreeMusic) freeMusic;
  decltype(&::Mix_PlayMusic) playMusic;
  decltype(&::Mix_HaltMusic) haltMusic;
  decltype(&::Mix_PlayingMusic) playingMusic;
  decltype(&::Mix_LoadWAV_RW) loadWav;
  decltype(&::Mix_FreeChunk) freeChunk;
  decltype(&::Mix_PlayChannelTimed) playChannelTimed;
  decltype(&::Mix_HaltChannel) haltChannel;
  decltype(&::Mix_Playing) playing;
};

// The library, loaded on the first call (safe from any thread) and kept for the
// process's life; null when it or one of the functions is missing, with the reason in
// *why.
const SdlMixerLibrary* sdlMixerLibrary(std::string* why = nullptr);

}  // namespace zv
