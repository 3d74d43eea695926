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
    // A tool window is transient for its owner: window managers keep it above the owner
    // even when the owner is full screen, where a stays-on-top hint alone is not honoured.
    : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                         Qt::WindowDoesNotAcceptFocus) {
  setAttribute(Qt::WA_ShowWithoutActivating);
  setAttribute(Qt::WA_X11DoNotAcceptFocus);
  setFocusPolicy(Qt::NoFocus);
  EffectMovieHost host;
  const QScreen* screen = owner && owner->screen() ? owner->screen() : QGuiApplication::primaryScreen();
  if (screen) setGeometry(screen->geometry());
  random.seedFromClock();
  movie_ = random.randomInt(4, 6);
  // Measurements of one movie at a time name it; the draw from the generator is made
  // anyway so that the sequence of later draws does not change.
  if (const int chosen = qEnvironmentVariableIntValue("ZV_EFFECT_MOVIE"); chosen >= 4 && chosen <= 6)
    movie_ = chosen;
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
