#pragma once
// Moving the wheel, the titles, the result picture and the panel with the mouse, and
// the stored positions that bring them back at start-up.
//
// A drag is the press, the moves and the release that forms/ delivers to the unit that
// was pressed; nothing waits for the button, so the timers (a rolling draw) keep running.
#include <QPoint>
#include <QRect>
#include <QSize>
#include <string>

#include "stage/stage_context.h"

namespace zv {

// Where a unit at `unit` is shown in an area of `area`: where it is, unless it would lie
// wholly outside (stored on a larger screen); then just inside the edge it went past.
// An empty unit shows nothing wherever it is, and stays put.
QPoint keptOnScreen(const QRect& unit, const QSize& area);

class Dragging {
 public:
  explicit Dragging(StageContext& stage);

  void addHandlers(forms::HandlerTable& table);
  // Stored positions, each coordinate on its own.
  void applyStoredPositionsAtStartUp();
  // Once every size is applied: a unit that would lie wholly off the window (a position
  // stored on a larger screen) is shown just inside its edge; the stored value stays.
  void keepUnitsOnScreenAtStartUp();

 private:
  struct Target;
  void follow(const Target& target, const forms::UnitEvent& event);

  StageContext& stage_;
  // The drag under way: the unit pressed, where, and where the moved unit stood then.
  std::string pressed_;
  QPoint pressedAt_;
  QPoint startedAt_;
};

}  // namespace zv
