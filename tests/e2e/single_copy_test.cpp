// One copy per program folder on the real program: a second start hands over to the
// running copy and ends, a killed copy does not block the next start, a stale lock of any
// kind does not either, a copy that hangs is reported, and folders of their own run side
// by side.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <thread>

#include "platform/files.h"
#include "platform/folder_lock.h"
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

// The event folder copied to a stick while the program ran, then started on another PC;
// a power cut just after the lock file was made; odd things in its place; another user's
// copy that died in a shared folder. Each time the program starts and takes the folder.
TEST_F(OneCopyPerFolder, AStaleLockOfAnyKindDoesNotKeepTheProgramFromStarting) {
  addPrizePictures();
  const std::string lock = dir.file(".zorvane.lock");
  // Written long ago, as a lock file left behind is.
  const auto oldFile = [](const std::string& path, const std::string& text) {
    ASSERT_TRUE(writeWholeFileAtomically(path, text));
    const timespec times[2] = {{1, 0}, {1, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
  };
  // Another PC's copy: a process number that is alive here (this test's own, with its
  // start time), so only the host name and the boot tell it apart.
  FolderLockRecord otherPc = thisProcessRecord();
  otherPc.host = "office-pc";
  otherPc.boot = "9e5b7a7c-0000-4000-8000-000000000000";
  FolderLockRecord theirs = thisProcessRecord();
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  ::waitpid(child, nullptr, 0);
  theirs.pid = child;
  theirs.uid = 65534;
  struct Case {
    const char* what;
    std::function<void()> plant;
  };
  const Case cases[] = {
      {"another PC's", [&] { oldFile(lock, formatFolderLockRecord(otherPc)); }},
      {"empty", [&] { oldFile(lock, ""); }},
      {"a folder", [&] { ASSERT_TRUE(makeDirectories(lock)); }},
      {"a dangling link", [&] { ASSERT_EQ(::symlink("gone", lock.c_str()), 0); }},
      {"another user's",
       [&] {
         oldFile(lock, formatFolderLockRecord(theirs));
         ASSERT_EQ(::chmod(lock.c_str(), 0644), 0);
         ASSERT_EQ(::chown(lock.c_str(), 65534, 65534), 0);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove_all(lock);
    c.plant();
    start();
    ASSERT_TRUE(program->running());
    const auto record = parseFolderLockRecord(readWholeFile(lock));
    ASSERT_TRUE(record);
    EXPECT_EQ(record->pid, program->pid());
    // It serves the hand-over as any first copy does.
    ProgramProcess second(dir.path(), x.name());
    EXPECT_TRUE(waitUntil([&] { return !second.running(); }, 4s));
    EXPECT_TRUE(program->running());
    program.reset();
    ASSERT_TRUE(waitUntil([&] { return !x.shot().at(5, 700).near(kStage, 4); }, 5s));
  }
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
