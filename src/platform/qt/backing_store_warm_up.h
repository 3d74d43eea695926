#pragma once
// The window's backing store made and its memory touched ahead of the first paint, on a
// thread of its own. A full-HD window's store is 8 MB, and the first write to each of
// its 2,000 pages is slow (here 12-25 ms for all, even after the pages are mapped): paid
// inside the first paint, that is on the audience's wait.
//
// The thread writes into memory the window owns, so it runs only while this object lives,
// and the object must live only through code that cannot resize, recreate or destroy the
// window (the rest of the start-up steps, say): its destructor stops the thread after the
// page it is on and waits for it. Pages not reached by then the first paint faults in
// itself, as it would have.
#include <atomic>
#include <cstdint>
#include <thread>

class QWidget;

namespace zv {

class BackingStoreWarmUp {
 public:
  // Call once the window's size is final.
  explicit BackingStoreWarmUp(QWidget& window);
  ~BackingStoreWarmUp();
  BackingStoreWarmUp(const BackingStoreWarmUp&) = delete;
  BackingStoreWarmUp& operator=(const BackingStoreWarmUp&) = delete;

 private:
  std::atomic<bool> stop_{false};
  std::thread toucher_;
};

}  // namespace zv
