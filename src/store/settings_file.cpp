#include "store/settings_file.h"

#include "store/ini_file.h"
#include "store/settings_keys.h"

namespace zv {

std::string SettingsFile::read(std::string_view section, std::string_view key) const {
  return ini::read(path_, section, key);
}

std::string SettingsFile::general(std::string_view key) const { return read(keys::kGeneral, key); }

std::string SettingsFile::general(std::string_view key, std::string_view fallback) const {
  return ini::read(path_, keys::kGeneral, key, fallback);
}

bool SettingsFile::writeGeneral(std::string_view key, std::string_view value) const {
  return write(keys::kGeneral, key, value);
}

bool SettingsFile::write(std::string_view section, std::string_view key,
                         std::string_view value) const {
  return ini::write(path_, section, key, value);
}

}  // namespace zv
