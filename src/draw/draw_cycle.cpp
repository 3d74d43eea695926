#include "draw/draw_cycle.h"

#include <algorithm>

#include "platform/number_text.h"

namespace zv {

DrawCycle::DrawCycle(DrawStage& stage, SettingsFile settings, ResultsFile results,
                     RandomSource& random, PrizeValues& prizeValues)
    : stage_(stage),
      settings_(std::move(settings)),
      results_(std::move(results)),
      random_(random),
      prizeValues_(prizeValues) {}

void DrawCycle::startLabelPressed() {
  if (stage_.drawButtonCaption() == kReadyCaption) toggle();
}

void DrawCycle::stopLabelPressed() { request(StopReason::Click); }

void DrawCycle::autoStopFired() { request(StopReason::AutoStop); }

void DrawCycle::request(StopReason reason) {
  requestReason_ = reason;
  if (stage_.drawButtonCaption() == kRollingCaption) toggle();
  stage_.setAutoStopInterval(0);
}

void DrawCycle::drawButtonClicked() {
  requestReason_ = StopReason::Space;
  toggle();
}

bool DrawCycle::buildPool() {
  pool_ = buildDrawPool(settings_, results_, prizeValues_);
  // The last pool built before a landing is the one its winner is picked from.
  landing_.quantityMode = quantityMode(settings_);
  landing_.poolSize = pool_.size();
  for (int slot = 1; slot <= kSlotCount; ++slot) landing_.poolCounts[slot - 1] = pool_.count(slot);
  return !pool_.empty();
}

void DrawCycle::closeEffectsIfOpen() {
  if (stage_.effectsOpen()) stage_.closeEffects();
}

void DrawCycle::toggle() {
  // The winner is drawn and the highlight is on its way: nothing to start or stop.
  if (slowDown_) return;
  stage_.setResultVisible(true);
  const std::string autoStop = stage_.autoStopText();
  if (autoStop != "0") {
    stage_.setAutoStopInterval(truncateToInt32(numericValue(autoStop) * 1000.0));
  }
  closeEffectsIfOpen();
  if (!buildPool()) {
    // Nothing can be won: the draw stays as it was.
    stage_.setResultVisible(false);
    stage_.showExhaustedMessage();
    return;
  }
  stage_.showStartLabel(false);
  rolling_ = !rolling_;
  if (rolling_) {
    start();
  } else {
    stop();
  }
}

void DrawCycle::start() {
  closeEffectsIfOpen();
  stage_.setDrawButtonCaption(kRollingCaption);
  if (stage_.musicOn()) stage_.startMusic();
  if (highlight_ != 0) stage_.setSlotPicture(highlight_, held_);
  highlight_ = 0;
  stepBudget_ = 0;
  held_ = {};
  int interval = truncateToInt32(numericValue(stage_.rollIntervalText()));
  // An interval that reads as 0 or less would never move the highlight, nor ever land.
  if (interval <= 0) interval = kFallbackInterval;
  if (interval > kMaxInterval) interval = kMaxInterval;
  rollInterval_ = interval;
  stage_.setRollInterval(interval);
  stage_.setSlotRaised(1, true);
  random_.seedFromClock();
  stepBudget_ = random_.randomInt(kMinSteps, kMaxSteps);
  stage_.setResultPicture({});
}

void DrawCycle::stop() {
  stepBudget_ = 1;  // the next step lands
  landing_.stop = requestReason_;
  stage_.stopAllPlayback();
  stage_.setDrawButtonEnabled(false);
  // Every stop ends the auto-stop, so that it cannot cut the next draw short.
  stage_.setAutoStopInterval(0);
  if (settings_.get(setting::kSlowDown) && startSlowDown()) return;
  openEffectsForAWhile();
}

void DrawCycle::openEffectsForAWhile() {
  if (stage_.effectsOff()) return;
  stage_.openEffects();
  const unsigned showing = ++effectsShowing_;
  stage_.after(kEffectMilliseconds, [this, showing] {
    // A later overlay is never closed by an earlier one's timer.
    if (showing == effectsShowing_) closeEffectsIfOpen();
  });
}

bool DrawCycle::startSlowDown() {
  const int winner = pickWinner();
  if (winner == 0) return false;  // nothing drawn: the next step lands as without it
  const int seconds = settings_.get(setting::kSlowDownSeconds);
  slowDown_.emplace(SlowDownPlan(rollInterval_, seconds * 1000, highlight_, winner));
  slowDownStart_ = stage_.clockMs();
  stage_.setRollInterval(std::min(rollInterval_, kSlowDownTick));
  return true;
}

int DrawCycle::pickWinner() {
  const bool designated = stage_.designatedMarker();
  const int winner =
      designated || !pick_ ? pickWinningSlot(pool_, designated, random_) : pick_(pool_);
  if (designated) stage_.clearDesignatedMarker();
  landing_.designated = designated && winner != 0;
  return winner;
}

void DrawCycle::slowDownStep() {
  // Wrapping subtraction: the tick count may wrap during the slow-down.
  const std::uint32_t elapsed = stage_.clockMs() - slowDownStart_;
  const SlowDownRun::Tick tick = slowDown_->tick(elapsed);
  if (tick.landing) stage_.showStartLabel(true);
  if (tick.moved) {
    const int previous = highlight_;
    highlight_ = tick.slot;
    // A late tick jumps over slots. One passed that way may still stand raised (the last
    // winner, or slot 1 from the start) and would never be moved off: it comes down here,
    // so at rest the winner is the only raised slot.
    for (int passed = previous % kSlotCount + 1; previous != 0 && passed != highlight_;
         passed = passed % kSlotCount + 1) {
      if (passed != previous) stage_.setSlotRaised(passed, false);
    }
    moveHighlight(previous);
  }
  if (!tick.landing) return;
  slowDown_.reset();
  stepBudget_ = 0;  // as after any landing
  openEffectsForAWhile();
  land();
}

void DrawCycle::rollStep() {
  if (slowDown_) {
    slowDownStep();
    return;
  }
  --stepBudget_;
  if (stepBudget_ == 0) {
    stage_.showStartLabel(true);
    if (rolling_) {
      // A draw left rolling until its budget ran out lands here as if stopped now.
      rolling_ = false;
      landing_.stop = StopReason::StepBudget;
      buildPool();
      stage_.stopAllPlayback();
      stage_.setAutoStopInterval(0);
    }
  }
  highlight_ = highlight_ % kSlotCount + 1;
  const int previous = highlight_ == 1 ? kSlotCount : highlight_ - 1;
  if (!rolling_) {
    const int winner = pickWinner();
    if (winner != 0) highlight_ = winner;
  }
  moveHighlight(previous);
  if (stepBudget_ != 0) return;
  land();
}

void DrawCycle::moveHighlight(int previous) {
  if (previous != 0) {  // 0: a slow-down from before the first step
    stage_.setSlotRaised(previous, false);
    stage_.setSlotPicture(previous, stage_.readPrizePictureFile(previous));
  }
  stage_.setSlotRaised(highlight_, true);
  held_ = stage_.slotPicture(highlight_);
  stage_.setSlotPicture(highlight_, {});
  stage_.setResultPicture(held_);
  // With the step's pictures in place, so the tick and the picture reach the audience
  // together (the paint follows in the same turn of the event loop). Read at each step:
  // the menu can switch it while the wheel turns.
  if (settings_.get(setting::kStepTick)) stage_.playStepTick();
}

void DrawCycle::land() {
  stage_.setDrawButtonCaption(kReadyCaption);
  stage_.setDrawButtonEnabled(true);
  stage_.setRollInterval(0);
  stage_.setSlotPicture(highlight_, held_);
  stage_.playWinSound();
  landing_.slot = highlight_;
  landing_.rehearsal = rehearsal_;
  landing_.tallyWritten = false;
  if (!rehearsal_) {
    landing_.tallyWritten = results_.addWin(highlight_);
    if (!landing_.tallyWritten) stage_.reportTallyNotWritten();
  }
  if (landingListener_) landingListener_(landing_);
}

}  // namespace zv
