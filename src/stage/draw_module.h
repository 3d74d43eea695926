#pragma once
// The draw on the stage: its labels, button, timers and keyboard, the designated-pick hot
// key and the prize values the draws start from. The draw cycle itself is the context's.
#include "platform/qt/hot_key.h"
#include "stage/stage_context.h"

namespace zv {

class DrawModule {
 public:
  explicit DrawModule(StageContext& stage);

  void addHandlers(forms::HandlerTable& table);
  // The stage window active and Space at the draw; while the other-settings panel is open
  // its boxes keep the keyboard.
  void takeKeyboardFocus();

 private:
  // The slot list, in rolling order.
  void makeSlotListAtStartUp();
  // The prize values: the stored set when the first is present, else the defaults.
  void applyPrizeValuesAtStartUp();

  StageContext& stage_;
  GlobalHotKey hotKey_;
  DrawKeyTarget* keyTarget_ = nullptr;  // made once the window is built; the window owns it
};

}  // namespace zv
