#pragma once
// What burns in one frame of a movie, worked out from the movie alone: every star's place
// follows in closed form from its burst's parameters and the frame number, and all
// randomness comes from the burst's seed, so any frame can be drawn on its own and always
// looks the same.
#include <vector>

#include "host/logic/movie.h"

namespace zv::movie {

// A burning star, a rising shell or a crackle: a bright head with a trail that tapers to
// a point at the tail (tail == head for no trail). Stage pixels.
struct Spark {
  float x = 0, y = 0;
  float tailX = 0, tailY = 0;
  float radius = 1;
  Colour colour;
  float brightness = 1;  // 0..1, scales the colour
};

// The short glow of a shell bursting.
struct Flash {
  float x = 0, y = 0;
  float radius = 1;
  Colour colour;
  float brightness = 1;
};

struct FrameContent {
  std::vector<Spark> sparks;
  std::vector<Flash> flashes;
  void clear() {
    sparks.clear();
    flashes.clear();
  }
};

// Everything burning in frame (0-based) of the movie; frames outside 0..frameCount-1 are
// empty. out is cleared first, so one buffer can serve every frame.
void frameContent(const Movie& movie, int frame, FrameContent& out);
// The same at any moment: frame 2.5 is halfway between frames 2 and 3, and a whole frame
// gives exactly that frame. Stars twinkle at the movie's own rate. The movie lasts until
// frameCount; outside it, or at a moment that is no number, nothing burns.
void frameContent(const Movie& movie, double frame, FrameContent& out);

// How a stage is shown in an area: scaled to fit with its aspect kept, centred.
struct Fit {
  double scale = 1;
  double left = 0, top = 0;  // of the stage in the area
  double width = 0, height = 0;
};
Fit fitStage(int stageWidth, int stageHeight, int areaWidth, int areaHeight);

}  // namespace zv::movie
