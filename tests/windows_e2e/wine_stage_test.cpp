// The Windows build as an operator meets it: the portable zip unpacked into a folder of
// its own and started under Wine on an Xvfb screen of 1366 x 768, the installer run
// silently. Skipped unless tools/windows hands over the zip and a Wine prefix.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <thread>

#include "platform/files.h"
#include "platform/text_codec.h"
#include "store/ini_file.h"
#include "support/temp_dir.h"
#include "support/x_session.h"
#include "wine_program.h"

namespace zv::e2e {
namespace {

using namespace std::chrono_literals;

const Rgb kStage{0x7A, 0x0C, 0x12};
constexpr int kHubX = 686, kHubY = 408;  // the start/stop label in the wheel's centre

int yellowTitlePixels(const XvfbServer::Shot& shot) {
  int yellow = 0;
  for (int y = 15; y < 174; ++y)
    for (int x = 0; x < shot.width(); ++x) yellow += shot.at(x, y).isYellow();
  return yellow;
}

int differingPixels(const XvfbServer::Shot& a, const XvfbServer::Shot& b) {
  int differing = 0;
  for (int y = 0; y < a.height(); y += 2)
    for (int x = 0; x < a.width(); x += 2) differing += !a.at(x, y).near(b.at(x, y), 30);
  return differing;
}

class WineStage : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const std::string missing = setup.missing(); !missing.empty())
      GTEST_SKIP() << missing << " (tools/windows runs these tests)";
    ASSERT_TRUE(x.ok()) << "Xvfb did not start";
  }
  void TearDown() override {
    if (HasFailure() && x.ok()) {
      x.savePng("/tmp/zorvane-wine-" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) +
                ".png");
    }
  }

  // Unpacks the zip and starts the program; waits for the full-screen stage.
  void start() {
    if (exe.empty()) exe = unpackPortableZip(setup, dir.path());
    ASSERT_FALSE(exe.empty()) << "no zorvane.exe in " << setup.zip;
    folder = std::filesystem::path(exe).parent_path().string();
    program = std::make_unique<WineProgram>(setup, exe, x.name());
    ASSERT_TRUE(waitForStage()) << "the stage was not painted";
    // Keys go to the window under the pointer.
    xdotool(x.name(), "mousemove 1300 700");
    std::this_thread::sleep_for(500ms);
  }
  bool waitForStage() {
    return waitUntil([&] {
      const auto shot = x.shot();
      return shot.at(5, 700).near(kStage, 4) && !shot.at(kHubX, 300).near(kStage, 40) &&
             yellowTitlePixels(shot) > 3000;
    }, 60s);
  }
  std::string file(const std::string& name) const { return folder + "/" + name; }
  int totalWins() {
    int total = 0;
    for (int slot = 1; slot <= 8; ++slot)
      total += std::atoi(ini::read(file("jieguo.a"), "zjjg", "j" + std::to_string(slot)).c_str());
    return total;
  }
  void key(const std::string& keys) { xdotool(x.name(), "key " + keys); }

  WineSetup setup = wineSetupFromEnvironment();
  XvfbServer x{1366, 768, Desktop::Bare};
  zv::testing::TempDir dir;
  std::string exe, folder;
  std::unique_ptr<WineProgram> program;
};

bool onlyCrLf(const std::string& bytes) {
  for (std::size_t i = 0; i < bytes.size(); ++i)
    if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r')) return false;
  return bytes.find('\n') != std::string::npos;
}

TEST_F(WineStage, TheStageShowsAndSpaceDrawsOneWinKeptBesideTheProgram) {
  start();
  // The first start stores the display mode into the sample settings, in GBK.
  const std::string settings = readWholeFile(file("config.a"));
  EXPECT_NE(settings.find(utf8ToGbk("界面大小=全屏\r\n")), std::string::npos);
  EXPECT_TRUE(onlyCrLf(settings));

  key("space");
  ASSERT_TRUE(waitUntil([&] { return !x.shot().at(120, 520).near(kStage, 30); }, 10s))
      << "the draw did not start";
  std::this_thread::sleep_for(600ms);
  EXPECT_FALSE(pathExists(file("jieguo.a")));
  key("space");
  const auto stopped = std::chrono::steady_clock::now();
  std::vector<XvfbServer::Shot> shots;
  while (std::chrono::steady_clock::now() - stopped < 6s) {
    shots.push_back(x.shot());
    std::this_thread::sleep_for(100ms);
  }
  EXPECT_EQ(totalWins(), 1);
  const std::string tallies = readWholeFile(file("jieguo.a"));
  EXPECT_TRUE(onlyCrLf(tallies)) << tallies;
  const std::string journal = readWholeFile(file("抽奖记录.csv"));
  EXPECT_EQ(std::count(journal.begin(), journal.end(), '\n'), 2) << "header and one row";
  EXPECT_TRUE(onlyCrLf(journal));
  // Fireworks burn over the stage after the stop and are gone by the end.
  int most = 0;
  for (const auto& shot : shots) most = std::max(most, differingPixels(shot, shots.back()));
  EXPECT_GT(most, 250) << "no fireworks over the stage";
  EXPECT_TRUE(program->running());
}

TEST_F(WineStage, TheMenuOpensOnARightClickAndExitAsksOnceAndEnds) {
  constexpr const char* kExitTitle = "确定退出吗？";
  start();
  const auto before = x.shot();
  xdotool(x.name(), "mousemove 200 250 click 3");
  ASSERT_TRUE(waitUntil([&] { return differingPixels(x.shot(), before) > 500; }, 10s))
      << "no menu opened";
  key("Up");  // the last item, 退出
  std::this_thread::sleep_for(300ms);
  key("Return");
  std::optional<XvfbServer::Area> box;
  ASSERT_TRUE(waitUntil([&] { return (box = x.findWindow(kExitTitle)).has_value(); }, 10s));
  EXPECT_EQ(x.countWindows(kExitTitle), 1);
  xdotool(x.name(), "mousemove " + std::to_string(box->x + box->width / 2) + " " +
                        std::to_string(box->y + box->height / 2));
  std::this_thread::sleep_for(300ms);
  key("Return");  // 确定, the default
  EXPECT_GE(program->waitForExit(20s), 0) << "the program still runs";
}

TEST_F(WineStage, ASecondStartInTheSameFolderEndsAndLeavesOneCopy) {
  start();
  WineProgram second(setup, exe, x.name());
  EXPECT_GE(second.waitForExit(30s), 0) << "the second copy still runs";
  EXPECT_TRUE(program->running());
}

// The installer goes into this Wine prefix's Program Files; the installed program keeps
// its event in the user's application data, laid out with the sample event.
TEST_F(WineStage, TheInstallerInstallsSilentlyAndTheInstalledProgramStarts) {
  std::string setupExe;
  for (const auto& entry : std::filesystem::directory_iterator(
           std::filesystem::path(setup.zip).parent_path())) {
    const std::string name = entry.path().filename().string();
    if (name.starts_with("zorvane-") && name.ends_with("-setup.exe")) setupExe = entry.path();
  }
  ASSERT_FALSE(setupExe.empty()) << "no installer beside the zip";
  WineProgram installer(setup, setupExe, x.name(), {"/S"});
  ASSERT_EQ(installer.waitForExit(120s), 0) << "the silent install failed";
  const std::filesystem::path drive = std::filesystem::path(setup.prefix) / "drive_c";
  exe = (drive / "Program Files" / "Zorvane" / "zorvane.exe").string();
  ASSERT_TRUE(std::filesystem::exists(exe));
  folder = dir.path();  // not the event folder: only where the test's unpacking would go
  program = std::make_unique<WineProgram>(setup, exe, x.name());
  ASSERT_TRUE(waitForStage()) << "the installed program's stage was not painted";
  std::string events;
  for (const auto& user : std::filesystem::directory_iterator(drive / "users")) {
    const auto candidate = user.path() / "AppData" / "Roaming" / "zorvane";
    if (std::filesystem::exists(candidate / "config.a")) events = candidate.string();
  }
  ASSERT_FALSE(events.empty()) << "no per-user event folder";
  EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(events) / "奖品图片" / "1.jpg"));
  EXPECT_FALSE(std::filesystem::exists(drive / "Program Files" / "Zorvane" / "jieguo.a"));
}

}  // namespace
}  // namespace zv::e2e
