#pragma once
// The kinds of unit a window is built from. Each is a thin Qt widget (or object) with
// the properties the program uses; the rules live elsewhere.
#include <QAction>
#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "forms/prepared_captions.h"
#include "forms/unit_font.h"
#include "platform/picture_data.h"

namespace zv::forms {

// A picture shown stretched to the box; the picture is held as the file bytes it came
// from, so that it can be handed to another box unchanged.
class PictureBox : public QWidget {
 public:
  enum class Border { None, Raised };
  explicit PictureBox(QWidget* parent = nullptr);

  void setPicture(PictureData picture);
  const PictureData& picture() const { return picture_; }
  bool hasShownPicture() const;  // decodable bytes
  void setBorder(Border border);
  Border border() const { return border_; }
  static constexpr int kRaisedBorderWidth = 3;
  // The size its picture is decoded at: the box within the border it has, or would have.
  QSize decodeTarget() const { return decodeTarget(border_); }
  QSize decodeTarget(Border border) const;
  // The colours a raised box without a picture glows in (a lit frame, not a grey hole).
  void setGlow(QColor centre, QColor edge);
  // Text drawn in a muted colour while the box shows no picture and is not raised.
  void setPlaceholder(QString text);
  const QString& placeholder() const { return placeholder_; }
  // The picture painted as the ellipse of the box, its edge smoothed at the
  // screen's own pixels, for a box that fills a Shape clipped to its ellipse: the clip
  // is cut at layout pixels, steps of nearly three screen pixels on a 4K stage.
  void setRoundEdge(bool round);
  bool roundEdge() const { return roundEdge_; }
  // The ellipse a round box of that size paints its picture in.
  static QRectF roundEdgeEllipse(QSize box);

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  const QImage& decoded();
  void paintRound(QPainter& painter, const QImage& image);
  PictureData picture_;
  QImage decoded_;
  // The round edge drawn once at the screen's pixels: the fireworks repaint what lies
  // beneath them at the screen's rate, and a textured antialiased ellipse each time costs
  // more than the fireworks themselves.
  QImage round_;
  qint64 roundFrom_ = 0;
  QSize decodedFor_;
  bool stale_ = true;
  Border border_ = Border::None;
  QColor glowCentre_{0xFF, 0xF0, 0xC0};
  QColor glowEdge_{0xE0, 0x90, 0x20};
  QString placeholder_;
  bool roundEdge_ = false;
};

// Text drawn without a background over whatever lies beneath.
class TransparentLabel : public QWidget {
 public:
  explicit TransparentLabel(QWidget* parent = nullptr);
  void setCaption(const QString& caption);
  const QString& caption() const { return caption_; }
  void setUnitFont(const UnitFont& font);
  const UnitFont& unitFont() const { return font_; }
  void setTextColour(std::uint32_t bgr);
  std::uint32_t textColour() const { return colour_; }

  // What the caption's pixels depend on now.
  CaptionLook look() const;
  // Paints with the image drawn ahead for its look, as long as the look stays that one.
  void usePrepared(std::shared_ptr<PreparedCaptions> prepared);

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  QString caption_;
  UnitFont font_;
  std::uint32_t colour_ = 0;
  std::shared_ptr<PreparedCaptions> prepared_;
  QImage drawn_;  // the prepared image, kept for later paints of the same look
  CaptionLook drawnLook_;
};

// A label's text wrapped within its box, lines spaced as tightly as the Windows faces
// they were laid out for; the installed CJK faces would otherwise spill out of the box.
class Label : public QLabel {
 public:
  explicit Label(QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent*) override;
};

class EditBox : public QLineEdit {
 public:
  explicit EditBox(QWidget* parent = nullptr);
  // Hides what is typed behind one "*" per character.
  void setPasswordEntry();
};

class CheckBox : public QCheckBox {
 public:
  explicit CheckBox(QWidget* parent = nullptr);
};

class RadioButton : public QRadioButton {
 public:
  explicit RadioButton(QWidget* parent = nullptr);
};

class Button : public QPushButton {
 public:
  explicit Button(QWidget* parent = nullptr);
};

// A frame with its caption set into the top edge, the line running through the middle of
// the caption's character height. Layouts place the units inside 15 pixels down, clear of
// that band; the style's own caption band is taller and would cut through them.
class GroupBox : public QGroupBox {
 public:
  explicit GroupBox(QWidget* parent = nullptr);
  // The height of the caption band and the top of the frame line, in pixels.
  int captionBand() const;
  int frameTop() const { return captionBand() / 2; }

 protected:
  void paintEvent(QPaintEvent*) override;
};

// A plain frame that holds other units.
class Shape : public QFrame {
 public:
  explicit Shape(QWidget* parent = nullptr);
  // Clips the unit, drawing and mouse input alike, to the ellipse inside its rectangle.
  // From then on it paints nothing itself: the stage shows through round the smoothed
  // edge of the round picture box on it.
  void clipToEllipse();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  bool clipped_ = false;
};

// A window timer with the interval rules the program relies on: a negative interval
// counts as 0, setting the interval it already has changes nothing (a running countdown
// is not restarted), a new positive interval restarts it, 0 stops it.
class WindowTimer : public QObject {
 public:
  explicit WindowTimer(QObject* parent = nullptr);
  void setInterval(int milliseconds);
  int interval() const { return interval_; }
  bool isRunning() const { return timer_.isActive(); }
  int remainingTime() const { return timer_.remainingTime(); }
  void onTick(std::function<void()> tick) { tick_ = std::move(tick); }

 private:
  QTimer timer_;
  int interval_ = 0;
  std::function<void()> tick_;
};

// Stands for the platform's file and font dialogs; the Parts that open them configure it.
class CommonDialog : public QObject {
 public:
  enum class Mode { File, Font };
  explicit CommonDialog(QObject* parent = nullptr) : QObject(parent) {}
  void setMode(Mode mode) { mode_ = mode; }
  Mode mode() const { return mode_; }
  void setFilter(QString filter) { filter_ = std::move(filter); }
  const QString& filter() const { return filter_; }

 private:
  Mode mode_ = Mode::File;
  QString filter_;
};

// An item of a popup menu. Its tick mark changes only when the program sets it, never
// by choosing the item.
class MenuItem : public QObject {
 public:
  // A plain item, or (with a submenu) the item that opens it.
  MenuItem(const QString& caption, QMenu* submenu, QObject* parent);
  QAction* action() const { return action_; }
  QString caption() const { return action_->text(); }
  void setTicked(bool ticked);
  bool isTicked() const { return ticked_; }
  void setHidden(bool hidden);
  bool isHidden() const { return !action_->isVisible(); }
  QMenu* submenu() const { return submenu_; }

 private:
  QMenu* submenu_;
  QAction* action_;
  bool ticked_ = false;
};

}  // namespace zv::forms
