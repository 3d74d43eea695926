#pragma once
// The full-screen window of the win effect, kept above the stage. It never takes the
// keyboard focus, so Space still reaches the draw while it is up.
#include <QWidget>

namespace zv {

class RandomSource;

class EffectsWindow : public QWidget {
 public:
  // Creates the window over the whole screen and starts one of the win effects in it.
  EffectsWindow(QWidget* owner, RandomSource& random);
};

}  // namespace zv
