#include "platform/font_library_warm_up.h"

#include <dlfcn.h>

#include <system_error>

namespace zv {
namespace {

// The runtime name of fontconfig, which the toolkit links on Linux.
constexpr const char* kFontConfigName = "libfontconfig.so.1";

void loadFontConfiguration() {
  // RTLD_NOLOAD: only a library the program has loaded already; the reference taken is
  // given back after the call.
  void* handle = dlopen(kFontConfigName, RTLD_LAZY | RTLD_NOLOAD);
  if (!handle) return;
  using Init = int (*)();
  if (const auto init = reinterpret_cast<Init>(dlsym(handle, "FcInit"))) init();
  dlclose(handle);
}

}  // namespace

FontLibraryWarmUp::FontLibraryWarmUp() {
  try {
    loader_ = std::thread(loadFontConfiguration);
  } catch (const std::system_error&) {
    // No thread to spare: the toolkit loads the configuration when it needs it.
  }
}

FontLibraryWarmUp::~FontLibraryWarmUp() { wait(); }

void FontLibraryWarmUp::wait() {
  if (loader_.joinable()) loader_.join();
}

}  // namespace zv
