#pragma once
// The effect movies composed by movie_generator, compiled in from its generated source.
#include <cstddef>

namespace zv::artwork::detail {

struct MovieBlob {
  const unsigned char* data;
  std::size_t size;
};

extern const MovieBlob kEffectMovies[3];  // effect movies 4..6

}  // namespace zv::artwork::detail
