#pragma once
// How a program folder is laid out for the real program: its settings file and the
// eight sample prize pictures of the build.
#include <string>

#include "platform/files.h"
#include "platform/text_codec.h"

namespace zv::e2e {

// config.a holds GBK text, as the operator's machine writes it.
inline void writeProgramSettings(const std::string& folder, const std::string& utf8) {
  writeWholeFileAtomically(folder + "/config.a", utf8ToGbk(utf8));
}

inline void addSamplePrizePictures(const std::string& folder) {
  const std::string pictures = folder + "/奖品图片";
  makeDirectories(pictures);
  for (int slot = 1; slot <= 8; ++slot) {
    const std::string name = "/" + std::to_string(slot) + ".jpg";
    copyFileOverwriting(std::string(ZV_SAMPLES) + name, pictures + name);
  }
}

}  // namespace zv::e2e
