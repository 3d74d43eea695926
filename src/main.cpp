#include <QApplication>
#include <string>
#include <vector>

#include "app/event_folder_start.h"
#include "app/main_window.h"
#include "app/screen_fit_start.h"
#include "app/unusable_file_reports.h"
#include "dialogs/message_boxes.h"
#include "platform/font_library_warm_up.h"
#include "platform/platform_choice.h"
#include "platform/private_folder.h"
#include "platform/program_arguments.h"
#include "platform/qt/fonts.h"
#include "platform/qt/qt_chinese.h"
#include "platform/qt/remembered_decodes.h"
#include "platform/qt/screen.h"
#include "platform/qt/single_copy.h"
#include "stage/pictures.h"

namespace {
constexpr const char* kAlreadyRunning = "本程序已在此文件夹中运行。";
constexpr const char* kStaleLockStays =
    "此文件夹中留有旧的锁文件，无法自动删除。\r\n请删除下面的文件后再启动本程序：\r\n";
}

int main(int argc, char** argv) {
  // Before the application takes its own options out of argv; the toolkit's options are
  // passed over when they are read.
  const std::vector<std::string> arguments = zv::programArguments(argc, argv);
  if (const auto answered = zv::answerInformationRequest(arguments)) return *answered;
  zv::chooseQtPlatformForThisProcess();
  zv::keepSessionBusFromStarting();
  zv::fitToScreenBeforeApplication(arguments);
  // While the toolkit connects to the display; after the last change to the environment.
  zv::FontLibraryWarmUp fontLibrary;
  QApplication application(argc, argv);
  fontLibrary.wait();
  zv::keepScreenFitToThisProcess();
  zv::useChineseForQtParts();
  zv::installFaceSubstitutions();
  zv::reportUnusableFilesToTheOperator();
  const auto eventFolder = zv::openEventFolder(arguments);
  if (!eventFolder) return 2;
  // Decodes of large pictures kept from the last start (the same photographs, mostly).
  if (const std::string cache = zv::userCacheFolder("zorvane"); !cache.empty())
    zv::rememberDecodesIn(cache + "/decodes");
  zv::PicturesLoadedAhead picturesAhead = zv::Pictures::startLoadingEarly(*eventFolder);

  zv::SingleCopy singleCopy(*eventFolder);
  switch (singleCopy.claim()) {
    case zv::SingleCopy::Claim::First:
      break;
    case zv::SingleCopy::Claim::HandedOver:
      return 0;
    case zv::SingleCopy::Claim::Unreachable:
      zv::MessageBoxes::show(kAlreadyRunning, zv::MessageBoxes::kDefaultTitle,
                             zv::MessageButtons::Ok, zv::MessageIcon::Information);
      return 1;
    case zv::SingleCopy::Claim::Blocked:
      zv::MessageBoxes::show(kStaleLockStays + singleCopy.lockPath(),
                             zv::MessageBoxes::kDefaultTitle, zv::MessageButtons::Ok,
                             zv::MessageIcon::Warning);
      return 1;
  }

  zv::MainWindow stage({.programDirectory = *eventFolder,
                        .screenSize = zv::primaryScreenSize,
                        .monitorGeometry = zv::monitorGeometry,
                        .picturesAhead = std::move(picturesAhead)});
  zv::useDialogFace();  // after the stage's text boxes are made (see fonts.h)
  singleCopy.onRaiseRequest([&stage] { zv::SingleCopy::bringToFront(&stage.form()); });
  stage.start();
  return application.exec();
}
