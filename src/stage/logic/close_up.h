#pragma once
// The winner close-up's rules without a window: where the picture stands at each moment of
// its growth, how long it stays, and the line that ties a photograph of it to the journal.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zv {

struct CloseUpRect {
  double left = 0, top = 0, width = 0, height = 0;
  bool operator==(const CloseUpRect&) const = default;
};

namespace close_up {
inline constexpr int kGrowMilliseconds = 400;
inline constexpr int kShowMilliseconds = 8000;  // then it closes by itself
inline constexpr double kHeightShare = 0.4;     // of the stage's height, once grown
inline constexpr const char* kTitle = "恭喜中奖";
inline constexpr const char* kRehearsalTitle = "彩排";
}  // namespace close_up

// Where the picture ends: centred on the stage, kHeightShare of its height tall, the
// picture's own proportions kept, never wider than the stage. A picture of no size is
// shown square.
CloseUpRect closeUpTarget(double stageWidth, double stageHeight, double pictureWidth,
                          double pictureHeight);

// From the slot (at 0 ms) to the target (at kGrowMilliseconds and after), easing out so it
// arrives gently; elapsed before 0 counts as 0.
CloseUpRect closeUpRectAt(const CloseUpRect& slot, const CloseUpRect& target,
                          std::int64_t elapsedMilliseconds);

// "第 12 次抽奖 · 20:41:07" from the journal row's number and its time
// ("2024-05-01 20:41:07 +08:00"); only the time when the row could not be written.
std::string closeUpCaption(std::optional<std::int64_t> sequence, std::string_view journalTime);

// The time of day of a journal time, "20:41:07"; the text unchanged when it has no such part.
std::string timeOfDay(std::string_view journalTime);

}  // namespace zv
