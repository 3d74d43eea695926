#pragma once
// The draw as the audience sees it: a start request sets the highlight rolling clockwise
// around the eight prizes, a stop request makes the next step land on the prize drawn
// from the pool.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "draw/draw_pool.h"
#include "draw/draw_stage.h"
#include "draw/landing.h"
#include "draw/random_source.h"
#include "draw/slow_down.h"
#include "store/results_file.h"
#include "store/settings_file.h"

namespace zv {

class DrawCycle {
 public:
  static constexpr const char* kReadyCaption = "开始";
  static constexpr const char* kRollingCaption = "停止";
  static constexpr int kEffectMilliseconds = 3500;
  static constexpr int kFallbackInterval = 30;  // for an interval that reads as 0 or less
  // A longer interval would leave a stopped draw waiting for its landing step for hours.
  static constexpr int kMaxInterval = 10'000;
  static constexpr std::int32_t kMinSteps = 100000, kMaxSteps = 130000;
  // The roll timer's period while slowing down: fine enough that each step shows when due.
  static constexpr int kSlowDownTick = 15;

  DrawCycle(DrawStage& stage, SettingsFile settings, ResultsFile results, RandomSource& random,
            PrizeValues& prizeValues);

  // The stage's events.
  void startLabelPressed();  // acts only while the draw is ready
  void stopLabelPressed();   // acts only while the draw rolls; always ends the auto-stop
  void autoStopFired();      // as the stop label
  void drawButtonClicked();  // the keyboard: no state test; the button is disabled while stopping
  void rollStep();           // one tick of the roll timer

  // One start or stop request.
  void toggle();

  // Told of every landing, after its tally was counted (or, in rehearsal, left alone).
  void setLandingListener(std::function<void(const Landing&)> listener) {
    landingListener_ = std::move(listener);
  }
  // Picks every landing that is not designated in place of the random source (a
  // verifiable event); empty: the random source, as always.
  void setPick(std::function<int(const DrawPool&)> pick) { pick_ = std::move(pick); }
  bool pickReplaced() const { return static_cast<bool>(pick_); }

  // Rehearsal: landings play as usual but never touch the tallies.
  void setRehearsal(bool rehearsal) { rehearsal_ = rehearsal; }
  bool rehearsal() const { return rehearsal_; }

  bool rolling() const { return rolling_; }
  // Stopped, the winner drawn, the highlight still easing towards it (减速停止).
  bool slowingDown() const { return slowDown_.has_value(); }
  std::int32_t stepBudget() const { return stepBudget_; }
  int highlight() const { return highlight_; }
  const PictureData& heldPicture() const { return held_; }
  // Emptied when the operator replaces a prize picture.
  void clearHeldPicture() { held_ = {}; }

 private:
  void start();
  void stop();
  void land();
  int pickWinner();
  bool startSlowDown();  // false when no winner could be drawn
  void slowDownStep();
  void moveHighlight(int previous);
  void openEffectsForAWhile();
  void request(StopReason reason);
  void closeEffectsIfOpen();
  bool buildPool();

  DrawStage& stage_;
  SettingsFile settings_;
  ResultsFile results_;
  RandomSource& random_;
  PrizeValues& prizeValues_;

  DrawPool pool_;
  bool rolling_ = false;
  std::int32_t stepBudget_ = 0;
  int highlight_ = 0;  // 0: nothing highlighted, else slot 1..8
  int rollInterval_ = kFallbackInterval;
  std::optional<SlowDownRun> slowDown_;
  std::uint32_t slowDownStart_ = 0;
  PictureData held_;
  unsigned effectsShowing_ = 0;  // which overlay a pending close belongs to

  bool rehearsal_ = false;
  StopReason requestReason_ = StopReason::Click;  // of the request being handled
  Landing landing_;                               // the facts of the coming landing
  std::function<void(const Landing&)> landingListener_;
  std::function<int(const DrawPool&)> pick_;
};

}  // namespace zv
