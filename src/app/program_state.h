#pragma once
// Program-wide state created at start-up and living until exit.
#include <array>
#include <cstdint>
#include <vector>

#include "store/settings_keys.h"

namespace zv {

namespace forms {
class PictureBox;
}

struct ProgramState {
  // Quantities or weights of slots 1..8.
  std::array<std::int32_t, 8> prizeValues = keys::kDefaultPrizeValues;
  // 1.0 at rest; the enlargement step's factor while it runs.
  float enlargement = 1.0f;
  // The eight prize pictures in rolling order, clockwise from the upper left.
  std::vector<forms::PictureBox*> slotList;
};

}  // namespace zv
