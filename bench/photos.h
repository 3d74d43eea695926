#pragma once
// Camera-sized test pictures: 4000 x 3000 with smooth shading and fine grain, so that they
// compress about as much as photographs do. Each variant differs in every byte.
#include <string>

namespace zv::bench {

const std::string& photo12MP(int variant = 0);

}  // namespace zv::bench
