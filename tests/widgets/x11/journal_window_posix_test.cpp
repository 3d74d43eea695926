// The journal window on POSIX: a journal that is a link to a device, or a read that would
// never end, opens the window empty without hanging the draws.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QTest>
#include <functional>

#include "app/unusable_file_reports.h"
#include "dialogs/journal_window.h"
#include "dialogs/message_boxes.h"
#include "platform/files.h"
#include "widgets/journal_on_stage.h"

namespace zv {
namespace {

using testing::JournalOnStage;

TEST_F(JournalOnStage, AJournalWindowOverADeviceLinkOrBlankLinesOpensEmptyAndReportsTheLink) {
  struct Case {
    const char* name;
    std::function<void(const std::string&)> make;
    bool reported;
  };
  const Case cases[] = {
      {"link to /dev/zero",
       [](const std::string& p) { ASSERT_EQ(::symlink("/dev/zero", p.c_str()), 0); }, true},
      {"8 MB of line breaks",
       [](const std::string& p) {
         ASSERT_TRUE(writeWholeFileAtomically(p, std::string(8 << 20, '\n')));
       },
       false},
  };
  reportUnusableFilesToTheOperator();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = s.dir.file(journal_text::kFileName);
    deleteFile(path);
    c.make(path);
    MessageBoxes::clearShown();
    ::alarm(20);  // a read that never ends fails the run instead of hanging it
    choose(menu::kJournal);
    EXPECT_EQ(s.stage->record().journalWindow()->model()->rowCount(), 0);
    const double wins = totalWins();
    s.stage->draw().toggle();
    s.stage->draw().toggle();
    EXPECT_TRUE(QTest::qWaitFor([&] { return totalWins() == wins + 1; }, 3000));
    ::alarm(0);
    QTest::qWait(50);
    int reports = 0;
    for (const auto& m : MessageBoxes::shown()) reports += m.text == unusableFileText(path);
    EXPECT_EQ(reports, c.reported ? 1 : 0);
  }
  setUnusableFileListener(nullptr);
}

}  // namespace
}  // namespace zv
