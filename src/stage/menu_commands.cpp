#include "stage/menu_commands.h"

#include <QApplication>
#include <QTimer>

#include "stage/event_folder_view.h"
#include "layout/handler_names.h"
#include "layout/window_layouts.h"
#include "dialogs/message_boxes.h"
#include "dialogs/password_window.h"
#include "dialogs/results_window.h"
#include "stage/record.h"

namespace zv {

namespace h = handlers;

namespace {

constexpr const char* kHelpTitle = "Zorvane帮助信息！";
constexpr const char* kHelpText =
    "1.双击各个图片，可以选择自己的抽奖图片！(图片不要过大，50K以下最好！)\r\n2.右键弹出菜单！";
constexpr const char* kAbout = "自定义Zorvane软件V1.7";

// A window closed by the operator is let go once its close event is over.
template <class Window>
void releaseWhenClosed(std::unique_ptr<Window>& window, QObject* context) {
  window->form().onClosed(
      [&window, context] { QTimer::singleShot(0, context, [&window] { window.reset(); }); });
}

}  // namespace

MenuCommands::MenuCommands(StageContext& stage) : stage_(stage) {}

MenuCommands::~MenuCommands() = default;

void MenuCommands::addHandlers(forms::HandlerTable& table) {
  table[h::kPopup] = [this](const forms::UnitEvent& e) { openPopup(e.globalPos); };
  addHandler(table, h::kMenuHelp, [] { MessageBoxes::show(kHelpText, kHelpTitle); });
  addHandler(table, h::kMenuAbout, [] { MessageBoxes::show(kAbout, kAbout); });
  addHandler(table, h::kMenuExit, [this] { confirmExit(); });
  table[h::kMainCloseRequest] = [this](const forms::UnitEvent& e) {
    if (e.accept) *e.accept = exiting_ || confirmExit();
  };
  addHandler(table, h::kMenuPrizeSettings, [this] { openPasswordWindow(); });
  addHandler(table, h::kMenuResults, [this] { openResultsWindow(); });
  addHandler(table, h::kMenuOpenEventFolder, [this] { showEventFolder(stage_.files.directory); });
}

void MenuCommands::openPopup(QPoint globalPos) {
  if (stage_.services.menuHeld && stage_.services.menuHeld()) return;
  stage_.form.popupMenu()->popup(globalPos + QPoint(3, 3));
}

std::array<PictureData, kSlotCount> MenuCommands::prizePictures() const {
  std::array<PictureData, kSlotCount> pictures;
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    pictures[slot - 1] = stage_.form.unit<forms::PictureBox>(units::prizeBox(slot))->picture();
  }
  return pictures;
}

void MenuCommands::openPasswordWindow() {
  passwordWindow_ = std::make_unique<PasswordWindow>(stage_.settings, stage_.random, [this] {
    return std::make_unique<PrizeSettingsWindow>(stage_.settings, stage_.state.prizeValues,
                                                 prizePictures());
  });
  releaseWhenClosed(passwordWindow_, &stage_.form);
  passwordWindow_->form().showModal();
}

void MenuCommands::openResultsWindow() {
  resultsWindow_ = std::make_unique<ResultsWindow>(ResultsFile(stage_.files.results()),
                                                   prizePictures(), stage_.services.recordClear);
  releaseWhenClosed(resultsWindow_, &stage_.form);
  resultsWindow_->form().showModal();
}

bool MenuCommands::confirmExit() {
  const MessageAnswer answer =
      MessageBoxes::show("确定退出程序吗？", "确定退出吗？", MessageButtons::OkCancel);
  if (answer != MessageAnswer::Ok) return false;
  // The application's quit closes every window before it returns; the stage's close is
  // then part of this exit and asks nothing more.
  exiting_ = true;
  if (stage_.quit) {
    stage_.quit();
  } else {
    QApplication::quit();
  }
  exiting_ = false;
  return true;
}

}  // namespace zv
