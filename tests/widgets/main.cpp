// Widget tests run against the real windows on Qt's offscreen platform.
#include <gtest/gtest.h>

#include <QApplication>

#include "platform/qt/fonts.h"

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  ::testing::InitGoogleTest(&argc, argv);
  QApplication application(argc, argv);
  zv::installFaceSubstitutions();
  return RUN_ALL_TESTS();
}
