#pragma once
// The three built-in fireworks movies of the win effect, composed by our own generator at
// build time and carried in the program as constant bytes.
#include <string_view>

namespace zv::artwork {

// The bytes of effect movie 4, 5 or 6 (the values the win effect draws); empty otherwise.
std::string_view effectMovie(int number);

}  // namespace zv::artwork
