#include "stage/record.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <cstdlib>

#include "layout/handler_names.h"
#include "layout/window_layouts.h"
#include "dialogs/journal_window.h"
#include "dialogs/message_boxes.h"
#include "draw/draw_cycle.h"
#include "draw/draw_pool.h"
#include "platform/files.h"
#include "platform/number_text.h"
#include "platform/qt/window_owner.h"
#include "stage/stage_mark.h"
#include "store/settings_file.h"

namespace zv {

namespace h = handlers;

namespace {

constexpr const char* kVoidTitle = "作废上次中奖";

std::string journalFailureText(const std::string& path) {
  return "无法写入抽奖记录文件 " + path +
         "，本次运行中的抽奖记录可能不完整。\r\n抽奖和中奖结果照常进行。";
}

}  // namespace

RecordModule::RecordModule(StageContext& stage)
    : context_(stage),
      files_(stage.files),
      journal_(files_.directory + "/" + journal_text::kFileName),
      record_(journal_, ResultsFile(files_.results()), [this](const std::string& path) {
        // A journal refused as no regular file has been reported as such.
        if (reportedAsUnusable(path)) return;
        // Shown once the landing is over, not in the middle of the roll step.
        QTimer::singleShot(0, this, [path] {
          MessageBoxes::show(journalFailureText(path), MessageBoxes::kDefaultTitle,
                             MessageButtons::Ok, MessageIcon::Warning);
        });
      }) {
  stage.services.recordClear = [this](const std::array<double, kSlotCount>& before) {
    record_.recordClear(before);
  };
  stage.services.drawRecord = [this]() -> DrawRecord& { return record_; };
  stage.startUp.add(StartUpStep::kJournalAttached, [this] { attachAtStartUp(); });
  stage.startUp.add(StartUpStep::kJournalReconciled, [this] { reconcileAtStartUp(); });
}

RecordModule::~RecordModule() = default;

void RecordModule::addHandlers(forms::HandlerTable& table) {
  table[h::kMenuJournal] = [this](const forms::UnitEvent&) { openJournalWindow(); };
  table[h::kMenuVoidLastWin] = [this](const forms::UnitEvent&) { voidLastWin(); };
  table[h::kMenuRehearsal] = [this](const forms::UnitEvent&) { setRehearsal(!rehearsal_); };
}

void RecordModule::attachAtStartUp() {
  forms::Form& stage = context_.form;
  DrawCycle& draw = context_.draw;
  stage_ = &stage;
  draw_ = &draw;
  // For the test of a run killed between a win's tally and its journal row.
  const bool exitAfterTally = std::getenv("ZORVANE_TEST_EXIT_AFTER_TALLY") != nullptr;
  draw.setLandingListener([this, exitAfterTally](const Landing& landing) {
    if (exitAfterTally && landing.tallyWritten) std::_Exit(0);
    const std::optional<JournalRow> row = record_.recordLanding(landing);
    if (context_.services.landed) context_.services.landed(landing, row);
  });

  stage.installEventFilter(this);
  QObject::connect(stage.popupMenu(), &QMenu::aboutToShow, this, [this] { refreshMenu(); });
  setRehearsal(false);
}

void RecordModule::reconcileAtStartUp() { record_.reconcile(); }

void RecordModule::placeMark() { placeStageMark(mark_, stage_, 0); }

bool RecordModule::eventFilter(QObject* watched, QEvent* event) {
  if (watched == stage_ && (event->type() == QEvent::Resize || event->type() == QEvent::Show)) {
    placeMark();
  }
  return QObject::eventFilter(watched, event);
}

void RecordModule::makeMark() {
  // Made the first time rehearsal mode comes on: its face and style sheet cost the stage
  // several milliseconds at start, for a mark most starts never show.
  mark_ = makeStageMark(stage_, kRehearsalMarkText, kRehearsalMarkName);
}

void RecordModule::setRehearsal(bool on) {
  rehearsal_ = on;
  if (draw_) draw_->setRehearsal(on);
  if (stage_) stage_->menuItem(QString::fromUtf8(menu::kRehearsal))->setTicked(on);
  if (on && !mark_ && stage_) makeMark();
  if (mark_) {
    placeMark();
    mark_->setVisible(on);
  }
}

void RecordModule::refreshMenu() {
  if (!stage_) return;
  stage_->menuItem(QString::fromUtf8(menu::kVoidLastWin))
      ->action()
      ->setEnabled(record_.voidableWin().has_value());
}

void RecordModule::openJournalWindow() {
  std::array<std::string, kSlotCount> tallies;
  std::array<PictureData, kSlotCount> pictures;
  const ResultsFile results(files_.results());
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    tallies[slot - 1] = formatNumber(results.tallies()[slot - 1]);
    if (stage_) {
      pictures[slot - 1] = stage_->unit<forms::PictureBox>(units::prizeBox(slot))->picture();
    }
  }
  journalWindow_ =
      std::make_unique<JournalWindow>(journal_, tallies, pictures, files_.directory);
  journalWindow_->setWindowModality(Qt::ApplicationModal);
  keepAboveOwner(*journalWindow_);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    journalWindow_->move(area.center() - QPoint(journalWindow_->width() / 2,
                                                journalWindow_->height() / 2));
  }
  journalWindow_->show();
  journalWindow_->activateWindow();
}

void RecordModule::voidLastWin() {
  const std::optional<JournalRow> win = record_.voidableWin();
  if (!win) return;
  const bool quantity = quantityMode(context_.settings);
  const std::string question = "确定作废上次中奖吗？\r\n\r\n奖项：" + std::to_string(win->slot) +
                               "\r\n中奖时间：" + win->time + "\r\n\r\n该奖项的中奖数将减一" +
                               (quantity ? "，奖品回到奖池。" : "。");
  if (!MessageBoxes::confirm(question, kVoidTitle)) return;
  switch (record_.voidWin(win->sequence)) {
    case DrawRecord::VoidResult::Voided:
      break;
    case DrawRecord::VoidResult::Refused:
      MessageBoxes::show("这次中奖已不能作废。", kVoidTitle);
      break;
    case DrawRecord::VoidResult::TallyNotWritten:
      MessageBoxes::reportWriteFailure(files_.results());
      break;
  }
  refreshMenu();
}

}  // namespace zv
