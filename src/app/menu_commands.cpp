// The popup menu's own commands: the popup itself, help, about, exit, and the two modal
// windows it opens.
#include <QApplication>
#include <QTimer>

#include "app/event_folder_start.h"
#include "app/handler_names.h"
#include "app/main_window.h"
#include "app/window_layouts.h"
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
  window->form().onClosed([&window, context] {
    QTimer::singleShot(0, context, [&window] { window.reset(); });
  });
}

}  // namespace

void MainWindow::openPopup(QPoint globalPos) {
  form_->popupMenu()->popup(globalPos + QPoint(3, 3));
}

std::array<PictureData, 8> MainWindow::prizePictures() const {
  std::array<PictureData, 8> pictures;
  for (int slot = 1; slot <= 8; ++slot) {
    pictures[slot - 1] = form_->unit<forms::PictureBox>(units::prizeBox(slot))->picture();
  }
  return pictures;
}

void MainWindow::openPasswordWindow() {
  passwordWindow_ = std::make_unique<PasswordWindow>(settings_, random_, [this] {
    return std::make_unique<PrizeSettingsWindow>(settings_, state_.prizeValues, prizePictures());
  });
  releaseWhenClosed(passwordWindow_, form_.get());
  passwordWindow_->form().showModal();
}

void MainWindow::openResultsWindow() {
  resultsWindow_ = std::make_unique<ResultsWindow>(ResultsFile(files_.results()), prizePictures(),
                                                   record_->clearRecorder());
  releaseWhenClosed(resultsWindow_, form_.get());
  resultsWindow_->form().showModal();
}

bool MainWindow::confirmExit() {
  const MessageAnswer answer = MessageBoxes::show("确定退出程序吗？", "确定退出吗？",
                                                  MessageButtons::OkCancel);
  if (answer != MessageAnswer::Ok) return false;
  if (environment_.quit) {
    environment_.quit();
  } else {
    QApplication::quit();
  }
  return true;
}

forms::HandlerTable MainWindow::menuHandlers() {
  forms::HandlerTable table;
  table[h::kPopup] = [this](const forms::UnitEvent& e) { openPopup(e.globalPos); };
  table[h::kMenuHelp] = [](const forms::UnitEvent&) { MessageBoxes::show(kHelpText, kHelpTitle); };
  table[h::kMenuAbout] = [](const forms::UnitEvent&) { MessageBoxes::show(kAbout, kAbout); };
  table[h::kMenuExit] = [this](const forms::UnitEvent&) { confirmExit(); };
  table[h::kMainCloseRequest] = [this](const forms::UnitEvent& e) {
    if (e.accept) *e.accept = confirmExit();
  };
  table[h::kMenuPrizeSettings] = [this](const forms::UnitEvent&) { openPasswordWindow(); };
  table[h::kMenuResults] = [this](const forms::UnitEvent&) { openResultsWindow(); };
  table[h::kMenuOpenEventFolder] = [this](const forms::UnitEvent&) {
    showEventFolder(files_.directory);
  };
  return table;
}

}  // namespace zv
