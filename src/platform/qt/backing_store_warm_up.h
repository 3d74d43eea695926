#pragma once
// The window's backing store made and its memory made ready ahead of the first paint, on
// a thread of its own. A full-HD window's store is 8 MB, and the first access to each of
// its 2,000 pages is slow (here 20-25 ms for all when the paint itself meets them): paid
// inside the first paint, that is on the audience's wait.
//
// Each page is asked of the kernel (which never changes its bytes) and then one byte of
// it is read: on some virtual machines a page is slow at its first use by the program
// even when the kernel has provided it, and reading it this way costs about half of what
// the paint's first write would. Nothing is written. Still, the store's memory is read,
// so the work runs only while this object lives, and the object must live only through
// code that cannot resize, recreate or destroy the window (the rest of the start-up steps
// and the showing of the window, say; no event is handled meanwhile). Its destructor
// takes on, with the thread, the pages not reached yet, and waits for the thread.
// (Linux: x11/; on Windows it does nothing.)
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <thread>

class QWidget;

namespace zv {

class BackingStoreWarmUp {
 public:
  // Call once the window's size is final.
  explicit BackingStoreWarmUp(QWidget& window);
  ~BackingStoreWarmUp();  // prepares what is left, with the thread, and waits for it
  BackingStoreWarmUp(const BackingStoreWarmUp&) = delete;
  BackingStoreWarmUp& operator=(const BackingStoreWarmUp&) = delete;

 private:
  // Prepares blocks of pages until none is left; run by the thread and the destructor.
  void prepareBlocks();

  std::uintptr_t page_ = 0, start_ = 0, end_ = 0;
  std::size_t blocks_ = 0;
  std::atomic<std::size_t> next_{0};  // the next block not taken
  std::thread thread_;
};

}  // namespace zv
