#pragma once
// The background music: the track, and the switch that lets it play during a roll. The
// switch lives here; the menu's tick marks and the settings file mirror it.
#include <string>
#include <vector>

#include "stage/stage_context.h"

namespace zv {

class Music {
 public:
  explicit Music(StageContext& stage);

  static const std::vector<std::string>& dialogFilters();

  void addHandlers(forms::HandlerTable& table);
  // The stored switch (on unless stored off; see store/settings_table.h). Nothing
  // plays at start-up.
  void applyAtStartUp();

  // Read by the draw at each start.
  bool on() const { return on_; }
  // Takes effect at the next start; music playing now goes on until the draw stops.
  void switchOn(bool on);
  // Copies the chosen file over the track; the next draw plays it.
  void changeTrack();

 private:
  void showSwitch();

  StageContext& stage_;
  bool on_ = true;
};

}  // namespace zv
