// The wheel on the stage: its size steps, its layout geometry, its outline and style.
#include "app/logic/wheel_geometry.h"
#include "app/main_window.h"
#include "app/window_layouts.h"
#include "platform/number_text.h"
#include "resources/artwork.h"
#include "store/settings_keys.h"

namespace zv {

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

}  // namespace

void MainWindow::enlargementStep() {
  forms::Form& f = *form_;
  auto* frame = f.unit<QWidget>(units::kWheel);
  auto* background = f.unit<QWidget>(units::kWheelBackground);
  auto* start = f.unit<TransparentLabel>(units::kStartLabel);
  auto* stop = f.unit<TransparentLabel>(units::kStopLabel);

  WheelGeometry wheel;
  wheel.frameWidth = frame->width();
  wheel.frameHeight = frame->height();
  wheel.backgroundWidth = background->width();
  wheel.backgroundHeight = background->height();
  wheel.startLabel = boxOf(start);
  wheel.stopLabel = boxOf(stop);
  wheel.startLabelPoints = static_cast<int>(start->unitFont().points);
  wheel.stopLabelPoints = static_cast<int>(stop->unitFont().points);
  for (int slot = 1; slot <= 8; ++slot) {
    wheel.prizes[slot - 1] = boxOf(f.unit<QWidget>(units::prizeBox(slot)));
  }

  state_.enlargement = kEnlargementFactor;
  enlargeWheel(wheel);
  state_.enlargement = 1.0f;

  frame->resize(wheel.frameWidth, wheel.frameHeight);
  background->resize(wheel.backgroundWidth, wheel.backgroundHeight);
  place(start, wheel.startLabel);
  place(stop, wheel.stopLabel);
  setLabelPoints(start, wheel.startLabelPoints);
  setLabelPoints(stop, wheel.stopLabelPoints);
  for (int slot = 1; slot <= 8; ++slot) {
    place(f.unit<QWidget>(units::prizeBox(slot)), wheel.prizes[slot - 1]);
  }
}

void MainWindow::resetWheel() {
  forms::Form& f = *form_;
  const WheelGeometry wheel = layoutWheel();
  f.unit<QWidget>(units::kWheel)->resize(wheel.frameWidth, wheel.frameHeight);
  f.unit<QWidget>(units::kWheelBackground)->resize(wheel.backgroundWidth, wheel.backgroundHeight);
  for (int slot = 1; slot <= 8; ++slot) {
    place(f.unit<QWidget>(units::prizeBox(slot)), wheel.prizes[slot - 1]);
  }
  auto* start = f.unit<TransparentLabel>(units::kStartLabel);
  auto* stop = f.unit<TransparentLabel>(units::kStopLabel);
  place(start, wheel.startLabel);
  place(stop, wheel.stopLabel);
  setLabelPoints(start, wheel.startLabelPoints);
  setLabelPoints(stop, wheel.stopLabelPoints);
}

void MainWindow::applyWheelSize(std::string_view wheelSizeText) {
  const int steps = wheelSteps(numericValue(wheelSizeText));
  for (int i = 0; i < steps; ++i) enlargementStep();
}

void MainWindow::clipWheel() { form_->unit<Shape>(units::kWheel)->clipToEllipse(); }

void MainWindow::showStyle(int style, bool tickMarks) {
  form_->unit<PictureBox>(units::kWheelBackground)
      ->setPicture(PictureData(std::string(artwork::wheelStyle(style))));
  const artwork::Glow glow = artwork::wheelStyleGlow(style);
  for (int slot = 1; slot <= 8; ++slot) {
    form_->unit<PictureBox>(units::prizeBox(slot))
        ->setGlow(QColor::fromRgb(glow.centre), QColor::fromRgb(glow.edge));
  }
  // The whole wheel at once, rim included: a partial repaint left a band of the old rim.
  form_->unit<QWidget>(units::kWheel)->repaint();
  if (tickMarks) {
    tickExclusively({menu::kStyles[0], menu::kStyles[1], menu::kStyles[2], menu::kStyles[3]},
                    menu::kStyles[style - 1]);
  }
}

void MainWindow::chooseStyle(int style) {
  showStyle(style, true);
  settings_.writeGeneral(keys::kWheelStyle,
                         keys::kWheelStyles[static_cast<std::size_t>(style - 1)]);
}

}  // namespace zv
