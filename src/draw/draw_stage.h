#pragma once
// What the draw cycle asks of the stage: the units it reads and changes, sound, the win
// effect overlay, messages and a single-shot timer. The stage window implements it over
// its units; tests implement it with a fake clock.
#include <cstdint>
#include <functional>
#include <string>

#include "platform/picture_data.h"
#include "platform/tick_count.h"

namespace zv {

class DrawStage {
 public:
  virtual ~DrawStage() = default;

  // Read at each request: the panel's edit boxes and check box, the music menu item.
  virtual std::string autoStopText() const = 0;
  virtual std::string rollIntervalText() const = 0;
  virtual bool effectsOff() const = 0;
  virtual bool musicOn() const = 0;

  // The two timers of the draw; an interval of 0 stops a timer.
  virtual void setRollInterval(int milliseconds) = 0;
  virtual void setAutoStopInterval(int milliseconds) = 0;

  // The start label shown and the stop label hidden, or the other way round.
  virtual void showStartLabel(bool start) = 0;
  // The hidden keyboard button: its caption is the draw state ("开始" / "停止").
  virtual std::string drawButtonCaption() const = 0;
  virtual void setDrawButtonCaption(const std::string& caption) = 0;
  virtual void setDrawButtonEnabled(bool enabled) = 0;

  // Prize slots 1..8 and the result picture.
  virtual PictureData slotPicture(int slot) const = 0;
  virtual void setSlotPicture(int slot, PictureData picture) = 0;
  virtual void setSlotRaised(int slot, bool raised) = 0;
  virtual PictureData readPrizePictureFile(int slot) const = 0;
  virtual void setResultPicture(PictureData picture) = 0;
  virtual void setResultVisible(bool visible) = 0;

  // The designated-pick marker (Shift+Q).
  virtual bool designatedMarker() const = 0;
  virtual void clearDesignatedMarker() = 0;

  virtual void startMusic() = 0;
  virtual void stopAllPlayback() = 0;
  virtual void playWinSound() = 0;
  // The short sound of one step of the highlight, cutting short the one before.
  virtual void playStepTick() {}

  // The full-screen win effect over the stage.
  virtual void openEffects() = 0;
  virtual void closeEffects() = 0;
  virtual bool effectsOpen() const = 0;

  virtual void showExhaustedMessage() = 0;
  virtual void reportTallyNotWritten() = 0;

  // Runs `continuation` once, `milliseconds` from now, from the event loop.
  virtual void after(int milliseconds, std::function<void()> continuation) = 0;

  // Milliseconds on a clock that only moves forward (wrapping at 32 bits): the slow-down
  // places the highlight by the time since the stop. Tests give a fake clock.
  virtual std::uint32_t clockMs() const { return tickCount(); }
};

}  // namespace zv
