#pragma once
// A fresh directory under /tmp (the user's temporary folder on Windows) for one test,
// removed with everything in it. Paths are UTF-8, as the program's are.
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace zv::testing {

class TempDir {
 public:
  TempDir() {
#ifdef _WIN32
    std::error_code error;
    const std::filesystem::path base = std::filesystem::temp_directory_path(error);
    std::random_device random;
    for (int attempt = 0; attempt < 16 && path_.empty() && !error; ++attempt) {
      const std::filesystem::path candidate = base / ("zv-core-" + std::to_string(random()));
      if (std::filesystem::create_directory(candidate, error)) path_ = utf8(candidate);
    }
#else
    std::string pattern = "/tmp/zv-core-XXXXXX";
    if (::mkdtemp(pattern.data())) path_ = pattern;
#endif
  }
  ~TempDir() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(native(path_), ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }

  // The names in the directory, to catch stray temporary files.
  std::vector<std::string> entries() const {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(native(path_)))
      names.push_back(utf8(e.path().filename()));
    return names;
  }

  // A path as the file system library takes it (it reads narrow strings in the ANSI code
  // page on Windows), and back.
  static std::filesystem::path native(const std::string& utf8Path) {
    return std::filesystem::path(std::u8string(utf8Path.begin(), utf8Path.end()));
  }
  static std::string utf8(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
  }

 private:
  std::string path_;
};

}  // namespace zv::testing
