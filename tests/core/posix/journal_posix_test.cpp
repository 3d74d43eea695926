// What only POSIX systems have: capped address spaces, sparse files, FIFOs and devices.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <functional>

#include "core/journal_fixture.h"
#include "draw/draw_record.h"
#include "platform/files.h"
#include "store/ini_file.h"
#include "store/journal.h"
#include "support/finishes_within.h"
#include "support/temp_dir.h"

namespace zv {
namespace {

using namespace std::chrono;

using zv::testing::win;

class JournalPosixTest : public zv::testing::JournalFixture {};

// The reader's memory in a child process whose address space is capped, as a stage PC's
// would be long before 27 GB.
#if !defined(__SANITIZE_ADDRESS__)
TEST_F(JournalPosixTest, ReadingCostsMemoryInProportionToTheRowsKept) {
  struct Case {
    const char* name;
    std::function<void(int fd)> fill;
    bool readWhole;  // the journal window's read (a 4 GB sparse file is only appended to)
    std::size_t rows;
  };
  const auto repeat = [](int fd, char c, std::size_t bytes) {
    const std::string block(1 << 20, c);
    for (std::size_t n = 0; n < bytes; n += block.size())
      ASSERT_EQ(::write(fd, block.data(), block.size()), static_cast<ssize_t>(block.size()));
  };
  JournalRow last = win(3);
  last.sequence = 41;
  last.time = "2024-01-01 00:00:00 +08:00";
  const Case cases[] = {
      {"60 MB of line breaks", [&](int fd) { repeat(fd, '\n', 60 << 20); }, true, 0},
      {"20 MB of commas", [&](int fd) { repeat(fd, ',', 20 << 20); }, true, 0},
      {"20 MB in one quoted field",
       [&](int fd) {
         ASSERT_EQ(::write(fd, "\"", 1), 1);
         repeat(fd, 'x', 20 << 20);
       },
       true, 0},
      {"a row after 4 GB of nothing",
       [&](int fd) {
         ASSERT_EQ(::ftruncate(fd, std::int64_t{4} << 30), 0);
         ASSERT_EQ(::lseek(fd, 0, SEEK_END), std::int64_t{4} << 30);
         const std::string row = "\r\n" + formatJournalRow(last);
         ASSERT_EQ(::write(fd, row.data(), row.size()), static_cast<ssize_t>(row.size()));
       },
       false, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    deleteFile(path());
    const int fd = ::open(path().c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    c.fill(fd);
    ::close(fd);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      const rlimit cap{512u << 20, 512u << 20};
      ::setrlimit(RLIMIT_AS, &cap);
      Journal j = journal();
      if (c.readWhole) {
        const JournalContents read = j.read();
        if (read.rows.size() != c.rows) ::_exit(3);
      }
      // A win reads the tail only: quick, and numbered after the last intact row.
      const auto began = std::chrono::steady_clock::now();
      const auto row = j.append(win(1));
      if (!row) ::_exit(4);
      if (row->sequence != (c.rows ? 42 : 1)) ::_exit(5);
      if (std::chrono::steady_clock::now() - began > std::chrono::seconds(2)) ::_exit(6);
      ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status)) << "killed by signal " << WTERMSIG(status);
    if (WIFEXITED(status)) {
      EXPECT_EQ(WEXITSTATUS(status), 0);
    }
  }
  deleteFile(path());
}
#endif

TEST_F(JournalPosixTest, AJournalThatIsNoRegularFileIsNeverOpenedForItsContents) {
  zv::testing::TempDir other;
  const std::string theirs = other.file("theirs.csv");
  ASSERT_TRUE(writeWholeFileAtomically(theirs, "theirs"));
  if (::geteuid() == 0) {
    ASSERT_EQ(::chown(theirs.c_str(), 65534, 65534), 0);
  }
  struct Case {
    const char* name;
    std::function<void()> make;
  };
  const Case cases[] = {
      {"fifo", [&] { ASSERT_EQ(::mkfifo(path().c_str(), 0644), 0); }},
      {"link to /dev/zero", [&] { ASSERT_EQ(::symlink("/dev/zero", path().c_str()), 0); }},
      {"link to another user's file",
       [&] {
         ASSERT_EQ(::symlink((::geteuid() == 0 ? theirs : "/etc/passwd").c_str(), path().c_str()),
                   0);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    deleteFile(path());
    c.make();
    std::vector<std::string> reported;
    setUnusableFileListener([&](const std::string& p) { reported.push_back(p); });
    Journal j = journal();
    DrawRecord r(j, ResultsFile(dir.file("jieguo.a")), [](const std::string&) {});
    JournalContents read;
    ASSERT_TRUE(zv::testing::finishesWithin([&] {
      for (int slot : {1, 2}) {
        Landing l;
        l.slot = slot;
        l.tallyWritten = ResultsFile(dir.file("jieguo.a")).addWin(slot);
        r.recordLanding(l);
      }
      read = j.read();
    })) << "blocked";
    setUnusableFileListener(nullptr);
    EXPECT_TRUE(read.rows.empty());
    EXPECT_EQ(ResultsFile(dir.file("jieguo.a")).tallies()[1], 1.0);  // the draws went on
    EXPECT_EQ(reported, std::vector<std::string>{path()});
    struct stat st {};
    ASSERT_EQ(::lstat(path().c_str(), &st), 0);
    EXPECT_FALSE(S_ISREG(st.st_mode));
    deleteFile(dir.file("jieguo.a"));
  }
  EXPECT_EQ(readWholeFile(theirs), "theirs");
}

}  // namespace
}  // namespace zv
