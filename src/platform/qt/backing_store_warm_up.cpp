#include "platform/qt/backing_store_warm_up.h"

#include <sys/mman.h>
#include <unistd.h>

#include <QBackingStore>
#include <QEvent>
#include <QImage>
#include <QRegion>
#include <QWidget>
#include <cstdint>
#include <thread>

namespace zv {
namespace {

#ifndef MADV_POPULATE_WRITE
#define MADV_POPULATE_WRITE 23  // Linux 5.14; older kernels refuse it, and the writes do it all
#endif

// Writes a zero into every page of [start, end): the store is not shown yet and its
// first paint covers it, so the bytes written do not matter; only that each page has
// been written once.
void touchPages(std::uintptr_t start, std::uintptr_t end, std::uintptr_t page) {
  ::madvise(reinterpret_cast<void*>(start), end - start, MADV_POPULATE_WRITE);
  for (std::uintptr_t at = start; at < end; at += page) {
    *reinterpret_cast<volatile unsigned char*>(at) = 0;
  }
}

// Joins the thread before the window's first paint (or when the window goes unpainted).
class TouchBeforePaint : public QObject {
 public:
  TouchBeforePaint(QWidget& window, std::thread toucher)
      : QObject(&window), toucher_(std::move(toucher)) {
    window.installEventFilter(this);
  }
  ~TouchBeforePaint() override { finish(); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) {
      finish();
      watched->removeEventFilter(this);
      deleteLater();
    }
    return false;
  }

 private:
  void finish() {
    if (toucher_.joinable()) toucher_.join();
  }
  std::thread toucher_;
};

}  // namespace

void warmUpBackingStore(QWidget& window) {
  window.winId();  // the native window, and with it the backing store
  QBackingStore* store = window.backingStore();
  if (!store) return;
  // The size the first paint asks for, so the store made now is the one it paints into;
  // an empty paint makes the store's image.
  if (store->size() != window.size()) store->resize(window.size());
  store->beginPaint(QRegion());
  const auto* image = dynamic_cast<const QImage*>(store->paintDevice());
  store->endPaint();
  if (!image || image->isNull()) return;
  const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
  const auto bits = reinterpret_cast<std::uintptr_t>(image->constBits());
  const std::uintptr_t start = (bits + page - 1) & ~(page - 1);  // whole pages of the image
  const std::uintptr_t end = (bits + static_cast<std::uintptr_t>(image->sizeInBytes())) & ~(page - 1);
  if (end <= start) return;
  new TouchBeforePaint(window, std::thread(touchPages, start, end, page));
}

}  // namespace zv
