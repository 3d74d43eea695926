#include "stage/close_up_view.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>

#include "platform/qt/fonts.h"
#include "platform/qt/picture.h"

namespace zv {

namespace {

constexpr int kFrameMilliseconds = 16;

QRectF toQt(const CloseUpRect& r) { return QRectF(r.left, r.top, r.width, r.height); }

QFont captionFont(double pixelSize, bool bold) {
  QFont font;
  font.setFamilies(familiesFor(QStringLiteral("黑体")));
  font.setPixelSize(std::max(1, static_cast<int>(pixelSize)));
  font.setBold(bold);
  return font;
}

}  // namespace

CloseUpView::CloseUpView(QWidget* stage) : QWidget(stage) {
  setObjectName(QStringLiteral("中奖特写"));
  setFocusPolicy(Qt::NoFocus);
  setAttribute(Qt::WA_ShowWithoutActivating);
  hide();
  frames_.setInterval(kFrameMilliseconds);
  connect(&frames_, &QTimer::timeout, this, [this] {
    if (since_.elapsed() >= close_up::kGrowMilliseconds) frames_.stop();
    update();
  });
  closing_.setSingleShot(true);
  closing_.setInterval(close_up::kShowMilliseconds);
  connect(&closing_, &QTimer::timeout, this, [this] { dismiss(); });
}

void CloseUpView::present(const PictureData& picture, QRect slotRect, const QString& title,
                          const QString& caption) {
  QWidget* stage = parentWidget();
  setGeometry(stage->rect());
  picture_ = picture;
  title_ = title;
  caption_ = caption;
  // One decode covering the grown size in device pixels (proportions kept), then scaled
  // once to exactly that size: a 4K screen gets a sharp picture, every frame a plain copy.
  const double ratio = devicePixelRatioF();
  const int box = static_cast<int>(std::ceil(height() * close_up::kHeightShare * ratio));
  const QImage decoded = decodePicture(picture.view(), QSize(box, box));
  to_ = closeUpTarget(width(), height(), decoded.width(), decoded.height());
  from_ = {double(slotRect.x()), double(slotRect.y()), double(slotRect.width()),
           double(slotRect.height())};
  image_ = QImage();
  if (!decoded.isNull()) {
    const QSize device(static_cast<int>(std::lround(to_.width * ratio)),
                       static_cast<int>(std::lround(to_.height * ratio)));
    image_ = decoded.scaled(device, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    image_.setDevicePixelRatio(ratio);
  }
  since_.start();
  frames_.start();
  closing_.start();
  show();
  raise();
  update();
}

bool CloseUpView::dismiss() {
  frames_.stop();
  closing_.stop();
  if (isHidden()) return false;
  hide();
  return true;
}

QRectF CloseUpView::pictureRect() const {
  return toQt(closeUpRectAt(from_, to_, since_.isValid() ? since_.elapsed() : 0));
}

void CloseUpView::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::SmoothPixmapTransform);
  const double grown =
      std::clamp(static_cast<double>(since_.elapsed()) / close_up::kGrowMilliseconds, 0.0, 1.0);
  // The stage dims behind the prize so it reads from the back of the hall.
  p.fillRect(rect(), QColor(0, 0, 0, static_cast<int>(150 * grown)));

  const QRectF picture = pictureRect();
  // The glow: a warm halo around the picture, fading outwards.
  const double reach = std::max(picture.width(), picture.height()) * 0.85;
  QRadialGradient glow(picture.center(), reach);
  glow.setColorAt(0.0, QColor(255, 224, 120, static_cast<int>(220 * grown)));
  glow.setColorAt(0.55, QColor(255, 170, 40, static_cast<int>(110 * grown)));
  glow.setColorAt(1.0, QColor(255, 140, 0, 0));
  p.setPen(Qt::NoPen);
  p.setBrush(glow);
  p.drawEllipse(picture.center(), reach, reach);

  if (!image_.isNull()) {
    p.drawImage(picture, image_);
  } else {
    p.fillRect(picture, QColor(255, 250, 235));
  }
  p.setPen(QPen(QColor(255, 215, 90), std::max(2.0, picture.height() / 80)));
  p.setBrush(Qt::NoBrush);
  p.drawRect(picture);

  if (grown < 1.0) return;  // the words once the picture has arrived
  const double line = height() * 0.07;
  p.setFont(captionFont(line, true));
  const QRectF above(0, picture.top() - line * 1.8, width(), line * 1.6);
  p.setPen(QColor(0, 0, 0, 160));
  p.drawText(above.translated(3, 3), Qt::AlignCenter, title_);
  p.setPen(QColor(255, 221, 80));
  p.drawText(above, Qt::AlignCenter, title_);
  p.setFont(captionFont(line * 0.55, false));
  const QRectF below(0, picture.bottom() + line * 0.3, width(), line);
  p.setPen(QColor(0, 0, 0, 160));
  p.drawText(below.translated(2, 2), Qt::AlignCenter, caption_);
  p.setPen(Qt::white);
  p.drawText(below, Qt::AlignCenter, caption_);
}

void CloseUpView::mousePressEvent(QMouseEvent* event) {
  event->accept();
  dismiss();
}

}  // namespace zv
