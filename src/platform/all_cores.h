#pragma once
// Independent pieces of work spread over the machine's cores, the calling thread among
// them; returns when all are done.
#include <cstddef>
#include <functional>

namespace zv {

void onAllCores(std::size_t count, const std::function<void(std::size_t index)>& work);

}  // namespace zv
