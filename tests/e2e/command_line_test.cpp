// A bad command line on the real program: the usage text and exit status 2, also where
// no display can be reached (the toolkit would end the program before it could say so).
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "platform/files.h"
#include "store/journal.h"
#include "support/temp_dir.h"

namespace zv::e2e {
namespace {

struct Outcome {
  int status = -1;
  std::string output;
};

Outcome runWithoutDisplay(const std::string& arguments) {
  const std::string command = "cd / && env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb '" +
                              std::string(ZV_PROGRAM) + "' " + arguments + " 2>&1";
  Outcome outcome;
  std::FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return outcome;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
    outcome.output.append(buffer, n);
  const int status = ::pclose(pipe);
  outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return outcome;
}

TEST(CommandLineWithoutADisplay, ABadCommandLineGetsTheUsageAndStatusTwo) {
  for (const char* arguments : {"--bogus", "one two", "-reverse --bogus"}) {
    const Outcome outcome = runWithoutDisplay(arguments);
    EXPECT_EQ(outcome.status, 2) << arguments << "\n" << outcome.output;
    EXPECT_NE(outcome.output.find("Usage: zorvane"), std::string::npos) << arguments;
  }
}

// --verify answers on standard output without a window: its conclusion and its exit code.
TEST(CommandLineWithoutADisplay, VerifyPrintsItsConclusionAndExitsByIt) {
  zv::testing::TempDir dir;
  const std::string path = dir.file(journal_text::kFileName);
  Journal journal(path);
  for (int slot : {1, 2, 3}) {
    JournalRow row;
    row.slot = slot;
    row.drawMode = journal_text::kQuantityMode;
    row.tallies = {"1", "0", "0", "0", "0", "0", "0", "0"};
    ASSERT_TRUE(journal.append(row));
  }
  const Outcome holds = runWithoutDisplay("--verify '" + path + "'");
  EXPECT_EQ(holds.status, 0) << holds.output;
  EXPECT_NE(holds.output.find("结论：通过"), std::string::npos) << holds.output;

  std::string bytes = readWholeFile(path);
  const std::size_t mode = bytes.find(journal_text::kQuantityMode, bytes.find("\r\n2,"));
  bytes.replace(mode, std::string(journal_text::kQuantityMode).size(),
                journal_text::kProbabilityMode);  // 序号 2's row edited
  ASSERT_TRUE(writeWholeFileAtomically(path, bytes));
  const Outcome broken = runWithoutDisplay("--verify '" + path + "'");
  EXPECT_EQ(broken.status, 1) << broken.output;
  EXPECT_NE(broken.output.find("序号 2"), std::string::npos) << broken.output;
  EXPECT_NE(broken.output.find("结论：不通过"), std::string::npos) << broken.output;

  EXPECT_EQ(runWithoutDisplay("--verify '" + dir.file("无.csv") + "'").status, 2);
}

}  // namespace
}  // namespace zv::e2e
