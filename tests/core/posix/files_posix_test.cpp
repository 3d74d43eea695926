// What only POSIX systems have: permission bits, owners, FIFOs, devices and links.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>
#include <functional>
#include <mutex>
#include <vector>

#include "platform/file_buffer.h"
#include "platform/files.h"
#include "support/finishes_within.h"
#include "support/temp_dir.h"

namespace zv {
namespace {

using zv::testing::TempDir;

TEST(Files, JoinsPaths) {
  struct Case {
    const char* directory;
    const char* relative;
    const char* joined;
  };
  const Case cases[] = {
      {"/opt/app", "\\奖品图片\\1.jpg", "/opt/app/奖品图片/1.jpg"},
      {"/opt/app/", "/奖品图片/1.jpg", "/opt/app/奖品图片/1.jpg"},
      {"/opt/app", "data\\\\x.ini", "/opt/app/data/x.ini"},
      {"/opt/app", "a/b", "/opt/app/a/b"},
      {"/", "\\x", "/x"},
      {"/opt/app", "", "/opt/app"},
      {"", "x\\y", "x/y"},
  };
  for (const auto& c : cases) EXPECT_EQ(joinPath(c.directory, c.relative), c.joined) << c.relative;
}

TEST(Files, ProgramDirectoryHoldsTheRunningProgram) {
  const std::string dir = programDirectory();
  ASSERT_FALSE(dir.empty());
  EXPECT_EQ(dir.front(), '/');
  EXPECT_NE(dir.back(), '/');
  EXPECT_TRUE(fileExists(dir + "/core_tests"));
}

TEST(Files, ReplacingAFileKeepsItsPermissions) {
  TempDir tmp;
  const std::string path = tmp.file("a.ini");
  ASSERT_TRUE(writeWholeFileAtomically(path, "1"));
  ASSERT_EQ(::chmod(path.c_str(), 0604), 0);
  ASSERT_TRUE(writeWholeFileAtomically(path, "2"));
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0604u);
}

TEST(Files, TheNextWriteRemovesItsOwnTemporaryFilesOlderThanADay) {
  TempDir tmp;
  struct Case {
    std::string name;
    int ageHours;
    bool removed;
  };
  const Case cases[] = {
      {temporaryNameFor("a.ini", 5), 48, true},
      {temporaryNameFor("a.ini", 6), 0, false},    // a write in progress, perhaps
      {temporaryNameFor("a.ini", 7), 23, false},   // not a day yet
      {".a.ini.tmp-1234-7", 48, true},             // the form of earlier versions
      {temporaryNameFor("b.ini", 5), 48, false},   // another target's
      {temporaryNameFor("a.in", 5), 48, false},
      {".a.ini.tmp-12345678abcdefgh", 48, false},  // not our pattern
      {".a.ini.tmp-", 48, false},
      {"a.ini.tmp-0000000000000005", 48, false},
      {"notes.txt", 48, false},
  };
  const std::time_t now = std::time(nullptr);
  for (const Case& c : cases) {
    ASSERT_TRUE(writeWholeFileAtomically(tmp.file(c.name), "x")) << c.name;
    const timespec times[2] = {{now - c.ageHours * 3600, 0}, {now - c.ageHours * 3600, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, tmp.file(c.name).c_str(), times, 0), 0);
  }
  // Old ones that are not the user's, or not files, stay too.
  const std::string others = temporaryNameFor("a.ini", 8), folder = temporaryNameFor("a.ini", 9);
  ASSERT_TRUE(writeWholeFileAtomically(tmp.file(others), "x"));
  ASSERT_EQ(::chown(tmp.file(others).c_str(), 65534, 65534), 0);
  ASSERT_TRUE(makeDirectories(tmp.file(folder)));
  const timespec old[2] = {{now - 48 * 3600, 0}, {now - 48 * 3600, 0}};
  for (const std::string& name : {others, folder})
    ASSERT_EQ(::utimensat(AT_FDCWD, tmp.file(name).c_str(), old, 0), 0);

  ASSERT_TRUE(writeWholeFileAtomically(tmp.file("a.ini"), "new"));
  for (const Case& c : cases) EXPECT_EQ(pathExists(tmp.file(c.name)), !c.removed) << c.name;
  EXPECT_TRUE(pathExists(tmp.file(others)));
  EXPECT_TRUE(pathExists(tmp.file(folder)));
  EXPECT_EQ(readWholeFile(tmp.file("a.ini")), "new");
}

TEST(Files, AReplacedFileKeepsNoSetIdBits) {
  TempDir tmp;
  const std::string path = tmp.file("a.ini");
  ASSERT_TRUE(writeWholeFileAtomically(path, "1"));
  ASSERT_EQ(::chmod(path.c_str(), 04755), 0);
  ASSERT_TRUE(writeWholeFileAtomically(path, "2", Durability::kThrowAway));
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0755u);
  EXPECT_EQ(readWholeFile(path), "2");
}

// What the refused names were reported as, for the length of a test.
class ReportedFiles {
 public:
  ReportedFiles() {
    setUnusableFileListener([this](const std::string& path) {
      const std::lock_guard<std::mutex> lock(mutex_);
      paths_.push_back(path);
    });
  }
  ~ReportedFiles() { setUnusableFileListener(nullptr); }
  std::vector<std::string> paths() {
    const std::lock_guard<std::mutex> lock(mutex_);
    return paths_;
  }

 private:
  std::mutex mutex_;
  std::vector<std::string> paths_;
};

// Another user's regular file: root makes one; anyone else finds one of root's.
std::string anotherUsersFile(const TempDir& tmp) {
  if (::geteuid() != 0) return "/etc/passwd";
  const std::string path = tmp.file("theirs");
  writeWholeFileAtomically(path, "theirs");
  EXPECT_EQ(::chown(path.c_str(), 65534, 65534), 0);
  return path;
}

TEST(Files, WhatIsNotARegularFileIsNeverBlockedOnReadOrWrittenAndIsReportedOnce) {
  TempDir tmp;
  const std::string theirs = anotherUsersFile(tmp);
  const std::string theirsBefore = readWholeFile(theirs);
  struct Case {
    const char* name;
    std::function<void(const std::string&)> make;
    bool readable;  // a link to a regular file may be read, not written through
  };
  const Case cases[] = {
      {"fifo", [](const std::string& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0644), 0); }, false},
      {"zero", [](const std::string& p) { ASSERT_EQ(::symlink("/dev/zero", p.c_str()), 0); },
       false},
      {"folder", [](const std::string& p) { ASSERT_EQ(::mkdir(p.c_str(), 0755), 0); }, false},
      {"link-to-fifo",
       [&](const std::string& p) {
         ASSERT_EQ(::mkfifo(tmp.file("fifo-target").c_str(), 0644), 0);
         ASSERT_EQ(::symlink(tmp.file("fifo-target").c_str(), p.c_str()), 0);
       },
       false},
      {"dangling",
       [](const std::string& p) { ASSERT_EQ(::symlink("/nonexistent/x", p.c_str()), 0); }, false},
      {"link-to-theirs",
       [&](const std::string& p) { ASSERT_EQ(::symlink(theirs.c_str(), p.c_str()), 0); }, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = tmp.file(c.name);
    c.make(path);
    struct stat before {};
    ASSERT_EQ(::lstat(path.c_str(), &before), 0);
    ReportedFiles reported;
    std::optional<std::string> read;
    std::shared_ptr<const FileBuffer> buffer;
    bool written = true, copied = true;
    ASSERT_TRUE(zv::testing::finishesWithin([&] {
      read = tryReadWholeFile(path);
      buffer = FileBuffer::read(path);
      written = writeWholeFileAtomically(path, "mine");
      copied = copyFileOverwriting(path, tmp.file("copy"));
      read = tryReadWholeFile(path);
    })) << "blocked";
    EXPECT_EQ(read.has_value(), c.readable);
    EXPECT_EQ(buffer != nullptr, c.readable);
    EXPECT_FALSE(written);
    EXPECT_EQ(copied, c.readable);
    // Left as it was, and reported once however often it was met.
    struct stat after {};
    ASSERT_EQ(::lstat(path.c_str(), &after), 0);
    EXPECT_EQ(after.st_mode & S_IFMT, before.st_mode & S_IFMT);
    EXPECT_EQ(reported.paths(), std::vector<std::string>{path});
    deleteFile(tmp.file("copy"));
  }
  EXPECT_EQ(readWholeFile(theirs), theirsBefore);
}

TEST(Files, AWriteThroughALinkToTheUsersOwnFileReplacesTheTargetAndKeepsTheLink) {
  TempDir tmp;
  ASSERT_EQ(::mkdir(tmp.file("elsewhere").c_str(), 0755), 0);
  const std::string target = tmp.file("elsewhere/jieguo.a");
  ASSERT_TRUE(writeWholeFileAtomically(target, "old"));
  ASSERT_EQ(::symlink(target.c_str(), tmp.file("jieguo.a").c_str()), 0);
  ReportedFiles reported;
  EXPECT_TRUE(writeWholeFileAtomically(tmp.file("jieguo.a"), "new"));
  EXPECT_EQ(readWholeFile(target), "new");
  struct stat st {};
  ASSERT_EQ(::lstat(tmp.file("jieguo.a").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_TRUE(reported.paths().empty());
}

}  // namespace
}  // namespace zv
