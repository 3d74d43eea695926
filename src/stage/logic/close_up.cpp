#include "stage/logic/close_up.h"

#include <algorithm>

namespace zv {

CloseUpRect closeUpTarget(double stageWidth, double stageHeight, double pictureWidth,
                          double pictureHeight) {
  double height = std::max(0.0, stageHeight) * close_up::kHeightShare;
  const double aspect = pictureWidth > 0 && pictureHeight > 0 ? pictureWidth / pictureHeight : 1.0;
  double width = height * aspect;
  const double maxWidth = std::max(0.0, stageWidth) * 0.9;
  if (width > maxWidth) {
    width = maxWidth;
    height = width / aspect;
  }
  return {(stageWidth - width) / 2, (stageHeight - height) / 2, width, height};
}

CloseUpRect closeUpRectAt(const CloseUpRect& slot, const CloseUpRect& target,
                          std::int64_t elapsedMilliseconds) {
  const double t =
      std::clamp(static_cast<double>(elapsedMilliseconds) / close_up::kGrowMilliseconds, 0.0, 1.0);
  const double eased = 1.0 - (1.0 - t) * (1.0 - t) * (1.0 - t);  // cubic ease-out
  auto mix = [eased](double from, double to) { return from + (to - from) * eased; };
  return {mix(slot.left, target.left), mix(slot.top, target.top), mix(slot.width, target.width),
          mix(slot.height, target.height)};
}

std::string timeOfDay(std::string_view journalTime) {
  // "YYYY-MM-DD HH:MM:SS ±hh:mm": the part after the first space, up to the next.
  const std::size_t space = journalTime.find(' ');
  if (space == std::string_view::npos) return std::string(journalTime);
  std::string_view rest = journalTime.substr(space + 1);
  return std::string(rest.substr(0, rest.find(' ')));
}

std::string closeUpCaption(std::optional<std::int64_t> sequence, std::string_view journalTime) {
  const std::string time = timeOfDay(journalTime);
  if (!sequence) return time;
  return "第 " + std::to_string(*sequence) + " 次抽奖 · " + time;
}

}  // namespace zv
