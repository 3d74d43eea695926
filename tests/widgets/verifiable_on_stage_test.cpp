// Verifiable draws on the real stage: every landing's slot is the one the event's secret
// gives for the row it is recorded in, whatever the draw mode and the landing's way; the
// secret's file survives a restart; a journal that refuses a
// row leaves the event as it was.
#include <QLineEdit>
#include <QPushButton>
#include <filesystem>
#include <functional>

#include "app/main_window.h"
#include "dialogs/verifiable_window.h"
#include "draw/verifiable_session.h"
#include "journal_on_stage.h"
#include "layout/window_layouts.h"
#include "stage/verifiable_draws.h"

namespace zv {
namespace {

using testing::JournalOnStage;

class VerifiableOnStage : public JournalOnStage {
 protected:
  VerifiableDraws& verifiable() { return s.stage->verifiable(); }
  VerifiableWindow& window() {
    if (!verifiable().window() || !verifiable().window()->isVisible()) choose(menu::kVerifiable);
    return *verifiable().window();
  }
  std::string secretPath() { return s.dir.file(verifiable_text::kSecretFileName); }
  std::optional<SecretFile> secretFile() {
    const auto text = tryReadWholeFile(secretPath());
    return text ? parseSecretFile(*text) : std::nullopt;
  }
  void startEvent(const char* audience) {
    window().commitButton()->click();
    window().audienceEdit()->setText(QString::fromUtf8(audience));
    window().startButton()->click();
    window().close();
  }
  void drawOnce(bool designated) {
    const std::size_t rows = journal().size();
    if (designated) s.form().unit<QWidget>(units::kDesignatedMarker)->setVisible(true);
    s.stage->draw().toggle();
    s.stage->draw().toggle();
    ASSERT_TRUE(QTest::qWaitFor([&] { return journal().size() == rows + 1; }, 5000));
  }
  bool popupOpens() {
    EXPECT_TRUE(s.form().dispatch(units::kMainTitle, forms::EventKind::RightButtonDown));
    const bool shown = s.form().popupMenu()->isVisible();
    s.form().popupMenu()->hide();
    return shown;
  }
};

TEST_F(VerifiableOnStage, EveryLandingIsTheSlotTheSecretGivesForItsRow) {
  struct Case {
    const char* name;
    const char* settings;
  };
  const Case cases[] = {
      {"quantity", "[zbt]\r\n禁用特效=真\r\n一=3\r\n二=2\r\n三=4\r\n四=8\r\n五=10\r\n六=15\r\n"
                   "七=20\r\n八=50\r\n"},
      {"probability", "[zbt]\r\n禁用特效=真\r\nlx=真\r\n一=1\r\n二=2\r\n三=4\r\n四=8\r\n五=10\r\n"
                      "六=15\r\n七=20\r\n八=1000\r\n"},
      // The winner is picked at the stop and lands a second later: the row still has the
      // number the pick was made for, and the menu (which could void or clear in between)
      // waits meanwhile.
      {"slow-down", "[zbt]\r\n禁用特效=真\r\n减速停止=真\r\n减速时长=1\r\n一=3\r\n二=2\r\n"
                    "三=4\r\n四=8\r\n五=10\r\n六=15\r\n七=20\r\n八=50\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    deleteFile(s.dir.file(journal_text::kFileName));
    deleteFile(secretPath());
    deleteFile(s.dir.file("jieguo.a"));
    s.writeSettings(c.settings);
    restart();
    startEvent("31415");
    ASSERT_TRUE(verifiable().on());
    ASSERT_TRUE(verifiable().mark() && verifiable().mark()->isVisible());
    const SecretFile file = *secretFile();
    EXPECT_EQ(file.event.audience, "31415");
    for (int i = 0; i < 7; ++i) {
      SCOPED_TRACE(i);
      // One designated pick, and a rehearsal landing, among them.
      const bool rehearse = i == 5;
      if (rehearse) choose(menu::kRehearsal);
      if (i == 3 && std::string(c.name) == "slow-down") {
        s.stage->draw().toggle();
        s.stage->draw().toggle();
        ASSERT_TRUE(s.stage->draw().slowingDown());
        EXPECT_FALSE(popupOpens());
        const std::size_t rows = journal().size();
        ASSERT_TRUE(QTest::qWaitFor([&] { return journal().size() == rows + 1; }, 5000));
      } else {
        drawOnce(i == 2);
      }
      if (rehearse) choose(menu::kRehearsal);
    }
    EXPECT_TRUE(popupOpens());
    std::size_t checked = 0, designated = 0, rehearsal = 0;
    for (const JournalRow& row : journal()) {
      if (row.event != JournalEvent::Win && row.event != JournalEvent::RehearsalWin) continue;
      const DrawPool pool = DrawPool::fromCounts(row.poolCounts);
      rehearsal += row.event == JournalEvent::RehearsalWin;
      if (row.designated) {
        ++designated;
        EXPECT_EQ(row.slot, pool.first());
        continue;
      }
      EXPECT_EQ(row.slot, verifiableSlot(file.event, row.sequence, pool)) << row.sequence;
      ++checked;
    }
    EXPECT_EQ(checked, 6u);
    EXPECT_EQ(designated, 1u);
    EXPECT_EQ(rehearsal, 1u);

    window().publishButton()->click();
    const JournalRow end = journal().back();
    EXPECT_EQ(end.event, JournalEvent::VerifyEnd);
    EXPECT_EQ(end.secret, hexText(file.event.secret));
    EXPECT_FALSE(pathExists(secretPath()));
    EXPECT_FALSE(verifiable().on());
    EXPECT_FALSE(verifiable().mark()->isVisible());
    EXPECT_FALSE(s.stage->draw().pickReplaced());
    window().close();
  }
}

TEST_F(VerifiableOnStage, ARestartShowsTheSameCommitmentAndResumesTheStartedEvent) {
  window().commitButton()->click();
  window().close();
  const std::optional<SecretFile> committed = secretFile();
  ASSERT_TRUE(committed);
  EXPECT_FALSE(committed->started);

  // A crash before the start: the same commitment again, it may have been photographed.
  restart();
  EXPECT_TRUE(window().startButton()->isVisibleTo(&window()));
  EXPECT_EQ(window().commitmentLabel()->text(),
            VerifiableWindow::groupedCommitment(committed->event.commitment));
  window().audienceEdit()->setText("2718");
  window().startButton()->click();
  window().close();

  restart();
  ASSERT_TRUE(verifiable().on());
  EXPECT_TRUE(verifiable().mark()->isVisible());
  EXPECT_TRUE(window().publishButton()->isVisibleTo(&window()));
  // A Space meant for the draw must not lead to ending the event.
  EXPECT_NE(window().focusWidget(), window().publishButton());
  window().close();
  drawOnce(false);
  const JournalRow row = journal().back();
  const SecretFile file = *secretFile();
  EXPECT_EQ(file.event.commitment, committed->event.commitment);
  EXPECT_EQ(row.slot,
            verifiableSlot(file.event, row.sequence, DrawPool::fromCounts(row.poolCounts)));
  EXPECT_EQ(VerifiableWindow::groupedCommitment(std::string(64, 'a')).count('\n'), 3);
  EXPECT_EQ(VerifiableWindow::groupedCommitment(std::string(64, 'a')).count(' '), 12);
}

TEST_F(VerifiableOnStage, ARowTheJournalRefusesIsReportedAndChangesNothing) {
  const std::string journalPath = s.dir.file(journal_text::kFileName);
  // Starting: the journal cannot be written.
  window().commitButton()->click();
  ASSERT_TRUE(makeDirectories(journalPath));
  MessageBoxes::clearShown();
  window().startButton()->click();
  EXPECT_EQ(MessageBoxes::shown().size(), 1u);
  EXPECT_FALSE(verifiable().on());
  EXPECT_FALSE(s.stage->draw().pickReplaced());
  EXPECT_TRUE(window().startButton()->isVisibleTo(&window()));
  ASSERT_TRUE(secretFile());
  EXPECT_FALSE(secretFile()->started) << "the file still says not started";

  // Publishing: the journal took the start, then refuses.
  ASSERT_TRUE(std::filesystem::remove(zv::testing::TempDir::native(journalPath)));
  window().startButton()->click();
  ASSERT_TRUE(verifiable().on());
  ASSERT_TRUE(deleteFile(journalPath));
  ASSERT_TRUE(makeDirectories(journalPath));
  MessageBoxes::clearShown();
  window().publishButton()->click();
  EXPECT_EQ(MessageBoxes::shown().size(), 2u);  // the question, then the report
  EXPECT_TRUE(verifiable().on());
  EXPECT_TRUE(s.stage->draw().pickReplaced());
  EXPECT_TRUE(secretFile() && secretFile()->started) << "the secret is kept";
  window().close();

  // A secret that cannot be written starts nothing; a secret file that does not read is
  // never overwritten (it may be a started event's, damaged).
  ASSERT_TRUE(std::filesystem::remove(zv::testing::TempDir::native(journalPath)));
  window().publishButton()->click();
  ASSERT_FALSE(verifiable().on());
  ASSERT_TRUE(makeDirectories(secretPath()));
  struct Case {
    const char* name;
    std::function<void()> arrange;
  };
  const std::string damaged = "密钥=00\r\n";
  const Case cases[] = {
      {"unwritable", [] {}},
      {"damaged", [&] {
         ASSERT_TRUE(std::filesystem::remove(zv::testing::TempDir::native(secretPath())));
         ASSERT_TRUE(writeWholeFileAtomically(secretPath(), damaged));
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    c.arrange();
    MessageBoxes::clearShown();
    window().commitButton()->click();
    EXPECT_EQ(MessageBoxes::shown().size(), 1u);
    EXPECT_TRUE(window().commitButton()->isVisibleTo(&window()));
    EXPECT_TRUE(window().commitmentLabel()->text().isEmpty());
  }
  EXPECT_EQ(readWholeFile(secretPath()), damaged);
}

}  // namespace
}  // namespace zv
