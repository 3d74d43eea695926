#include "host/effects_window.h"

#include <QGuiApplication>
#include <QRegion>
#include <QScreen>

namespace zv {

EffectsWindow::EffectsWindow(QWidget* owner, RandomSource&)
    : QWidget(owner, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                         Qt::WindowDoesNotAcceptFocus) {
  setAttribute(Qt::WA_ShowWithoutActivating);
  setFocusPolicy(Qt::NoFocus);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    setGeometry(screen->geometry());
  }
  // Nothing is drawn yet: a mask outside the window leaves the whole stage visible and
  // lets every click through.
  setMask(QRegion(-2, -2, 1, 1));
}

}  // namespace zv
