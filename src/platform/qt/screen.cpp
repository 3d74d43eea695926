#include "platform/qt/screen.h"

#include <QGuiApplication>
#include <QScreen>

namespace zv {

QSize primaryScreenSize() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->geometry().size() : QSize();
}

}  // namespace zv
