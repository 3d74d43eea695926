#include "store/prize_settings.h"

#include "platform/number_text.h"

namespace zv {

std::optional<std::array<std::string, kSlotCount>> storedPrizeValueTexts(
    const SettingsFile& settings) {
  if (!settings.storedText(setting::kPrizeValues[0].place)) return std::nullopt;
  std::array<std::string, kSlotCount> texts;
  for (std::size_t i = 0; i < texts.size(); ++i) {
    texts[i] = settings.storedText(setting::kPrizeValues[i].place).value_or("");
  }
  return texts;
}

std::optional<PrizeValues> storedPrizeValues(const SettingsFile& settings) {
  const auto texts = storedPrizeValueTexts(settings);
  if (!texts) return std::nullopt;
  PrizeValues values{};
  for (std::size_t i = 0; i < values.size(); ++i) values[i] = integerValue((*texts)[i]);
  return values;
}

}  // namespace zv
