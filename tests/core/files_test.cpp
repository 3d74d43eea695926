#include "platform/files.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <thread>
#include <vector>

#include "platform/tick_count.h"
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

TEST(Files, WritesAtomicallyAndReadsBack) {
  TempDir tmp;
  const std::string path = tmp.file("a.bin");
  const std::string bytes("x\0\r\n\xFF", 5);
  ASSERT_TRUE(writeWholeFileAtomically(path, bytes));
  EXPECT_EQ(readWholeFile(path), bytes);
  ASSERT_TRUE(writeWholeFileAtomically(path, "short"));
  EXPECT_EQ(readWholeFile(path), "short");
  EXPECT_EQ(tmp.entries(), std::vector<std::string>{"a.bin"});
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

TEST(Files, FailuresLeaveNothingBehind) {
  TempDir tmp;
  EXPECT_FALSE(writeWholeFileAtomically(tmp.file("missing/a.ini"), "x"));
  // A directory in the way of the rename: the temporary file must be cleaned up.
  ASSERT_TRUE(makeDirectories(tmp.file("dir")));
  EXPECT_FALSE(writeWholeFileAtomically(tmp.file("dir"), "x"));
  EXPECT_EQ(tmp.entries(), std::vector<std::string>{"dir"});
}

TEST(Files, ReadsMissingOrUnreadableAsEmpty) {
  TempDir tmp;
  EXPECT_EQ(readWholeFile(tmp.file("none")), "");
  EXPECT_FALSE(tryReadWholeFile(tmp.file("none")));
  EXPECT_FALSE(tryReadWholeFile(tmp.path()));  // a directory
  ASSERT_TRUE(writeWholeFileAtomically(tmp.file("empty"), ""));
  EXPECT_EQ(tryReadWholeFile(tmp.file("empty")), std::string());
}

TEST(Files, CopiesOverwriting) {
  TempDir tmp;
  ASSERT_TRUE(writeWholeFileAtomically(tmp.file("from"), "new"));
  ASSERT_TRUE(writeWholeFileAtomically(tmp.file("to"), "old contents"));
  EXPECT_TRUE(copyFileOverwriting(tmp.file("from"), tmp.file("to")));
  EXPECT_EQ(readWholeFile(tmp.file("to")), "new");

  EXPECT_FALSE(copyFileOverwriting(tmp.file("none"), tmp.file("to")));
  EXPECT_EQ(readWholeFile(tmp.file("to")), "new");
}

TEST(Files, MakesDeletesAndTellsExistence) {
  TempDir tmp;
  EXPECT_TRUE(makeDirectories(tmp.file("a/b//c")));
  EXPECT_TRUE(makeDirectories(tmp.file("a/b/c/")));  // exists already
  EXPECT_TRUE(pathExists(tmp.file("a/b/c")));
  EXPECT_FALSE(fileExists(tmp.file("a/b/c")));  // a directory is not a file

  ASSERT_TRUE(writeWholeFileAtomically(tmp.file("f"), "x"));
  EXPECT_TRUE(fileExists(tmp.file("f")));
  EXPECT_FALSE(makeDirectories(tmp.file("f")));
  EXPECT_FALSE(makeDirectories(tmp.file("f/sub")));

  EXPECT_TRUE(deleteFile(tmp.file("f")));
  EXPECT_FALSE(fileExists(tmp.file("f")));
  EXPECT_FALSE(pathExists(tmp.file("f")));
  EXPECT_FALSE(deleteFile(tmp.file("f")));
}

// Names temporary files from a list of numbers, the last one repeated.
class ScriptedNames {
 public:
  explicit ScriptedNames(std::vector<std::uint64_t> numbers) : numbers_(std::move(numbers)) {
    setTemporaryNameSource([this] {
      ++drawn;
      const std::uint64_t n = numbers_.front();
      if (numbers_.size() > 1) numbers_.erase(numbers_.begin());
      return n;
    });
  }
  ~ScriptedNames() { setTemporaryNameSource(nullptr); }
  int drawn = 0;

 private:
  std::vector<std::uint64_t> numbers_;
};

std::vector<std::string> sorted(std::vector<std::string> names) {
  std::sort(names.begin(), names.end());
  return names;
}

TEST(Files, ATakenTemporaryNameIsRetriedWithAnother) {
  EXPECT_EQ(temporaryNameFor("a.ini", 0x1234abcdULL), ".a.ini.tmp-000000001234abcd");
  TempDir tmp;
  const std::string taken = tmp.file(temporaryNameFor("a.ini", 1));
  ASSERT_TRUE(writeWholeFileAtomically(taken, "someone else's"));
  {
    ScriptedNames names({1, 1, 2});
    ASSERT_TRUE(writeWholeFileAtomically(tmp.file("a.ini"), "new"));
    EXPECT_EQ(names.drawn, 3);
  }
  EXPECT_EQ(readWholeFile(tmp.file("a.ini")), "new");
  EXPECT_EQ(readWholeFile(taken), "someone else's");
  EXPECT_EQ(sorted(tmp.entries()), sorted({"a.ini", temporaryNameFor("a.ini", 1)}));

  // Names that are always taken give up after a bound, leaving both files as they were.
  ScriptedNames names({1});
  EXPECT_FALSE(writeWholeFileAtomically(tmp.file("a.ini"), "newer"));
  EXPECT_GT(names.drawn, 1);
  EXPECT_LE(names.drawn, 64);
  EXPECT_EQ(readWholeFile(tmp.file("a.ini")), "new");
  EXPECT_EQ(readWholeFile(taken), "someone else's");
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

TEST(TickCount, AdvancesInMilliseconds) {
  const std::uint32_t before = tickCount();
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  const std::uint32_t elapsed = tickCount() - before;  // unsigned: correct across a wrap
  EXPECT_GE(elapsed, 29u);
  EXPECT_LT(elapsed, 5000u);
}

}  // namespace
}  // namespace zv
