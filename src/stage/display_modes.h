#pragma once
// Full screen for the projector, or an ordinary frame a little smaller than the screen.
#include "stage/stage_context.h"

namespace zv {

class DisplayModes {
 public:
  explicit DisplayModes(StageContext& stage);

  void addHandlers(forms::HandlerTable& table);
  // The stored mode; full screen unless windowed is stored. The mode is written back
  // without a report (start-up reports an unwritable folder on its own).
  void applyAtStartUp();

  // Each ticks its menu item and writes the mode to the settings file.
  void fullScreen();
  void windowed();

 private:
  void showFullScreen();
  void showWindowed();
  void storeMode(std::size_t mode);  // reports a failed write

  StageContext& stage_;
};

}  // namespace zv
