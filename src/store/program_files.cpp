#include "store/program_files.h"

#include "platform/files.h"

namespace zv {

std::string ProgramFiles::prizePictureDirectory() const {
  return joinPath(directory, "\\奖品图片");
}

std::string ProgramFiles::prizePicture(int slot) const {
  return joinPath(directory, "\\奖品图片\\" + std::to_string(slot) + ".jpg");
}

std::string ProgramFiles::backgroundPicture() const { return joinPath(directory, "\\底图.jpg"); }

std::string ProgramFiles::musicDirectory() const { return joinPath(directory, "\\wav"); }

std::string ProgramFiles::music() const { return joinPath(musicDirectory(), "bjyy.mp3"); }

}  // namespace zv
