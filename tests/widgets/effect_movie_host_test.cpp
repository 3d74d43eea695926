// The effect movie host, the movie view it puts into a window, and the effects window.
#include "host/effect_movie_host.h"

#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QLineEdit>
#include <QScreen>
#include <QTest>
#include <filesystem>
#include <set>

#include "draw/random_source.h"
#include "effect_host_fixture.h"
#include "host/colour_key.h"
#include "host/effects_window.h"
#include "host/logic/effect_page.h"
#include "host/movie_view.h"
#include "platform/files.h"
#include "platform/private_folder.h"
#include "resources/effect_movies.h"
#include "support/temp_dir.h"

namespace zv {
namespace {

using testing::EffectHostTest;
using testing::TempDir;

TEST_F(EffectHostTest, PlayWritesThePageAndTheMovieNamedByTheWindowAndFillsIt) {
  EffectMovieHost host;
  QWidget* control = host.play(&window, artwork::effectMovie(5), 0);
  ASSERT_NE(control, nullptr);
  EXPECT_EQ(EffectMovieHost::effectFolder(), folder());
  EXPECT_TRUE(std::filesystem::is_directory(TempDir::native(folder())));
  const std::string name = this->name();
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
  const std::string name = this->name();
  ASSERT_TRUE(PrivateFolder::openUserRuntimeFolder("zorvane"));
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
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(TempDir::native(folder())), {}), 2);
  EXPECT_EQ(tmp.entries().size(), 1u);  // nothing but the effect folder
}

TEST_F(EffectHostTest, APageIsTrustedNoFurtherThanTheHostWindowsSize) {
  struct Case {
    int width, height;
    QSize picture;
  };
  const Case cases[] = {
      {20000, 20000, {640, 360}},
      {20000, 100, {640, 100}},
      {300, 200, {300, 200}},
      {640, 360, {640, 360}},
  };
  // Keyed first, as a showing does.
  EffectMovieHost::makeLayered(&window, 0);
  // The test's own folder is 0700, so its files count as the user's own.
  ASSERT_TRUE(writeWholeFileAtomically(tmp.file(name() + ".swf"), artwork::effectMovie(6)));
  for (const Case& c : cases) {
    ASSERT_TRUE(
        writeWholeFileAtomically(tmp.file(name() + ".cn"), page::buildPage(id(), c.width, c.height, 0)));
    EffectMovieHost host;
    auto* view = static_cast<MovieView*>(
        host.createControl(&window, tmp.file(name() + ".cn"), 0, 0, 640, 360, false));
    ASSERT_TRUE(view->playing()) << c.width << "x" << c.height;
    EXPECT_EQ(view->picture().size(), c.picture) << c.width << "x" << c.height;
    ASSERT_NE(view->surface(), nullptr);
    EXPECT_EQ(view->surface()->size(), c.picture);
    delete view;
  }
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

namespace zv {
namespace {

// A full-screen stage with one unit under the effect, recording the buttons pressed on it.
class LayerTest : public EffectHostTest {
 protected:
  void SetUp() override {
    EffectHostTest::SetUp();
    window.setStyleSheet("background: #7A0C12");
    window.setAutoFillBackground(true);
    unit = new QWidget(&window);
    unit->setGeometry(window.rect());
    unit->installEventFilter(&presses);
    window.setWindowState(Qt::WindowFullScreen);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  }
  // The layer's effect, waited for until a frame with fireworks is on show; the clock
  // is stopped there so that the picture holds still.
  MovieView* burningView(EffectsWindow& effects) {
    auto* view = static_cast<MovieView*>(effects.control());
    if (!view) return nullptr;
    view->showFrame(20);
    return view;
  }
  QPoint burningPoint(const MovieView& view) {
    for (int y = 0; y < view.height(); y += 2)
      for (int x = 0; x < view.width(); x += 2)
        if (view.burningAt({x, y})) return {x, y};
    return {-1, -1};
  }
  QPoint blackPoint(const MovieView& view) {
    for (int y = 0; y < view.height(); y += 5)
      for (int x = 0; x < view.width(); x += 5)
        if (!view.burningAt({x, y})) return {x, y};
    return {-1, -1};
  }

  class Recorder : public QObject {
   public:
    bool eventFilter(QObject*, QEvent* event) override {
      if (event->type() == QEvent::MouseButtonPress)
        buttons.push_back(static_cast<QMouseEvent*>(event)->button());
      menus += event->type() == QEvent::ContextMenu;
      return false;
    }
    std::vector<Qt::MouseButton> buttons;
    int menus = 0;
  } presses;
  QWidget* unit = nullptr;
  RandomSource random;
};

TEST_F(LayerTest, AFullScreenStageGetsItsEffectAsALayerAndAWindowedOneAWindowOfItsOwn) {
  EXPECT_EQ(effectsPlacementFor(&window), EffectsPlacement::InsideOwner);
  QWidget windowed;
  windowed.setGeometry(10, 10, 300, 200);
  EXPECT_EQ(effectsPlacementFor(&windowed), EffectsPlacement::OwnWindow);
  EXPECT_EQ(effectsPlacementFor(nullptr), EffectsPlacement::OwnWindow);
  EXPECT_EQ(effectsPlacementFor(unit), EffectsPlacement::OwnWindow) << "only a window is a stage";

  // Asked for a layer without an owner, the effect still gets a window.
  EffectsWindow orphan(nullptr, random, EffectsPlacement::InsideOwner);
  EXPECT_EQ(orphan.placement(), EffectsPlacement::OwnWindow);
  EXPECT_TRUE(orphan.isWindow());
}

TEST_F(LayerTest, TheLayerShowsTheStageThroughEveryBlackPixelAndNamesItsFilesByTheStage) {
  const QImage before = window.grab().toImage();
  EffectsWindow effects(&window, random, EffectsPlacement::InsideOwner);
  effects.show();
  ASSERT_EQ(ColourKey::of(effects.control())->mechanism(), key::Mechanism::kLayerInsideWindow);
  EXPECT_TRUE(QFile::exists(QString::fromStdString(file(name() + ".swf"))))
      << "the files are named by the stage's window";
  MovieView* view = burningView(effects);
  ASSERT_TRUE(view && view->playing());
  const QImage during = window.grab().toImage();
  ASSERT_EQ(during.size(), before.size());
  int burning = 0;
  for (int y = 0; y < during.height(); y += 2) {
    for (int x = 0; x < during.width(); x += 2) {
      if (view->burningAt({x, y})) {
        ++burning;
        continue;
      }
      ASSERT_EQ(during.pixel(x, y), before.pixel(x, y)) << "black covers the stage at " << x << ","
                                                       << y;
    }
  }
  EXPECT_GT(burning, 50) << "no fireworks in frame 20";
  effects.hide();
  QCoreApplication::processEvents();
  EXPECT_EQ(window.grab().toImage(), before) << "the stage is whole again";
}

TEST_F(LayerTest, ClicksGoThroughTheLayerButARightClickOnAFireworkOpensNothing) {
  EffectsWindow effects(&window, random, EffectsPlacement::InsideOwner);
  effects.show();
  MovieView* view = burningView(effects);
  ASSERT_NE(view, nullptr);
  const QPoint burning = burningPoint(*view), black = blackPoint(*view);
  ASSERT_NE(burning, QPoint(-1, -1));
  ASSERT_NE(black, QPoint(-1, -1));
  EXPECT_EQ(window.childAt(burning), unit) << "the layer takes no mouse";

  QTest::mouseClick(unit, Qt::LeftButton, {}, burning);
  QTest::mouseClick(unit, Qt::RightButton, {}, black);
  QTest::mouseClick(unit, Qt::RightButton, {}, burning);
  EXPECT_EQ(presses.buttons, (std::vector<Qt::MouseButton>{Qt::LeftButton, Qt::RightButton}));
  for (const QPoint at : {burning, black}) {
    QContextMenuEvent menu(QContextMenuEvent::Mouse, at, unit->mapToGlobal(at));
    QCoreApplication::sendEvent(unit, &menu);
  }
  EXPECT_EQ(presses.menus, 1) << "only the menu asked for over black";

  // A hidden effect guards nothing.
  presses.buttons.clear();
  effects.hide();
  QTest::mouseClick(unit, Qt::RightButton, {}, burning);
  EXPECT_EQ(presses.buttons, std::vector<Qt::MouseButton>{Qt::RightButton});
}

}  // namespace
}  // namespace zv
