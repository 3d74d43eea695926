#include "app/main_window.h"

#include <QTimer>
#include <chrono>

#include "layout/handler_names.h"
#include "app/stage_modules.h"
#include "layout/window_layouts.h"
#include "platform/qt/after_first_paint.h"

namespace zv {

namespace h = handlers;
using forms::EventKind;

namespace {

// The stage's own colour where no background picture is set: a deep festive red that
// carries the yellow titles well on a projector.
const QColor kStageColour(0x7A, 0x0C, 0x12);

constexpr std::chrono::milliseconds kSoundOpensAtTheLatest{2000};

}  // namespace

MainWindow::MainWindow(StageEnvironment environment)
    : environment_(std::move(environment)),
      files_{environment_.programDirectory},
      settings_(files_.settings()),
      form_(std::make_unique<forms::Form>()) {
  // The modules hold the window from the start; it is built once they have named
  // their handlers.
  drawStage_ = std::make_unique<StageDraw>(*form_, files_, audio_, random_);
  draw_ = std::make_unique<DrawCycle>(*drawStage_, settings_, ResultsFile(files_.results()),
                                      random_, state_.prizeValues);
  context_.reset(new StageContext{*form_, settings_, files_, audio_, random_, *draw_,
                                  [this] { return screenSize(); },
                                  [this] { takeKeyboardFocus(); },
                                  [this] { return screenGeometry(); }});
  modules_ = std::make_unique<StageModules>(*context_, state_.prizeValues, environment_.quit);
  drawStage_->setMusicSwitch([this] { return modules_->music.on(); });
  forms::buildInto(*form_, mainWindowLayout(), handlers(), stagePicture);
  form_->setStageColour(kStageColour);
  keyTarget_ = new DrawKeyTarget(*form_, units::kDrawButton);
  modules_->record.attach(*form_, *draw_);
}

MainWindow::~MainWindow() = default;

void MainWindow::start() {
  // The sound library and device are not needed for the first frame; music asked for at
  // start plays once they are open. A stage that is not painted soon (hidden by the
  // desktop, say) opens them anyway, so the music does not wait for it.
  runAfterFirstPaint(*form_, [this] { audio_.openInBackground(); });
  QTimer::singleShot(kSoundOpensAtTheLatest, form_.get(), [this] { audio_.openInBackground(); });
  dispatchCreated();
  form_->show();
  takeKeyboardFocus();
  storeWarmUp_.reset();  // the event loop may resize or recreate the window's store
  // The titles' faces load on another core while the first frame is painted.
  form_->prepareCaptionsAhead();
}

void MainWindow::takeKeyboardFocus() {
  form_->activateWindow();
  // While the other-settings panel is open its boxes keep the keyboard (a display-mode
  // switch comes here too): a Space typed there must not start a draw under the panel.
  if (auto* panel = form_->unit<QWidget>(units::kPanel); panel && !panel->isHidden()) {
    if (!panel->isAncestorOf(form_->focusWidget()))
      form_->unit<QWidget>(units::kResultWidthEdit)->setFocus(Qt::OtherFocusReason);
    return;
  }
  keyTarget_->setFocus(Qt::OtherFocusReason);
}

void MainWindow::runCreated() {
  dispatchCreated();
  storeWarmUp_.reset();
}

void MainWindow::dispatchCreated() { form_->dispatch("", EventKind::Created); }

QSize MainWindow::screenSize() const { return screenGeometry().size(); }

QRect MainWindow::screenGeometry() const {
  if (environment_.monitorGeometry) {
    const QRect chosen = environment_.monitorGeometry(settings_.get(setting::kMonitor));
    if (chosen.isValid()) return chosen;
  }
  return {QPoint(0, 0), environment_.screenSize ? environment_.screenSize() : QSize(1024, 768)};
}

DisplayModes& MainWindow::displayModes() { return modules_->displayModes; }
Wheel& MainWindow::wheel() { return modules_->wheel; }
Pictures& MainWindow::pictures() { return modules_->pictures; }
RecordModule& MainWindow::record() { return modules_->record; }
PasswordWindow* MainWindow::passwordWindow() const { return modules_->menu.passwordWindow(); }
ResultsWindow* MainWindow::resultsWindow() const { return modules_->menu.resultsWindow(); }

forms::HandlerTable MainWindow::handlers() {
  forms::HandlerTable table;
  modules_->addHandlers(table);
  addHandler(table, h::kMainCreated, [this] { startUp(); });
  addHandler(table, h::kStartDraw, [this] { draw_->startLabelPressed(); });
  addHandler(table, h::kStopDraw, [this] { draw_->stopLabelPressed(); });
  addHandler(table, h::kAutoStop, [this] { draw_->autoStopFired(); });
  addHandler(table, h::kDrawButton, [this] { draw_->drawButtonClicked(); });
  addHandler(table, h::kRollStep, [this] { draw_->rollStep(); });
  addHandler(table, h::kFocusDrawButton, [this] { keyTarget_->setFocus(Qt::OtherFocusReason); });
  addHandler(table, h::kShowDesignatedMarker,
             [this] { form_->unit<QWidget>(units::kDesignatedMarker)->setVisible(true); });
  return table;
}

}  // namespace zv
