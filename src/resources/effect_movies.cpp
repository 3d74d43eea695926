#include "resources/effect_movies.h"

#include "resources/effect_movie_blobs.h"

namespace zv::artwork {

std::string_view effectMovie(int number) {
  if (number < 4 || number > 6) return {};
  const detail::MovieBlob& blob = detail::kEffectMovies[number - 4];
  return {reinterpret_cast<const char*>(blob.data), blob.size};
}

}  // namespace zv::artwork
