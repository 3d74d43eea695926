#pragma once
// Program-wide state created at start-up and living until exit; the stage modules fill it.
#include <vector>

#include "store/prize_slots.h"

namespace zv {

namespace forms {
class PictureBox;
}

struct ProgramState {
  // Quantities or weights of slots 1..kSlotCount.
  PrizeValues prizeValues = kDefaultPrizeValues;
  // The prize pictures in rolling order, clockwise from the upper left.
  std::vector<forms::PictureBox*> slotList;
};

}  // namespace zv
