#include "stage/dragging.h"

#include <algorithm>
#include <string_view>

#include "layout/handler_names.h"
#include "layout/window_layouts.h"
#include "dialogs/message_boxes.h"

namespace zv {

namespace h = handlers;
using forms::EventKind;

Dragging::Dragging(StageContext& stage) : stage_(stage) {
  stage.startUp.add(StartUpStep::kStoredPositions, [this] { applyStoredPositionsAtStartUp(); });
  stage.startUp.add(StartUpStep::kUnitsOnScreen, [this] { keepUnitsOnScreenAtStartUp(); });
}

struct Dragging::Target {
  const char* moved;
  const IntegerSetting* left;  // none: the position lasts for the run only
  const IntegerSetting* top;
  bool raiseTitles;  // the titles stay drawn above what was moved
};

namespace {

const struct {
  const char* handler;
  const IntegerSetting *left, *top;
  const char* moved;
  bool raiseTitles;
} kTargets[] = {
    {h::kDragWheel, &setting::kWheelLeft, &setting::kWheelTop, units::kWheel, true},
    // Pressed on its picture the wheel moves all the same, but the titles stay where
    // they are in the stacking order.
    {h::kDragWheelBackground, &setting::kWheelLeft, &setting::kWheelTop, units::kWheel, false},
    {h::kDragMainTitle, &setting::kMainTitleLeft, &setting::kMainTitleTop, units::kMainTitle, false},
    {h::kDragSubtitle, &setting::kSubtitleLeft, &setting::kSubtitleTop, units::kSubtitle, false},
    {h::kDragResult, &setting::kResultLeft, &setting::kResultTop, units::kResultPicture, true},
    {h::kDragPanel, nullptr, nullptr, units::kPanel, false},
};

int keptInside(int start, int length, int area) {
  if (start + length <= 0) return 0;
  if (start >= area) return std::max(0, area - length);
  return start;
}

}  // namespace

QPoint keptOnScreen(const QRect& unit, const QSize& area) {
  if (unit.isEmpty() || unit.intersects(QRect(QPoint(0, 0), area))) return unit.topLeft();
  return {keptInside(unit.x(), unit.width(), area.width()),
          keptInside(unit.y(), unit.height(), area.height())};
}

void Dragging::addHandlers(forms::HandlerTable& table) {
  for (const auto& t : kTargets) {
    table[t.handler] = [this, target = Target{t.moved, t.left, t.top, t.raiseTitles}](
                           const forms::UnitEvent& e) { follow(target, e); };
  }
}

void Dragging::follow(const Target& target, const forms::UnitEvent& e) {
  auto* moved = stage_.form.unit<QWidget>(target.moved);
  if (e.event == EventKind::LeftButtonDown) {
    pressed_ = e.unit;
    pressedAt_ = e.globalPos;
    startedAt_ = moved->pos();
    return;
  }
  // Moves and a release belong to the press that started the drag.
  if (pressed_.empty() || e.unit != pressed_) return;
  moved->move(startedAt_ + (e.globalPos - pressedAt_));
  if (e.event != EventKind::LeftButtonUp) return;
  pressed_.clear();

  // Written at every release, a click without movement included.
  if (target.left) {
    // Both tried, one report.
    bool written = stage_.settings.set(*target.left, moved->x());
    written = stage_.settings.set(*target.top, moved->y()) && written;
    if (!written) MessageBoxes::reportWriteFailure(stage_.settings.path());
  }
  if (target.raiseTitles) {
    stage_.form.unit<QWidget>(units::kMainTitle)->raise();
    stage_.form.unit<QWidget>(units::kSubtitle)->raise();
  }
}

namespace {

const struct {
  const IntegerSetting& place;
  const char* unit;
  bool left;
} kStoredPositions[] = {
    {setting::kWheelLeft, units::kWheel, true},
    {setting::kWheelTop, units::kWheel, false},
    {setting::kMainTitleLeft, units::kMainTitle, true},
    {setting::kMainTitleTop, units::kMainTitle, false},
    {setting::kSubtitleLeft, units::kSubtitle, true},
    {setting::kSubtitleTop, units::kSubtitle, false},
    {setting::kResultLeft, units::kResultPicture, true},
    {setting::kResultTop, units::kResultPicture, false},
};

}  // namespace

void Dragging::applyStoredPositionsAtStartUp() {
  for (const auto& p : kStoredPositions) {
    const std::optional<std::int32_t> stored = stage_.settings.stored(p.place);
    if (!stored) continue;
    auto* unit = stage_.form.unit<QWidget>(p.unit);
    const int v = *stored;
    unit->move(p.left ? v : unit->x(), p.left ? unit->y() : v);
  }
}

void Dragging::keepUnitsOnScreenAtStartUp() {
  const QSize area = stage_.form.size();
  for (const char* name : {units::kWheel, units::kMainTitle, units::kSubtitle,
                           units::kResultPicture}) {
    auto* unit = stage_.form.unit<QWidget>(name);
    unit->move(keptOnScreen(unit->geometry(), area));
  }
}

}  // namespace zv
