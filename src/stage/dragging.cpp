#include "stage/dragging.h"

#include "app/handler_names.h"
#include "app/window_layouts.h"
#include "platform/number_text.h"
#include "store/settings_keys.h"

namespace zv {

namespace h = handlers;

void Dragging::addHandlers(forms::HandlerTable& table) {
  // not built yet
  bindNotBuiltYet(table, {h::kDragWheel, h::kDragWheelBackground, h::kDragMainTitle,
                          h::kDragSubtitle, h::kDragResult, h::kDragPanel});
}

void Dragging::applyStoredPositionsAtStartUp() {
  const struct {
    std::string_view key;
    const char* unit;
    bool left;
  } positions[] = {
      {keys::kWheelLeft, units::kWheel, true},
      {keys::kWheelTop, units::kWheel, false},
      {keys::kMainTitleLeft, units::kMainTitle, true},
      {keys::kMainTitleTop, units::kMainTitle, false},
      {keys::kSubtitleLeft, units::kSubtitle, true},
      {keys::kSubtitleTop, units::kSubtitle, false},
      {keys::kResultLeft, units::kResultPicture, true},
      {keys::kResultTop, units::kResultPicture, false},
  };
  for (const auto& p : positions) {
    const std::string value = stage_.settings.general(p.key);
    if (value.empty()) continue;
    auto* unit = stage_.form.unit<QWidget>(p.unit);
    const int v = integerValue(value);
    unit->move(p.left ? v : unit->x(), p.left ? unit->y() : v);
  }
}

}  // namespace zv
