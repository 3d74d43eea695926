// The stage on today's screens: a 1080p or 4K screen shows it as laid out and sharp, the
// operator chooses its monitor, and dialogs open on the monitor under the pointer.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <thread>

#include "dialogs/logic/password_scramble.h"
#include "platform/files.h"
#include "platform/jpeg.h"
#include "platform/text_codec.h"
#include "store/ini_file.h"
#include "support/temp_dir.h"
#include "support/x_session.h"

namespace zv::e2e {
namespace {

using namespace std::chrono_literals;

const Rgb kStage{0x7A, 0x0C, 0x12};
constexpr int kLayoutHeight = 768;
// The layout's prize box (106 x 65) and the wheel's middle row.
constexpr int kPrizeWidth = 106, kPrizeHeight = 65, kWheelMiddle = 410;
// Menu rows, as the keyboard reaches them: 界面大小, and 显示器 in its submenu.
constexpr int kDisplaySizeRow = 9, kMonitorsItem = 3;

struct Rect {
  int x, y, width, height;
  bool contains(int px, int py) const {
    return px >= x && px < x + width && py >= y && py < y + height;
  }
};

// The first and last coordinates of a row, walking out from `inside`, before the stage's
// colour begins.
std::pair<int, int> rowExtent(const XvfbServer::Shot& shot, int y, int inside) {
  auto stage = [&](int i) { return shot.at(i, y).near(kStage, 30); };
  int first = inside, last = inside;
  while (first > 0 && !stage(first - 1)) --first;
  while (last + 1 < shot.width() && !stage(last + 1)) ++last;
  return {first, last};
}

// Grey pixels that differ clearly from their grey right neighbour: fine black and white
// stripes drawn at the screen's own pixels keep most of that contrast (a scale a fraction
// of a pixel off one to one fades them in places), decoded at the layout's size and
// enlarged they turn to an even grey.
int sharpStripePixels(const XvfbServer::Shot& shot) {
  auto grey = [](Rgb c) { return std::abs(c.r - c.g) < 8 && std::abs(c.g - c.b) < 8; };
  int sharp = 0;
  for (int y = 0; y < shot.height(); ++y) {
    Rgb left = shot.at(0, y);
    for (int x = 1; x < shot.width(); ++x) {
      const Rgb right = shot.at(x, y);
      sharp += grey(left) && grey(right) && std::abs(left.g - right.g) > 40;
      left = right;
    }
  }
  return sharp;
}

// One-pixel black and white columns, exactly the box's size in device pixels.
std::string stripesJpeg(int width, int height) {
  RgbImage image;
  image.width = width;
  image.height = height;
  image.pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const unsigned char v = x % 2 ? 255 : 0;
      for (int c = 0; c < 3; ++c)
        image.pixels[(static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(x)) * 3 + static_cast<std::size_t>(c)] = v;
    }
  }
  return encodeJpeg(image, 100);
}

class Screens : public ::testing::Test {
 protected:
  void TearDown() override {
    if (HasFailure() && x) {
      std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
      std::replace(name.begin(), name.end(), '/', '-');  // the screen size of a parameter
      x->savePng("/tmp/zorvane-e2e-" + name + ".png");
    }
    program.reset();
  }

  void serve(int width, int height,
             const std::function<void(const std::string&)>& beforeDesktop = {}) {
    x = std::make_unique<XvfbServer>(width, height, desktopFromEnvironment(), beforeDesktop);
    ASSERT_TRUE(x->ok()) << "Xvfb did not start";
  }
  void writeSettings(const std::string& utf8) {
    writeWholeFileAtomically(dir.file("config.a"), utf8ToGbk(utf8));
  }
  void writePrizePictures(const std::string& bytes) {
    makeDirectories(dir.file("奖品图片"));
    for (int slot = 1; slot <= 8; ++slot)
      writeWholeFileAtomically(dir.file("奖品图片") + "/" + std::to_string(slot) + ".jpg", bytes);
  }
  // Starts the program and waits until the stage's colour shows at `stagePoint` and the
  // wheel at `wheelPoint`.
  void start(std::pair<int, int> stagePoint, std::pair<int, int> wheelPoint) {
    program = std::make_unique<ProgramProcess>(dir.path(), x->name());
    const bool painted = waitUntil([&] {
      const auto shot = x->shot();
      return shot.at(stagePoint.first, stagePoint.second).near(kStage, 4) &&
             !shot.at(wheelPoint.first, wheelPoint.second).near(kStage, 40);
    });
    ASSERT_TRUE(painted) << "the stage was not painted";
    std::this_thread::sleep_for(800ms);  // the pictures and the wheel's clip are in place
  }
  // The wheel's outline on the row through its middle: its left edge and width.
  std::pair<int, int> wheelRow(double factor) {
    const auto shot = x->shot();
    const int y = static_cast<int>(std::lround(kWheelMiddle * factor));
    const auto [left, right] = rowExtent(shot, y, shot.width() / 2);
    return {left, right - left + 1};
  }

  std::unique_ptr<XvfbServer> x;
  zv::testing::TempDir dir;
  std::unique_ptr<ProgramProcess> program;
};

class TallScreen : public Screens, public ::testing::WithParamInterface<std::pair<int, int>> {};

TEST_P(TallScreen, ShowsTheStageAsLaidOutScaledByHeightOver768AndSharp) {
  const auto [width, height] = GetParam();
  const double factor = static_cast<double>(height) / kLayoutHeight;
  serve(width, height);
  const int stripesWidth = static_cast<int>(kPrizeWidth * factor);
  const int stripesHeight = static_cast<int>(kPrizeHeight * factor);
  writePrizePictures(stripesJpeg(stripesWidth, stripesHeight));
  start({5, height - 10}, {width / 2, static_cast<int>(kWheelMiddle * factor)});

  const auto [left, wheelWidth] = wheelRow(factor);
  EXPECT_NEAR(wheelWidth, 500 * factor, 2) << "the wheel is not scaled by " << factor;
  // Centred in layout pixels: within one layout pixel of the screen's middle.
  EXPECT_NEAR(left + wheelWidth / 2.0, width / 2.0, factor + 1) << "the wheel is off centre";

  // Drawn pixel for pixel, the eight prize pictures keep their stripes; decoded at the
  // layout's size and enlarged, they would be a grey blur.
  const int expected = 8 * stripesWidth * stripesHeight;
  EXPECT_GT(sharpStripePixels(x->shot()), expected / 3) << "the prize pictures are blurred";
}

INSTANTIATE_TEST_SUITE_P(Screens, TallScreen,
                         ::testing::Values(std::pair{1920, 1080}, std::pair{3840, 2160}),
                         [](const auto& size) {
                           return std::to_string(size.param.first) + "x" +
                                  std::to_string(size.param.second);
                         });

TEST_F(Screens, WithFitToScreenOffTheWheelKeepsItsDevicePixels) {
  serve(1920, 1080);
  writeSettings("[zbt]\r\n适应屏幕=假\r\n");
  start({5, 1070}, {960, kWheelMiddle});
  const auto [left, wheelWidth] = wheelRow(1.0);
  EXPECT_NEAR(wheelWidth, 500, 2);
  EXPECT_NEAR(left, (1920 - 500) / 2, 2);
}

// One screen 3000 x 1080 split into two monitors: "LEFT" 1920 x 1080 (the primary, listed
// first) and "RIGHT" 1080 x 768 beside it.
const Rect kLeft{0, 0, 1920, 1080}, kRight{1920, 0, 1080, 768};

void splitIntoTwoMonitors(const std::string& display) {
  const std::string prefix = "DISPLAY=" + display + " xrandr ";
  ASSERT_EQ(std::system((prefix + "--setmonitor LEFT 1920/508x1080/286+0+0 screen >/dev/null").c_str()),
            0);
  ASSERT_EQ(std::system((prefix + "--setmonitor RIGHT 1080/286x768/203+1920+0 none").c_str()), 0);
}

class TwoMonitors : public Screens {
 protected:
  void SetUp() override { serve(3000, 1080, splitIntoTwoMonitors); }

  // Stage pixels sampled on a monitor, out of those probed.
  double stageShare(const XvfbServer::Shot& shot, const Rect& monitor) {
    int stage = 0, probed = 0;
    for (int py = monitor.y + 4; py < monitor.y + monitor.height - 4; py += 37) {
      for (int px = monitor.x + 4; px < monitor.x + monitor.width - 4; px += 37) {
        ++probed;
        stage += shot.at(px, py).near(kStage, 4);
      }
    }
    return static_cast<double>(stage) / probed;
  }
  void expectStageOn(const Rect& on, const Rect& off) {
    const auto shot = x->shot();
    // The stage's colour shows all around the wheel and titles; the other monitor shows none.
    EXPECT_GT(stageShare(shot, on), 0.5);
    EXPECT_TRUE(shot.at(on.x + 3, on.y + on.height - 3).near(kStage, 4)) << "bottom left";
    EXPECT_TRUE(shot.at(on.x + on.width - 3, on.y + on.height - 3).near(kStage, 4))
        << "bottom right";
    EXPECT_EQ(stageShare(shot, off), 0.0) << "the stage spills onto the other monitor";
  }
  // Opens 奖项设置 from the stage's menu, then moves the pointer to `pointer` while the
  // menu is open, so the password window opens with the pointer there.
  std::optional<XvfbServer::Area> openPasswordWindow(int menuX, int menuY,
                                                     std::pair<int, int> pointer) {
    xdotool(x->name(), "mousemove " + std::to_string(menuX) + " " + std::to_string(menuY) +
                           " click 3");
    std::this_thread::sleep_for(500ms);
    xdotool(x->name(), "mousemove " + std::to_string(pointer.first) + " " +
                           std::to_string(pointer.second));
    std::this_thread::sleep_for(200ms);
    xdotool(x->name(), "key Down");
    xdotool(x->name(), "key Return");
    std::optional<XvfbServer::Area> gate;
    waitUntil([&] { return (gate = x->findWindow("密码设置！")).has_value(); }, 5s);
    std::this_thread::sleep_for(500ms);
    if (gate) gate = x->findWindow("密码设置！");  // where it settled
    return gate;
  }
  std::string passwordSetting() {
    return "password=" + passwordScrambleWithSalt("abc", "KM") + "\r\n";
  }
};

bool centredIn(const XvfbServer::Area& area, const Rect& monitor) {
  const int cx = area.x + area.width / 2, cy = area.y + area.height / 2;
  return monitor.contains(area.x, area.y) &&
         monitor.contains(area.x + area.width - 1, area.y + area.height - 1) &&
         std::abs(cx - (monitor.x + monitor.width / 2)) < 60 &&
         std::abs(cy - (monitor.y + monitor.height / 2)) < 80;
}

TEST_F(TwoMonitors, TheStageFillsTheChosenMonitorWhereItsDialogsOpen) {
  writeSettings("[zbt]\r\n显示器=RIGHT\r\n" + passwordSetting());
  start({kRight.x + 5, kRight.height - 10}, {kRight.x + kRight.width / 2, kWheelMiddle});
  expectStageOn(kRight, kLeft);

  // The pointer on the stage's own monitor: the password window opens on the stage, not on
  // the primary monitor.
  const auto gate = openPasswordWindow(kRight.x + 1000, 700, {kRight.x + 1000, 700});
  ASSERT_TRUE(gate.has_value()) << "no password window";
  EXPECT_TRUE(centredIn(*gate, kRight))
      << "the password window is at " << gate->x << "," << gate->y;
}

TEST_F(TwoMonitors, AGoneMonitorFallsBackToThePrimaryDialogsFollowThePointerTheMenuMovesTheStage) {
  writeSettings("[zbt]\r\n显示器=HDMI-9\r\n" + passwordSetting());
  // The primary is 1080 pixels high: the stage is scaled by 1080 / 768 there.
  const double factor = 1080.0 / kLayoutHeight;
  start({5, 1070}, {960, static_cast<int>(kWheelMiddle * factor)});
  expectStageOn(kLeft, kRight);
  EXPECT_EQ(ini::read(dir.file("config.a"), "zbt", "显示器"), "HDMI-9")
      << "the stored choice is kept for when the monitor is back";

  // The operator's pointer is on the other monitor: the password window opens there, in
  // the middle, not in front of the audience.
  const auto gate = openPasswordWindow(1750, 980, {kRight.x + 500, 400});
  ASSERT_TRUE(gate.has_value()) << "no password window";
  EXPECT_TRUE(centredIn(*gate, kRight))
      << "the password window is at " << gate->x << "," << gate->y;
  x->closeWindow("密码设置！");
  ASSERT_TRUE(waitUntil([&] { return !x->findWindow("密码设置！"); }, 3s));

  // 界面大小 → 显示器 → the second monitor: the stage moves there and the choice is stored.
  xdotool(x->name(), "mousemove 1750 980 click 3");
  std::this_thread::sleep_for(500ms);
  for (int i = 0; i <= kDisplaySizeRow; ++i) xdotool(x->name(), "key Down");
  xdotool(x->name(), "key Right");
  std::this_thread::sleep_for(200ms);
  for (int i = 0; i < kMonitorsItem; ++i) xdotool(x->name(), "key Down");
  xdotool(x->name(), "key Right");
  std::this_thread::sleep_for(200ms);
  xdotool(x->name(), "key Down Return");
  EXPECT_TRUE(waitUntil([&] { return ini::read(dir.file("config.a"), "zbt", "显示器") == "RIGHT"; },
                        3s));
  std::this_thread::sleep_for(1200ms);  // a window manager reframes the stage
  expectStageOn(kRight, kLeft);
}

}  // namespace
}  // namespace zv::e2e

namespace zv::e2e {
namespace {

// Fireworks over a windowed stage have a window of their own: it covers the stage's
// monitor and nothing of the other.
TEST_F(TwoMonitors, TheFireworksOfAWindowedStageCoverItsMonitorOnly) {
  writeSettings("[zbt]\r\n显示器=RIGHT\r\n界面大小=窗口\r\nlx=真\r\n");
  start({kRight.x + 5, kRight.height - 40}, {kRight.x + kRight.width / 2, kWheelMiddle});
  xdotool(x->name(), "mousemove " + std::to_string(kRight.x + kRight.width - 40) + " 700");
  std::this_thread::sleep_for(400ms);
  const auto before = x->shot();
  xdotool(x->name(), "key space");
  std::this_thread::sleep_for(400ms);
  xdotool(x->name(), "key space");
  std::vector<XvfbServer::Shot> shots;
  for (int i = 0; i < 12; ++i) {
    std::this_thread::sleep_for(120ms);
    shots.push_back(x->shot());
  }
  std::this_thread::sleep_for(3500ms);
  const auto after = x->shot();
  int burningOnStage = 0;
  for (std::size_t i = 0; i < shots.size(); ++i) {
    const auto& shot = shots[i];
    for (int py = 0; py < 1080; py += 3) {
      for (int px = 0; px < kLeft.width; px += 3) {
        const Rgb a = shot.at(px, py), b = before.at(px, py);
        ASSERT_TRUE(a.r == b.r && a.g == b.g && a.b == b.b)
            << "fireworks on the other monitor at " << px << "," << py;
      }
    }
    if (i < 6) continue;  // the landing is done beneath after that
    for (int py = 0; py < kRight.height; py += 3) {
      for (int px = kRight.x; px < kRight.x + kRight.width; px += 3) {
        const Rgb a = shot.at(px, py), b = after.at(px, py);
        burningOnStage += !(a.r == b.r && a.g == b.g && a.b == b.b);
      }
    }
  }
  EXPECT_GT(burningOnStage, 200) << "no fireworks over the stage's monitor";
}

}  // namespace
}  // namespace zv::e2e

namespace zv::e2e {
namespace {

// On a scaled full-HD stage the fireworks are drawn at device pixels over the stage: the
// stage shows through their black, with no dark seams along the tiles they are sent in.
TEST_F(Screens, FireworksOverAScaledStageLeaveNoDarkSeams) {
  serve(1920, 1080);
  writeSettings("[zbt]\r\nlx=真\r\n");
  start({5, 1070}, {960, static_cast<int>(kWheelMiddle * 1080.0 / kLayoutHeight)});
  xdotool(x->name(), "mousemove 1880 1040");
  std::this_thread::sleep_for(300ms);
  xdotool(x->name(), "key space");
  std::this_thread::sleep_for(400ms);
  xdotool(x->name(), "key space");
  std::this_thread::sleep_for(900ms);  // landed beneath
  const auto during = x->shot();
  std::this_thread::sleep_for(3500ms);
  const auto after = x->shot();
  int differing = 0, dark = 0;
  for (int py = 0; py < 1080; ++py) {
    for (int px = 0; px < 1920; ++px) {
      const Rgb a = during.at(px, py), b = after.at(px, py);
      if (a.r == b.r && a.g == b.g && a.b == b.b) continue;
      ++differing;
      dark += std::max({a.r, a.g, a.b}) < 40;
    }
  }
  EXPECT_GT(differing, 2000) << "no fireworks over the stage";
  EXPECT_LT(differing, 1920 * 1080 / 3) << "the black of the movie covers the stage";
  EXPECT_LT(dark, differing / 200) << "dark pixels among the fireworks";
}

}  // namespace
}  // namespace zv::e2e
