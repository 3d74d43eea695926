#pragma once
// The draw cycle's view of the stage window: its units, sound, the effect overlay and the
// message boxes.
#include <QWidget>
#include <functional>
#include <memory>

#include "draw/draw_stage.h"
#include "draw/random_source.h"
#include "forms/form.h"
#include "platform/audio.h"
#include "store/program_files.h"

namespace zv {

class EffectsWindow;

class StageDraw : public DrawStage {
 public:
  StageDraw(forms::Form& form, const ProgramFiles& files, Audio& audio, RandomSource& random);
  ~StageDraw() override;

  std::string autoStopText() const override;
  std::string rollIntervalText() const override;
  bool effectsOff() const override;
  bool musicOn() const override;
  void setRollInterval(int milliseconds) override;
  void setAutoStopInterval(int milliseconds) override;
  void showStartLabel(bool start) override;
  std::string drawButtonCaption() const override;
  void setDrawButtonCaption(const std::string& caption) override;
  void setDrawButtonEnabled(bool enabled) override;
  PictureData slotPicture(int slot) const override;
  void setSlotPicture(int slot, PictureData picture) override;
  void setSlotRaised(int slot, bool raised) override;
  PictureData readPrizePictureFile(int slot) const override;
  void setResultPicture(PictureData picture) override;
  void setResultVisible(bool visible) override;
  bool designatedMarker() const override;
  void clearDesignatedMarker() override;
  void startMusic() override;
  void stopAllPlayback() override;
  void playWinSound() override;
  void playStepTick() override;
  void openEffects() override;
  void closeEffects() override;
  bool effectsOpen() const override;
  void showExhaustedMessage() override;
  void reportTallyNotWritten() override;
  void after(int milliseconds, std::function<void()> continuation) override;
  std::uint32_t clockMs() const override { return clock_ ? clock_() : DrawStage::clockMs(); }
  // Tests drive the slow-down on a clock of their own; the tick count when unset.
  void setClock(std::function<std::uint32_t()> clock) { clock_ = std::move(clock); }

  EffectsWindow* effectsWindow() const { return effects_.get(); }
  // Where the music switch is read at each start; the music module owns it.
  void setMusicSwitch(std::function<bool()> musicOn) { musicOn_ = std::move(musicOn); }

 private:
  forms::PictureBox* slot(int slot) const;

  forms::Form& form_;
  const ProgramFiles& files_;
  Audio& audio_;
  RandomSource& random_;
  std::unique_ptr<EffectsWindow> effects_;
  std::function<bool()> musicOn_;
  std::function<std::uint32_t()> clock_;
};

// Stands in for the hidden keyboard button: it takes the focus that the focus timer hands
// out (Qt gives none to a hidden widget) and clicks the button with the Space bar while
// the button is enabled.
class DrawKeyTarget : public QWidget {
 public:
  DrawKeyTarget(forms::Form& form, const char* button);
  // Asked at each Space before the button: true when it used the key (the Space closed
  // something), and then the button is not clicked.
  void setSpaceFirst(std::function<bool()> spaceFirst) { spaceFirst_ = std::move(spaceFirst); }

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;

 private:
  forms::Form& form_;
  std::string button_;
  std::function<bool()> spaceFirst_;
  bool spaceUsed_ = false;  // the press was used; its release clicks nothing
};

}  // namespace zv
