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
  context_.reset(new StageContext{.form = *form_,
                                  .settings = settings_,
                                  .files = files_,
                                  .audio = audio_,
                                  .random = random_,
                                  .draw = *draw_,
                                  .drawStage = *drawStage_,
                                  .state = state_,
                                  .screenSize = [this] { return screenSize(); },
                                  .screenGeometry = [this] { return screenGeometry(); },
                                  .quit = environment_.quit,
                                  .picturesAhead = std::move(environment_.picturesAhead)});
  modules_ = std::make_unique<StageModules>(*context_);
  // The window's size is final once the display mode is applied, and no later step
  // changes the window itself: its backing store is made ready while they run and the
  // window is shown. Only a full-screen window: a framed one made before it is shown may
  // be placed differently by the window manager.
  context_->startUp.add(StartUpStep::kWindowStoreReady, [this] {
    if (form_->windowState() & Qt::WindowFullScreen) storeWarmUp_.emplace(*form_);
  });
  forms::buildInto(*form_, mainWindowLayout(), handlers(), stagePicture);
  form_->setStageColour(kStageColour);
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
  context_->services.takeKeyboardFocus();
  storeWarmUp_.reset();  // the event loop may resize or recreate the window's store
  // The titles' faces load on another core while the first frame is painted.
  form_->prepareCaptionsAhead();
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

DisplayModes& MainWindow::displayModes() { return modules_->get<DisplayModes>(); }
Wheel& MainWindow::wheel() { return modules_->get<Wheel>(); }
Pictures& MainWindow::pictures() { return modules_->get<Pictures>(); }
RecordModule& MainWindow::record() { return modules_->get<RecordModule>(); }
VerifiableDraws& MainWindow::verifiable() { return modules_->get<VerifiableDraws>(); }
PasswordWindow* MainWindow::passwordWindow() const {
  return modules_->get<MenuCommands>().passwordWindow();
}
ResultsWindow* MainWindow::resultsWindow() const {
  return modules_->get<MenuCommands>().resultsWindow();
}

forms::HandlerTable MainWindow::handlers() {
  forms::HandlerTable table;
  modules_->addHandlers(table);
  // The created event: every module's start-up steps, in their one order.
  addHandler(table, h::kMainCreated, [this] { context_->startUp.run(); });
  return table;
}

}  // namespace zv
