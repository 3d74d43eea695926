#pragma once
// Every setting of the settings file, declared once with its section, key, type and
// default. SettingsFile reads and writes them (store/settings_file.h); features never
// convert a stored text themselves.
#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>
#include <string_view>

#include "store/prize_slots.h"
#include "store/settings_keys.h"

namespace zv {

struct SettingPlace {
  std::string_view section;
  std::string_view key;
};

// "真" is on, "假" is off; anything else (a missing key included) is the default. Which
// default a switch has is the whole difference between "on unless 假" and "off unless 真".
struct SwitchSetting {
  SettingPlace place;
  bool fallback;
};

// Read by the program's number rules (platform/number_text.h); a stored text that is not a
// number reads as 0, as it always has. A value outside lo..hi reads as not stored.
struct IntegerSetting {
  SettingPlace place;
  std::int32_t fallback;
  std::int32_t lo = std::numeric_limits<std::int32_t>::min();
  std::int32_t hi = std::numeric_limits<std::int32_t>::max();
};

struct NumberSetting {
  SettingPlace place;
  double fallback;
};

// The default only when the key is missing: a key stored empty reads as empty.
struct TextSetting {
  SettingPlace place;
  std::string_view fallback;
};

// One of a fixed set of texts, read as its index; any other text is the default.
struct ChoiceSetting {
  SettingPlace place;
  std::span<const std::string_view> choices;
  std::size_t fallback;
};

// The on-disk texts of a switch, and a stored text read as one.
std::string_view switchText(bool on);
bool switchValue(std::string_view stored, bool fallback);

namespace setting {

inline constexpr SettingPlace general(std::string_view key) { return {keys::kGeneral, key}; }
inline constexpr SettingPlace fonts(std::string_view key) { return {keys::kFonts, key}; }

// Titles and their fonts. The texts' defaults are what the title boxes offer before the
// first edit (the stage shows the layout's captions until a text is stored).
inline constexpr TextSetting kMainTitle{general(keys::kMainTitle), "购物有奖活动"};
inline constexpr TextSetting kSubtitle{general(keys::kSubtitle), "---现场抽奖仪式---"};
inline constexpr TextSetting kMainTitleFace{fonts(keys::kMainTitleFace), ""};
inline constexpr IntegerSetting kMainTitleSize{fonts(keys::kMainTitleSize), 0};
inline constexpr IntegerSetting kMainTitleColour{fonts(keys::kMainTitleColour), 0};
inline constexpr TextSetting kSubtitleFace{fonts(keys::kSubtitleFace), ""};
inline constexpr IntegerSetting kSubtitleSize{fonts(keys::kSubtitleSize), 0};
inline constexpr IntegerSetting kSubtitleColour{fonts(keys::kSubtitleColour), 0};

// Places of dragged units; each applies only when stored.
inline constexpr IntegerSetting kWheelLeft{general(keys::kWheelLeft), 0};
inline constexpr IntegerSetting kWheelTop{general(keys::kWheelTop), 0};
inline constexpr IntegerSetting kMainTitleLeft{general(keys::kMainTitleLeft), 0};
inline constexpr IntegerSetting kMainTitleTop{general(keys::kMainTitleTop), 0};
inline constexpr IntegerSetting kSubtitleLeft{general(keys::kSubtitleLeft), 0};
inline constexpr IntegerSetting kSubtitleTop{general(keys::kSubtitleTop), 0};
inline constexpr IntegerSetting kResultLeft{general(keys::kResultLeft), 0};
inline constexpr IntegerSetting kResultTop{general(keys::kResultTop), 0};

// The other-settings panel: stored as typed, shown again as typed.
inline constexpr IntegerSetting kResultWidth{general(keys::kResultWidth), 0};
inline constexpr IntegerSetting kResultHeight{general(keys::kResultHeight), 0};
inline constexpr NumberSetting kRollInterval{general(keys::kRollInterval), 0};
inline constexpr NumberSetting kAutoStop{general(keys::kAutoStop), 0};
inline constexpr SwitchSetting kEffectsOff{general(keys::kEffectsOff), false};
inline constexpr NumberSetting kWheelSize{general(keys::kWheelSize), 0};

inline constexpr std::array<std::string_view, 2> kDisplayModes = {keys::kFullScreen,
                                                                  keys::kWindowed};
inline constexpr std::size_t kFullScreen = 0;
inline constexpr std::size_t kWindowed = 1;
inline constexpr ChoiceSetting kDisplayMode{general(keys::kDisplayMode), kDisplayModes,
                                            kFullScreen};

// Style 1..4 at index 0..3.
inline constexpr ChoiceSetting kWheelStyle{general(keys::kWheelStyle), keys::kWheelStyles, 0};

inline constexpr SwitchSetting kMusic{general(keys::kMusic), true};
inline constexpr SwitchSetting kFitToScreen{general(keys::kFitToScreen), true};
inline constexpr TextSetting kMonitor{general(keys::kMonitor), ""};
// Stored scrambled (dialogs/password_scramble.h).
inline constexpr TextSetting kPassword{general(keys::kPassword), ""};

// On: the prize values are weights and a win is put back; off: they are quantities, used up.
inline constexpr SwitchSetting kProbabilityMode{general(keys::kDrawMode), false};

// Show effects beyond the original, off unless switched on. The slow-down lasts whole
// seconds; a stored value outside 1..10 (or not a number) gives the default.
inline constexpr SwitchSetting kSlowDown{general(keys::kSlowDown), false};
inline constexpr IntegerSetting kSlowDownSeconds{general(keys::kSlowDownSeconds), 3, 1, 10};
inline constexpr SwitchSetting kStepTick{general(keys::kStepTick), false};
inline constexpr SwitchSetting kWinnerCloseUp{general(keys::kWinnerCloseUp), false};
// On by default: it only changes smoothness; "假" gives the movies' own frame rate.
inline constexpr SwitchSetting kSmoothFireworks{general(keys::kSmoothFireworks), true};

// Slots 1..8 at index 0..7. Missing values read as 0 (a quantity of nothing).
inline constexpr std::array<NumberSetting, kSlotCount> kPrizeValues = {{
    {general(keys::kPrizeValues[0]), 0},
    {general(keys::kPrizeValues[1]), 0},
    {general(keys::kPrizeValues[2]), 0},
    {general(keys::kPrizeValues[3]), 0},
    {general(keys::kPrizeValues[4]), 0},
    {general(keys::kPrizeValues[5]), 0},
    {general(keys::kPrizeValues[6]), 0},
    {general(keys::kPrizeValues[7]), 0},
}};

}  // namespace setting
}  // namespace zv
