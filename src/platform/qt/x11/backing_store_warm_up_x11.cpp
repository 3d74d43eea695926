#include "platform/qt/backing_store_warm_up.h"

#include <sys/mman.h>
#include <unistd.h>

#include <QBackingStore>
#include <QImage>
#include <QRegion>
#include <QWidget>
#include <algorithm>
#include <system_error>

namespace zv {
namespace {

#ifndef MADV_POPULATE_WRITE
#define MADV_POPULATE_WRITE 23  // Linux 5.14; older kernels refuse it, and the reads do less
#endif

constexpr std::uintptr_t kPagesPerBlock = 64;

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
  page_ = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
  const auto bits = reinterpret_cast<std::uintptr_t>(image->constBits());
  start_ = (bits + page_ - 1) & ~(page_ - 1);  // whole pages of the image
  end_ = (bits + static_cast<std::uintptr_t>(image->sizeInBytes())) & ~(page_ - 1);
  if (end_ <= start_) return;
  blocks_ = (end_ - start_ + kPagesPerBlock * page_ - 1) / (kPagesPerBlock * page_);
  try {
    thread_ = std::thread([this] { prepareBlocks(); });
  } catch (const std::system_error&) {
    // No thread to spare: the blocks are all prepared when the warm-up ends.
  }
}

BackingStoreWarmUp::~BackingStoreWarmUp() {
  // The blocks the thread has not taken yet are prepared here: cheaper than the paint
  // meeting those pages one by one. After the join no byte of the store is read any more.
  prepareBlocks();
  if (thread_.joinable()) thread_.join();
}

void BackingStoreWarmUp::prepareBlocks() {
  // A read after the kernel's populating makes a page as ready as a write would, and
  // leaves its bytes alone.
  unsigned char sum = 0;
  for (std::size_t block = next_.fetch_add(1); block < blocks_; block = next_.fetch_add(1)) {
    const std::uintptr_t from = start_ + block * kPagesPerBlock * page_;
    const std::uintptr_t to = std::min(end_, from + kPagesPerBlock * page_);
    ::madvise(reinterpret_cast<void*>(from), to - from, MADV_POPULATE_WRITE);
    for (std::uintptr_t at = from; at < to; at += page_) {
      sum += *reinterpret_cast<const volatile unsigned char*>(at);
    }
  }
  static_cast<void>(sum);
}

}  // namespace zv
