#include "platform/files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/file_buffer.h"
#include "platform/tick_count.h"
#include "support/finishes_within.h"
#include "support/temp_dir.h"

namespace zv {
namespace {

using zv::testing::TempDir;

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

TEST(TickCount, AdvancesInMilliseconds) {
  const std::uint32_t before = tickCount();
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  const std::uint32_t elapsed = tickCount() - before;  // unsigned: correct across a wrap
  EXPECT_GE(elapsed, 29u);
  EXPECT_LT(elapsed, 5000u);
}

}  // namespace
}  // namespace zv
