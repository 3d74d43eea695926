#include "dialogs/prize_settings_window.h"

#include <QLineEdit>
#include <QRadioButton>

#include "dialogs/dialog_layouts.h"
#include "dialogs/message_boxes.h"
#include "forms/unit_names.h"
#include "platform/number_text.h"
#include "draw/draw_pool.h"
#include "store/prize_settings.h"

namespace zv {

namespace h = handlers;

namespace {

constexpr const char* kQuantityRadio = "单选框1";
constexpr const char* kProbabilityRadio = "单选框2";

}  // namespace

PrizeSettingsWindow::PrizeSettingsWindow(SettingsFile settings, PrizeValues& prizeValues,
                                         std::array<PictureData, kSlotCount> pictures)
    : settings_(std::move(settings)), prizeValues_(prizeValues) {
  forms::HandlerTable table;
  table[h::kPrizeSettingsCreated] = [this, pictures](const forms::UnitEvent&) { fill(pictures); };
  table[h::kQuantityMode] = [this](const forms::UnitEvent&) { chooseMode(false); };
  table[h::kProbabilityMode] = [this](const forms::UnitEvent&) { chooseMode(true); };
  table[h::kStorePrizeSettings] = [this](const forms::UnitEvent&) { store(); };
  form_ = forms::buildForm(prizeSettingsLayout(), table);
  form_->dispatch("", forms::EventKind::Created);
}

void PrizeSettingsWindow::fill(const std::array<PictureData, kSlotCount>& pictures) {
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    form_->unit<forms::PictureBox>(forms::pictureBoxName(slot))->setPicture(pictures[slot - 1]);
  }
  if (const auto texts = storedPrizeValueTexts(settings_)) {
    for (int slot = 1; slot <= kSlotCount; ++slot) {
      form_->unit<QLineEdit>(forms::editBoxName(slot))
          ->setText(QString::fromStdString((*texts)[slot - 1]));
    }
  }
  const bool probability = !quantityMode(settings_);
  form_->unit<QRadioButton>(kProbabilityRadio)->setChecked(probability);
  form_->unit<QRadioButton>(kQuantityRadio)->setChecked(!probability);
}

void PrizeSettingsWindow::chooseMode(bool probability) {
  form_->unit<QRadioButton>(kProbabilityRadio)->setChecked(probability);
  form_->unit<QRadioButton>(kQuantityRadio)->setChecked(!probability);
  if (!settings_.set(setting::kProbabilityMode, probability)) {
    MessageBoxes::reportWriteFailure(settings_.path());
  }
}

void PrizeSettingsWindow::store() {
  std::array<std::string, kSlotCount> texts;
  bool written = true;
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    texts[slot - 1] = form_->unit<QLineEdit>(forms::editBoxName(slot))->text().toStdString();
    written = settings_.setText(setting::kPrizeValues[slot - 1].place, texts[slot - 1]) && written;
  }
  if (!written) {
    // The window stays open with everything typed still in it.
    MessageBoxes::reportWriteFailure(settings_.path());
    return;
  }
  for (int slot = 1; slot <= kSlotCount; ++slot)
    prizeValues_[slot - 1] = integerValue(texts[slot - 1]);
  MessageBoxes::show("设置成功！");
  form_->close();
}

}  // namespace zv
