#include "host/movie_view.h"

#include <QFileInfo>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <cmath>

#include "host/colour_key.h"
#include "host/logic/effect_page.h"
#include "host/logic/movie.h"
#include "host/movie_player.h"
#include "host/pixel_scale.h"
#include "platform/files.h"
#include "platform/private_folder.h"

namespace zv {

namespace {

// Far above what the template makes and what the movie format allows (512 bursts).
constexpr std::size_t kMaxPageBytes = 64 * 1024;
constexpr std::size_t kMaxMovieBytes = 1024 * 1024;

class Surface : public QWidget {
 public:
  // A surface on a layer inside another window lets that window paint what lies beneath
  // and draws the burning part of the picture over it; in a window of its own it fills
  // every pixel it is asked for.
  Surface(QWidget* parent, const QImage& picture, const QRegion& burning, const int& shown,
          qreal scale, bool layer)
      : QWidget(parent),
        picture_(picture),
        burning_(burning),
        shown_(shown),
        scale_(scale),
        layer_(layer) {
    setObjectName(MovieView::kSurfaceName);
    if (!layer_) setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
  }

 protected:
  void paintEvent(QPaintEvent* event) override {
    if (shown_ < 0) return;  // nothing drawn yet: the picture holds no frame
    QPainter p(this);
    if (layer_) {
      for (const QRect& area : event->region().intersected(burning_)) draw(p, area);
      return;
    }
    // Source, so that the cleared key pixels stay transparent in a translucent window.
    p.setCompositionMode(QPainter::CompositionMode_Source);
    draw(p, event->rect());
  }

 private:
  // The picture is in device pixels: each of the surface's pixels shows scale of them.
  void draw(QPainter& p, const QRect& area) {
    if (scale_ == 1) {
      p.drawImage(area, picture_, area);
      return;
    }
    const QRectF source(area.x() * scale_, area.y() * scale_, area.width() * scale_,
                        area.height() * scale_);
    p.drawImage(QRectF(area), picture_, source);
  }

 private:
  const QImage& picture_;
  const QRegion& burning_;  // in the surface's pixels
  const int& shown_;
  const qreal scale_;
  const bool layer_;
};

}  // namespace

MovieView::MovieView(QWidget* parent, const std::string& pageFile, QSize bound, bool smooth)
    : QWidget(parent) {
  setFocusPolicy(Qt::NoFocus);
  const auto pageText = readPrivateFile(pageFile, kMaxPageBytes);
  if (!pageText) return;
  const auto request = page::readPage(*pageText);
  if (!request) return;
  // The picture is as large as the page says, so the page may not ask for more than the
  // window can show.
  const QSize size = QSize(request->width, request->height).boundedTo(bound);
  if (size.isEmpty()) return;
  const std::string directory =
      QFileInfo(QString::fromStdString(pageFile)).absolutePath().toStdString();
  const auto movieBytes = readPrivateFile(joinPath(directory, request->movieFile), kMaxMovieBytes);
  if (!movieBytes) return;
  auto movie = movie::read(*movieBytes);
  if (!movie) return;
  // The page's colour is the background the movie plays on.
  const std::uint32_t c = request->background;
  movie->background = {static_cast<std::uint8_t>(c & 0xFF), static_cast<std::uint8_t>(c >> 8),
                       static_cast<std::uint8_t>(c >> 16)};
  player_ = std::make_unique<MoviePlayer>(std::move(*movie));
  // Drawn at the screen's own resolution, so the fireworks stay sharp on a scaled screen.
  scale_ = std::max<qreal>(1, devicePixelRatioF());
  picture_ = QImage(size * scale_, QImage::Format_ARGB32_Premultiplied);
  const ColourKey* key = ColourKey::of(this);
  surface_ = new Surface(this, picture_, burningShown_, shown_, scale_,
                         key && key->mechanism() == key::Mechanism::kLayerInsideWindow);
  surface_->setGeometry(QRect(QPoint(0, 0), size));

  const QScreen* screen = this->screen();
  pacing_.emplace(frameRate(), player_->frameCount(), screen ? screen->refreshRate() : 0, smooth);
  timer_.setTimerType(Qt::PreciseTimer);
  timer_.setSingleShot(true);
  timer_.setInterval(std::max(1, static_cast<int>(pacing_->period())));
  connect(&timer_, &QTimer::timeout, this, [this] { tick(); });
  clock_.start();
  timer_.start();
  // The first frame comes as soon as the event loop runs, so that whoever opened the
  // movie is not kept waiting for a full-screen frame.
  QTimer::singleShot(0, this, [this] {
    if (shown_ < 0) showFrame(0);
  });
}

MovieView::~MovieView() = default;

int MovieView::frameRate() const { return player_ ? player_->movie().frameRate : 0; }

void MovieView::tick() {
  const auto now = [this] { return static_cast<double>(clock_.nsecsElapsed()) / 1e6; };
  // Pictures follow the clock, so a slow one is caught up rather than slowing the movie.
  const double started = now();
  const double frame = pacing_->frameAt(started);
  if (frame != moment_) {
    showMoment(frame);
    pacing_->drawn(now() - started);
  }
  // The next tick is set for the moment the next picture is due: a fixed interval drifts
  // against the clock and now and then skips a picture or shows one twice.
  const double wait = pacing_->nextDue(now()) - now();
  timer_.start(std::max(1, static_cast<int>(std::ceil(wait))));
}

void MovieView::showFrame(int frame) { showMoment(frame); }

void MovieView::showMoment(double frame) {
  if (!player_) return;
  const bool first = shown_ < 0;
  // Outside what the last picture burnt and keyed the picture is the background already,
  // unless the key cleared all of it (the translucent window's key).
  const ColourKey* keyed = ColourKey::of(this);
  const bool keptBackground =
      !first && (!keyed || keyed->mechanism() != key::Mechanism::kAlphaWithInputShape);
  const QRegion burning =
      player_->render(picture_, frame, keptBackground ? touched_ : QRegion(picture_.rect()));
  shown_ = static_cast<int>(std::floor(frame));
  moment_ = frame;
  // Everything outside the burning parts of this frame and the last is background in
  // both, so only they change on screen.
  const QRegion shown = coveringRegion(burning, 1 / scale_);
  // A view pixel at the edge of a burning part shows picture pixels beside it too: they
  // are keyed along with it.
  touched_ = scale_ == 1 ? burning : coveringRegion(shown, scale_);
  if (ColourKey* key = ColourKey::of(this)) {
    key->present(picture_, surface_->mapTo(window(), QPoint(0, 0)), touched_, scale_);
  }
  const QRegion changed = first ? QRegion(surface_->rect()) : burningShown_.united(shown);
  burning_ = burning;
  burningShown_ = shown;
  if (changed.isEmpty()) return;
  if (surface_->isVisible()) {
    surface_->repaint(changed);
  } else {
    surface_->update(changed);
  }
}

bool MovieView::burningAt(QPoint point) const {
  const ColourKey* key = ColourKey::of(this);
  const QPoint pixel(static_cast<int>(point.x() * scale_), static_cast<int>(point.y() * scale_));
  if (!player_ || shown_ < 0 || !key || !burning_.contains(pixel)) return false;
  return ColourKey::showsAt(picture_, pixel, key->keyRgb(), key->mechanism());
}

}  // namespace zv
