#pragma once
// The control that plays an effect movie inside a host window, as a page names it: it
// reads the page, finds the movie in the page's own directory and plays it at the page's
// size (within a bound) on the page's background colour, looping: smoothly at the screen's
// refresh rate, between the movie's frames, or at the movie's own frame rate. Only files that this user alone can have written are read (readPrivateFile).
// The first frame is drawn once the event loop runs, not while the view is being made,
// and each frame repaints only what changed since the one before.
#include <QElapsedTimer>
#include <QImage>
#include <QRegion>
#include <QTimer>
#include <QWidget>
#include <memory>
#include <optional>
#include <string>

#include "host/logic/frame_pacing.h"

namespace zv {

class MoviePlayer;

class MovieView : public QWidget {
 public:
  // Opens pageFile at once; a page or movie that cannot be read, or is not the user's
  // own, leaves the view empty (nothing plays, and there is no surface). The page's
  // width and height are cut to bound.
  MovieView(QWidget* parent, const std::string& pageFile, QSize bound, bool smooth = true);
  ~MovieView() override;

  // The inner view that shows the movie and takes the mouse over it; its object name is
  // kSurfaceName. Null when nothing plays.
  QWidget* surface() const { return surface_; }
  static constexpr const char* kSurfaceName = "MovieSurface";

  bool playing() const { return player_ != nullptr; }
  int frame() const { return shown_; }                // the frame on show, -1 before the first
  double moment() const { return moment_; }           // the same between frames
  // As painted (key pixels cleared), in the screen's device pixels.
  const QImage& picture() const { return picture_; }
  int frameRate() const;

  // Shows frame (or a moment between frames) now, whatever the clock says.
  void showFrame(int frame);
  void showMoment(double frame);
  // Every how many of the screen's refreshes a picture is drawn (1 while it keeps up).
  int stride() const { return pacing_ ? pacing_->stride() : 0; }

  // Whether the frame on show covers point (view coordinates) with something other than
  // the key: a firework rather than the see-through background.
  bool burningAt(QPoint point) const;

 private:
  void tick();

  std::unique_ptr<MoviePlayer> player_;
  QWidget* surface_ = nullptr;
  QImage picture_;
  QTimer timer_;
  QElapsedTimer clock_;
  std::optional<movie::FramePacing> pacing_;
  int shown_ = -1;
  double moment_ = -1;
  QRegion burning_;        // what the frame on show holds besides the background (picture pixels)
  QRegion burningShown_;   // the same in the view's own pixels
  QRegion touched_;        // picture pixels the frame on show drew or keyed
  qreal scale_ = 1;        // picture pixels to a view pixel: the screen's device pixel ratio
};

}  // namespace zv
