#include "host/logic/frame_pacing.h"

#include <algorithm>
#include <cmath>

namespace zv::movie {

namespace {

constexpr double kDefaultDisplayRate = 60;
// Drawing may take nearly a stride's whole time before a picture is dropped: the cost is wall
// time, which a busy second core or one slow picture (a font, the win sound starting)
// inflates now and then, and dropping every second picture for that is worse to see than
// one late picture.
constexpr double kBusyShare = 0.95;
// The average follows the last few pictures: one slow picture does not change the stride.
constexpr double kCostWeight = 0.15;

}  // namespace

FramePacing::FramePacing(int frameRate, int frameCount, double displayRate, bool smooth)
    : frameRate_(std::max(1, frameRate)), frameCount_(std::max(1, frameCount)), smooth_(smooth) {
  if (!(displayRate >= 24 && displayRate <= 240)) displayRate = kDefaultDisplayRate;
  period_ = smooth_ ? 1000.0 / displayRate : 1000.0 / frameRate_;
}

std::int64_t FramePacing::slotAt(double nowMs) const {
  if (!(nowMs > 0)) return 0;
  const auto slot = static_cast<std::int64_t>(std::floor(nowMs / period_));
  // Only every stride-th picture is drawn, counted from the start, so that the pictures
  // drawn stay evenly spaced.
  return slot - slot % stride_;
}

double FramePacing::frameAt(double nowMs) const {
  if (!smooth_) {
    // Whole frames of the movie's own clock, as the movie was made.
    const auto ms = static_cast<std::int64_t>(std::max(0.0, nowMs));
    return static_cast<double>(ms * frameRate_ / 1000 % frameCount_);
  }
  const double moment = static_cast<double>(slotAt(nowMs)) * period_ * frameRate_ / 1000.0;
  return std::fmod(moment, frameCount_);
}

double FramePacing::nextDue(double nowMs) const {
  if (!smooth_) {
    // The moment the next movie frame is due, to the millisecond, as the frame clock counts.
    const auto ms = static_cast<std::int64_t>(std::max(0.0, nowMs));
    const std::int64_t next = ms * frameRate_ / 1000 + 1;
    return static_cast<double>((next * 1000 + frameRate_ - 1) / frameRate_);
  }
  return static_cast<double>(slotAt(nowMs) + stride_) * period_;
}

void FramePacing::drawn(double costMs) {
  if (!smooth_ || !(costMs >= 0)) return;
  cost_ = costKnown_ ? cost_ + kCostWeight * (costMs - cost_) : costMs;
  costKnown_ = true;
  const int needed =
      std::clamp(static_cast<int>(std::ceil(cost_ / (kBusyShare * period_))), 1, kMaxStride);
  // Up at once when the pictures cost more than their time; down only when the smaller
  // stride leaves clear room, so that a cost near the edge keeps one stride.
  if (needed > stride_ ||
      (needed < stride_ && cost_ < 0.8 * kBusyShare * period_ * (stride_ - 1))) {
    stride_ = needed;
  }
}

}  // namespace zv::movie
