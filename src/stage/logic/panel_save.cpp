#include "stage/logic/panel_save.h"

#include <algorithm>

#include "layout/logic/wheel_geometry.h"
#include "platform/number_text.h"
#include "store/settings_table.h"

namespace zv {

int unitExtent(std::string_view text) { return std::clamp(integerValue(text), 0, kMaxUnitExtent); }

int storedResultExtent(std::optional<std::int32_t> stored, int designPixels) {
  return stored ? std::clamp(*stored, 0, kMaxUnitExtent) : designPixels;
}

int storedResultExtent(std::string_view stored, int designPixels) {
  return storedResultExtent(stored.empty() ? std::nullopt : std::optional(integerValue(stored)),
                            designPixels);
}

void savePanel(PanelStage& stage) {
  const PanelFields typed = stage.fields();
  bool written = true;
  // Every panel setting lives in the general section; the stage's write takes its key.
  const auto write = [&](SettingPlace place, std::string_view value) {
    written = stage.write(place.key, value) && written;
  };

  write(setting::kResultHeight.place, typed.resultHeight);
  stage.setResultHeight(unitExtent(typed.resultHeight));
  write(setting::kResultWidth.place, typed.resultWidth);
  stage.setResultWidth(unitExtent(typed.resultWidth));
  write(setting::kRollInterval.place, typed.rollInterval);
  write(setting::kEffectsOff.place, switchText(typed.effectsOff));
  write(setting::kAutoStop.place, typed.autoStop);
  stage.closePanel();
  write(setting::kWheelSize.place, typed.wheelSize);
  // From the layout size, so that saving the same size twice gives the same wheel and an
  // unsaved enlargement from the menu is undone.
  stage.resetWheel();
  const int steps = wheelSteps(numericValue(typed.wheelSize));
  for (int i = 0; i < steps; ++i) stage.enlargeWheel();
  stage.clipWheel();

  if (!written) stage.reportWriteFailure();
}

}  // namespace zv
