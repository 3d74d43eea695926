#pragma once
// The 演出效果 menu: four switches stored in the settings file, each ticked while on, and
// the winner close-up that one of them turns on. The other effects read their switch
// where they happen, so a change in the menu counts from the next draw on.
#include "stage/stage_context.h"

namespace zv {

class CloseUpView;

class ShowEffects {
 public:
  explicit ShowEffects(StageContext& stage);

  void addHandlers(forms::HandlerTable& table);

  // Flips effect 0..kShowEffectCount-1 in the settings file; its tick shows what is stored.
  void toggle(int effect);
  CloseUpView* closeUp() const { return closeUp_; }

 private:
  void applyAtStartUp();
  void showCloseUp(const Landing& landing, const std::optional<JournalRow>& row);

  StageContext& stage_;
  CloseUpView* closeUp_ = nullptr;  // made at start-up; the stage window owns it
};

}  // namespace zv
