#include "app/main_window.h"

#include "app/handler_names.h"
#include "app/window_layouts.h"
#include "dialogs/password_window.h"
#include "dialogs/results_window.h"
#include "stage/record.h"

namespace zv {

namespace h = handlers;
using forms::EventKind;
using forms::UnitEvent;

namespace {

// The stage's own colour where no background picture is set: a deep festive red that
// carries the yellow titles well on a projector.
const QColor kStageColour(0x7A, 0x0C, 0x12);

}  // namespace

MainWindow::MainWindow(StageEnvironment environment)
    : environment_(std::move(environment)),
      files_{environment_.programDirectory},
      settings_(files_.settings()) {
  record_ = std::make_unique<RecordModule>(files_);
  form_ = forms::buildForm(mainWindowLayout(), handlers());
  form_->setStageColour(kStageColour);
  drawStage_ = std::make_unique<StageDraw>(*form_, files_, audio_, random_);
  draw_ = std::make_unique<DrawCycle>(*drawStage_, settings_, ResultsFile(files_.results()),
                                      random_, state_.prizeValues);
  keyTarget_ = new DrawKeyTarget(*form_, units::kDrawButton);
  record_->attach(*form_, *draw_);
}

MainWindow::~MainWindow() = default;

void MainWindow::start() {
  runCreated();
  form_->show();
  takeKeyboardFocus();
}

void MainWindow::takeKeyboardFocus() {
  form_->activateWindow();
  keyTarget_->setFocus(Qt::OtherFocusReason);
}

void MainWindow::runCreated() { form_->dispatch("", EventKind::Created); }

QSize MainWindow::screenSize() const {
  return environment_.screenSize ? environment_.screenSize() : QSize(1024, 768);
}

forms::HandlerTable MainWindow::handlers() {
  forms::HandlerTable table;
  auto on = [&table](const char* name, std::function<void()> action) {
    table[name] = [action = std::move(action)](const UnitEvent&) { action(); };
  };
  // Bound by the layout, built by the stage's later features; until then they do nothing.
  // clang-format off
  for (const char* pending : {
           h::kDragWheel, h::kDragWheelBackground, h::kDragMainTitle, h::kDragSubtitle,
           h::kDragResult, h::kChangePrizePicture, h::kDragPanel, h::kClosePanel, h::kSavePanel,
           h::kMenuOtherSettings, h::kMenuMainTitle, h::kMenuSubtitle, h::kMenuMainTitleFont,
           h::kMenuSubtitleFont, h::kMenuChangeBackground, h::kMenuRemoveBackground,
           h::kMenuChangeMusic, h::kMenuMusicOn, h::kMenuMusicOff}) {
    on(pending, [] {});
  }
  // clang-format on
  table.merge(menuHandlers());
  table.merge(record_->handlers());
  on(h::kMainCreated, [this] { startUp(); });
  on(h::kStartDraw, [this] { draw_->startLabelPressed(); });
  on(h::kStopDraw, [this] { draw_->stopLabelPressed(); });
  on(h::kAutoStop, [this] { draw_->autoStopFired(); });
  on(h::kDrawButton, [this] { draw_->drawButtonClicked(); });
  on(h::kRollStep, [this] { draw_->rollStep(); });
  on(h::kFocusDrawButton, [this] { keyTarget_->setFocus(Qt::OtherFocusReason); });
  on(h::kShowDesignatedMarker,
     [this] { form_->unit<QWidget>(units::kDesignatedMarker)->setVisible(true); });
  on(h::kMenuEnlarge, [this] { enlargementStep(); });
  on(h::kMenuStyle1, [this] { chooseStyle(1); });
  on(h::kMenuStyle2, [this] { chooseStyle(2); });
  on(h::kMenuStyle3, [this] { chooseStyle(3); });
  on(h::kMenuStyle4, [this] { chooseStyle(4); });
  on(h::kMenuFullScreen, [this] { fullScreenMode(); });
  on(h::kMenuWindowed, [this] { windowedMode(); });
  return table;
}

void MainWindow::tickExclusively(const std::vector<const char*>& captions, const char* ticked) {
  for (const char* caption : captions) {
    form_->menuItem(QString::fromUtf8(caption))->setTicked(std::string_view(caption) == ticked);
  }
}

}  // namespace zv
