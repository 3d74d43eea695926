#pragma once
#include <cstdint>

namespace zv {

// Milliseconds since the system started, wrapping at 32 bits.
std::uint32_t tickCount();

}  // namespace zv
