// What an audience sees on a real desktop: titles that stay drawn after the fireworks and a
// change of display mode, a hidden marker that stays hidden, the keyboard back at the draw,
// and a capital Q that is only a letter in the program's own text fields.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "dialogs/logic/password_scramble.h"
#include "stage_fixture.h"

namespace zv::e2e {
namespace {

using namespace std::chrono_literals;

// Menu rows, as the keyboard reaches them from the top.
constexpr int kPrizeSettingsRow = 0;
constexpr int kDisplaySizeRow = 9;
constexpr int kFullScreenItem = 0, kWindowedItem = 1;

class DesktopOnStage : public StageTest {
 protected:
  // Opens the popup with a right click on the stage and chooses a row (and an item of its
  // submenu) with the keyboard, which holds on every desktop whatever the menu's place.
  void chooseFromMenu(int row, int subItem = -1) {
    xdotool(x.name(), "mousemove 1250 700 click 3");
    std::this_thread::sleep_for(500ms);
    for (int i = 0; i <= row; ++i) key("Down");
    if (subItem >= 0) {
      key("Right");
      std::this_thread::sleep_for(200ms);
      for (int i = 0; i < subItem; ++i) key("Down");
    }
    key("Return");
    std::this_thread::sleep_for(1200ms);  // a window manager reframes the stage
  }

  // Yellow and black pixels where the two titles stand (below any window frame).
  struct TitleBand {
    int yellow = 0, black = 0;
  };
  TitleBand titleBand() {
    const auto shot = x.shot();
    TitleBand band;
    for (int py = 30; py < 170; py += 2) {
      for (int px = 300; px < 1060; px += 2) {
        const Rgb c = shot.at(px, py);
        band.yellow += c.isYellow();
        band.black += c.r < 16 && c.g < 16 && c.b < 16;
      }
    }
    return band;
  }

  void drawWithFireworks() {
    key("space");
    std::this_thread::sleep_for(500ms);
    const int before = totalWins();
    key("space");
    ASSERT_TRUE(waitUntil([&] { return totalWins() == before + 1; }, 5s));
    std::this_thread::sleep_for(3800ms);  // the overlay has gone
  }

  // The slot that the last draw landed on: the one whose tally grew.
  int landedSlot(const std::array<int, 8>& before) {
    for (int slot = 1; slot <= 8; ++slot)
      if (std::atoi(tally(slot).c_str()) != before[static_cast<std::size_t>(slot - 1)])
        return slot;
    return 0;
  }
  std::array<int, 8> tallies() {
    std::array<int, 8> t{};
    for (int slot = 1; slot <= 8; ++slot)
      t[static_cast<std::size_t>(slot - 1)] = std::atoi(tally(slot).c_str());
    return t;
  }
  int drawOnce() {
    const auto before = tallies();
    key("space");
    std::this_thread::sleep_for(400ms);
    key("space");
    int slot = 0;
    waitUntil([&] { return (slot = landedSlot(before)) != 0; }, 5s);
    return slot;
  }
};

TEST_F(DesktopOnStage, TitlesStayYellowAfterFireworksAndBothModeSwitches) {
  addPrizePictures();
  writeSettings("[zbt]\r\nlx=真\r\n");
  start();
  const TitleBand fresh = titleBand();
  ASSERT_GT(fresh.yellow, 300) << "no titles to begin with";
  drawWithFireworks();

  chooseFromMenu(kDisplaySizeRow, kWindowedItem);
  ASSERT_EQ(ini::read(dir.file("config.a"), "zbt", "界面大小"), "窗口");
  TitleBand band = titleBand();
  EXPECT_GT(band.yellow, fresh.yellow / 2) << "windowed: the titles are gone";
  EXPECT_LT(band.black, 50) << "windowed: black bars where the titles are";

  chooseFromMenu(kDisplaySizeRow, kFullScreenItem);
  ASSERT_EQ(ini::read(dir.file("config.a"), "zbt", "界面大小"), "全屏");
  band = titleBand();
  EXPECT_GT(band.yellow, fresh.yellow / 2) << "full screen: the titles are gone";
  EXPECT_LT(band.black, 50) << "full screen: black bars where the titles are";

  // The keyboard is back at the draw without a click.
  const int wins = totalWins();
  key("space");
  std::this_thread::sleep_for(500ms);
  key("space");
  EXPECT_TRUE(waitUntil([&] { return totalWins() == wins + 1; }, 5s))
      << "Space did not reach the draw after the mode switch";
}

TEST_F(DesktopOnStage, TheArmedMarkerStaysInvisibleThroughAModeSwitchAndDecidesTheDraw) {
  addPrizePictures();
  // Slot 1 is nearly impossible by weight: landing there means the marker decided.
  writeSettings("[zbt]\r\nlx=真\r\n一=1\r\n二=1000\r\n三=1000\r\n四=1000\r\n五=1000\r\n"
                "六=1000\r\n七=1000\r\n八=1000\r\n");
  start();
  drawWithFireworks();
  key("shift+q");
  std::this_thread::sleep_for(300ms);
  chooseFromMenu(kDisplaySizeRow, kWindowedItem);
  chooseFromMenu(kDisplaySizeRow, kFullScreenItem);
  // The marker's place on the full-screen stage, over the subtitle.
  const auto shot = x.shot();
  int black = 0;
  for (int py = 136; py < 184; ++py)
    for (int px = 632; px < 696; ++px) {
      const Rgb c = shot.at(px, py);
      black += c.r < 16 && c.g < 16 && c.b < 16;
    }
  EXPECT_LT(black, 20) << "the hidden marker shows as a black box";
  EXPECT_EQ(drawOnce(), 1) << "Shift+Q on the stage no longer arms the designated pick";
}

// Two processes that keep both cores busy until the deadline, for typing under load.
class BusyLoad {
 public:
  explicit BusyLoad(std::chrono::milliseconds length) {
    const auto end = std::chrono::steady_clock::now() + length;
    for (pid_t& child : children_) {
      child = ::fork();
      if (child == 0) {
        volatile unsigned spin = 0;
        while (std::chrono::steady_clock::now() < end) spin = spin + 1;
        ::_exit(0);
      }
    }
  }
  ~BusyLoad() {
    for (const pid_t child : children_)
      if (child > 0) ::waitpid(child, nullptr, 0);
  }
  BusyLoad(const BusyLoad&) = delete;
  BusyLoad& operator=(const BusyLoad&) = delete;

 private:
  pid_t children_[2] = {-1, -1};
};

TEST_F(DesktopOnStage, ACapitalQInThePasswordBoxIsALetterAndArmsNothing) {
  addPrizePictures();
  // Capital Qs between small letters and side by side: each must keep its place even on a
  // loaded machine.
  const std::string stored = passwordScrambleWithSalt("aQbQQc", "KM");
  writeSettings("[zbt]\r\nlx=真\r\n一=1\r\n二=1000\r\n三=1000\r\n四=1000\r\n五=1000\r\n"
                "六=1000\r\n七=1000\r\n八=1000\r\npassword=" +
                stored + "\r\n");
  start();
  chooseFromMenu(kPrizeSettingsRow);
  std::optional<XvfbServer::Area> gate;
  ASSERT_TRUE(waitUntil([&] { return (gate = x.findWindow("密码设置！")).has_value(); }, 5s));
  std::this_thread::sleep_for(800ms);  // the gate is active before anything is typed
  click(gate->x + 160 + 96, gate->y + 24 + 16);  // the password box
  std::this_thread::sleep_for(400ms);
  {
    const BusyLoad load(3000ms);
    xdotool(x.name(), "type aQbQQc");
  }
  std::this_thread::sleep_for(200ms);
  click(gate->x + 85 + 40, gate->y + 80 + 16);  // 进入设置
  // Only the right password opens the prize settings.
  std::optional<XvfbServer::Area> settings;
  EXPECT_TRUE(waitUntil([&] { return (settings = x.findWindow("设置")).has_value(); }, 5s))
      << "the password box did not get aQbQQc";
  if (!settings) {
    key("Return");  // the wrong-password message
    std::this_thread::sleep_for(300ms);
  }
  x.closeWindow("设置");
  std::this_thread::sleep_for(300ms);
  x.closeWindow("密码设置！");
  ASSERT_TRUE(
      waitUntil([&] { return !x.findWindow("设置") && !x.findWindow("密码设置！"); }, 3s));
  xdotool(x.name(), "mousemove 1300 700 click 1");  // back to the stage
  std::this_thread::sleep_for(400ms);
  // The typed Qs armed nothing: a draw lands by weight, almost surely not on slot 1.
  EXPECT_NE(drawOnce(), 1) << "a typed Q armed the designated pick";
  std::this_thread::sleep_for(3800ms);  // the win's overlay has gone
  // Out of the text field the combination is the hot key again.
  key("shift+q");
  std::this_thread::sleep_for(300ms);
  EXPECT_EQ(drawOnce(), 1) << "Shift+Q no longer arms the designated pick after the password";
}

// Another program's window on the same display (xmessage, of x11-utils), closed with it.
class OtherProgram {
 public:
  explicit OtherProgram(const std::string& display) {
    pid_ = ::fork();
    if (pid_ == 0) {
      ::setenv("DISPLAY", display.c_str(), 1);
      ::execlp("xmessage", "xmessage", "-geometry", "+40+560", "-title", "other-program",
               "another program", static_cast<char*>(nullptr));
      ::_exit(127);
    }
  }
  ~OtherProgram() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGTERM);
    ::waitpid(pid_, nullptr, 0);
  }
  OtherProgram(const OtherProgram&) = delete;
  OtherProgram& operator=(const OtherProgram&) = delete;

 private:
  pid_t pid_ = -1;
};

TEST_F(DesktopOnStage, ShiftQArmsAgainOnceAnotherProgramTakesTheFocusFromThePasswordBox) {
  addPrizePictures();
  writeSettings("[zbt]\r\nlx=真\r\n一=1\r\n二=1000\r\n三=1000\r\n四=1000\r\n五=1000\r\n"
                "六=1000\r\n七=1000\r\n八=1000\r\npassword=" +
                passwordScrambleWithSalt("ab", "KM") + "\r\n");
  start();
  chooseFromMenu(kPrizeSettingsRow);
  std::optional<XvfbServer::Area> gate;
  ASSERT_TRUE(waitUntil([&] { return (gate = x.findWindow("密码设置！")).has_value(); }, 5s));
  std::this_thread::sleep_for(800ms);
  click(gate->x + 160 + 96, gate->y + 24 + 16);  // the password box: the key is given up
  std::this_thread::sleep_for(400ms);
  {
    const OtherProgram other(x.name());
    // The focus goes to the other program with a click into its window, once it is shown;
    // on a bare server no window manager moves the focus on a click, so it is set.
    ASSERT_EQ(xdotool(x.name(), std::string("search --sync --onlyvisible --name other-program "
                                            "sleep 0.3 mousemove --window %1 20 10 click 1") +
                                    (x.desktop() == Desktop::Bare ? " windowfocus --sync %1" : "")),
              0);
    std::this_thread::sleep_for(500ms);
    key("shift+q");
    std::this_thread::sleep_for(300ms);
  }
  x.closeWindow("密码设置！");
  ASSERT_TRUE(waitUntil([&] { return !x.findWindow("密码设置！"); }, 3s));
  xdotool(x.name(), "mousemove 1300 700 click 1");  // back to the stage
  std::this_thread::sleep_for(400ms);
  EXPECT_EQ(drawOnce(), 1) << "Shift+Q in another program did not arm the designated pick";
}

}  // namespace
}  // namespace zv::e2e
