#include "store/results_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/files.h"
#include "support/temp_dir.h"

namespace zv {
namespace {

using zv::testing::TempDir;

class ResultsFileTest : public ::testing::Test {
 protected:
  std::string onDisk() const { return readWholeFile(path); }

  TempDir tmp;
  std::string path = tmp.file("jieguo.a");
  ResultsFile results{path};
};

TEST_F(ResultsFileTest, MissingFileReadsAsEmptyTalliesAndIsNotCreated) {
  for (int slot = 1; slot <= 8; ++slot) EXPECT_EQ(results.readTally(slot), "") << slot;
  EXPECT_EQ(results.tallies(), (std::array<double, 8>{}));
  EXPECT_FALSE(pathExists(path));
}

TEST_F(ResultsFileTest, FirstWinCreatesTheFileWithThatTallyOnly) {
  ASSERT_TRUE(results.addWin(3));
  EXPECT_EQ(onDisk(), "[zjjg]\r\nj3=1\r\n");
  EXPECT_EQ(tmp.entries(), std::vector<std::string>{"jieguo.a"});  // no stray temporary
}

TEST_F(ResultsFileTest, AddWinChangesOnlyItsOwnValue) {
  struct Case {
    const char* stored;
    const char* written;
  };
  const Case cases[] = {
      {"7", "8"},
      {"2.5", "3.5"},
      {"abc", "1"},
      {"", "1"},
      {"-3", "-2"},
      {"4x", "5"},
      {"999999999999", "1000000000000"},  // stays plain digits below 10^13
  };
  for (const Case& c : cases) {
    const std::string before = std::string("; kept\r\n[zjjg]\r\nj1=4\r\nj5=") + c.stored +
                               "\r\nj8= x \r\n[other]\r\nj5=2\r\n";
    ASSERT_TRUE(writeWholeFileAtomically(path, before));
    ASSERT_TRUE(results.addWin(5)) << c.stored;
    const std::string after = std::string("; kept\r\n[zjjg]\r\nj1=4\r\nj5=") + c.written +
                              "\r\nj8= x \r\n[other]\r\nj5=2\r\n";
    EXPECT_EQ(onDisk(), after) << c.stored;
    EXPECT_EQ(results.readTally(5), c.written);
  }
}

TEST_F(ResultsFileTest, ReadsWhatIsStoredAtEachCall) {
  ASSERT_TRUE(writeWholeFileAtomically(path, "[zjjg]\r\nj1=3\r\nj2=2.5\r\nj3=abc\r\nj4=\r\n"));
  EXPECT_EQ(results.readTally(2), "2.5");
  EXPECT_EQ(results.readTally(3), "abc");
  EXPECT_EQ(results.tallies(), (std::array<double, 8>{3, 2.5, 0, 0, 0, 0, 0, 0}));

  // An edit made outside the program between draws is seen at the next read.
  ASSERT_TRUE(writeWholeFileAtomically(path, "[zjjg]\r\nj1=9\r\n"));
  EXPECT_EQ(results.tallies()[0], 9);
  EXPECT_EQ(results.readTally(2), "");
}

TEST_F(ResultsFileTest, ClearWritesZeroToEverySlot) {
  ASSERT_TRUE(results.clearTallies());
  EXPECT_EQ(onDisk(), "[zjjg]\r\nj1=0\r\nj2=0\r\nj3=0\r\nj4=0\r\nj5=0\r\nj6=0\r\nj7=0\r\nj8=0\r\n");

  ASSERT_TRUE(writeWholeFileAtomically(path, "[zjjg]\r\nj2=5\r\nj7=x\r\n"));
  ASSERT_TRUE(results.clearTallies());
  for (int slot = 1; slot <= 8; ++slot) EXPECT_EQ(results.readTally(slot), "0") << slot;
}

TEST_F(ResultsFileTest, FailedWritesAreReported) {
  const ResultsFile nowhere(tmp.file("missing/jieguo.a"));
  EXPECT_FALSE(nowhere.addWin(1));
  EXPECT_FALSE(nowhere.clearTallies());
  EXPECT_FALSE(pathExists(tmp.file("missing")));
}

}  // namespace
}  // namespace zv
