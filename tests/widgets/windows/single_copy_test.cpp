// One copy per program folder on Windows: a later copy hands over through the named pipe,
// whatever the folder's spelling, a stranger holding the pipe does not block it, and
// copies in different folders run side by side.
#include "platform/qt/single_copy.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <QTest>
#include <algorithm>
#include <chrono>

#include "widgets/running_copy.h"
#include "support/temp_dir.h"

namespace zv {
namespace {

using namespace std::chrono_literals;
using Claim = SingleCopy::Claim;

using zv::testing::RunningCopy;

std::string withBackslashes(std::string path) {
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

TEST(SingleCopy, ALaterCopyInTheFolderHandsOverWhateverItsSpelling) {
  testing::TempDir dir;
  RunningCopy first(dir.path());
  ASSERT_EQ(first.claim, Claim::First);

  QString upper = QString::fromStdString(dir.path()).toUpper();
  for (const std::string& spelling :
       {dir.path(), withBackslashes(dir.path()) + "\\", upper.toStdString()}) {
    EXPECT_EQ(SingleCopy::channelName(spelling), SingleCopy::channelName(dir.path())) << spelling;
    EXPECT_EQ(SingleCopy(spelling).claim(), Claim::HandedOver) << spelling;
  }
  EXPECT_EQ(first.raisedAfterEvents(), 3);
}

// A program that connects to the pipe and says nothing is dropped after a while; the
// next copy is answered meanwhile or right after, within its bound.
TEST(SingleCopy, AStrangerHoldingThePipeDoesNotBlockTheNextCopy) {
  testing::TempDir dir;
  RunningCopy first(dir.path());
  ASSERT_EQ(first.claim, Claim::First);
  const std::wstring pipe = SingleCopy::channelName(dir.path()).toStdWString();
  const HANDLE silent = CreateFileW(pipe.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(silent, INVALID_HANDLE_VALUE) << GetLastError();

  EXPECT_EQ(SingleCopy(dir.path(), 4s).claim(), Claim::HandedOver);
  EXPECT_EQ(first.raisedAfterEvents(), 1);
  CloseHandle(silent);
}

TEST(SingleCopy, CopiesInDifferentFoldersRunSideBySide) {
  testing::TempDir a, b;
  SingleCopy inA(a.path()), inB(b.path());
  EXPECT_EQ(inA.claim(), Claim::First);
  EXPECT_EQ(inB.claim(), Claim::First);
  EXPECT_NE(SingleCopy::channelName(a.path()), SingleCopy::channelName(b.path()));
}

// The pipe goes with the copy: the next copy in the folder is the first again.
TEST(SingleCopy, ACopyThatEndedLeavesNoPipe) {
  testing::TempDir dir;
  { RunningCopy first(dir.path()); ASSERT_EQ(first.claim, Claim::First); }
  EXPECT_EQ(SingleCopy(dir.path(), 1s).claim(), Claim::First);
}

}  // namespace
}  // namespace zv
