#include "store/settings_file.h"

#include "platform/number_text.h"
#include "store/ini_file.h"
#include "store/settings_keys.h"

namespace zv {

std::string_view switchText(bool on) { return on ? keys::kTrue : keys::kFalse; }

bool switchValue(std::string_view stored, bool fallback) {
  if (stored == keys::kTrue) return true;
  if (stored == keys::kFalse) return false;
  return fallback;
}

bool SettingsFile::get(const SwitchSetting& s) const {
  return switchValue(read(s.place.section, s.place.key), s.fallback);
}

std::int32_t SettingsFile::get(const IntegerSetting& s) const {
  return stored(s).value_or(s.fallback);
}

double SettingsFile::get(const NumberSetting& s) const { return stored(s).value_or(s.fallback); }

std::string SettingsFile::get(const TextSetting& s) const {
  return ini::read(path_, s.place.section, s.place.key, s.fallback);
}

std::size_t SettingsFile::get(const ChoiceSetting& s) const {
  return stored(s).value_or(s.fallback);
}

std::optional<std::int32_t> SettingsFile::stored(const IntegerSetting& s) const {
  const std::optional<std::string> text = storedText(s.place);
  if (!text) return std::nullopt;
  const std::int32_t value = integerValue(*text);
  if (value < s.lo || value > s.hi) return std::nullopt;
  return value;
}

std::optional<double> SettingsFile::stored(const NumberSetting& s) const {
  const std::optional<std::string> text = storedText(s.place);
  if (!text) return std::nullopt;
  return numericValue(*text);
}

std::optional<std::string> SettingsFile::stored(const TextSetting& s) const {
  return storedText(s.place);
}

std::optional<std::size_t> SettingsFile::stored(const ChoiceSetting& s) const {
  const std::string text = read(s.place.section, s.place.key);
  for (std::size_t i = 0; i < s.choices.size(); ++i) {
    if (text == s.choices[i]) return i;
  }
  return std::nullopt;
}

std::optional<std::string> SettingsFile::storedText(SettingPlace place) const {
  std::string text = read(place.section, place.key);
  if (text.empty()) return std::nullopt;
  return text;
}

bool SettingsFile::set(const SwitchSetting& s, bool on) const {
  return setText(s.place, switchText(on));
}

bool SettingsFile::set(const IntegerSetting& s, std::int32_t value) const {
  return setText(s.place, std::to_string(value));
}

bool SettingsFile::set(const TextSetting& s, std::string_view text) const {
  return setText(s.place, text);
}

bool SettingsFile::set(const ChoiceSetting& s, std::size_t index) const {
  if (index >= s.choices.size()) return false;
  return setText(s.place, s.choices[index]);
}

bool SettingsFile::setText(SettingPlace place, std::string_view typed) const {
  return write(place.section, place.key, typed);
}

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
