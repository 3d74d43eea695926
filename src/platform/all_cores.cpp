#include "platform/all_cores.h"

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace zv {

void onAllCores(std::size_t count, const std::function<void(std::size_t index)>& work) {
  std::atomic<std::size_t> next{0};
  const auto worker = [&] {
    for (std::size_t i = next++; i < count; i = next++) work(i);
  };
  const std::size_t cores = std::max(1u, std::thread::hardware_concurrency());
  std::vector<std::thread> helpers;
  for (std::size_t i = 1; i < std::min(cores, count); ++i) helpers.emplace_back(worker);
  worker();
  for (std::thread& helper : helpers) helper.join();
}

}  // namespace zv
