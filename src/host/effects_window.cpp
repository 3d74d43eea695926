#include "host/effects_window.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>

#include "draw/random_source.h"
#include "host/colour_key.h"
#include "host/effect_movie_host.h"
#include "host/movie_view.h"
#include "platform/qt/screen.h"
#include "resources/effect_movies.h"

namespace zv {

namespace {

Qt::WindowFlags flagsFor(EffectsPlacement placement) {
  // A tool window is transient for its owner: window managers keep it above the owner
  // even when the owner is full screen, where a stays-on-top hint alone is not honoured.
  if (placement == EffectsPlacement::OwnWindow) {
    return Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
           Qt::WindowDoesNotAcceptFocus;
  }
  return Qt::Widget;
}

}  // namespace

// A layer (or, on Windows, the effect's own window) lets every click through to the stage;
// a right click on a burning firework still opens no menu, as over the effect's own window
// where it catches the clicks on what it shows.
class EffectsWindow::RightButtonGuard : public QObject {
 public:
  explicit RightButtonGuard(EffectsWindow& layer) : layer_(layer) {
    QCoreApplication::instance()->installEventFilter(this);
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    QPointF global;
    switch (event->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::RightButton) return false;
        global = mouse->globalPosition();
        break;
      }
      case QEvent::ContextMenu:
        global = static_cast<QContextMenuEvent*>(event)->globalPos();
        break;
      default:
        return false;
    }
    auto* target = qobject_cast<QWidget*>(watched);
    QWidget* owner = layer_.parentWidget();
    if (!target || !owner || !layer_.isVisible() || target->window() != owner->window())
      return false;
    auto* view = static_cast<MovieView*>(layer_.control());
    return view && view->burningAt(view->mapFromGlobal(global.toPoint()));
  }

 private:
  EffectsWindow& layer_;
};

EffectsPlacement effectsPlacementFor(const QWidget* owner) {
  return owner && owner->isWindow() && (owner->windowState() & Qt::WindowFullScreen)
             ? EffectsPlacement::InsideOwner
             : EffectsPlacement::OwnWindow;
}

EffectsWindow::EffectsWindow(QWidget* owner, RandomSource& random, EffectsPlacement placement,
                             bool smooth)
    : QWidget(owner, flagsFor(owner ? placement : EffectsPlacement::OwnWindow)),
      placement_(owner ? placement : EffectsPlacement::OwnWindow) {
  setFocusPolicy(Qt::NoFocus);
  if (placement_ == EffectsPlacement::InsideOwner) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    guard_ = std::make_unique<RightButtonGuard>(*this);
  } else {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_X11DoNotAcceptFocus);
    // Where the window lets every click through, a right click on a firework reaches the
    // stage beneath: it opens no menu there either.
    if (ColourKey::passesEveryClick()) guard_ = std::make_unique<RightButtonGuard>(*this);
  }
  replay(random, smooth);
}

EffectsWindow::~EffectsWindow() = default;

void EffectsWindow::replay(RandomSource& random, bool smooth) {
  stop();
  // The stage may have changed its size or screen since the last showing.
  QWidget* owner = parentWidget();
  if (placement_ == EffectsPlacement::InsideOwner) {
    setGeometry(owner->rect());
    raise();
  } else {
    // Exactly the stage's monitor.
    setGeometry(stageScreenGeometry(owner));
  }
  random.seedFromClock();
  movie_ = random.randomInt(4, 6);
  // Measurements of one movie at a time name it; the draw from the generator is made
  // anyway so that the sequence of later draws does not change.
  if (const int chosen = qEnvironmentVariableIntValue("ZV_EFFECT_MOVIE"); chosen >= 4 && chosen <= 6)
    movie_ = chosen;
  EffectMovieHost host;
  host.setSmooth(smooth);
  control_ = host.play(this, artwork::effectMovie(movie_), 0);
}

void EffectsWindow::stop() {
  hide();
  delete control_;
  control_ = nullptr;
}

bool EffectsWindow::event(QEvent* event) {
  // Without a window manager the keyboard follows the pointer, which may rest on a
  // firework; keys belong to the stage beneath.
  switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
      if (placement_ == EffectsPlacement::OwnWindow) {
        if (QWidget* owner = parentWidget()) {
          QWidget* target = owner->focusWidget() ? owner->focusWidget() : owner;
          QCoreApplication::sendEvent(target, event);
          return true;
        }
      }
      break;
    default:
      break;
  }
  return QWidget::event(event);
}

}  // namespace zv
