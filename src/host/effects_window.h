#pragma once
// The full-screen window of the win effect, kept above the stage. It never takes the
// keyboard focus, so Space still reaches the draw while it is up.
#include <QWidget>

namespace zv {

class EffectsWindow : public QWidget {
 public:
  explicit EffectsWindow(QWidget* owner);
};

}  // namespace zv
