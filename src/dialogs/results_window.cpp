#include "dialogs/results_window.h"

#include <QLineEdit>
#include <QPushButton>

#include "dialogs/dialog_layouts.h"
#include "dialogs/message_boxes.h"
#include "forms/unit_names.h"

namespace zv {

namespace h = handlers;

namespace {

constexpr const char* kClearButton = "按钮1";
constexpr const char* kClearQuestion = "确定清空全部中奖结果吗？";

}  // namespace

ResultsWindow::ResultsWindow(ResultsFile results, std::array<PictureData, kSlotCount> pictures,
                             std::function<void(const std::array<double, kSlotCount>&)> cleared)
    : results_(std::move(results)), cleared_(std::move(cleared)) {
  forms::HandlerTable table;
  table[h::kResultsCreated] = [this, pictures](const forms::UnitEvent&) { fill(pictures); };
  table[h::kClearTallies] = [this](const forms::UnitEvent&) { clear(); };
  form_ = forms::buildForm(resultsLayout(), table);
  // The tally boxes never take the keyboard, so the clear button would be the only unit to
  // take it: an operator's Space or Enter meant for the next draw would then clear
  // every tally. It takes the focus neither by keyboard nor by mouse, and is no default.
  auto* clearButton = form_->unit<QPushButton>(kClearButton);
  clearButton->setFocusPolicy(Qt::NoFocus);
  clearButton->setAutoDefault(false);
  clearButton->setDefault(false);
  form_->dispatch("", forms::EventKind::Created);
}

void ResultsWindow::fill(const std::array<PictureData, kSlotCount>& pictures) {
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    form_->unit<forms::PictureBox>(forms::pictureBoxName(slot))->setPicture(pictures[slot - 1]);
    form_->unit<QLineEdit>(forms::editBoxName(slot))
        ->setText(QString::fromStdString(results_.readTally(slot)));
  }
}

void ResultsWindow::clear() {
  // In quantity mode cleared tallies put prizes already handed out back into the pool.
  if (!MessageBoxes::confirm(kClearQuestion)) return;
  const std::array<double, kSlotCount> before = results_.tallies();
  if (!results_.clearTallies()) {
    MessageBoxes::reportWriteFailure(results_.path());
    return;
  }
  if (cleared_) cleared_(before);
  for (int slot = 1; slot <= kSlotCount; ++slot)
    form_->unit<QLineEdit>(forms::editBoxName(slot))->setText("0");
}

}  // namespace zv
