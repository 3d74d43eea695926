#pragma once
// SHA-256 of some bytes, through Qt Core (which every platform's build has).
#include <array>
#include <cstdint>
#include <string_view>

namespace zv {

std::array<std::uint8_t, 32> sha256(std::string_view bytes);

}  // namespace zv
