// Widget tests run against the real windows on Qt's offscreen platform.
#include <gtest/gtest.h>

#include <QApplication>

#include "dialogs/file_picker.h"
#include "dialogs/font_picker.h"
#include "dialogs/input_boxes.h"
#include "dialogs/message_boxes.h"
#include "platform/qt/fonts.h"
#include "platform/qt/qt_chinese.h"

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  qputenv("SDL_AUDIODRIVER", "dummy");
  ::testing::InitGoogleTest(&argc, argv);
  QApplication application(argc, argv);
  zv::installFaceSubstitutions();
  zv::useDialogFace();
  zv::useChineseForQtParts();  // as the program does
  zv::MessageBoxes::setScripted(true);
  zv::InputBoxes::setScripted(true);
  zv::FilePicker::setScripted(true);
  zv::FontPicker::setScripted(true);
  return RUN_ALL_TESTS();
}
