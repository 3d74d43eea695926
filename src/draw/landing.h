#pragma once
// What the draw cycle knows about a landing, for the journal: the pick, the pool it was
// made from and how the draw was stopped.
#include <array>
#include <cstdint>

namespace zv {

enum class StopReason {
  Click,       // the stop label
  Space,       // the keyboard, through the hidden button
  AutoStop,    // the auto-stop timer
  StepBudget,  // left rolling until its step budget ran out
};

struct Landing {
  int slot = 0;  // 1..8
  bool quantityMode = true;
  std::array<std::int64_t, 8> poolCounts{};
  std::int64_t poolSize = 0;
  StopReason stop = StopReason::Click;
  bool designated = false;    // the designated pick (Shift+Q) decided it
  bool rehearsal = false;     // the tallies were left alone
  bool tallyWritten = false;  // a real landing's tally reached the results file
};

}  // namespace zv
