#pragma once
// Runs work on a thread of its own and tells whether it finished in time, so that a test
// of something that could block forever (opening a FIFO) fails instead of hanging. A
// thread that never finishes is left to the end of the process.
#include <chrono>
#include <functional>
#include <future>
#include <memory>
#include <thread>

namespace zv::testing {

inline bool finishesWithin(std::function<void()> work,
                           std::chrono::milliseconds timeout = std::chrono::seconds(5)) {
  auto done = std::make_shared<std::promise<void>>();
  std::future<void> finished = done->get_future();
  std::thread([work = std::move(work), done] {
    work();
    done->set_value();
  }).detach();
  return finished.wait_for(timeout) == std::future_status::ready;
}

}  // namespace zv::testing
