#pragma once
// The prize values as stored by the prize settings window. They count as stored when the
// first slot's value is; then all eight come from the file, else the defaults apply.
#include <array>
#include <optional>
#include <string>

#include "store/prize_slots.h"
#include "store/settings_file.h"

namespace zv {

// The eight texts as typed, when stored.
std::optional<std::array<std::string, kSlotCount>> storedPrizeValueTexts(
    const SettingsFile& settings);

// The eight values as whole numbers, when stored.
std::optional<PrizeValues> storedPrizeValues(const SettingsFile& settings);

}  // namespace zv
