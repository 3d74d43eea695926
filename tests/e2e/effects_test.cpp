// The win effect on the real program: fireworks over the stage, see-through where black,
// gone after 3.5 s, clicked through, switched off, and drawn from the three movies.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <optional>
#include <set>
#include <thread>

#include "host/logic/movie.h"
#include "stage_fixture.h"

// X headers last: their macros clash with names in the test framework.
#include <X11/Xlib.h>

namespace zv::e2e {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr int kHubX = 686, kHubY = 408;  // the start/stop label in the wheel's centre

// The program's runtime directory is one of the test's own; its effect folder is made in
// there.
class EffectsOnStage : public StageTest {
 protected:
  void SetUp() override {
    StageTest::SetUp();
    if (const char* old = getenv("XDG_RUNTIME_DIR")) savedRuntime_ = old;
    ASSERT_EQ(::mkdir(runtime().c_str(), 0700), 0);
    setenv("XDG_RUNTIME_DIR", runtime().c_str(), 1);
    display_ = XOpenDisplay(x.name().c_str());
    ASSERT_NE(display_, nullptr);
  }
  void TearDown() override {
    if (display_) XCloseDisplay(display_);
    if (savedRuntime_) {
      setenv("XDG_RUNTIME_DIR", savedRuntime_->c_str(), 1);
    } else {
      unsetenv("XDG_RUNTIME_DIR");
    }
    StageTest::TearDown();
  }
  std::string runtime() { return dir.file("run"); }
  std::string effectFolder() { return runtime() + "/zorvane"; }

  // The program's own window inside a window manager's frame (the one the manager gave a
  // WM_STATE); without a manager, the window itself.
  Window clientOf(Window w) {
    const Window client = findClient(w);
    return client ? client : w;
  }
  Window findClient(Window w) {
    if (hasWmState(w)) return w;
    Window root, parent, *children = nullptr;
    unsigned count = 0;
    Window client = 0;
    if (XQueryTree(display_, w, &root, &parent, &children, &count)) {
      for (unsigned i = 0; i < count && !client; ++i) client = findClient(children[i]);
    }
    if (children) XFree(children);
    return client;
  }
  bool hasWmState(Window w) {
    Atom type = 0;
    int format;
    unsigned long items, after;
    unsigned char* data = nullptr;
    XGetWindowProperty(display_, w, XInternAtom(display_, "WM_STATE", False), 0, 0, False,
                       AnyPropertyType, &type, &format, &items, &after, &data);
    if (data) XFree(data);
    return type != 0;
  }

  // The mapped top-level windows covering the whole screen.
  std::set<Window> screenWindows() {
    std::set<Window> found;
    Window root, parent, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display_, DefaultRootWindow(display_), &root, &parent, &children, &count))
      return found;
    for (unsigned i = 0; i < count; ++i) {
      XWindowAttributes a;
      if (XGetWindowAttributes(display_, children[i], &a) && a.map_state == IsViewable &&
          a.x == 0 && a.y == 0 && a.width == 1366 && a.height == 768) {
        found.insert(clientOf(children[i]));
      }
    }
    if (children) XFree(children);
    return found;
  }
  // The effects window: a full-screen window that was not there before the stop.
  Window overlay() {
    for (Window w : screenWindows())
      if (!before_.count(w)) return w;
    return 0;
  }
  void startDraw() {
    before_ = screenWindows();
    key("space");
    std::this_thread::sleep_for(400ms);
  }
  // Stops the draw; returns when the overlay is up (or the time ran out).
  Clock::time_point stopDraw() {
    key("space");
    const auto stopped = Clock::now();
    waitUntil([&] { return overlay() != 0; }, 3s);
    return stopped;
  }
  std::optional<movie::Movie> movieOf(Window w) {
    return movie::read(readWholeFile(effectFolder() + "/vexo-" + std::to_string(w) + ".swf"));
  }
  // Effect files anywhere in the test's folders.
  int vexoFiles() {
    int n = 0;
    for (const auto& e : std::filesystem::recursive_directory_iterator(dir.path()))
      n += e.path().filename().string().rfind("vexo-", 0) == 0;
    return n;
  }

  Display* display_ = nullptr;
  std::set<Window> before_;
  std::optional<std::string> savedRuntime_;
};

bool sameColour(Rgb a, Rgb b) { return a.r == b.r && a.g == b.g && a.b == b.b; }

TEST_F(EffectsOnStage, FireworksCoverTheStageOnlyWhereTheyBurnAndGoAfterThreeAndAHalfSeconds) {
  addPrizePictures();
  writeSettings("[zbt]\r\nlx=真\r\n");
  start();
  startDraw();
  const auto stopped = stopDraw();
  const Window w = overlay();
  ASSERT_NE(w, 0u) << "no overlay";
  ASSERT_TRUE(movieOf(w).has_value()) << "the movie file is named by the window";
  struct stat st {};
  ASSERT_EQ(::lstat(effectFolder().c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0700u) << "the effect folder is the user's alone";
  std::this_thread::sleep_until(stopped + 700ms);  // the landing is done beneath
  const auto during = x.shot();
  std::this_thread::sleep_until(stopped + 3s);
  EXPECT_NE(overlay(), 0u) << "gone too early";
  ASSERT_TRUE(waitUntil([&] { return overlay() == 0; }, 2s));
  EXPECT_LT(Clock::now() - stopped, 4200ms);
  std::this_thread::sleep_for(300ms);
  const auto after = x.shot();  // the stage alone, as it was beneath the overlay

  int differing = 0, dim = 0, marginDiffering = 0;
  for (int py = 0; py < 768; ++py) {
    for (int px = 0; px < 1366; ++px) {
      const Rgb a = during.at(px, py);
      if (sameColour(a, after.at(px, py))) continue;
      ++differing;
      dim += std::max({a.r, a.g, a.b}) < 40;
      // Left and right of the movie's stage the movie is black.
      marginDiffering += px < 150 || px > 1216;
    }
  }
  EXPECT_GT(differing, 1000) << "no fireworks over the stage";
  EXPECT_LT(differing, 1366 * 768 / 3) << "the black of the movie covers the stage";
  EXPECT_EQ(marginDiffering, 0);
  EXPECT_LT(dim, differing / 200) << "dark fringes around the fireworks";
}

TEST_F(EffectsOnStage, AStartClickThroughTheBlackStartsTheNextDrawAndRemovesTheOverlay) {
  addPrizePictures();
  writeSettings("[zbt]\r\nlx=真\r\n");
  start();
  startDraw();
  const auto stopped = stopDraw();
  ASSERT_NE(overlay(), 0u);
  std::this_thread::sleep_for(300ms);  // the landing brings the start label back
  // The click goes through where the movie is black at that moment; on a firework it is
  // caught, so try again.
  bool through = false;
  while (!through && Clock::now() - stopped < 2500ms) {
    click(kHubX, kHubY);
    through = waitUntil([&] { return overlay() == 0; }, 250ms);
  }
  ASSERT_TRUE(through) << "no click reached the start label";
  EXPECT_LT(Clock::now() - stopped, 3s) << "the overlay went by itself, not by the click";
  ASSERT_EQ(totalWins(), 1);
  std::this_thread::sleep_for(300ms);
  key("space");  // the click started a draw: Space stops it
  EXPECT_TRUE(waitUntil([&] { return totalWins() == 2; }, 5s));
}

TEST_F(EffectsOnStage, WithEffectsOffNoWindowAppearsAndNoFileIsWritten) {
  addPrizePictures();
  writeSettings("[zbt]\r\nlx=真\r\n禁用特效=真\r\n");
  start();
  startDraw();
  key("space");
  ASSERT_TRUE(waitUntil([&] { return totalWins() == 1; }, 5s));
  const auto end = Clock::now() + 1500ms;
  while (Clock::now() < end) {
    ASSERT_EQ(overlay(), 0u);
    std::this_thread::sleep_for(100ms);
  }
  EXPECT_EQ(vexoFiles(), 0);
}

TEST_F(EffectsOnStage, EachShowingPlaysEffectMovieFourFiveOrSixAndEachOfThemAppears) {
  addPrizePictures();
  writeSettings("[zbt]\r\nlx=真\r\n");
  start();
  std::set<int> seen;
  for (int draw = 0; draw < 30 && seen.size() < 3; ++draw) {
    startDraw();  // also removes the previous overlay at once
    stopDraw();
    const Window w = overlay();
    ASSERT_NE(w, 0u) << draw;
    // Space is ignored until the draw has landed, which may take a moment on a slow machine.
    ASSERT_TRUE(waitUntil([&] { return totalWins() == draw + 1; }, 5s)) << draw;
    const auto m = movieOf(w);
    ASSERT_TRUE(m.has_value()) << draw;
    const int number = m->frameRate == 12 ? 4 : m->frameRate == 36 ? 5 : m->frameRate == 20 ? 6 : 0;
    ASSERT_NE(number, 0) << "frame rate " << m->frameRate;
    seen.insert(number);
  }
  EXPECT_EQ(seen, (std::set<int>{4, 5, 6}));
}

}  // namespace
}  // namespace zv::e2e
