// The effect movie host, the movie view it puts into a window, and the effects window.
#include "host/effect_movie_host.h"

#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QLineEdit>
#include <QScreen>
#include <QTest>
#include <set>

#include "draw/random_source.h"
#include "host/colour_key.h"
#include "host/effects_window.h"
#include "host/logic/effect_page.h"
#include "host/movie_view.h"
#include "platform/files.h"
#include "resources/effect_movies.h"
#include "support/temp_dir.h"

namespace zv {
namespace {

// Points the temporary directory at a fresh folder of the test's own.
class EffectHostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = qgetenv("TMPDIR");
    qputenv("TMPDIR", QByteArray::fromStdString(tmp.path()));
    window.setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    window.setGeometry(0, 0, 640, 360);
  }
  void TearDown() override { qputenv("TMPDIR", saved_); }

  std::string file(const std::string& name) { return tmp.file(name); }
  std::uint64_t id() { return EffectMovieHost::windowNumber(&window); }

  zv::testing::TempDir tmp;
  QWidget window;

 private:
  QByteArray saved_;
};

TEST_F(EffectHostTest, PlayWritesThePageAndTheMovieNamedByTheWindowAndFillsIt) {
  EffectMovieHost host;
  QWidget* control = host.play(&window, artwork::effectMovie(5), 0);
  ASSERT_NE(control, nullptr);
  EXPECT_EQ(EffectMovieHost::temporaryDirectory(), tmp.path() + "/");
  const std::string name = "vexo-" + std::to_string(id());
  EXPECT_EQ(host.pageFile(), file(name + ".cn"));
  EXPECT_EQ(readWholeFile(file(name + ".swf")), artwork::effectMovie(5));
  EXPECT_EQ(readWholeFile(file(name + ".cn")), page::buildPage(id(), 640, 360, 0));
  EXPECT_EQ(host.pageText(), page::buildPage(id(), 640, 360, 0));
  EXPECT_EQ(control->parentWidget(), &window);
  EXPECT_EQ(control->geometry(), QRect(0, 0, 640, 360));
  EXPECT_FALSE(control->isHidden());
  auto* view = static_cast<MovieView*>(control);
  EXPECT_TRUE(view->playing());
  EXPECT_EQ(view->picture().size(), QSize(640, 360));
  EXPECT_EQ(view->frameRate(), 36);
}

TEST_F(EffectHostTest, ASecondShowingOnTheSameWindowReplacesBothFiles) {
  const std::string name = "vexo-" + std::to_string(id());
  writeWholeFileAtomically(file(name + ".cn"), "old page");
  writeWholeFileAtomically(file(name + ".swf"), "old movie");
  {
    EffectMovieHost first;
    first.play(&window, artwork::effectMovie(4), 0);
  }
  EXPECT_EQ(readWholeFile(file(name + ".swf")), artwork::effectMovie(4));
  EffectMovieHost second;
  window.resize(300, 200);
  second.play(&window, artwork::effectMovie(6), 0x0C0B0A);
  EXPECT_EQ(readWholeFile(file(name + ".swf")), artwork::effectMovie(6));
  EXPECT_EQ(readWholeFile(file(name + ".cn")), page::buildPage(id(), 300, 200, 0x0C0B0A));
  EXPECT_EQ(tmp.entries().size(), 2u);
}

TEST_F(EffectHostTest, TheMovieKeepsPlayingAfterTheHostIsGone) {
  MovieView* view = nullptr;
  {
    EffectMovieHost host;
    view = static_cast<MovieView*>(host.play(&window, artwork::effectMovie(5), 0));
  }
  window.show();
  ASSERT_TRUE(QTest::qWaitFor([&] { return view->frame() >= 5; }, 2000));
}

// Records the mouse presses that reach a widget.
class PressRecorder : public QObject {
 public:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::MouseButtonPress)
      buttons.push_back(static_cast<QMouseEvent*>(event)->button());
    return false;
  }
  std::vector<Qt::MouseButton> buttons;
};

TEST_F(EffectHostTest, RightButtonsOverTheMovieDoNothingWhileTheLeftReachesIt) {
  EffectMovieHost host;
  auto* view = static_cast<MovieView*>(host.play(&window, artwork::effectMovie(6), 0));
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  ASSERT_NE(view->surface(), nullptr);
  PressRecorder recorder;
  window.installEventFilter(&recorder);
  view->installEventFilter(&recorder);
  QTest::mousePress(view->surface(), Qt::RightButton, {}, QPoint(10, 10));
  QTest::mouseRelease(view->surface(), Qt::RightButton, {}, QPoint(10, 10));
  EXPECT_TRUE(recorder.buttons.empty());
  // The movie has no use for the left button, so it passes it on to its parents.
  QTest::mousePress(view->surface(), Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_FALSE(recorder.buttons.empty());
}

TEST_F(EffectHostTest, ABrokenMovieOrPagePlaysNothingAndLeavesTheWindowKeyed) {
  const std::string movie(artwork::effectMovie(4));
  for (const std::string& bytes : {movie.substr(0, movie.size() / 2), std::string("ZVFX\1\0"),
                                   std::string(5000, '\xFF'), std::string()}) {
    EffectMovieHost host;
    auto* view = static_cast<MovieView*>(host.play(&window, bytes, 0));
    ASSERT_NE(view, nullptr);
    EXPECT_FALSE(view->playing());
    EXPECT_EQ(view->surface(), nullptr);
    ASSERT_NE(ColourKey::of(&window), nullptr);
    delete view;
  }
  EffectMovieHost host;
  auto* view = static_cast<MovieView*>(
      host.createControl(&window, file("no such page.cn"), 0, 0, 10, 10, true));
  EXPECT_FALSE(view->playing());
  QTest::qWait(50);  // the bounded wait for a surface that never comes
}

TEST_F(EffectHostTest, WithoutACompositorTheWindowShapeIsTheMoviesBurningPixels) {
  EffectMovieHost host;
  auto* view = static_cast<MovieView*>(host.play(&window, artwork::effectMovie(4), 0));
  ASSERT_EQ(ColourKey::of(&window)->mechanism(), key::Mechanism::kWindowShape);
  view->showFrame(20);
  const QImage& frame = view->picture();
  const QRegion mask = window.mask();
  int burning = 0;
  for (int y = 0; y < frame.height(); y += 3) {
    for (int x = 0; x < frame.width(); x += 3) {
      const bool black = (frame.pixel(x, y) & 0xFFFFFF) == 0;
      burning += !black;
      ASSERT_EQ(mask.contains(QPoint(x, y)), !black) << x << "," << y;
    }
  }
  EXPECT_GT(burning, 100);
}

// The owner of an effects window, counting the keys that come to it.
class KeyCounter : public QWidget {
 public:
  int keys = 0;

 protected:
  void keyReleaseEvent(QKeyEvent* event) override { keys += event->key() == Qt::Key_Space; }
};

TEST_F(EffectHostTest, TheEffectsWindowCoversTheScreenAndPlaysEachOfTheThreeMovies) {
  KeyCounter stage;
  std::uint32_t ticks = 1000;
  RandomSource random([&ticks] { return ticks += 7; });
  std::set<int> seen;
  for (int showing = 0; showing < 40 && seen.size() < 3; ++showing) {
    EffectsWindow effects(&stage, random);
    ASSERT_GE(effects.movieNumber(), 4);
    ASSERT_LE(effects.movieNumber(), 6);
    seen.insert(effects.movieNumber());
    EXPECT_EQ(effects.geometry(), QGuiApplication::primaryScreen()->geometry());
    EXPECT_TRUE(effects.isWindow());
    EXPECT_EQ(effects.parentWidget(), &stage);
    EXPECT_TRUE(effects.windowFlags() & Qt::WindowDoesNotAcceptFocus);
    EXPECT_EQ(effects.focusPolicy(), Qt::NoFocus);
    ASSERT_NE(effects.control(), nullptr);
    EXPECT_EQ(effects.control()->geometry(), effects.rect());
    EXPECT_TRUE(static_cast<MovieView*>(effects.control())->playing());
    const std::string page =
        readWholeFile(file(page::pageFileName(EffectMovieHost::windowNumber(&effects))));
    EXPECT_NE(page.find("#000000"), std::string::npos);
  }
  EXPECT_EQ(seen, (std::set<int>{4, 5, 6}));

  // Keys that land on the overlay belong to the stage.
  EffectsWindow effects(&stage, random);
  QKeyEvent release(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, " ");
  QCoreApplication::sendEvent(&effects, &release);
  EXPECT_EQ(stage.keys, 1);
}

}  // namespace
}  // namespace zv
