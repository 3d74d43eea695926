#pragma once
// The other-settings panel: result picture size, roll interval, effects switch,
// auto-stop seconds and wheel size, saved together.
#include <functional>

#include "stage/stage_context.h"

namespace zv {

// The wheel's own operations that Save needs; the wheel module provides them.
struct WheelResizing {
  std::function<void()> reset;    // back to the layout size, the frame where it stands
  std::function<void()> enlarge;  // one 1.1x step
  std::function<void()> clip;     // the round outline again
};

class SettingsPanel {
 public:
  SettingsPanel(StageContext& stage, WheelResizing wheel)
      : stage_(stage), wheel_(std::move(wheel)) {}

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
  // Writes all five settings and applies the result size and the wheel size.
  void save();
  // Called after each save, which may have resized the result picture and the slots.
  void onSaved(std::function<void()> saved) { saved_ = std::move(saved); }

 private:
  StageContext& stage_;
  WheelResizing wheel_;
  std::function<void()> saved_;
};

}  // namespace zv
