#include "stage/show_effects.h"

#include <array>
#include <chrono>

#include "dialogs/message_boxes.h"
#include "layout/handler_names.h"
#include "layout/window_layouts.h"
#include "stage/close_up_view.h"
#include "stage/logic/close_up.h"

namespace zv {

namespace {

// In the menu's order.
const std::array<const SwitchSetting*, menu::kShowEffectCount> kSwitches = {
    &setting::kSlowDown, &setting::kStepTick, &setting::kWinnerCloseUp, &setting::kSmoothFireworks};

constexpr int kCloseUpIndex = 2;

}  // namespace

ShowEffects::ShowEffects(StageContext& stage) : stage_(stage) {
  stage.services.dismissCloseUp = [this] { return closeUp_ && closeUp_->dismiss(); };
  stage.services.landed = [this](const Landing& landing, const std::optional<JournalRow>& row) {
    showCloseUp(landing, row);
  };
  stage.startUp.add(StartUpStep::kShowEffects, [this] { applyAtStartUp(); });
}

void ShowEffects::addHandlers(forms::HandlerTable& table) {
  for (int effect = 0; effect < menu::kShowEffectCount; ++effect) {
    addHandler(table, handlers::kMenuShowEffects[effect], [this, effect] { toggle(effect); });
  }
}

void ShowEffects::applyAtStartUp() {
  for (int effect = 0; effect < menu::kShowEffectCount; ++effect) {
    stage_.form.menuItem(menu::kShowEffectItems[effect])
        ->setTicked(stage_.settings.get(*kSwitches[effect]));
  }
  closeUp_ = new CloseUpView(&stage_.form);
}

void ShowEffects::toggle(int effect) {
  const SwitchSetting& s = *kSwitches[effect];
  if (!stage_.settings.set(s, !stage_.settings.get(s))) {
    MessageBoxes::reportWriteFailure(stage_.files.settings());
  }
  const bool on = stage_.settings.get(s);
  stage_.form.menuItem(menu::kShowEffectItems[effect])->setTicked(on);
  if (effect == kCloseUpIndex && !on && closeUp_) closeUp_->dismiss();
}

void ShowEffects::showCloseUp(const Landing& landing, const std::optional<JournalRow>& row) {
  // Read at each landing: the menu may have changed it since the last.
  if (!closeUp_ || !stage_.settings.get(setting::kWinnerCloseUp)) return;
  const auto* box = stage_.form.unit<QWidget>(units::prizeBox(landing.slot));
  if (!box) return;
  const QRect slotRect(box->mapTo(&stage_.form, QPoint(0, 0)), box->size());
  const std::string caption =
      row ? closeUpCaption(row->sequence, row->time)
          : closeUpCaption(std::nullopt, journalTime(std::chrono::system_clock::now()));
  const char* title = landing.rehearsal ? close_up::kRehearsalTitle : close_up::kTitle;
  closeUp_->present(stage_.drawStage.slotPicture(landing.slot), slotRect, qs(title), qs(caption));
}

}  // namespace zv
