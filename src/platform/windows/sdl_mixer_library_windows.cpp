#include <windows.h>

#include <string>
#include <string_view>

#include "platform/sdl_mixer_loader.h"

namespace zv {
namespace {

// The folder of the executable, where the program's DLLs lie; never the search path,
// which would take whatever SDL the working directory or PATH offers.
std::wstring besideExecutable(const wchar_t* name) {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return name;
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(path.size() * 2);
  }
  path.resize(path.find_last_of(L"\\/") + 1);
  return path + name;
}

HMODULE loadBesideExecutable(const wchar_t* name, const char* shown, std::string& why) {
  // The altered search path finds the library's own dependencies beside it too.
  const HMODULE module =
      LoadLibraryExW(besideExecutable(name).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  if (!module)
    why = std::string("cannot load ") + shown + " (error " + std::to_string(GetLastError()) + ")";
  return module;
}

}  // namespace

SdlLibraries openSdlLibraries() {
  std::string why;
  const HMODULE sdl = loadBesideExecutable(L"SDL2.dll", "SDL2.dll", why);
  const HMODULE mixer =
      sdl ? loadBesideExecutable(L"SDL2_mixer.dll", "SDL2_mixer.dll", why) : nullptr;
  if (!sdl || !mixer) return {{}, why};
  // Unlike dlsym, GetProcAddress searches one library only: SDL_ functions are SDL2's.
  return {[sdl, mixer](const char* name) {
            const HMODULE module = std::string_view(name).starts_with("SDL_") ? sdl : mixer;
            return reinterpret_cast<void*>(GetProcAddress(module, name));
          },
          {}};
}

}  // namespace zv
