#pragma once
// The other-settings panel: result picture size, roll interval, effects switch,
// auto-stop seconds and wheel size, saved together.
#include "stage/stage_context.h"

namespace zv {

class SettingsPanel {
 public:
  explicit SettingsPanel(StageContext& stage);

  void addHandlers(forms::HandlerTable& table);
  // The effects switch.
  void applyEffectsSwitchAtStartUp();
  // The result picture's stored size, mirrored in the panel's edit boxes.
  void applyResultSizeAtStartUp();
  // Auto-stop seconds and roll interval.
  void applyDrawTimesAtStartUp();

  // Shows the panel on top and lets its edit boxes keep the keyboard.
  void open();
  // Hides it; the typed values stay in the boxes, and the keyboard goes back to the draw.
  void close();
  // Writes all five settings and applies the result size and the wheel size; the
  // pictures are then prepared at the sizes they are shown at.
  void save();

 private:
  StageContext& stage_;
};

}  // namespace zv
