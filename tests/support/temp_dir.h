#pragma once
// A fresh directory under /tmp for one test, removed with everything in it.
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace zv::testing {

class TempDir {
 public:
  TempDir() {
    std::string pattern = "/tmp/zv-core-XXXXXX";
    if (::mkdtemp(pattern.data())) path_ = pattern;
  }
  ~TempDir() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }

  // The names in the directory, to catch stray temporary files.
  std::vector<std::string> entries() const {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(path_))
      names.push_back(e.path().filename().string());
    return names;
  }

 private:
  std::string path_;
};

}  // namespace zv::testing
