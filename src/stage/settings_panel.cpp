#include "stage/settings_panel.h"

#include <QCheckBox>
#include <QLineEdit>
#include <algorithm>

#include "app/handler_names.h"
#include "app/window_layouts.h"
#include "platform/number_text.h"
#include "store/settings_keys.h"

namespace zv {

namespace h = handlers;

namespace {

// Sizes a widget can take without Qt clamping them or the layout overflowing.
constexpr int kMaxExtent = 16'000;

int extent(std::string_view text) { return std::clamp(integerValue(text), 0, kMaxExtent); }

}  // namespace

void SettingsPanel::addHandlers(forms::HandlerTable& table) {
  // not built yet
  bindNotBuiltYet(table, {h::kClosePanel, h::kSavePanel, h::kMenuOtherSettings});
}

void SettingsPanel::applyEffectsSwitchAtStartUp() {
  stage_.form.unit<QCheckBox>(units::kEffectsOffBox)
      ->setChecked(stage_.settings.general(keys::kEffectsOff) == keys::kTrue);
}

void SettingsPanel::applyResultSizeAtStartUp() {
  forms::Form& f = stage_.form;
  auto* result = f.unit<forms::PictureBox>(units::kResultPicture);
  if (const std::string width = stage_.settings.general(keys::kResultWidth); !width.empty()) {
    result->resize(extent(width), result->height());
  }
  f.unit<QLineEdit>(units::kResultWidthEdit)->setText(QString::number(result->width()));
  if (const std::string height = stage_.settings.general(keys::kResultHeight); !height.empty()) {
    result->resize(result->width(), extent(height));
  }
  f.unit<QLineEdit>(units::kResultHeightEdit)->setText(QString::number(result->height()));
}

void SettingsPanel::applyDrawTimesAtStartUp() {
  forms::Form& f = stage_.form;
  const std::string autoStop = stage_.settings.general(keys::kAutoStop);
  f.unit<QLineEdit>(units::kAutoStopEdit)
      ->setText(autoStop.empty() || autoStop == "0" ? QString("0") : qs(autoStop));
  if (const std::string interval = stage_.settings.general(keys::kRollInterval);
      !interval.empty()) {
    f.unit<QLineEdit>(units::kRollIntervalEdit)->setText(qs(interval));
  }
}

}  // namespace zv
