#pragma once
// How often each prize has been won, with the button that clears the tallies.
#include <array>
#include <functional>
#include <memory>

#include "forms/form.h"
#include "platform/picture_data.h"
#include "store/prize_slots.h"
#include "store/results_file.h"

namespace zv {

class ResultsWindow {
 public:
  // cleared, when given, is told of a clear that succeeded, with the tallies before it.
  ResultsWindow(ResultsFile results, std::array<PictureData, kSlotCount> pictures,
                std::function<void(const std::array<double, kSlotCount>&)> cleared = {});
  forms::Form& form() { return *form_; }

 private:
  void fill(const std::array<PictureData, kSlotCount>& pictures);
  void clear();

  ResultsFile results_;
  std::function<void(const std::array<double, kSlotCount>&)> cleared_;
  std::unique_ptr<forms::Form> form_;
};

}  // namespace zv
