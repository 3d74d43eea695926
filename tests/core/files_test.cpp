#include "platform/files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <thread>

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

TEST(TickCount, AdvancesInMilliseconds) {
  const std::uint32_t before = tickCount();
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  const std::uint32_t elapsed = tickCount() - before;  // unsigned: correct across a wrap
  EXPECT_GE(elapsed, 29u);
  EXPECT_LT(elapsed, 5000u);
}

}  // namespace
}  // namespace zv
