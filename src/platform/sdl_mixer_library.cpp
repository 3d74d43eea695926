#include "platform/sdl_mixer_library.h"

#include <dlfcn.h>

namespace zv {
namespace {

// The runtime names of the Debian packages libsdl2-mixer-2.0-0 and libsdl2-2.0-0.
constexpr const char* kMixerName = "libSDL2_mixer-2.0.so.0";

struct Loaded {
  SdlMixerLibrary functions{};
  bool ok = false;
  std::string why;
};

template <typename Function>
bool find(void* handle, const char* name, Function& slot, std::string& why) {
  // dlsym on the mixer's handle also searches SDL2, which the mixer depends on.
  slot = reinterpret_cast<Function>(dlsym(handle, name));
  if (!slot && why.empty()) why = std::string("missing function ") + name;
  return slot != nullptr;
}

Loaded load() {
  Loaded loaded;
  void* handle = dlopen(kMixerName, RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    const char* error = dlerror();
    loaded.why = error ? error : kMixerName;
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
