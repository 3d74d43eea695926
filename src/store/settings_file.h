#pragma once
// The settings file, read at the moment a value is needed and written at the moment it
// changes: there is no cache. Features go through the typed settings of
// store/settings_table.h; the raw texts are for the store and for tests.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "store/settings_table.h"

namespace zv {

class SettingsFile {
 public:
  explicit SettingsFile(std::string path) : path_(std::move(path)) {}

  const std::string& path() const { return path_; }

  // The value, or the setting's default when it is not stored.
  bool get(const SwitchSetting& s) const;
  std::int32_t get(const IntegerSetting& s) const;
  double get(const NumberSetting& s) const;
  std::string get(const TextSetting& s) const;
  std::size_t get(const ChoiceSetting& s) const;

  // For values that apply only when stored: a key missing or stored empty (for a choice,
  // one of none of its texts) gives nothing.
  std::optional<std::int32_t> stored(const IntegerSetting& s) const;
  std::optional<double> stored(const NumberSetting& s) const;
  std::optional<std::string> stored(const TextSetting& s) const;
  std::optional<std::size_t> stored(const ChoiceSetting& s) const;
  // The stored text exactly as typed, for showing it again; nothing when missing or empty.
  std::optional<std::string> storedText(SettingPlace place) const;

  // Each returns whether the file was written; the caller reports a failure.
  [[nodiscard]] bool set(const SwitchSetting& s, bool on) const;
  [[nodiscard]] bool set(const IntegerSetting& s, std::int32_t value) const;
  [[nodiscard]] bool set(const TextSetting& s, std::string_view text) const;
  // An index outside the choices writes nothing and gives false.
  [[nodiscard]] bool set(const ChoiceSetting& s, std::size_t index) const;
  // What the operator typed, stored as it is, whatever the setting's type.
  [[nodiscard]] bool setText(SettingPlace place, std::string_view typed) const;

  // Raw texts of any key.
  std::string read(std::string_view section, std::string_view key) const;
  std::string general(std::string_view key) const;  // section zbt
  // `fallback` only when the key is absent; a key stored empty reads as empty.
  std::string general(std::string_view key, std::string_view fallback) const;
  [[nodiscard]] bool writeGeneral(std::string_view key, std::string_view value) const;
  [[nodiscard]] bool write(std::string_view section, std::string_view key,
                           std::string_view value) const;

 private:
  std::string path_;
};

}  // namespace zv
