#include "stage/wheel.h"

#include <QLineEdit>

#include "layout/handler_names.h"
#include "layout/logic/wheel_geometry.h"
#include "layout/window_layouts.h"
#include "platform/number_text.h"
#include "resources/artwork.h"
#include "dialogs/message_boxes.h"

namespace zv {

namespace h = handlers;
using forms::PictureBox;
using forms::Shape;
using forms::TransparentLabel;

namespace {

Box boxOf(const QWidget* w) { return Box{w->x(), w->y(), w->width(), w->height()}; }
void place(QWidget* w, const Box& b) { w->setGeometry(b.left, b.top, b.width, b.height); }

void setLabelPoints(TransparentLabel* label, int points) {
  forms::UnitFont font = label->unitFont();
  font.points = points;
  label->setUnitFont(font);
}

// The wheel's units as they stand now.
WheelGeometry measure(const forms::Form& f) {
  auto* start = f.unit<TransparentLabel>(units::kStartLabel);
  auto* stop = f.unit<TransparentLabel>(units::kStopLabel);
  WheelGeometry wheel;
  wheel.frameWidth = f.unit<QWidget>(units::kWheel)->width();
  wheel.frameHeight = f.unit<QWidget>(units::kWheel)->height();
  wheel.backgroundWidth = f.unit<QWidget>(units::kWheelBackground)->width();
  wheel.backgroundHeight = f.unit<QWidget>(units::kWheelBackground)->height();
  wheel.startLabel = boxOf(start);
  wheel.stopLabel = boxOf(stop);
  wheel.startLabelPoints = static_cast<int>(start->unitFont().points);
  wheel.stopLabelPoints = static_cast<int>(stop->unitFont().points);
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    wheel.prizes[slot - 1] = boxOf(f.unit<QWidget>(units::prizeBox(slot)));
  }
  return wheel;
}

// Puts the wheel's units where the geometry says; the frame keeps its position.
void arrange(forms::Form& f, const WheelGeometry& wheel) {
  f.unit<QWidget>(units::kWheel)->resize(wheel.frameWidth, wheel.frameHeight);
  f.unit<QWidget>(units::kWheelBackground)->resize(wheel.backgroundWidth, wheel.backgroundHeight);
  auto* start = f.unit<TransparentLabel>(units::kStartLabel);
  auto* stop = f.unit<TransparentLabel>(units::kStopLabel);
  place(start, wheel.startLabel);
  place(stop, wheel.stopLabel);
  setLabelPoints(start, wheel.startLabelPoints);
  setLabelPoints(stop, wheel.stopLabelPoints);
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    place(f.unit<QWidget>(units::prizeBox(slot)), wheel.prizes[slot - 1]);
  }
}

}  // namespace

Wheel::Wheel(StageContext& stage) : stage_(stage) {
  stage.services.resetWheel = [this] { reset(); };
  stage.services.enlargeWheel = [this] { enlargementStep(); };
  stage.services.clipWheel = [this] { clip(); };
  stage.startUp.add(StartUpStep::kWheelCentred, [this] { centreAtStartUp(); });
  stage.startUp.add(StartUpStep::kWheelStyle, [this] { applyStyleAtStartUp(); });
  stage.startUp.add(StartUpStep::kWheelSize, [this] { applySizeAtStartUp(); });
  stage.startUp.add(StartUpStep::kWheelOutline, [this] { clip(); });
}

void Wheel::centreAtStartUp() {
  auto* wheel = stage_.form.unit<QWidget>(units::kWheel);
  wheel->move(centredLeft(stage_.screenSize().width(), wheel->width()), wheel->y());
}

void Wheel::addHandlers(forms::HandlerTable& table) {
  addHandler(table, h::kMenuEnlarge, [this] { enlargementStep(); });
  for (int style = 1; style <= kWheelStyleCount; ++style) {
    addHandler(table, h::kMenuStyles[style - 1], [this, style] { chooseStyle(style); });
  }
}

void Wheel::applyStyleAtStartUp() {
  // A style none of the four shows the first without tick marks.
  const std::optional<std::size_t> stored = stage_.settings.stored(setting::kWheelStyle);
  showStyle(static_cast<int>(stored.value_or(setting::kWheelStyle.fallback)) + 1,
            stored.has_value());
}

void Wheel::applySizeAtStartUp() {
  if (const auto typed = stage_.settings.storedText(setting::kWheelSize.place)) {
    stage_.form.unit<QLineEdit>(units::kWheelSizeEdit)->setText(qs(*typed));
    applySize(stage_.settings.get(setting::kWheelSize));
  }
}

void Wheel::enlargementStep() {
  WheelGeometry wheel = measure(stage_.form);
  enlargeWheel(wheel);
  arrange(stage_.form, wheel);
}

void Wheel::reset() { arrange(stage_.form, layoutWheel()); }

void Wheel::applySize(std::string_view wheelSizeText) { applySize(numericValue(wheelSizeText)); }

void Wheel::applySize(double wheelSize) {
  const int steps = wheelSteps(wheelSize);
  for (int i = 0; i < steps; ++i) enlargementStep();
}

void Wheel::clip() {
  stage_.form.unit<Shape>(units::kWheel)->clipToEllipse();
  stage_.form.unit<PictureBox>(units::kWheelBackground)->setRoundEdge(true);
}

void Wheel::showStyle(int style, bool tickMarks) {
  forms::Form& f = stage_.form;
  f.unit<PictureBox>(units::kWheelBackground)
      ->setPicture(PictureData(std::string(artwork::wheelStyle(style))));
  const artwork::Glow glow = artwork::wheelStyleGlow(style);
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    f.unit<PictureBox>(units::prizeBox(slot))
        ->setGlow(QColor::fromRgb(glow.centre), QColor::fromRgb(glow.edge));
  }
  // The whole wheel at once, rim included: a partial repaint left a band of the old rim.
  f.unit<QWidget>(units::kWheel)->repaint();
  if (tickMarks) {
    tickExclusively(f, menu::kStyles, menu::kStyles[style - 1]);
  }
}

void Wheel::chooseStyle(int style) {
  showStyle(style, true);
  if (!stage_.settings.set(setting::kWheelStyle, static_cast<std::size_t>(style - 1))) {
    MessageBoxes::reportWriteFailure(stage_.settings.path());
  }
}

}  // namespace zv
