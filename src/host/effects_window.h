#pragma once
// The full-screen win effect, kept above the stage. Its black areas show the stage and let
// clicks through to it; it never takes the keyboard focus, so Space still reaches the draw
// while it is up.
//
// Over a stage that fills the screen the effect is a layer inside the stage's own window:
// the stage repaints what lies beneath each frame's fireworks and nothing else changes, so
// the frames reach the screen at the movie's rate with or without a window manager or a
// compositor, and nothing can be stacked wrongly. Over a smaller stage (windowed mode) it
// is a window of its own covering the screen, keyed by shape or alpha (on Windows a
// translucent tool window that lets every click through).
#include <QWidget>
#include <memory>

namespace zv {

class RandomSource;

enum class EffectsPlacement {
  OwnWindow,    // a tool window above its owner, covering the owner's screen
  InsideOwner,  // a layer over all of the owner's units, covering the owner
};

// Where the effect of a stage goes: inside it when it is full screen.
EffectsPlacement effectsPlacementFor(const QWidget* owner);

class EffectsWindow : public QWidget {
 public:
  // Creates the effect over owner and starts one of the win effects in it, drawn from
  // random (reseeded from the clock first); smooth draws it at the screen's refresh rate
  // rather than the movie's own.
  EffectsWindow(QWidget* owner, RandomSource& random,
                EffectsPlacement placement = EffectsPlacement::OwnWindow, bool smooth = true);
  ~EffectsWindow() override;

  // Another showing in the same window, which is made once per stage: a movie drawn
  // afresh, started from its first frame.
  void replay(RandomSource& random, bool smooth = true);
  // Ends the showing: the movie stops and goes, the window hides.
  void stop();

  int movieNumber() const { return movie_; }  // 4, 5 or 6
  QWidget* control() const { return control_; }
  EffectsPlacement placement() const { return placement_; }

 protected:
  bool event(QEvent* event) override;

 private:
  class RightButtonGuard;

  EffectsPlacement placement_;
  int movie_ = 0;
  QWidget* control_ = nullptr;
  std::unique_ptr<RightButtonGuard> guard_;
};

}  // namespace zv
