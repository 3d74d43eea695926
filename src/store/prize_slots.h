#pragma once
// The wheel's prize slots: how many there are, and the prize values an event starts
// with before the operator sets its own. The layouts, the draw and the dialogs use these.
#include <array>
#include <cstdint>

namespace zv {

inline constexpr int kSlotCount = 8;

// Slots are numbered 1..kSlotCount, clockwise from the upper left.
inline constexpr bool isSlot(long long slot) { return slot >= 1 && slot <= kSlotCount; }

// Slots from here to the last have a picture built into the layout; the others start empty.
inline constexpr int kFirstBuiltinPrizeSlot = 5;
inline constexpr int kBuiltinPrizeCount = kSlotCount - kFirstBuiltinPrizeSlot + 1;
inline constexpr bool hasBuiltinPrizePicture(int slot) {
  return slot >= kFirstBuiltinPrizeSlot && slot <= kSlotCount;
}

using PrizeValues = std::array<std::int32_t, kSlotCount>;

inline constexpr PrizeValues kDefaultPrizeValues = {1, 2, 4, 8, 10, 15, 20, 50};

}  // namespace zv
