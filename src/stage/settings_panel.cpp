#include "stage/settings_panel.h"

#include <QCheckBox>
#include <QLineEdit>

#include "layout/handler_names.h"
#include "layout/window_layouts.h"
#include "dialogs/message_boxes.h"
#include "stage/logic/panel_save.h"

namespace zv {

namespace h = handlers;

namespace {

// The focus timer's period while the panel is closed.

std::string textOf(const forms::Form& f, const char* edit) {
  return f.unit<QLineEdit>(edit)->text().toStdString();
}

// Save's view of the stage window.
class FormPanelStage : public PanelStage {
 public:
  FormPanelStage(SettingsPanel& panel, StageContext& stage) : panel_(panel), stage_(stage) {}

  PanelFields fields() const override {
    const forms::Form& f = stage_.form;
    return {.resultWidth = textOf(f, units::kResultWidthEdit),
            .resultHeight = textOf(f, units::kResultHeightEdit),
            .rollInterval = textOf(f, units::kRollIntervalEdit),
            .effectsOff = f.unit<QCheckBox>(units::kEffectsOffBox)->isChecked(),
            .autoStop = textOf(f, units::kAutoStopEdit),
            .wheelSize = textOf(f, units::kWheelSizeEdit)};
  }
  bool write(std::string_view key, std::string_view value) override {
    return stage_.settings.writeGeneral(key, value);
  }
  void setResultHeight(int pixels) override {
    auto* result = stage_.form.unit<QWidget>(units::kResultPicture);
    result->resize(result->width(), pixels);
  }
  void setResultWidth(int pixels) override {
    auto* result = stage_.form.unit<QWidget>(units::kResultPicture);
    result->resize(pixels, result->height());
  }
  void closePanel() override { panel_.close(); }
  void resetWheel() override { stage_.services.resetWheel(); }
  void enlargeWheel() override { stage_.services.enlargeWheel(); }
  void clipWheel() override { stage_.services.clipWheel(); }
  void reportWriteFailure() override { MessageBoxes::reportWriteFailure(stage_.settings.path()); }

 private:
  SettingsPanel& panel_;
  StageContext& stage_;
};

}  // namespace

SettingsPanel::SettingsPanel(StageContext& stage) : stage_(stage) {
  stage.startUp.add(StartUpStep::kEffectsSwitch, [this] { applyEffectsSwitchAtStartUp(); });
  stage.startUp.add(StartUpStep::kResultSize, [this] { applyResultSizeAtStartUp(); });
  stage.startUp.add(StartUpStep::kDrawTimes, [this] { applyDrawTimesAtStartUp(); });
}

void SettingsPanel::addHandlers(forms::HandlerTable& table) {
  addHandler(table, h::kMenuOtherSettings, [this] { open(); });
  addHandler(table, h::kClosePanel, [this] { close(); });
  addHandler(table, h::kSavePanel, [this] { save(); });
}

void SettingsPanel::open() {
  forms::Form& f = stage_.form;
  auto* panel = f.unit<QWidget>(units::kPanel);
  panel->show();
  panel->raise();
  // Stopped, or it would pull the keyboard back to the draw while something is typed.
  f.unit<forms::WindowTimer>(units::kFocusTimer)->setInterval(0);
  // The draw still holds the keyboard: a Space typed now must land in the panel.
  f.unit<QLineEdit>(units::kResultWidthEdit)->setFocus(Qt::OtherFocusReason);
}

void SettingsPanel::close() {
  forms::Form& f = stage_.form;
  f.unit<QWidget>(units::kPanel)->hide();
  f.unit<forms::WindowTimer>(units::kFocusTimer)->setInterval(units::kFocusPeriod);
  stage_.services.takeKeyboardFocus();
}

void SettingsPanel::save() {
  FormPanelStage view(*this, stage_);
  savePanel(view);
  // The save may have resized the result picture and the slots.
  stage_.services.prepareShownSizes();
}

void SettingsPanel::applyEffectsSwitchAtStartUp() {
  stage_.form.unit<QCheckBox>(units::kEffectsOffBox)
      ->setChecked(stage_.settings.get(setting::kEffectsOff));
}

void SettingsPanel::applyResultSizeAtStartUp() {
  forms::Form& f = stage_.form;
  auto* result = f.unit<forms::PictureBox>(units::kResultPicture);
  result->resize(
      storedResultExtent(stage_.settings.stored(setting::kResultWidth), result->width()),
      storedResultExtent(stage_.settings.stored(setting::kResultHeight), result->height()));
  f.unit<QLineEdit>(units::kResultWidthEdit)->setText(QString::number(result->width()));
  f.unit<QLineEdit>(units::kResultHeightEdit)->setText(QString::number(result->height()));
}

void SettingsPanel::applyDrawTimesAtStartUp() {
  forms::Form& f = stage_.form;
  f.unit<QLineEdit>(units::kAutoStopEdit)
      ->setText(qs(stage_.settings.storedText(setting::kAutoStop.place).value_or("0")));
  if (const auto interval = stage_.settings.storedText(setting::kRollInterval.place)) {
    f.unit<QLineEdit>(units::kRollIntervalEdit)->setText(qs(*interval));
  }
}

}  // namespace zv
