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
  // Stops the draw; with ownWindow, returns when the overlay's window is up (or the time
  // ran out).
  Clock::time_point stopDraw(bool ownWindow = false) {
    key("space");
    const auto stopped = Clock::now();
    if (ownWindow) waitUntil([&] { return overlay() != 0; }, 3s);
    return stopped;
  }
  std::optional<movie::Movie> movieOf(Window w) {
    return movie::read(readWholeFile(effectFolder() + "/vexo-" + std::to_string(w) + ".swf"));
  }
  // The movie file of the latest showing, or "" before any.
  std::string newestMovieFile() {
    std::string newest;
    std::filesystem::file_time_type newestTime{};
    std::error_code error;
    for (const auto& e : std::filesystem::directory_iterator(effectFolder(), error)) {
      const std::string name = e.path().filename().string();
      if (name.rfind("vexo-", 0) != 0 || e.path().extension() != ".swf") continue;
      if (newest.empty() || e.last_write_time() > newestTime) {
        newest = e.path().string();
        newestTime = e.last_write_time();
      }
    }
    return newest;
  }
  static ino_t inodeOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
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

int differingPixels(const XvfbServer::Shot& a, const XvfbServer::Shot& b) {
  int differing = 0;
  for (int py = 0; py < a.height(); py += 2)
    for (int px = 0; px < a.width(); px += 2) differing += !sameColour(a.at(px, py), b.at(px, py));
  return differing;
}

// Beside the wheel, below the titles and right of the result picture the stage is its
// plain colour: anything else there is a firework.
int fireworkPixelsBesideTheWheel(const XvfbServer::Shot& shot) {
  int burning = 0;
  for (int py = 170; py < 740; py += 3) {
    for (int px = 240; px < 1200; px += 3) {
      if (px > 420 && px < 950) continue;
      burning += !shot.at(px, py).near(kStage, 40);
    }
  }
  return burning;
}

struct TimedShot {
  Clock::duration after;  // since the stop
  XvfbServer::Shot shot;
};

// Over a full-screen stage the fireworks are drawn inside the stage's own window: the
// screen itself tells when they show.
TEST_F(EffectsOnStage, FireworksCoverTheStageOnlyWhereTheyBurnAndGoAfterThreeAndAHalfSeconds) {
  addPrizePictures();
  writeSettings("[zbt]\r\nlx=真\r\n");
  start();
  startDraw();
  const auto stopped = stopDraw();
  std::vector<TimedShot> shots;
  while (Clock::now() - stopped < 5s) {
    shots.push_back({Clock::now() - stopped, x.shot()});
    std::this_thread::sleep_for(80ms);
  }
  EXPECT_EQ(overlay(), 0u) << "no window of its own over a full-screen stage";
  ASSERT_FALSE(newestMovieFile().empty()) << "the showing's movie file";
  struct stat st {};
  ASSERT_EQ(::lstat(effectFolder().c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0700u) << "the effect folder is the user's alone";
  const auto& after = shots.back().shot;  // the stage alone, as it was beneath the overlay
  ASSERT_EQ(differingPixels(shots[shots.size() - 4].shot, after), 0) << "the stage is still";
  Clock::duration lastBurning{};
  const XvfbServer::Shot* during = nullptr;
  for (const TimedShot& s : shots) {
    if (differingPixels(s.shot, after) < 100) continue;
    lastBurning = s.after;
    if (!during && s.after > 700ms) during = &s.shot;  // the landing is done beneath
  }
  ASSERT_NE(during, nullptr) << "no fireworks over the stage";
  EXPECT_GT(lastBurning, 2800ms) << "gone too early";
  EXPECT_LT(lastBurning, 3900ms) << "still there after three and a half seconds";

  int differing = 0, dim = 0, marginDiffering = 0;
  for (int py = 0; py < 768; ++py) {
    for (int px = 0; px < 1366; ++px) {
      const Rgb a = during->at(px, py);
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

// A stage in a window of its own gets the fireworks in a window over the whole screen.
TEST_F(EffectsOnStage, OverAWindowedStageTheFireworksAreAKeyedWindowOverTheScreen) {
  addPrizePictures();
  writeSettings("[zbt]\r\nlx=真\r\n界面大小=窗口\r\n");
  start();
  startDraw();
  const auto stopped = stopDraw(true);
  const Window w = overlay();
  ASSERT_NE(w, 0u) << "no overlay";
  ASSERT_TRUE(movieOf(w).has_value()) << "the movie file is named by the window";
  std::this_thread::sleep_until(stopped + 700ms);
  const auto during = x.shot();
  ASSERT_TRUE(waitUntil([&] { return overlay() == 0; }, 4s));
  EXPECT_LT(Clock::now() - stopped, 4200ms);
  std::this_thread::sleep_for(300ms);
  const auto after = x.shot();
  int differing = 0, margin = 0;
  for (int py = 0; py < 768; py += 2) {
    for (int px = 0; px < 1366; px += 2) {
      if (sameColour(during.at(px, py), after.at(px, py))) continue;
      ++differing;
      margin += px < 150 || px > 1216;
    }
  }
  EXPECT_GT(differing, 250) << "no fireworks over the stage";
  EXPECT_LT(differing, 683 * 384 / 3) << "the black of the movie covers the stage";
  EXPECT_EQ(margin, 0);
}

TEST_F(EffectsOnStage, AStartClickThroughTheFireworksStartsTheNextDrawAndRemovesThem) {
  addPrizePictures();
  writeSettings("[zbt]\r\nlx=真\r\n");
  start();
  startDraw();
  const auto stopped = stopDraw();
  int burningBefore = 0;
  while (Clock::now() - stopped < 1200ms) {  // the landing brings the start label back
    burningBefore = std::max(burningBefore, fireworkPixelsBesideTheWheel(x.shot()));
    std::this_thread::sleep_for(60ms);
  }
  ASSERT_GT(burningBefore, 20) << "no fireworks beside the wheel to be removed";
  ASSERT_EQ(totalWins(), 1);
  click(kHubX, kHubY);  // whatever burns there, the click reaches the start label
  std::this_thread::sleep_for(150ms);
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(fireworkPixelsBesideTheWheel(x.shot()), 0) << "fireworks still showing " << i;
    std::this_thread::sleep_for(60ms);
  }
  key("space");  // the click started a draw: Space stops it
  EXPECT_TRUE(waitUntil([&] { return totalWins() == 2; }, 5s));
}

// Without a runtime directory, folders another user made first at the shared temporary
// names turn nothing off: the effect files go to the user's own cache, and a second start
// still hands over.
TEST_F(EffectsOnStage, WithoutARuntimeDirectoryFoldersPlantedInTmpChangeNothing) {
  unsetenv("XDG_RUNTIME_DIR");  // put back by TearDown
  struct ScopedVariable {
    ScopedVariable(const char* name, const std::string& value) : name_(name) {
      if (const char* old = getenv(name)) old_ = old;
      setenv(name, value.c_str(), 1);
    }
    ~ScopedVariable() {
      if (old_) {
        setenv(name_, old_->c_str(), 1);
      } else {
        unsetenv(name_);
      }
    }
    const char* name_;
    std::optional<std::string> old_;
  };
  const std::string tmp = dir.file("tmp");
  ASSERT_EQ(::mkdir(tmp.c_str(), 0700), 0);
  ASSERT_EQ(::chmod(tmp.c_str(), 01777), 0);
  for (const std::string& name :
       {"zorvane-" + std::to_string(::geteuid()), std::string("runtime-root")}) {
    ASSERT_EQ(::mkdir((tmp + "/" + name).c_str(), 0700), 0);
    ASSERT_EQ(::chmod((tmp + "/" + name).c_str(), 0777), 0);
    ASSERT_EQ(::chown((tmp + "/" + name).c_str(), 65534, 65534), 0);
  }
  ScopedVariable tmpdir("TMPDIR", tmp);
  ScopedVariable cache("XDG_CACHE_HOME", dir.file("cache"));
  const std::string ownFolder = dir.file("cache/zorvane/run");

  addPrizePictures();
  writeSettings("[zbt]\r\nlx=真\r\n");
  start();
  startDraw();
  stopDraw();
  const auto movieFiles = [&] {
    int n = 0;
    std::error_code error;
    for (const auto& e : std::filesystem::directory_iterator(ownFolder, error))
      n += e.path().extension() == ".swf";
    return n;
  };
  EXPECT_TRUE(waitUntil([&] { return movieFiles() > 0; }, 3s)) << "the fireworks played";
  struct stat st {};
  ASSERT_EQ(::lstat(ownFolder.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0700u);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(tmp), {}), 2) << "nothing in tmp";

  ProgramProcess second(dir.path(), x.name());
  EXPECT_TRUE(waitUntil([&] { return !second.running(); }, 4s));
  EXPECT_TRUE(program->running());
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
    const std::string movieFile = newestMovieFile();
    const auto shownBefore = movieFile.empty() ? 0 : inodeOf(movieFile);
    key("space");
    // Space is ignored until the draw has landed, which may take a moment on a slow machine.
    ASSERT_TRUE(waitUntil([&] { return totalWins() == draw + 1; }, 5s)) << draw;
    // Each showing writes its movie anew, named by the window it plays in.
    ASSERT_TRUE(waitUntil([&] {
      const std::string f = newestMovieFile();
      return !f.empty() && inodeOf(f) != shownBefore;
    }, 3s)) << draw;
    const auto m = movie::read(readWholeFile(newestMovieFile()));
    ASSERT_TRUE(m.has_value()) << draw;
    const int number = m->frameRate == 12 ? 4 : m->frameRate == 36 ? 5 : m->frameRate == 20 ? 6 : 0;
    ASSERT_NE(number, 0) << "frame rate " << m->frameRate;
    seen.insert(number);
  }
  EXPECT_EQ(seen, (std::set<int>{4, 5, 6}));
}

}  // namespace
}  // namespace zv::e2e
