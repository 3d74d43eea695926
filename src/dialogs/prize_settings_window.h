#pragma once
// The prize values and the draw mode, behind the password gate.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>

#include "forms/form.h"
#include "platform/picture_data.h"
#include "store/prize_slots.h"
#include "store/settings_file.h"

namespace zv {

class PrizeSettingsWindow {
 public:
  // pictures: the stage's prize pictures of slots 1..8, shown beside their values.
  PrizeSettingsWindow(SettingsFile settings, PrizeValues& prizeValues,
                      std::array<PictureData, kSlotCount> pictures);
  forms::Form& form() { return *form_; }

 private:
  void fill(const std::array<PictureData, kSlotCount>& pictures);
  void chooseMode(bool probability);
  void store();

  SettingsFile settings_;
  PrizeValues& prizeValues_;
  std::unique_ptr<forms::Form> form_;
};

}  // namespace zv
