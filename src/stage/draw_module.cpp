#include "stage/draw_module.h"

#include "layout/handler_names.h"
#include "layout/window_layouts.h"
#include "store/prize_settings.h"

namespace zv {

namespace h = handlers;

DrawModule::DrawModule(StageContext& stage) : stage_(stage) {
  stage.services.takeKeyboardFocus = [this] { takeKeyboardFocus(); };
  stage.drawStage.setMusicSwitch([&services = stage.services] { return services.musicOn(); });
  stage.startUp.add(StartUpStep::kDrawKeys, [this] {
    keyTarget_ = new DrawKeyTarget(stage_.form, units::kDrawButton);
    keyTarget_->setSpaceFirst([&services = stage_.services] {
      return services.dismissCloseUp && services.dismissCloseUp();
    });
  });
  // A combination taken by another program is ignored.
  stage.startUp.add(StartUpStep::kHotKey, [this] {
    hotKey_.registerShiftQ(
        [this] { stage_.form.dispatch(units::kHotKeyLabel, forms::EventKind::HotKey); });
  });
  stage.startUp.add(StartUpStep::kSlotList, [this] { makeSlotListAtStartUp(); });
  stage.startUp.add(StartUpStep::kPrizeValues, [this] { applyPrizeValuesAtStartUp(); });
}

void DrawModule::addHandlers(forms::HandlerTable& table) {
  DrawCycle& draw = stage_.draw;
  addHandler(table, h::kStartDraw, [&draw] { draw.startLabelPressed(); });
  addHandler(table, h::kStopDraw, [&draw] { draw.stopLabelPressed(); });
  addHandler(table, h::kAutoStop, [&draw] { draw.autoStopFired(); });
  addHandler(table, h::kDrawButton, [&draw] { draw.drawButtonClicked(); });
  addHandler(table, h::kRollStep, [&draw] { draw.rollStep(); });
  addHandler(table, h::kFocusDrawButton, [this] { keyTarget_->setFocus(Qt::OtherFocusReason); });
  addHandler(table, h::kShowDesignatedMarker,
             [this] { stage_.form.unit<QWidget>(units::kDesignatedMarker)->setVisible(true); });
}

void DrawModule::takeKeyboardFocus() {
  forms::Form& form = stage_.form;
  form.activateWindow();
  // While the other-settings panel is open its boxes keep the keyboard (a display-mode
  // switch comes here too): a Space typed there must not start a draw under the panel.
  if (auto* panel = form.unit<QWidget>(units::kPanel); panel && !panel->isHidden()) {
    if (!panel->isAncestorOf(form.focusWidget()))
      form.unit<QWidget>(units::kResultWidthEdit)->setFocus(Qt::OtherFocusReason);
    return;
  }
  keyTarget_->setFocus(Qt::OtherFocusReason);
}

void DrawModule::makeSlotListAtStartUp() {
  std::vector<forms::PictureBox*>& list = stage_.state.slotList;
  list.clear();
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    list.push_back(stage_.form.unit<forms::PictureBox>(units::prizeBox(slot)));
  }
}

void DrawModule::applyPrizeValuesAtStartUp() {
  stage_.state.prizeValues = storedPrizeValues(stage_.settings).value_or(kDefaultPrizeValues);
}

}  // namespace zv
