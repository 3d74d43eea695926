#include <QApplication>

#include "app/event_folder_start.h"
#include "app/main_window.h"
#include "platform/qt/fonts.h"
#include "platform/qt/screen.h"

int main(int argc, char** argv) {
  if (const auto answered = zv::answerInformationRequest(argc, argv)) return *answered;
  QApplication application(argc, argv);
  zv::installFaceSubstitutions();
  const auto eventFolder = zv::openEventFolder(argc, argv);
  if (!eventFolder) return 2;
  zv::MainWindow stage({*eventFolder, zv::primaryScreenSize});
  stage.start();
  return application.exec();
}
