#pragma once
// The system's half of sdlMixerLibrary(): opening SDL2_mixer and SDL2 and finding their
// functions by name (dlopen on Linux, LoadLibrary beside the executable on Windows).
#include <functional>
#include <string>

namespace zv {

struct SdlLibraries {
  // The address of a function of SDL2_mixer or SDL2; null when missing. Empty when the
  // libraries could not be opened.
  std::function<void*(const char* name)> find;
  std::string why;  // why they could not be opened
};

// Opens the libraries once; they stay loaded for the process's life.
SdlLibraries openSdlLibraries();

}  // namespace zv
