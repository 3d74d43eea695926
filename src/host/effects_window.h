#pragma once
// The full-screen window of the win effect, kept above the stage. Its black areas show the
// stage and let clicks through to it; it never takes the keyboard focus, so Space still
// reaches the draw while it is up.
#include <QWidget>

namespace zv {

class RandomSource;

class EffectsWindow : public QWidget {
 public:
  // Creates the window over the whole screen and starts one of the win effects in it,
  // drawn from random (reseeded from the clock first).
  EffectsWindow(QWidget* owner, RandomSource& random);

  int movieNumber() const { return movie_; }  // 4, 5 or 6
  QWidget* control() const { return control_; }

 protected:
  bool event(QEvent* event) override;

 private:
  int movie_ = 0;
  QWidget* control_ = nullptr;
};

}  // namespace zv
