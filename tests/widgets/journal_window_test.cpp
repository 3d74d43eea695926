// The draw journal on the real stage: landings, a void, rehearsal mode and its mark, the
// journal window and its export, and a restart.
#include "dialogs/journal_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include "app/unusable_file_reports.h"
#include "dialogs/file_picker.h"
#include "dialogs/message_boxes.h"
#include "dialogs/results_window.h"
#include "journal_on_stage.h"
#include "platform/files.h"
#include "platform/number_text.h"
#include "stage/record.h"
#include "stage_fixture.h"
#include "store/ini_file.h"
#include "store/journal.h"
#include "store/results_file.h"

namespace zv {
namespace {

using testing::JournalOnStage;

TEST_F(JournalOnStage, ThreeDrawsOneVoidedOneRehearsalAgreeWithTheResultsFile) {
  EXPECT_FALSE(voidEnabled());  // nothing won yet
  for (int i = 0; i < 3; ++i) draw();
  EXPECT_EQ(totalWins(), 3);
  ASSERT_TRUE(voidEnabled());

  const JournalRow last = journal().back();
  MessageBoxes::setNextAnswer(MessageAnswer::Ok);
  choose(menu::kVoidLastWin);
  ASSERT_EQ(MessageBoxes::shown().size(), 1u);
  const std::string question = MessageBoxes::shown()[0].text;
  EXPECT_NE(question.find("奖项：" + std::to_string(last.slot)), std::string::npos);
  EXPECT_NE(question.find(last.time), std::string::npos);
  EXPECT_EQ(MessageBoxes::shown()[0].buttons, MessageButtons::OkCancelDefaultCancel);
  EXPECT_EQ(totalWins(), 2);
  EXPECT_FALSE(voidEnabled());  // a win is voided once

  choose(menu::kRehearsal);
  EXPECT_TRUE(s.ticked(menu::kRehearsal));
  const std::string resultsBefore = readWholeFile(s.dir.file("jieguo.a"));
  draw();
  EXPECT_EQ(readWholeFile(s.dir.file("jieguo.a")), resultsBefore);
  EXPECT_FALSE(voidEnabled());  // a rehearsal win is not a counted win
  choose(menu::kRehearsal);
  EXPECT_FALSE(s.ticked(menu::kRehearsal));

  const std::vector<JournalRow> rows = journal();
  ASSERT_EQ(rows.size(), 5u);
  const JournalEvent events[] = {JournalEvent::Win, JournalEvent::Win, JournalEvent::Win,
                                 JournalEvent::Void, JournalEvent::RehearsalWin};
  for (std::size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(rows[i].event, events[i]) << i;
    EXPECT_EQ(rows[i].sequence, static_cast<std::int64_t>(i + 1));
  }
  EXPECT_EQ(rows[3].voids, last.sequence);
  EXPECT_EQ(rows[3].slot, last.slot);
  EXPECT_EQ(rows[0].drawMode, "按数量");
  EXPECT_EQ(rows[0].poolSize, 110);  // the default quantities, nothing won yet
  EXPECT_EQ(rows.back().tallies, talliesOnDisk());

  // The journal window lists the rows newest first, with the tallies now.
  choose(menu::kJournal);
  JournalWindow* window = s.stage->record().journalWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(window->model()->rowCount(), 5);
  EXPECT_EQ(window->model()->index(0, 0).data().toString(), "5");
  EXPECT_EQ(window->model()->index(0, 2).data().toString(), "彩排中奖");
  EXPECT_EQ(window->model()->headerData(2, Qt::Horizontal, Qt::DisplayRole).toString(), "事件");
  auto* slotTally = window->findChild<QLabel*>(QString::fromUtf8("中奖数" + std::to_string(last.slot)));
  ASSERT_NE(slotTally, nullptr);
  EXPECT_TRUE(slotTally->text().startsWith(QString::fromUtf8("奖项")));

  // Export: the same rows in a file of the operator's choosing.
  const std::string target = s.dir.file("给财务.csv");
  FilePicker::setNextAnswer(target);
  window->exportButton()->click();
  ASSERT_EQ(FilePicker::suggested().size(), 1u);
  EXPECT_EQ(FilePicker::suggested()[0].rfind(s.dir.path() + "/抽奖记录-", 0), 0u);
  const std::string exported = readWholeFile(target);
  EXPECT_EQ(exported, readWholeFile(s.dir.file(journal_text::kFileName)));
  EXPECT_EQ(parseJournal(exported).rows, rows);
  EXPECT_EQ(MessageBoxes::shown().back().icon, MessageIcon::Information);

  // Exporting onto the journal itself is refused; a failed write is reported.
  const std::string journalBytes = readWholeFile(s.dir.file(journal_text::kFileName));
  FilePicker::setNextAnswer(s.dir.file(journal_text::kFileName));
  EXPECT_FALSE(window->exportCopy());
  FilePicker::setNextAnswer(s.dir.file("no/such/dir/x.csv"));
  EXPECT_FALSE(window->exportCopy());
  EXPECT_NE(MessageBoxes::shown().back().text.find("no/such/dir/x.csv"), std::string::npos);
  EXPECT_EQ(readWholeFile(s.dir.file(journal_text::kFileName)), journalBytes);
  window->close();

  // A restart begins in real mode, and the sequence goes on.
  restart();
  EXPECT_FALSE(s.ticked(menu::kRehearsal));
  EXPECT_FALSE(s.stage->draw().rehearsal());
  EXPECT_FALSE(voidEnabled());
  draw();
  EXPECT_EQ(journal().back().sequence, 6);
  EXPECT_EQ(journal().back().event, JournalEvent::Win);
  EXPECT_EQ(journal().back().tallies, talliesOnDisk());
  EXPECT_EQ(totalWins(), 3);
}

TEST_F(JournalOnStage, EscClosesTheJournalWindow) {
  choose(menu::kJournal);
  JournalWindow* window = s.stage->record().journalWindow();
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(window->isVisible());
  // Pressed where the keyboard is after a click on a row.
  window->table()->setFocus();
  QTest::keyClick(window->table(), Qt::Key_Escape);
  EXPECT_FALSE(window->isVisible());
}

TEST_F(JournalOnStage, TheRehearsalMarkIsOnTheStageOnlyInRehearsalMode) {
  EXPECT_TRUE(!mark() || !mark()->isVisible());
  const QImage off = s.form().grab().toImage();
  choose(menu::kRehearsal);
  ASSERT_TRUE(mark()->isVisible());
  EXPECT_EQ(mark()->text(), "彩排");
  const QRect area = mark()->geometry();
  EXPECT_TRUE(s.form().rect().contains(area));
  EXPECT_LT(area.height(), s.form().height() / 10);  // small
  EXPECT_GT(area.bottom(), s.form().height() / 2);  // in a corner, away from the wheel
  const QImage on = s.form().grab().toImage();
  int changed = 0;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) changed += on.pixel(x, y) != off.pixel(x, y);
  }
  EXPECT_GT(changed, area.width() * area.height() / 10);
  choose(menu::kRehearsal);
  EXPECT_FALSE(mark()->isVisible());
  choose(menu::kRehearsal);
  EXPECT_TRUE(mark()->isVisible()) << "shown again";
  restart();
  EXPECT_TRUE(!mark() || !mark()->isVisible());
}

TEST_F(JournalOnStage, AClearOfTheTalliesIsARowWithTheTalliesBefore) {
  draw();
  draw();
  const auto before = talliesOnDisk();
  choose("中奖结果");
  MessageBoxes::setNextAnswer(MessageAnswer::Ok);
  s.stage->resultsWindow()->form().unit<QPushButton>("按钮1")->click();
  EXPECT_EQ(totalWins(), 0);
  const JournalRow clear = journal().back();
  EXPECT_EQ(clear.event, JournalEvent::Clear);
  EXPECT_EQ(clear.tallies, before);
  EXPECT_FALSE(voidEnabled());  // nothing won since the clear
}

TEST_F(JournalOnStage, AnUnwritableJournalIsReportedOnceAndTheDrawsGoOn) {
  // A directory where the journal file should be: it can never be opened for writing.
  ASSERT_TRUE(makeDirectories(s.dir.file(journal_text::kFileName)));
  for (int i = 0; i < 2; ++i) {
    s.stage->draw().toggle();
    s.stage->draw().toggle();
    ASSERT_TRUE(QTest::qWaitFor([&] { return totalWins() == i + 1; }, 3000));
  }
  QTest::qWait(50);
  int reports = 0;
  for (const auto& m : MessageBoxes::shown()) {
    reports += m.text.find(s.dir.file(journal_text::kFileName)) != std::string::npos;
  }
  EXPECT_EQ(reports, 1);
}

TEST_F(JournalOnStage, TalliesChangedOutsideTheDrawsAreExplainedByAReconcileRowAtTheNextStart) {
  draw();
  const double eight = ResultsFile(s.dir.file("jieguo.a")).tallies()[7];
  ASSERT_TRUE(ini::write(s.dir.file("jieguo.a"), "zjjg", "j8", formatNumber(eight + 3)));
  restart();
  const JournalRow row = journal().back();
  EXPECT_EQ(row.event, JournalEvent::Reconcile);
  EXPECT_EQ(row.tallies, talliesOnDisk());
  EXPECT_FALSE(voidEnabled()) << "the win before it is no longer what the tallies hold";
  choose(menu::kJournal);
  const JournalModel* model = s.stage->record().journalWindow()->model();
  ASSERT_EQ(model->rowCount(), 2);
  EXPECT_EQ(model->data(model->index(0, 2), Qt::DisplayRole).toString(), "核对");
  EXPECT_EQ(model->data(model->index(0, 14), Qt::DisplayRole).toString(), "奖项8 +3");
  restart();
  EXPECT_EQ(journal().size(), 2u) << "explained once";
}

}  // namespace
}  // namespace zv
