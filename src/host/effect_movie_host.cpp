#include "host/effect_movie_host.h"

#include <QElapsedTimer>
#include <QEvent>
#include <QMouseEvent>
#include <QTimer>
#include <cstdio>
#include <memory>
#include <set>

#include "host/colour_key.h"
#include "host/logic/effect_page.h"
#include "host/movie_view.h"
#include "host/native_window.h"
#include "platform/private_folder.h"

namespace zv {

namespace {

constexpr const char* kEffectFolderName = "zorvane";
constexpr int kSurfaceWaitMs = 2000;
constexpr int kSurfacePollMs = 20;

// Eats right-button presses, releases and context-menu requests of the surface it
// watches; everything else passes unchanged.
class RightButtonFilter : public QObject {
 public:
  bool eventFilter(QObject* watched, QEvent* event) override {
    switch (event->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick:
        if (static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) return true;
        break;
      case QEvent::ContextMenu:
        return true;
      default:
        break;
    }
    return QObject::eventFilter(watched, event);
  }
};

// The one filter of the process, moved to the surface suppressed last.
QPointer<QObject> gFilteredSurface;
RightButtonFilter& filter() {
  static RightButtonFilter instance;
  return instance;
}

void suppressOnceThere(QPointer<QWidget> control, std::shared_ptr<QElapsedTimer> waited) {
  if (!control) return;
  QWidget* surface = control->findChild<QWidget*>(MovieView::kSurfaceName);
  if (!surface) {
    // The surface comes once the movie opens; give up after the bound and leave the
    // right button alone.
    if (waited->elapsed() < kSurfaceWaitMs) {
      QTimer::singleShot(kSurfacePollMs, control,
                         [control, waited] { suppressOnceThere(control, waited); });
    }
    return;
  }
  if (gFilteredSurface) gFilteredSurface->removeEventFilter(&filter());
  surface->installEventFilter(&filter());
  gFilteredSurface = surface;
}

// Said once per folder and run: every showing would say it again.
void reportUnusableFolder() {
  static std::set<std::string> reported;
  const std::string folder = EffectMovieHost::effectFolder();
  if (!reported.insert(folder).second) return;
  std::fprintf(stderr,
               "Effects off: the effect folder %s is not the user's own or cannot be made\n",
               folder.empty() ? "(no $XDG_RUNTIME_DIR, $XDG_CACHE_HOME or $HOME)" : folder.c_str());
}

}  // namespace

QWidget* EffectMovieHost::play(QWidget* hostWindow, std::string_view movie,
                               std::uint32_t keyColour) {
  hostWindow_ = hostWindow;
  makeLayered(hostWindow, keyColour);
  keyColour_ = keyColour;
  const std::uint64_t n = windowNumber(hostWindow);
  const QRect outer = hostWindow->frameGeometry();
  width_ = outer.width();
  height_ = outer.height();
  pageText_ = buildPage(hostWindow, width_, height_, keyColour);
  pageFile_.clear();
  // The files are remade at every showing, so they are not worth a flush to disk.
  if (const auto folder = PrivateFolder::openUserRuntimeFolder(kEffectFolderName)) {
    if (folder->write(page::movieFileName(n), movie, Durability::kThrowAway) &&
        folder->write(page::pageFileName(n), pageText_, Durability::kThrowAway)) {
      pageFile_ = folder->file(page::pageFileName(n));
    }
  } else {
    reportUnusableFolder();
  }
  return createControl(hostWindow, pageFile_, 0, 0, width_, height_, true);
}

void EffectMovieHost::makeLayered(QWidget* window, std::uint32_t colour) {
  ColourKey::install(window, colour);
}

std::string EffectMovieHost::buildPage(QWidget* hostWindow, int width, int height,
                                       std::uint32_t colour) {
  return page::buildPage(windowNumber(hostWindow), width, height, colour);
}

QWidget* EffectMovieHost::createControl(QWidget* hostWindow, const std::string& pageFile, int left,
                                        int top, int width, int height, bool suppressContextMenu) {
  auto* view = new MovieView(hostWindow, pageFile, hostWindow->frameGeometry().size(), smooth_);
  view->setGeometry(left, top, width, height);
  view->show();
  controlWindow_ = view;
  control_ = view;
  if (suppressContextMenu) EffectMovieHost::suppressContextMenu(view);
  return view;
}

void EffectMovieHost::suppressContextMenu(QWidget* controlWindow) {
  auto waited = std::make_shared<QElapsedTimer>();
  waited->start();
  suppressOnceThere(controlWindow, waited);
}

std::string EffectMovieHost::effectFolder() { return userRuntimeFolder(kEffectFolderName); }

std::uint64_t EffectMovieHost::windowNumber(QWidget* window) {
  // A layer's showings are named by the window it lies in.
  return topLevelWindowId(window ? window->window() : nullptr);
}

}  // namespace zv
