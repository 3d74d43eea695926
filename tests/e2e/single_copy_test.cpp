// One copy per program folder on the real program: a second start hands over to the
// running copy and ends, a killed copy does not block the next start, a copy that hangs is
// reported, and folders of their own run side by side.
#include <gtest/gtest.h>

#include <thread>

#include "stage_fixture.h"

namespace zv::e2e {
namespace {

using OneCopyPerFolder = StageTest;
using namespace std::chrono_literals;

TEST_F(OneCopyPerFolder, ADoubleStartLeavesOneCopyThatCountsEveryWin) {
  addPrizePictures();
  writeSettings("[zbt]\r\nlx=真\r\n禁用特效=真\r\n");
  // Two starts at once, as a double click on the desktop gives.
  ProgramProcess other(dir.path(), x.name());
  start();
  ASSERT_TRUE(waitUntil([&] { return !other.running() || !program->running(); }, 8s));
  std::this_thread::sleep_for(1s);
  ASSERT_NE(other.running(), program->running()) << "exactly one copy keeps running";

  constexpr int kDraws = 6;
  for (int win = 1; win <= kDraws; ++win) {
    key("space");
    std::this_thread::sleep_for(300ms);
    key("space");
    ASSERT_TRUE(waitUntil([&] { return totalWins() == win; }, 5s)) << win;
  }
  std::this_thread::sleep_for(500ms);
  EXPECT_EQ(totalWins(), kDraws);
  EXPECT_TRUE(other.running() || program->running());
}

TEST_F(OneCopyPerFolder, ASecondStartEndsWhileTheFirstKeepsRunning) {
  addPrizePictures();
  start();
  ProgramProcess second(dir.path(), x.name());
  EXPECT_TRUE(waitUntil([&] { return !second.running(); }, 4s));
  EXPECT_TRUE(program->running());
  EXPECT_LT(lightGreyPixels(x), 1000) << "no message box for a copy that answered";
}

TEST_F(OneCopyPerFolder, ACopyKilledOutrightDoesNotBlockTheNextStart) {
  addPrizePictures();
  start();
  program.reset();  // SIGKILL: the lock file and the socket stay behind
  EXPECT_TRUE(pathExists(dir.file(".zorvane.lock")));
  ASSERT_TRUE(waitUntil([&] { return !x.shot().at(5, 700).near(kStage, 4); }, 5s));

  start();
  std::this_thread::sleep_for(1s);
  EXPECT_TRUE(program->running());
  // The restarted copy serves the hand-over again.
  ProgramProcess second(dir.path(), x.name());
  EXPECT_TRUE(waitUntil([&] { return !second.running(); }, 4s));
  EXPECT_TRUE(program->running());
}

TEST_F(OneCopyPerFolder, ACopyThatDoesNotAnswerIsReportedAndTheNextStartEnds) {
  addPrizePictures();
  start();
  program->sendSignal(SIGSTOP);
  ProgramProcess second(dir.path(), x.name());
  EXPECT_TRUE(waitUntil([&] { return lightGreyPixels(x) > 3000; }, 10s));
  EXPECT_TRUE(second.running());
  xdotool(x.name(), "mousemove 683 384");
  key("Return");
  EXPECT_TRUE(waitUntil([&] { return !second.running(); }, 5s));
  program->sendSignal(SIGCONT);
  EXPECT_TRUE(program->running());
}

TEST_F(OneCopyPerFolder, CopiesInTwoFoldersBothRun) {
  start();
  zv::testing::TempDir elsewhere;
  ProgramProcess second(elsewhere.path(), x.name());
  // An empty folder gets its settings file when the stage starts up.
  EXPECT_TRUE(waitUntil([&] { return fileExists(elsewhere.file("config.a")); }, 8s));
  std::this_thread::sleep_for(2s);
  EXPECT_TRUE(second.running());
  EXPECT_TRUE(program->running());
}

}  // namespace
}  // namespace zv::e2e
