#include "platform/qt/after_first_paint.h"

#include <QEvent>
#include <QObject>
#include <QTimer>
#include <QWidget>

namespace zv {
namespace {

class FirstPaintWatch : public QObject {
 public:
  FirstPaintWatch(QWidget& window, std::function<void()> work)
      : QObject(&window), work_(std::move(work)) {
    window.installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && !posted_) {
      posted_ = true;
      watched->removeEventFilter(this);
      // After the paint has reached the screen: the flush follows this event.
      QTimer::singleShot(0, this, [this] {
        work_();
        deleteLater();
      });
    }
    return false;
  }

 private:
  std::function<void()> work_;
  bool posted_ = false;
};

}  // namespace

void runAfterFirstPaint(QWidget& window, std::function<void()> work) {
  new FirstPaintWatch(window, std::move(work));
}

}  // namespace zv
