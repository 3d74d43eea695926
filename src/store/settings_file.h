#pragma once
// The settings file, read at the moment a value is needed and written at the moment it
// changes: there is no cache.
#include <string>
#include <string_view>

namespace zv {

class SettingsFile {
 public:
  explicit SettingsFile(std::string path) : path_(std::move(path)) {}

  const std::string& path() const { return path_; }
  std::string read(std::string_view section, std::string_view key) const;
  std::string general(std::string_view key) const;  // section zbt
  // `fallback` only when the key is absent; a key stored empty reads as empty.
  std::string general(std::string_view key, std::string_view fallback) const;
  bool writeGeneral(std::string_view key, std::string_view value) const;
  bool write(std::string_view section, std::string_view key, std::string_view value) const;

 private:
  std::string path_;
};

}  // namespace zv
