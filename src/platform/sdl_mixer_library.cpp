#include "platform/sdl_mixer_library.h"

#include "platform/sdl_mixer_loader.h"

namespace zv {
namespace {

struct Loaded {
  SdlMixerLibrary functions{};
  bool ok = false;
  std::string why;
};

template <typename Function>
bool find(const SdlLibraries& handle, const char* name, Function& slot, std::string& why) {
  slot = reinterpret_cast<Function>(handle.find(name));
  if (!slot && why.empty()) why = std::string("missing function ") + name;
  return slot != nullptr;
}

Loaded load() {
  Loaded loaded;
  const SdlLibraries handle = openSdlLibraries();
  if (!handle.find) {
    loaded.why = handle.why;
    return loaded;
  }
  SdlMixerLibrary& f = loaded.functions;
  std::string& why = loaded.why;
  // Every lookup runs, so the reason names the first missing one.
  const bool all = find(handle, "SDL_SetHint", f.setHint, why) &
                   find(handle, "SDL_InitSubSystem", f.initSubSystem, why) &
                   find(handle, "SDL_QuitSubSystem", f.quitSubSystem, why) &
                   find(handle, "SDL_GetError", f.getError, why) &
                   find(handle, "SDL_RWFromConstMem", f.rwFromConstMem, why) &
                   find(handle, "Mix_Init", f.init, why) & find(handle, "Mix_Quit", f.quit, why) &
                   find(handle, "Mix_OpenAudio", f.openAudio, why) &
                   find(handle, "Mix_CloseAudio", f.closeAudio, why) &
                   find(handle, "Mix_AllocateChannels", f.allocateChannels, why) &
                   find(handle, "Mix_ReserveChannels", f.reserveChannels, why) &
                   find(handle, "Mix_LoadMUS", f.loadMusic, why) &
                   find(handle, "Mix_FreeMusic", f.freeMusic, why) &
                   find(handle, "Mix_PlayMusic", f.playMusic, why) &
                   find(handle, "Mix_HaltMusic", f.haltMusic, why) &
                   find(handle, "Mix_PlayingMusic", f.playingMusic, why) &
                   find(handle, "Mix_LoadWAV_RW", f.loadWav, why) &
                   find(handle, "Mix_FreeChunk", f.freeChunk, why) &
                   find(handle, "Mix_PlayChannelTimed", f.playChannelTimed, why) &
                   find(handle, "Mix_HaltChannel", f.haltChannel, why) &
                   find(handle, "Mix_Playing", f.playing, why);
  loaded.ok = all;  // the handle stays open either way: nothing is unloaded mid-run
  return loaded;
}

}  // namespace

const SdlMixerLibrary* sdlMixerLibrary(std::string* why) {
  static const Loaded loaded = load();
  if (!loaded.ok && why) *why = loaded.why;
  return loaded.ok ? &loaded.functions : nullptr;
}

}  // namespace zv
