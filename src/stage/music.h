#pragma once
// The background music: the track, and the switch that lets it play during a roll.
#include "stage/stage_context.h"

namespace zv {

class Music {
 public:
  explicit Music(StageContext& stage) : stage_(stage) {}

  void addHandlers(forms::HandlerTable& table);
  // The switch's tick marks only; nothing plays at start-up.
  void applyAtStartUp();

 private:
  StageContext& stage_;
};

}  // namespace zv
