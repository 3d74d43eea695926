#include "platform/qt/screen.h"

#include <QApplication>
#include <QCursor>
#include <QDialog>
#include <QEvent>
#include <QPointer>
#include <QScreen>
#include <QWidget>
#include <cmath>

#include "platform/qt/display_facts.h"

namespace zv {

QSize primaryScreenSize() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->geometry().size() : QSize();
}

std::vector<MonitorInfo> connectedMonitors() {
  std::vector<MonitorInfo> monitors;
  const QScreen* primary = QGuiApplication::primaryScreen();
  // The monitor's own pixels, as the desktop's display settings give them: from the X
  // server, since Qt's scaled geometry has lost a fraction of a pixel. Elsewhere (Windows)
  // Qt's geometry at the screen's own scaling is them.
  const DisplayFacts x = QGuiApplication::platformName() == "xcb" ? readDisplayFacts()
                                                                  : DisplayFacts{};
  for (const QScreen* screen : QGuiApplication::screens()) {
    MonitorInfo monitor{screen->name().toStdString(), 0, 0, screen == primary};
    const QSize scaled = screen->geometry().size() * screen->devicePixelRatio();
    monitor.width = scaled.width();
    monitor.height = scaled.height();
    for (const MonitorInfo& known : x.monitors) {
      if (known.name == monitor.name) {
        monitor.width = known.width;
        monitor.height = known.height;
      }
    }
    monitors.push_back(monitor);
  }
  return monitors;
}

QScreen* monitorNamed(const std::string& name) {
  const auto chosen = chooseMonitor(connectedMonitors(), name);
  if (!chosen) return nullptr;
  return QGuiApplication::screens().at(static_cast<qsizetype>(*chosen));
}

QRect monitorGeometry(const std::string& name) {
  const QScreen* screen = monitorNamed(name);
  return screen ? screen->geometry() : QRect();
}

QRect stageScreenGeometry(const QWidget* stage) {
  const QScreen* screen = stage ? stage->screen() : QGuiApplication::primaryScreen();
  return screen ? screen->geometry() : QRect();
}

QSize devicePixelSize(const QWidget* widget, QSize logical) {
  const qreal ratio = widget ? widget->devicePixelRatioF() : 1.0;
  if (ratio == 1.0) return logical;
  return QSize(static_cast<int>(std::ceil(logical.width() * ratio)),
               static_cast<int>(std::ceil(logical.height() * ratio)));
}

namespace {

// Watches every window that is about to show: a dialog (message boxes and file dialogs
// included) or another modal window opens in the middle of the pointer's monitor when that
// is not the stage's, and otherwise on the stage's monitor (where it opened before there
// was a choice of monitor). One filter for all of them, so no dialog needs code of its own.
class OperatorScreenFilter : public QObject {
 public:
  OperatorScreenFilter(const QWidget* stage, QObject* parent) : QObject(parent), stage_(stage) {}

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::Show || !stage_) return false;
    auto* window = qobject_cast<QWidget*>(watched);
    if (!window || !window->isWindow() || window == stage_) return false;
    if (!qobject_cast<QDialog*>(window) && !window->isModal()) return false;
    QScreen* stage = stage_->screen();
    QScreen* pointer = QGuiApplication::screenAt(QCursor::pos());
    QScreen* target = pointer && pointer != stage ? pointer : stage;
    if (!target) return false;
    const QRect area = target->availableGeometry();
    QRect frame = window->frameGeometry();
    // On the stage's monitor a window keeps the place it always had.
    if (target == stage && area.contains(frame)) return false;
    frame.moveCenter(area.center());
    window->move(frame.topLeft());
    return false;
  }

 private:
  QPointer<const QWidget> stage_;
};

}  // namespace

void keepDialogsOnOperatorScreen(const QWidget* stage) {
  static QPointer<OperatorScreenFilter> filter;
  if (filter) delete filter;
  filter = new OperatorScreenFilter(stage, qApp);
  qApp->installEventFilter(filter);
}

}  // namespace zv
