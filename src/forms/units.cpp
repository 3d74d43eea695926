#include "forms/units.h"

#include <QFontMetrics>
#include <QPainter>
#include <QRadialGradient>
#include <QRegion>
#include <QTextLayout>
#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "platform/qt/picture.h"
#include "platform/qt/screen.h"

namespace zv::forms {

namespace {

// Every unit keeps its own mouse presses: a press on a unit without a handler must not
// reach the window below and open its popup.
void keepMouse(QWidget* widget) { widget->setAttribute(Qt::WA_NoMousePropagation); }

const QColor kButtonFace(0xF0, 0xF0, 0xF0);

// The whole pixels that an ellipse covers any part of, row by row.
QRegion pixelsTouched(const QRectF& ellipse) {
  const QPointF c = ellipse.center();
  const qreal a = ellipse.width() / 2, b = ellipse.height() / 2;
  QRegion touched;
  if (a <= 0 || b <= 0) return touched;
  const int firstRow = static_cast<int>(std::floor(ellipse.top()));
  const int lastRow = static_cast<int>(std::ceil(ellipse.bottom())) - 1;
  for (int y = firstRow; y <= lastRow; ++y) {
    // The widest point of the ellipse within the row.
    const qreal nearest = std::clamp(c.y(), qreal(y), qreal(y + 1));
    const qreal t = (nearest - c.y()) / b;
    const qreal half = a * std::sqrt(std::max<qreal>(0, 1 - t * t));
    const int left = static_cast<int>(std::floor(c.x() - half));
    const int right = static_cast<int>(std::ceil(c.x() + half));
    if (right > left) touched += QRect(left, y, right - left, 1);
  }
  return touched;
}

}  // namespace

PictureBox::PictureBox(QWidget* parent) : QWidget(parent) { keepMouse(this); }

void PictureBox::setPicture(PictureData picture) {
  if (picture.sameAs(picture_)) return;
  picture_ = std::move(picture);
  stale_ = true;
  update();
}

bool PictureBox::hasShownPicture() const {
  return !const_cast<PictureBox*>(this)->decoded().isNull();
}

void PictureBox::setBorder(Border border) {
  if (border == border_) return;
  border_ = border;
  update();
}

void PictureBox::setGlow(QColor centre, QColor edge) {
  glowCentre_ = centre;
  glowEdge_ = edge;
  if (border_ == Border::Raised) update();
}

void PictureBox::setRoundEdge(bool round) {
  if (round == roundEdge_) return;
  roundEdge_ = round;
  update();
}

void PictureBox::setPlaceholder(QString text) {
  placeholder_ = std::move(text);
  update();
}

QSize PictureBox::decodeTarget(Border border) const {
  const int inset = border == Border::Raised ? kRaisedBorderWidth : 0;
  // Decoded at the screen's device pixels, so that a scaled stage stays sharp.
  return devicePixelSize(this, size() - QSize(2 * inset, 2 * inset));
}

const QImage& PictureBox::decoded() {
  const QSize target = decodeTarget();
  if (stale_ || target != decodedFor_) {
    decoded_ = decodePictureCached(picture_, target);
    decodedFor_ = target;
    stale_ = false;
  }
  return decoded_;
}

void PictureBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QRect inner = rect();
  if (border_ == Border::Raised) {
    // The 3-D frame of a raised dialog border: light above and left, dark below and right.
    const QColor light(0xFF, 0xFF, 0xFF), mid(0xA0, 0xA0, 0xA0), dark(0x40, 0x40, 0x40);
    for (int i = 0; i < kRaisedBorderWidth; ++i) {
      const QRect r = rect().adjusted(i, i, -i - 1, -i - 1);
      painter.setPen(i == kRaisedBorderWidth - 1 ? kButtonFace : light);
      painter.drawLine(r.topLeft(), r.topRight());
      painter.drawLine(r.topLeft(), r.bottomLeft());
      painter.setPen(i == 0 ? dark : mid);
      painter.drawLine(r.bottomLeft(), r.bottomRight());
      painter.drawLine(r.topRight(), r.bottomRight());
    }
    inner = rect().adjusted(kRaisedBorderWidth, kRaisedBorderWidth, -kRaisedBorderWidth,
                            -kRaisedBorderWidth);
  }
  const QImage& image = decoded();
  if (image.isNull() && border_ == Border::Raised) {
    // The highlight on a slot whose picture is out (held by the roll, or missing): a
    // warm glow, so the audience sees light moving rather than a gap.
    QRadialGradient glow(QRectF(inner).center(), std::max(inner.width(), inner.height()) * 0.6);
    glow.setColorAt(0.0, glowCentre_);
    glow.setColorAt(1.0, glowEdge_);
    painter.fillRect(inner, glow);
  } else if (image.isNull()) {
    painter.fillRect(inner, kButtonFace);
    if (!placeholder_.isEmpty()) {
      QFont small = font();
      small.setPixelSize(std::clamp(inner.height() / 5, 9, 14));
      painter.setFont(small);
      painter.setPen(QColor(0x90, 0x90, 0x90));
      const QRect area = inner.adjusted(4, 4, -4, -4);
      QString text = placeholder_;
      if (QFontMetrics(small).horizontalAdvance(text) > area.width()) {
        // Two even lines read better than a full line and a lone last character.
        qsizetype half = (text.size() + 1) / 2;
        if (text.at(half - 1).isHighSurrogate()) ++half;
        text = text.left(half) + '\n' + text.mid(half);
      }
      painter.drawText(area, Qt::AlignCenter | Qt::TextWordWrap, text);
    }
  } else if (roundEdge_ && border_ == Border::None) {
    paintRound(painter, image);
  } else {
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(inner, image);
  }
}

QRectF PictureBox::roundEdgeEllipse(QSize box) {
  // Centred as the clip's ellipse, which is one pixel larger than the box.
  return QRectF(0.5, 0.5, box.width(), box.height());
}

void PictureBox::paintRound(QPainter& painter, const QImage& image) {
  const qreal ratio = devicePixelRatioF();
  const QSize pixels = devicePixelSize(this, size());
  if (round_.size() != pixels || round_.devicePixelRatio() != ratio ||
      roundFrom_ != image.cacheKey()) {
    round_ = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
    round_.setDevicePixelRatio(ratio);
    round_.fill(Qt::transparent);
    QPainter p(&round_);
    QBrush texture(image);
    const qreal across = qreal(width()) / image.width(), down = qreal(height()) / image.height();
    texture.setTransform(QTransform::fromScale(across, down));
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.setPen(Qt::NoPen);
    p.setBrush(texture);
    p.drawEllipse(roundEdgeEllipse(size()));
    roundFrom_ = image.cacheKey();
  }
  painter.drawImage(QPointF(0, 0), round_);
}

TransparentLabel::TransparentLabel(QWidget* parent) : QWidget(parent) {
  keepMouse(this);
  setAttribute(Qt::WA_TranslucentBackground);
}

void TransparentLabel::setCaption(const QString& caption) {
  caption_ = caption;
  update();
}

void TransparentLabel::setUnitFont(const UnitFont& font) {
  font_ = font;
  setFont(font.toQFont());
  update();
}

void TransparentLabel::setTextColour(std::uint32_t bgr) {
  colour_ = bgr;
  update();
}

CaptionLook TransparentLabel::look() const {
  const qreal ratio = devicePixelRatioF();
  // Painted into the window's store at the label's place in the window.
  const QPointF origin = mapTo(window(), QPointF(0, 0)) * ratio;
  const QPointF phase(origin.x() - std::floor(origin.x()), origin.y() - std::floor(origin.y()));
  return {caption_, font_, colourFromBgr(colour_), size(), ratio, phase};
}

void TransparentLabel::usePrepared(std::shared_ptr<PreparedCaptions> prepared) {
  prepared_ = std::move(prepared);
}

void TransparentLabel::paintEvent(QPaintEvent*) {
  const CaptionLook now = look();
  if (prepared_) {
    drawn_ = prepared_->imageFor(now);  // null when the look changed since
    drawnLook_ = now;
    prepared_.reset();
  }
  QPainter painter(this);
  if (!drawn_.isNull() && drawnLook_ == now) {
    paintPrepared(painter, drawn_, now);
  } else {
    drawn_ = {};
    drawCaption(painter, rect(), font(), now.colour, caption_);
  }
}

Label::Label(QWidget* parent) : QLabel(parent) {
  keepMouse(this);
  setWordWrap(true);
  setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

namespace {

struct WrappedText {
  std::vector<std::unique_ptr<QTextLayout>> paragraphs;
  int lines = 0;
};

WrappedText wrap(const QString& text, const QFont& font, int width) {
  WrappedText wrapped;
  for (const QString& paragraph : text.split('\n')) {
    auto layout = std::make_unique<QTextLayout>(QString(paragraph).remove('\r'), font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout->setTextOption(option);
    layout->beginLayout();
    for (QTextLine line = layout->createLine(); line.isValid(); line = layout->createLine()) {
      line.setLineWidth(width);
      ++wrapped.lines;
    }
    layout->endLayout();
    wrapped.paragraphs.push_back(std::move(layout));
  }
  return wrapped;
}

}  // namespace

void Label::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setPen(
      palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
  const int pixels = font().pixelSize() > 0 ? font().pixelSize() : fontMetrics().height();

  // Lines as tight as GDI spaced these faces (no extra leading), which the layouts were
  // made for; where the box has room, the lines spread over it, up to a quarter of a line
  // apart. The installed CJK faces ink more of their character height than the Windows
  // faces did, so wrapped lines would touch: there, the glyphs are drawn a pixel smaller
  // at a time until a full-height ideograph leaves a clear pixel row between lines.
  QFont drawn = font();
  WrappedText wrapped;
  qreal lineHeight = pixels;
  for (int size = pixels;; --size) {
    if (size < pixels) drawn.setPixelSize(size);
    wrapped = wrap(text(), drawn, width());
    if (wrapped.lines <= 1) break;
    lineHeight = std::clamp(qreal(height()) / wrapped.lines, qreal(pixels), pixels * 1.25);
    const qreal ink = QFontMetricsF(drawn).tightBoundingRect(QStringLiteral("国")).height();
    if (ink + 1 <= lineHeight || size <= pixels * 3 / 4) break;  // a pixel row between
  }

  const QFontMetricsF metrics(drawn);
  qreal y = 0;
  for (const auto& layout : wrapped.paragraphs) {
    for (int i = 0; i < layout->lineCount(); ++i) {
      // Glyphs centred in their line.
      layout->lineAt(i).setPosition(QPointF(
          0, y - metrics.ascent() + (lineHeight + metrics.ascent() - metrics.descent()) / 2));
      y += lineHeight;
    }
    layout->draw(&painter, QPointF(0, 0));
  }
}

EditBox::EditBox(QWidget* parent) : QLineEdit(parent) { keepMouse(this); }

void EditBox::setPasswordEntry() {
  setEchoMode(QLineEdit::Password);
  // The style's own mask character is a bullet; 42 is "*".
  setStyleSheet("lineedit-password-character: 42");
}

CheckBox::CheckBox(QWidget* parent) : QCheckBox(parent) { keepMouse(this); }
RadioButton::RadioButton(QWidget* parent) : QRadioButton(parent) {
  keepMouse(this);
  // The program selects and deselects the two radio buttons itself.
  setAutoExclusive(false);
}
Button::Button(QWidget* parent) : QPushButton(parent) { keepMouse(this); }
GroupBox::GroupBox(QWidget* parent) : QGroupBox(parent) { keepMouse(this); }

int GroupBox::captionBand() const {
  return font().pixelSize() > 0 ? font().pixelSize() : fontMetrics().height();
}

void GroupBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const int band = captionBand();
  const QString caption = title();
  const QFontMetrics metrics(font());
  // The caption sits 8 pixels in, with a pixel of air either side where the line breaks.
  constexpr int kCaptionLeft = 8;
  const int gapLeft = caption.isEmpty() ? 0 : kCaptionLeft - 1;
  const int gapRight =
      caption.isEmpty() ? 0 : kCaptionLeft + metrics.horizontalAdvance(caption) + 1;

  // An etched frame: a shadow line with a highlight line inside and below it.
  const QColor shadow(0xA0, 0xA0, 0xA0), highlight(0xFF, 0xFF, 0xFF);
  const int top = frameTop(), right = width() - 2, bottom = height() - 2;
  for (const int o : {0, 1}) {  // the highlight is the shadow moved a pixel right and down
    painter.setPen(o == 0 ? shadow : highlight);
    if (gapLeft > 0) {
      painter.drawLine(o, top + o, gapLeft + o - 1, top + o);
      painter.drawLine(gapRight + o, top + o, right + o, top + o);
    } else {
      painter.drawLine(o, top + o, right + o, top + o);
    }
    painter.drawLine(o, top + o, o, bottom + o);
    painter.drawLine(o, bottom + o, right + o, bottom + o);
    painter.drawLine(right + o, top + o, right + o, bottom + o);
  }

  if (caption.isEmpty()) return;
  painter.setFont(font());
  painter.setPen(
      palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
  // Glyphs centred in the band, as the labels centre theirs in a line.
  const qreal baseline = (band + metrics.ascent() - metrics.descent()) / 2.0;
  painter.drawText(QPointF(kCaptionLeft, baseline), caption);
}

Shape::Shape(QWidget* parent) : QFrame(parent) {
  keepMouse(this);
  setFrameStyle(QFrame::Box | QFrame::Plain);
  setAutoFillBackground(true);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, kButtonFace);
  setPalette(palette);
}

void Shape::clipToEllipse() {
  // One pixel wider and taller than the rectangle, as the round-rectangle region with a
  // corner ellipse larger than the unit has always been made; plus every pixel that the
  // round picture's edge touches, so that its steps never cut that smoothed edge.
  setMask(QRegion(0, 0, width() + 1, height() + 1, QRegion::Ellipse) +
          pixelsTouched(PictureBox::roundEdgeEllipse(size())));
  clipped_ = true;
  setAutoFillBackground(false);
}

void Shape::paintEvent(QPaintEvent* event) {
  if (!clipped_) QFrame::paintEvent(event);
}

WindowTimer::WindowTimer(QObject* parent) : QObject(parent) {
  timer_.setTimerType(Qt::PreciseTimer);
  QObject::connect(&timer_, &QTimer::timeout, this, [this] {
    if (tick_) tick_();
  });
}

void WindowTimer::setInterval(int milliseconds) {
  const int interval = std::max(0, milliseconds);
  if (interval == interval_) return;
  interval_ = interval;
  if (interval == 0) {
    timer_.stop();
  } else {
    timer_.start(interval);
  }
}

MenuItem::MenuItem(const QString& caption, QMenu* submenu, QObject* parent)
    : QObject(parent),
      submenu_(submenu),
      action_(submenu ? submenu->menuAction() : new QAction(caption, this)) {
  if (submenu) submenu->setTitle(caption);
  QObject::connect(action_, &QAction::triggered, this, [this] {
    // Choosing an item does not toggle its tick mark.
    action_->setChecked(ticked_);
  });
}

void MenuItem::setTicked(bool ticked) {
  ticked_ = ticked;
  action_->setCheckable(true);
  action_->setChecked(ticked);
}

void MenuItem::setHidden(bool hidden) { action_->setVisible(!hidden); }

}  // namespace zv::forms
