#pragma once
// The stage's created event: every stored setting applied, in one fixed order, each only
// when its key holds a value. The order is written once, here; each step is a module's
// own, registered by it when it is constructed, so the modules' own order never matters.
#include <array>
#include <cstddef>
#include <functional>
#include <vector>

namespace zv {

enum class StartUpStep {
  kDrawKeys,               // the draw's keyboard stand-in, made on the built window
  kJournalAttached,        // landings recorded, rehearsal off
  kHotKey,                 // the designated-pick hot key
  kPrizePictureDirectory,  // made (an existing one is fine)
  kStageOverMonitor,       // the window over the stage's monitor
  kWheelCentred,
  kTitlesAcrossScreen,  // full-width titles, the credit line lower right and hidden
  kStoredPositions,
  kEffectsSwitch,
  kResultSize,
  kMonitorMenu,  // the monitor menu; dialogs on the operator's monitor
  kDisplayMode,
  kWindowStoreReady,  // the window's size is final; nothing below changes it
  kMusicSwitch,
  kShowEffects,  // the show-effect items ticked, the close-up made
  kDrawTimes,  // auto-stop seconds and roll interval
  kWheelStyle,
  kSlotList,  // the prize pictures in rolling order
  kPrizePictures,
  kCaptions,
  kPrizeValues,
  kWheelSize,
  kFonts,
  kBackground,
  kWheelOutline,
  kUnitsOnScreen,  // every size is known: a unit stored off screen at its edge
  kPicturesForFirstFrame,
  kJournalReconciled,  // before any draw: the journal explains the tallies
  kVerifiableResumed,  // a verifiable event committed or started before is back
  kCount
};

class StartUpSteps {
 public:
  // Steps registered under the same name run in the order they were registered.
  void add(StartUpStep step, std::function<void()> action) {
    steps_[static_cast<std::size_t>(step)].push_back(std::move(action));
  }
  // Every step, in the order of StartUpStep.
  void run() const {
    for (const auto& step : steps_) {
      for (const auto& action : step) action();
    }
  }

 private:
  std::array<std::vector<std::function<void()>>, static_cast<std::size_t>(StartUpStep::kCount)>
      steps_;
};

}  // namespace zv
