#include <QApplication>

#include "app/main_window.h"
#include "platform/files.h"
#include "platform/qt/fonts.h"
#include "platform/qt/screen.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  zv::installFaceSubstitutions();
  zv::MainWindow stage({zv::programDirectory(), zv::primaryScreenSize});
  stage.start();
  return application.exec();
}
