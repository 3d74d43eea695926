#pragma once
// Program-wide state created at start-up and living until exit.
#include "store/prize_slots.h"

namespace zv {

struct ProgramState {
  // Quantities or weights of slots 1..kSlotCount.
  PrizeValues prizeValues = kDefaultPrizeValues;
};

}  // namespace zv
