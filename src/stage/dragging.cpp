#include "stage/dragging.h"

#include <algorithm>
#include <string_view>

#include "layout/handler_names.h"
#include "layout/window_layouts.h"
#include "platform/number_text.h"
#include "store/settings_keys.h"

namespace zv {

namespace h = handlers;
using forms::EventKind;

Dragging::Dragging(StageContext& stage) : stage_(stage) {
  stage.startUp.add(StartUpStep::kStoredPositions, [this] { applyStoredPositionsAtStartUp(); });
  stage.startUp.add(StartUpStep::kUnitsOnScreen, [this] { keepUnitsOnScreenAtStartUp(); });
}

struct Dragging::Target {
  const char* moved;
  std::string_view leftKey;  // empty: the position lasts for the run only
  std::string_view topKey;
  bool raiseTitles;  // the titles stay drawn above what was moved
};

namespace {

const struct {
  const char* handler;
  std::string_view leftKey, topKey;
  const char* moved;
  bool raiseTitles;
} kTargets[] = {
    {h::kDragWheel, keys::kWheelLeft, keys::kWheelTop, units::kWheel, true},
    // Pressed on its picture the wheel moves all the same, but the titles stay where
    // they are in the stacking order.
    {h::kDragWheelBackground, keys::kWheelLeft, keys::kWheelTop, units::kWheel, false},
    {h::kDragMainTitle, keys::kMainTitleLeft, keys::kMainTitleTop, units::kMainTitle, false},
    {h::kDragSubtitle, keys::kSubtitleLeft, keys::kSubtitleTop, units::kSubtitle, false},
    {h::kDragResult, keys::kResultLeft, keys::kResultTop, units::kResultPicture, true},
    {h::kDragPanel, {}, {}, units::kPanel, false},
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
    table[t.handler] = [this, target = Target{t.moved, t.leftKey, t.topKey, t.raiseTitles}](
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
  if (!target.leftKey.empty()) {
    stage_.settings.writeGeneral(target.leftKey, std::to_string(moved->x()));
    stage_.settings.writeGeneral(target.topKey, std::to_string(moved->y()));
  }
  if (target.raiseTitles) {
    stage_.form.unit<QWidget>(units::kMainTitle)->raise();
    stage_.form.unit<QWidget>(units::kSubtitle)->raise();
  }
}

namespace {

const struct {
  std::string_view key;
  const char* unit;
  bool left;
} kStoredPositions[] = {
    {keys::kWheelLeft, units::kWheel, true},
    {keys::kWheelTop, units::kWheel, false},
    {keys::kMainTitleLeft, units::kMainTitle, true},
    {keys::kMainTitleTop, units::kMainTitle, false},
    {keys::kSubtitleLeft, units::kSubtitle, true},
    {keys::kSubtitleTop, units::kSubtitle, false},
    {keys::kResultLeft, units::kResultPicture, true},
    {keys::kResultTop, units::kResultPicture, false},
};

}  // namespace

void Dragging::applyStoredPositionsAtStartUp() {
  for (const auto& p : kStoredPositions) {
    const std::string value = stage_.settings.general(p.key);
    if (value.empty()) continue;
    auto* unit = stage_.form.unit<QWidget>(p.unit);
    const int v = integerValue(value);
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
