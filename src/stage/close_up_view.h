#pragma once
// The winner close-up drawn inside the stage window: the prize's picture grows from its
// slot to the middle with a glow, a title above and the journal line beneath. Being a child
// of the stage it covers only the stage's monitor and stays beneath the fireworks window;
// it never takes the keyboard, so Space still reaches the draw's key target, which asks
// it to close first.
#include <QElapsedTimer>
#include <QImage>
#include <QTimer>
#include <QWidget>

#include "platform/picture_data.h"
#include "stage/logic/close_up.h"

namespace zv {

class CloseUpView : public QWidget {
  Q_OBJECT

 public:
  explicit CloseUpView(QWidget* stage);

  // Shows picture growing from slotRect (in the stage's coordinates); a close-up already
  // showing is replaced.
  void present(const PictureData& picture, QRect slotRect, const QString& title,
               const QString& caption);
  // Closes it; false when it was not showing.
  bool dismiss();
  // Shown, though the stage itself may be hidden (as in tests).
  bool showing() const { return !isHidden(); }

  const PictureData& picture() const { return picture_; }
  const QString& title() const { return title_; }
  const QString& caption() const { return caption_; }
  // Where the picture stands now, in the stage's coordinates.
  QRectF pictureRect() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  PictureData picture_;
  QImage image_;  // decoded for the grown size at the screen's resolution
  CloseUpRect from_, to_;
  QString title_, caption_;
  QElapsedTimer since_;
  QTimer frames_;
  QTimer closing_;
};

}  // namespace zv
