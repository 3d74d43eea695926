#include "platform/qt/backing_store_warm_up.h"

#include <sys/mman.h>
#include <unistd.h>

#include <QBackingStore>
#include <QImage>
#include <QRegion>
#include <QWidget>
#include <algorithm>
#include <functional>

namespace zv {
namespace {

#ifndef MADV_POPULATE_WRITE
#define MADV_POPULATE_WRITE 23  // Linux 5.14; older kernels refuse it, and the writes do it all
#endif

// Writes a zero into every page of [start, end), a block of pages at a time, until told
// to stop: the store is not shown yet and its first paint covers it, so the bytes
// written do not matter; only that each page has been written once.
void touchPages(std::uintptr_t start, std::uintptr_t end, std::uintptr_t page,
                const std::atomic<bool>& stop) {
  const std::uintptr_t block = 64 * page;
  for (std::uintptr_t from = start; from < end && !stop.load(std::memory_order_relaxed);
       from += block) {
    const std::uintptr_t to = std::min(end, from + block);
    ::madvise(reinterpret_cast<void*>(from), to - from, MADV_POPULATE_WRITE);
    for (std::uintptr_t at = from; at < to; at += page) {
      *reinterpret_cast<volatile unsigned char*>(at) = 0;
    }
  }
}

}  // namespace

BackingStoreWarmUp::BackingStoreWarmUp(QWidget& window) {
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
  const std::uintptr_t end =
      (bits + static_cast<std::uintptr_t>(image->sizeInBytes())) & ~(page - 1);
  if (end > start) toucher_ = std::thread(touchPages, start, end, page, std::cref(stop_));
}

BackingStoreWarmUp::~BackingStoreWarmUp() {
  // After the join the thread writes no byte of the store any more.
  stop_.store(true, std::memory_order_relaxed);
  if (toucher_.joinable()) toucher_.join();
}

}  // namespace zv
