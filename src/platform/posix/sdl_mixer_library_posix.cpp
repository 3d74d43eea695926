#include <dlfcn.h>

#include "platform/sdl_mixer_loader.h"

namespace zv {
namespace {

// The runtime names of the Debian packages libsdl2-mixer-2.0-0 and libsdl2-2.0-0.
constexpr const char* kMixerName = "libSDL2_mixer-2.0.so.0";

}  // namespace

SdlLibraries openSdlLibraries() {
  void* handle = dlopen(kMixerName, RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    const char* error = dlerror();
    return {{}, error ? error : kMixerName};
  }
  // dlsym on the mixer's handle also searches SDL2, which the mixer depends on.
  return {[handle](const char* name) { return dlsym(handle, name); }, {}};
}

}  // namespace zv
