#include "platform/private_folder.h"

#include <utility>

namespace zv {

PrivateFolder::PrivateFolder(PrivateFolder&& other) noexcept
    : path_(std::move(other.path_)), folder_(std::exchange(other.folder_, kNoFolder)) {}

PrivateFolder& PrivateFolder::operator=(PrivateFolder&& other) noexcept {
  if (this != &other) {
    if (folder_ != kNoFolder) closeFolder(folder_);
    path_ = std::move(other.path_);
    folder_ = std::exchange(other.folder_, kNoFolder);
  }
  return *this;
}

PrivateFolder::~PrivateFolder() {
  if (folder_ != kNoFolder) closeFolder(folder_);
}

std::string PrivateFolder::file(std::string_view name) const {
  std::string path = path_;
  if (path.empty() || path.back() != pathSeparator()) path += pathSeparator();
  path.append(name);
  return path;
}

bool PrivateFolder::write(const std::string& name, std::string_view bytes,
                          Durability durability) const {
  return folder_ != kNoFolder && writeFileAtomicallyAt(folder_, name, bytes, durability);
}

}  // namespace zv
