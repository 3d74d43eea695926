#pragma once
// Captions drawn ahead on a thread of their own, while the window gets ready to show.
//
// The first text drawn in a face pays for the face: the font file opened, its glyphs
// loaded and, above 64 pixels, drawn as outlines. For the stage's title at its layout
// size that is about 10 ms of the first frame's wait. Drawn on another core from the
// moment the window is shown, while it maps and the rest of the first frame is painted,
// the caption's part of that frame is a copy of the image.
//
// The thread draws exactly what the label would (drawCaption below), into an image with
// a transparent background; a label whose caption, font, colour or size changed before it
// paints draws itself as always and never waits for the thread. Only large captions are
// drawn ahead: their glyphs are filled as outlines, the same on any background, while
// smaller glyphs are blended with the colour behind them, which a transparent image
// does not have (their edges would come out visibly different).
#include <QColor>
#include <QImage>
#include <QPointF>
#include <QSize>
#include <QString>
#include <future>
#include <thread>
#include <vector>

#include "forms/unit_font.h"

class QPainter;
class QRect;

namespace zv::forms {

// Everything a caption's pixels depend on. The font as plain values: each thread makes a
// font of its own from them (fonts shared between threads are not safe to draw with).
struct CaptionLook {
  QString caption;
  UnitFont font;
  QColor colour;
  QSize size;
  qreal pixelRatio = 1.0;
  // Where the label's origin falls within a device pixel (0 to 1 across and down): at a
  // fractional scale the glyphs' edges depend on it.
  QPointF phase;

  bool operator==(const CaptionLook&) const = default;
};

// The caption centred and wrapped in area, as a transparent label draws it.
void drawCaption(QPainter& painter, const QRect& area, const QFont& font, const QColor& colour,
                 const QString& caption);

// Paints an image drawn ahead for look with the painter of the label it was drawn for,
// each of its pixels on the window's pixel it was drawn for.
void paintPrepared(QPainter& painter, const QImage& image, const CaptionLook& look);

class PreparedCaptions {
 public:
  // Whether a caption of that look is drawn the same ahead as in place.
  static bool drawnAlike(const CaptionLook& look);

  // Starts drawing the looks, in their order, on a thread of its own.
  explicit PreparedCaptions(std::vector<CaptionLook> looks);
  ~PreparedCaptions();  // waits for the thread
  PreparedCaptions(const PreparedCaptions&) = delete;
  PreparedCaptions& operator=(const PreparedCaptions&) = delete;

  // The image drawn for look, waiting for it; a null image when look was not prepared.
  QImage imageFor(const CaptionLook& look);

 private:
  std::vector<CaptionLook> looks_;
  std::vector<std::shared_future<QImage>> images_;
  std::thread drawer_;
};

}  // namespace zv::forms
