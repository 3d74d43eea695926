// A bad command line on the real program: the usage text and exit status 2, also where
// no display can be reached (the toolkit would end the program before it could say so).
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>

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

}  // namespace
}  // namespace zv::e2e
