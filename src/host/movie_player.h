#pragma once
// Draws frames of an effect movie: the flashes with QPainter, the stars by hand (glow.h).
// Everything is drawn as shapes at the target's own size, so a full-screen frame is as crisp
// as a small one.
#include <QImage>
#include <QRegion>

#include "host/logic/fireworks.h"
#include "host/logic/movie.h"

namespace zv {

class MoviePlayer {
 public:
  explicit MoviePlayer(movie::Movie movie);

  const movie::Movie& movie() const { return movie_; }
  int frameCount() const { return movie_.frameCount; }

  // Glow this close to the background (in every channel) is not drawn: where nothing
  // burns, every pixel is exactly the background colour. A colour key on the background
  // then shows nothing of the dim edges and fading embers, which would otherwise lie as
  // dark smudges over whatever is beneath.
  static constexpr int kEmberFloor = 56;

  // Draws frame over the whole of target (Format_ARGB32_Premultiplied or Format_RGB32,
  // every pixel left opaque): the stage scaled to fit with its aspect kept, centred, and
  // the rest of the target in the background colour. A frame outside the movie draws the
  // background alone. Returns the tiles of kBurningTile pixels that hold anything but the
  // background (empty when nothing burns), so that only they need to reach the screen.
  QRegion render(QImage& target, int frame);
  // The same at any moment between frames (see movie::frameContent). Only stale, the
  // parts of target that may hold anything but the background (the tiles this returned
  // for the picture before, in the same target), is cleared first: at the screen's rate,
  // clearing all of a full-screen picture would cost more than drawing the fireworks.
  QRegion render(QImage& target, double frame, const QRegion& stale);
  static constexpr int kBurningTile = 48;

 private:
  movie::Movie movie_;
  movie::FrameContent content_;
};

}  // namespace zv
