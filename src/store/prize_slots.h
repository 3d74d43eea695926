#pragma once
// The wheel's prize slots: how many there are, and the prize values an event starts
// with before the operator sets its own. The layouts, the draw and the dialogs use these.
#include <array>
#include <cstdint>

namespace zv {

inline constexpr int kSlotCount = 8;

using PrizeValues = std::array<std::int32_t, kSlotCount>;

inline constexpr PrizeValues kDefaultPrizeValues = {1, 2, 4, 8, 10, 15, 20, 50};

}  // namespace zv
