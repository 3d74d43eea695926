#pragma once
// Moving the wheel, the titles, the result picture and the panel with the mouse, and
// the stored positions that bring them back at start-up.
#include "stage/stage_context.h"

namespace zv {

class Dragging {
 public:
  explicit Dragging(StageContext& stage) : stage_(stage) {}

  void addHandlers(forms::HandlerTable& table);
  // Stored positions, each coordinate on its own.
  void applyStoredPositionsAtStartUp();

 private:
  StageContext& stage_;
};

}  // namespace zv
