#include "stage/logic/panel_save.h"

#include <algorithm>

#include "layout/logic/wheel_geometry.h"
#include "platform/number_text.h"
#include "store/settings_keys.h"

namespace zv {

int unitExtent(std::string_view text) { return std::clamp(integerValue(text), 0, kMaxUnitExtent); }

int storedResultExtent(std::string_view stored, int designPixels) {
  return stored.empty() ? designPixels : unitExtent(stored);
}

void savePanel(PanelStage& stage) {
  const PanelFields typed = stage.fields();
  bool written = true;
  const auto write = [&](std::string_view key, std::string_view value) {
    written = stage.write(key, value) && written;
  };

  write(keys::kResultHeight, typed.resultHeight);
  stage.setResultHeight(unitExtent(typed.resultHeight));
  write(keys::kResultWidth, typed.resultWidth);
  stage.setResultWidth(unitExtent(typed.resultWidth));
  write(keys::kRollInterval, typed.rollInterval);
  write(keys::kEffectsOff, typed.effectsOff ? keys::kTrue : keys::kFalse);
  write(keys::kAutoStop, typed.autoStop);
  stage.closePanel();
  write(keys::kWheelSize, typed.wheelSize);
  // From the layout size, so that saving the same size twice gives the same wheel and an
  // unsaved enlargement from the menu is undone.
  stage.resetWheel();
  const int steps = wheelSteps(numericValue(typed.wheelSize));
  for (int i = 0; i < steps; ++i) stage.enlargeWheel();
  stage.clipWheel();

  if (!written) stage.reportWriteFailure();
}

}  // namespace zv
