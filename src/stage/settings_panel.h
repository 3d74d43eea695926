#pragma once
// The other-settings panel: result picture size, roll interval, effects switch,
// auto-stop seconds and wheel size, saved together.
#include "stage/stage_context.h"

namespace zv {

class SettingsPanel {
 public:
  explicit SettingsPanel(StageContext& stage) : stage_(stage) {}

  void addHandlers(forms::HandlerTable& table);
  // The effects switch.
  void applyEffectsSwitchAtStartUp();
  // The result picture's stored size, mirrored in the panel's edit boxes.
  void applyResultSizeAtStartUp();
  // Auto-stop seconds and roll interval.
  void applyDrawTimesAtStartUp();

 private:
  StageContext& stage_;
};

}  // namespace zv
