// The one-copy lock of a folder on POSIX: what is done with what is found in the lock
// file's place.
#include "platform/folder_lock.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/files.h"
#include "support/temp_dir.h"

namespace zv {
namespace {

using zv::testing::TempDir;

constexpr const char* kName = ".zorvane.lock";
constexpr uid_t kOtherUser = 65534;

// What may be found where the lock file goes; each is taken over, except a live holder.
TEST(FolderLock, TakesOverEverythingButALiveCopysLock) {
  FolderLockRecord elsewhere = thisProcessRecord();
  elsewhere.host = "office-pc";
  elsewhere.boot = "another-boot";
  FolderLockRecord dead = thisProcessRecord();
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  ::waitpid(child, nullptr, 0);
  dead.pid = child;
  dead.uid = kOtherUser;
  struct Case {
    const char* what;
    std::function<void(const std::string& path)> plant;
  };
  const auto oldFile = [](const std::string& path, const std::string& text) {
    ASSERT_TRUE(writeWholeFileAtomically(path, text));
    const timespec times[2] = {{1, 0}, {1, 0}};  // long before: not being written
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
  };
  const Case cases[] = {
      {"another PC's (the folder was copied while it ran)",
       [&](const std::string& p) { oldFile(p, formatFolderLockRecord(elsewhere)); }},
      {"empty (a power cut)", [&](const std::string& p) { oldFile(p, ""); }},
      {"garbage", [&](const std::string& p) { oldFile(p, "\x01\x02 not a lock"); }},
      {"a folder", [](const std::string& p) { ASSERT_TRUE(makeDirectories(p)); }},
      {"a dangling link",
       [](const std::string& p) { ASSERT_EQ(::symlink("/nowhere", p.c_str()), 0); }},
      {"another user's dead copy's",
       [&](const std::string& p) {
         oldFile(p, formatFolderLockRecord(dead));
         ASSERT_EQ(::chown(p.c_str(), kOtherUser, kOtherUser), 0);
       }},
  };
  for (const Case& c : cases) {
    TempDir dir;
    c.plant(dir.file(kName));
    FolderLock lock(dir.path(), kName);
    ASSERT_EQ(lock.tryTake(), FolderLock::Outcome::Taken) << c.what;
    EXPECT_EQ(parseFolderLockRecord(readWholeFile(dir.file(kName))), thisProcessRecord()) << c.what;
    // Another copy finds it held, by the flock and by the record alike.
    FolderLock second(dir.path(), kName);
    EXPECT_EQ(second.tryTake(), FolderLock::Outcome::Held) << c.what;
    lock.release();
    EXPECT_FALSE(pathExists(dir.file(kName))) << c.what;
  }
}

TEST(FolderLock, ALockOfThisProcessIsHeldEvenWithoutItsFlock) {
  TempDir dir;
  ASSERT_TRUE(
      writeWholeFileAtomically(dir.file(kName), formatFolderLockRecord(thisProcessRecord())));
  FolderLock lock(dir.path(), kName);
  EXPECT_EQ(lock.tryTake(), FolderLock::Outcome::Held);
  EXPECT_TRUE(pathExists(dir.file(kName)));
}

// A shared folder where only owners may remove files (like /tmp): another user's stale
// lock stays, and the path to delete is given.
TEST(FolderLock, AStaleLockThatCannotBeRemovedNamesItsPath) {
  TempDir dir;
  const std::string shared = dir.file("shared");
  ASSERT_TRUE(makeDirectories(shared));
  ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
  ASSERT_EQ(::chmod(shared.c_str(), 01777), 0);
  const std::string path = shared + "/" + kName;
  ASSERT_TRUE(writeWholeFileAtomically(path, ""));
  const timespec times[2] = {{1, 0}, {1, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
  int pipeFds[2];
  ASSERT_EQ(::pipe(pipeFds), 0);
  const pid_t child = ::fork();
  if (child == 0) {
    char answer = '?';
    if (::setgid(kOtherUser) == 0 && ::setuid(kOtherUser) == 0) {
      FolderLock lock(shared, kName);
      const bool blocked = lock.tryTake() == FolderLock::Outcome::Unremovable &&
                           lock.path() == path && !lock.why().empty();
      answer = blocked ? 'y' : 'n';
    }
    [[maybe_unused]] const ssize_t n = ::write(pipeFds[1], &answer, 1);
    ::_exit(0);
  }
  char answer = 0;
  ASSERT_EQ(::read(pipeFds[0], &answer, 1), 1);
  ::waitpid(child, nullptr, 0);
  ::close(pipeFds[0]);
  ::close(pipeFds[1]);
  if (answer == '?') GTEST_SKIP() << "cannot become another user";
  EXPECT_EQ(answer, 'y');
  EXPECT_TRUE(pathExists(path));
}

}  // namespace
}  // namespace zv
