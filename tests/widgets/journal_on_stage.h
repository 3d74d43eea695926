#pragma once
// The real stage with a journal, for the journal window's tests on both systems.
#include <gtest/gtest.h>

#include <QLabel>
#include <QTest>
#include <array>
#include <string>
#include <vector>

#include "dialogs/file_picker.h"
#include "dialogs/message_boxes.h"
#include "platform/files.h"
#include "platform/number_text.h"
#include "stage/record.h"
#include "stage_fixture.h"
#include "store/journal.h"
#include "store/results_file.h"

namespace zv::testing {

class JournalOnStage : public ::testing::Test {
 protected:
  void SetUp() override {
    s.writeSettings(
        "[zbt]\r\n禁用特效=真\r\n一=1\r\n二=2\r\n三=4\r\n四=8\r\n五=10\r\n六=15\r\n七=20\r\n"
        "八=50\r\n");
    start();
    MessageBoxes::clearShown();
    FilePicker::clearSuggested();
  }
  void start() {
    s.start();
    s.form().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&s.form()));
  }
  void restart() {
    s.stage.reset();
    start();
  }
  // One draw from start to landing.
  void draw() {
    const std::size_t rows = journal().size();
    s.stage->draw().toggle();
    s.stage->draw().toggle();
    ASSERT_TRUE(QTest::qWaitFor([&] { return journal().size() == rows + 1; }, 3000));
  }
  void choose(const char* caption) {
    s.form().menuItem(QString::fromUtf8(caption))->action()->trigger();
  }
  bool voidEnabled() {
    emit s.form().popupMenu()->aboutToShow();
    return s.form().menuItem(QString::fromUtf8(menu::kVoidLastWin))->action()->isEnabled();
  }
  std::vector<JournalRow> journal() {
    return parseJournal(readWholeFile(s.dir.file(journal_text::kFileName))).rows;
  }
  std::array<std::string, 8> talliesOnDisk() {
    std::array<std::string, 8> t;
    const auto values = ResultsFile(s.dir.file("jieguo.a")).tallies();
    for (int i = 0; i < 8; ++i) t[i] = formatNumber(values[i]);
    return t;
  }
  double totalWins() {
    double total = 0;
    for (double v : ResultsFile(s.dir.file("jieguo.a")).tallies()) total += v;
    return total;
  }
  QLabel* mark() {
    return s.form().findChild<QLabel*>(QString::fromUtf8(RecordModule::kRehearsalMarkName));
  }

  StageFixture s;
};

}  // namespace zv::testing
