#pragma once
// The screens of an event: fitting the stage to a tall screen (switched in the menu, in
// effect at the next start) and the monitor the stage goes on.
#include <string>

#include "stage/stage_context.h"

namespace zv {

class Screens {
 public:
  explicit Screens(StageContext& stage);

  void addHandlers(forms::HandlerTable& table);
  // The window over the stage's monitor.
  void placeWindowAtStartUp();
  // Ticks 适应屏幕 as stored, prepares the monitor menu and keeps the operator's dialogs
  // on the operator's monitor.
  void applyAtStartUp();

  // Flips the stored switch and tells the operator it applies at the next start.
  void toggleFitToScreen();
  // Stores the monitor by name and moves the stage onto it.
  void chooseMonitor(const std::string& name);
  // Lists the connected monitors in the 显示器 menu, the stage's ticked.
  void fillMonitorMenu();

 private:
  StageContext& stage_;
};

}  // namespace zv
