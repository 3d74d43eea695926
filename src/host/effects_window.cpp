#include "host/effects_window.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>

#include "draw/random_source.h"
#include "host/effect_movie_host.h"
#include "resources/effect_movies.h"

namespace zv {

EffectsWindow::EffectsWindow(QWidget* owner, RandomSource& random)
    : QWidget(owner, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                         Qt::WindowDoesNotAcceptFocus) {
  setAttribute(Qt::WA_ShowWithoutActivating);
  setFocusPolicy(Qt::NoFocus);
  EffectMovieHost host;
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    setGeometry(screen->geometry());
  }
  random.seedFromClock();
  movie_ = random.randomInt(4, 6);
  control_ = host.play(this, artwork::effectMovie(movie_), 0);
}

bool EffectsWindow::event(QEvent* event) {
  // Without a window manager the keyboard follows the pointer, which may rest on a
  // firework; keys belong to the stage beneath.
  switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
      if (QWidget* owner = parentWidget()) {
        QWidget* target = owner->focusWidget() ? owner->focusWidget() : owner;
        QCoreApplication::sendEvent(target, event);
        return true;
      }
      break;
    default:
      break;
  }
  return QWidget::event(event);
}

}  // namespace zv
