// One copy per program folder: a later copy hands over to the running one, a lock left by
// a copy that died does not block the folder, and a running copy that does not answer is
// reported.
#include "platform/qt/single_copy.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QFileInfo>
#include <QLocalServer>
#include <QLockFile>
#include <QTest>
#include <QWidget>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <vector>

#include "platform/files.h"
#include "widgets/running_copy.h"
#include "support/temp_dir.h"

namespace zv {
namespace {

using namespace std::chrono_literals;
using Claim = SingleCopy::Claim;

std::string lockPath(const testing::TempDir& dir) { return dir.file(SingleCopy::kLockFileName); }

using zv::testing::RunningCopy;

// What a copy killed with SIGKILL leaves: its lock file naming a process that is gone,
// and a socket file nobody listens on.
void leaveWhatAKilledCopyLeaves(const testing::TempDir& dir) {
  QLockFile own(QString::fromStdString(lockPath(dir)));
  ASSERT_TRUE(own.tryLock(0));
  QByteArray contents = QByteArray::fromStdString(readWholeFile(lockPath(dir)));
  own.unlock();
  const pid_t child = fork();
  if (child == 0) _exit(0);
  waitpid(child, nullptr, 0);
  const qsizetype lineEnd = contents.indexOf('\n');
  ASSERT_GT(lineEnd, 0);
  contents.replace(0, lineEnd, QByteArray::number(child));
  ASSERT_TRUE(writeWholeFileAtomically(lockPath(dir), contents.toStdString()));

  const std::string socketPath = SingleCopy::channelName(dir.path()).toStdString();
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  ASSERT_LT(socketPath.size(), sizeof address.sun_path);
  std::memcpy(address.sun_path, socketPath.data(), socketPath.size());
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ::close(fd);
  ASSERT_TRUE(pathExists(socketPath));
}

TEST(SingleCopy, ALaterCopyInTheFolderHandsOverAndTheFirstRaisesItsStage) {
  testing::TempDir dir;
  RunningCopy first(dir.path());
  ASSERT_EQ(first.claim, Claim::First);
  EXPECT_TRUE(fileExists(lockPath(dir)));

  EXPECT_EQ(SingleCopy(dir.path()).claim(), Claim::HandedOver);
  EXPECT_EQ(SingleCopy(dir.path() + "/.").claim(), Claim::HandedOver);
  EXPECT_EQ(first.raisedAfterEvents(), 2);
}

TEST(SingleCopy, WhatAKilledCopyLeftBehindDoesNotBlockTheFolder) {
  testing::TempDir dir;
  leaveWhatAKilledCopyLeaves(dir);
  {
    RunningCopy restarted(dir.path());
    ASSERT_EQ(restarted.claim, Claim::First);
    // The restarted copy serves on the name the dead socket had.
    EXPECT_EQ(SingleCopy(dir.path()).claim(), Claim::HandedOver);
    EXPECT_EQ(restarted.raisedAfterEvents(), 1);
  }
  // A copy that ended normally takes its lock with it.
  EXPECT_FALSE(pathExists(lockPath(dir)));
  EXPECT_EQ(SingleCopy(dir.path()).claim(), Claim::First);
}

// Another program on the socket (silent, or talking nonsense) is dropped; the next copy
// is answered, and nobody else may connect at all.
TEST(SingleCopy, StrangersOnTheSocketDoNotBlockTheNextCopy) {
  testing::TempDir dir;
  RunningCopy first(dir.path());
  ASSERT_EQ(first.claim, Claim::First);
  const std::string socketPath = SingleCopy::channelName(dir.path()).toStdString();
  struct stat st {};
  ASSERT_EQ(::stat(socketPath.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 077, 0u) << "open to other users";

  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, socketPath.data(), socketPath.size());
  const auto connectStranger = [&address](const std::string& says) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    EXPECT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    if (!says.empty()) {
      EXPECT_EQ(::send(fd, says.data(), says.size(), MSG_NOSIGNAL), std::ssize(says));
    }
    return fd;
  };
  const int silent = connectStranger("");
  const int chatty = connectStranger(std::string(200, 'x'));
  const int wrong = connectStranger("lower\n");
  EXPECT_EQ(SingleCopy(dir.path()).claim(), Claim::HandedOver);
  EXPECT_EQ(first.raisedAfterEvents(), 1);
  for (const int fd : {silent, chatty, wrong}) ::close(fd);
}

TEST(SingleCopy, ARunningCopyThatDoesNotAnswerIsReportedInTime) {
  testing::TempDir dir;
  QLockFile held(QString::fromStdString(lockPath(dir)));
  ASSERT_TRUE(held.tryLock(0));
  // Without a socket at all, and with one whose owner never answers (a copy that hangs).
  QLocalServer silent;
  for (const bool listening : {false, true}) {
    if (listening) {
      ASSERT_TRUE(silent.listen(SingleCopy::channelName(dir.path())));
    }
    const auto begin = std::chrono::steady_clock::now();
    EXPECT_EQ(SingleCopy(dir.path(), 400ms).claim(), Claim::Unreachable) << listening;
    const auto took = std::chrono::steady_clock::now() - begin;
    EXPECT_GE(took, 390ms) << listening;
    EXPECT_LT(took, 1500ms) << listening;
  }
}

// Sets environment variables for one test and puts them back after it.
class ScopedVariables {
 public:
  void set(const char* name, const std::optional<std::string>& value) {
    const char* old = std::getenv(name);
    saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
    if (value) {
      ::setenv(name, value->c_str(), 1);
    } else {
      ::unsetenv(name);
    }
  }
  ~ScopedVariables() {
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
      if (it->second) {
        ::setenv(it->first.c_str(), it->second->c_str(), 1);
      } else {
        ::unsetenv(it->first.c_str());
      }
    }
  }

 private:
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

// A deep home folder gives a socket path longer than a socket address holds; the
// hand-over still works.
TEST(SingleCopy, ARuntimeFolderDeeperThanASocketAddressStillHandsOver) {
  testing::TempDir dir, run;
  const std::string deep = run.file(std::string(60, 'd') + "/" + std::string(60, 'e'));
  ASSERT_TRUE(makeDirectories(deep));
  ScopedVariables env;
  env.set("XDG_RUNTIME_DIR", deep);
  ASSERT_GT(SingleCopy::channelName(dir.path()).size(), 108);
  RunningCopy first(dir.path());
  ASSERT_EQ(first.claim, Claim::First);
  EXPECT_EQ(SingleCopy(dir.path(), 1s).claim(), Claim::HandedOver);
  EXPECT_EQ(first.raisedAfterEvents(), 1);
}

// Without a runtime directory the socket goes to the user's own folder in the cache, not
// to the shared temporary folder where another user could make its name first.
TEST(SingleCopy, WithoutARuntimeDirectoryTheSocketIsInAFolderOfTheUsersOwn) {
  testing::TempDir dir, home;
  const std::string tmp = home.file("tmp");
  ASSERT_TRUE(makeDirectories(tmp));
  ASSERT_EQ(::chmod(tmp.c_str(), 01777), 0);
  ASSERT_TRUE(makeDirectories(tmp + "/runtime-root"));
  ASSERT_EQ(::chmod((tmp + "/runtime-root").c_str(), 0777), 0);
  ASSERT_EQ(::chown((tmp + "/runtime-root").c_str(), 65534, 65534), 0);
  ScopedVariables env;
  env.set("XDG_RUNTIME_DIR", std::nullopt);
  env.set("TMPDIR", tmp);
  env.set("XDG_CACHE_HOME", home.file("cache"));
  const QString channel = SingleCopy::channelName(dir.path());
  EXPECT_EQ(QFileInfo(channel).absolutePath().toStdString(), home.file("cache/zorvane/run"));
  struct stat st {};
  ASSERT_EQ(::lstat(home.file("cache/zorvane/run").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0700u);
  RunningCopy first(dir.path());
  ASSERT_EQ(first.claim, Claim::First);
  EXPECT_EQ(SingleCopy(dir.path(), 1s).claim(), Claim::HandedOver);
  EXPECT_EQ(first.raisedAfterEvents(), 1);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(tmp), {}), 1);
}

TEST(SingleCopy, CopiesInDifferentFoldersRunSideBySide) {
  testing::TempDir a, b;
  SingleCopy inA(a.path()), inB(b.path());
  EXPECT_EQ(inA.claim(), Claim::First);
  EXPECT_EQ(inB.claim(), Claim::First);

  std::filesystem::create_directory_symlink(a.path(), b.file("link"));
  EXPECT_NE(SingleCopy::channelName(a.path()), SingleCopy::channelName(b.path()));
  EXPECT_EQ(SingleCopy::channelName(a.path()), SingleCopy::channelName(b.file("link")));
  EXPECT_EQ(SingleCopy::channelName(a.path()), SingleCopy::channelName(a.path() + "/"));
}

TEST(SingleCopy, BringingToFrontUnminimisesAndKeepsFullScreen) {
  for (const Qt::WindowState state : {Qt::WindowFullScreen, Qt::WindowNoState}) {
    QWidget stage;
    stage.setWindowState(state | Qt::WindowMinimized);
    stage.show();
    SingleCopy::bringToFront(&stage);
    EXPECT_TRUE(stage.isVisible());
    EXPECT_FALSE(stage.isMinimized());
    EXPECT_EQ(stage.isFullScreen(), state == Qt::WindowFullScreen);
  }
}

}  // namespace
}  // namespace zv
