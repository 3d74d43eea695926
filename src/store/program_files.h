#pragma once
// Where the program keeps its files: everything lives beside the executable.
#include <string>

namespace zv {

struct ProgramFiles {
  std::string directory;  // without a trailing separator

  std::string settings() const { return directory + "/config.a"; }
  std::string results() const { return directory + "/jieguo.a"; }
  std::string prizePictureDirectory() const;
  std::string prizePicture(int slot) const;  // slot 1..8
  std::string backgroundPicture() const;
  std::string musicDirectory() const;
  std::string music() const;
};

}  // namespace zv
