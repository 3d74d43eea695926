// Files in the event folder that are not regular files, and a run killed between a win's
// tally and its journal row, on the real program.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <thread>

#include "stage_fixture.h"
#include "store/journal.h"

namespace zv::e2e {
namespace {

using namespace std::chrono_literals;

class EventFilesTest : public StageTest {
 protected:
  // Answers the one message box naming a refused file.
  void dismissReport() {
    ASSERT_TRUE(waitUntil([&] { return lightGreyPixels(x) > 8000; }, 6s)) << "nothing reported";
    xdotool(x.name(), "mousemove 683 384");
    std::this_thread::sleep_for(400ms);
    key("Return");
    ASSERT_TRUE(waitUntil([&] { return lightGreyPixels(x) < 3000; }, 5s));
    xdotool(x.name(), "mousemove 1300 700");
    std::this_thread::sleep_for(400ms);
  }
  // The result picture shows (the draw has begun) when its area is no longer stage colour.
  bool resultShown() { return !x.shot().at(120, 520).near(kStage, 30); }
  void drawOnce(int wins) {
    key("space");
    ASSERT_TRUE(waitUntil([&] { return resultShown(); }, 5s)) << "draw " << wins << " not begun";
    std::this_thread::sleep_for(400ms);
    key("space");
    ASSERT_TRUE(waitUntil([&] { return totalWins() == wins; }, 6s)) << "win " << wins;
  }
  std::vector<JournalRow> journal() {
    return parseJournal(readWholeFile(dir.file(journal_text::kFileName))).rows;
  }
};

TEST_F(EventFilesTest, NoRegularFileUnderAnEventFileNameNeitherFreezesNorStopsTheDraws) {
  struct Case {
    const char* name;
    const char* file;  // in the event folder
    std::function<void(const std::string&)> make;
    bool reportedAtStart;
  };
  const auto fifo = [](const std::string& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0644), 0); };
  const Case cases[] = {
      {"FIFO journal", journal_text::kFileName, fifo, false},
      {"journal linked to /dev/zero", journal_text::kFileName,
       [](const std::string& p) { ASSERT_EQ(::symlink("/dev/zero", p.c_str()), 0); }, false},
      {"FIFO prize picture", "奖品图片/1.jpg", fifo, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    program.reset();
    std::filesystem::remove_all(dir.file("奖品图片"));
    deleteFile(dir.file(journal_text::kFileName));
    deleteFile(dir.file("jieguo.a"));
    addPrizePictures();
    writeSettings("[zbt]\r\nlx=真\r\n禁用特效=真\r\n");
    deleteFile(dir.file(c.file));
    c.make(dir.file(c.file));
    start();  // a FIFO read at start-up would leave the window black
    if (c.reportedAtStart) dismissReport();
    drawOnce(1);
    if (!c.reportedAtStart) dismissReport();  // met at the first win's row
    drawOnce(2);
    drawOnce(3);
    std::this_thread::sleep_for(500ms);
    EXPECT_LT(lightGreyPixels(x), 3000) << "reported more than once";
    EXPECT_TRUE(program->running());
    struct stat st {};
    ASSERT_EQ(::lstat(dir.file(c.file).c_str(), &st), 0);
    EXPECT_FALSE(S_ISREG(st.st_mode));
  }
}

TEST_F(EventFilesTest, ARunKilledBetweenTheTallyAndItsRowIsExplainedAtTheNextStart) {
  addPrizePictures();
  writeSettings("[zbt]\r\nlx=真\r\n禁用特效=真\r\n");
  start();
  drawOnce(1);
  ASSERT_TRUE(program->terminate(5s));
  ASSERT_EQ(journal().size(), 1u);
  std::array<std::string, 8> before;
  for (int slot = 1; slot <= 8; ++slot) before[slot - 1] = tally(slot);

  ::setenv("ZORVANE_TEST_EXIT_AFTER_TALLY", "1", 1);
  start();
  ::unsetenv("ZORVANE_TEST_EXIT_AFTER_TALLY");
  key("space");
  ASSERT_TRUE(waitUntil([&] { return resultShown(); }, 5s));
  std::this_thread::sleep_for(400ms);
  key("space");
  ASSERT_TRUE(waitUntil([&] { return !program->running(); }, 6s)) << "not ended after the tally";
  ASSERT_EQ(totalWins(), 2);
  ASSERT_EQ(journal().size(), 1u) << "the row was written after all";
  int slot = 1;
  while (slot <= 8 && tally(slot) == before[slot - 1]) ++slot;
  ASSERT_LE(slot, 8);

  start();
  const std::vector<JournalRow> rows = journal();
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[1].event, JournalEvent::Reconcile);
  EXPECT_EQ(rows[1].difference, "奖项" + std::to_string(slot) + " +1");
  EXPECT_EQ(rows[1].tallies[slot - 1], tally(slot));
  EXPECT_EQ(rows[1].sequence, 2);
  // Explained once: the start after finds nothing more to explain.
  ASSERT_TRUE(program->terminate(5s));
  start();
  EXPECT_EQ(journal().size(), 2u);
}

}  // namespace
}  // namespace zv::e2e
