// 减速停止 on the real stage with its real clock: where the highlight comes to rest is the
// slot tallied in the results file and the slot of the journal's row.
#include <QTest>
#include <cstdlib>

#include "journal_on_stage.h"

namespace zv {
namespace {

using testing::JournalOnStage;

TEST_F(JournalOnStage, ASlowDownRestsWhereTheTallyAndTheJournalSayItLanded) {
  s.writeSettings(
      "[zbt]\r\n禁用特效=真\r\n减速停止=真\r\n减速时长=1\r\n一=1\r\n二=2\r\n三=4\r\n四=8\r\n"
      "五=10\r\n六=15\r\n七=20\r\n八=50\r\n");
  DrawCycle& draw = s.stage->draw();
  for (int round = 0; round < 3; ++round) {
    SCOPED_TRACE(round);
    const std::array<std::string, 8> before = talliesOnDisk();
    draw.toggle();
    QTest::qWait(40 * round + 10);
    draw.toggle();
    ASSERT_TRUE(draw.slowingDown());
    draw.toggle();  // a stop request while slowing down does nothing
    EXPECT_FALSE(draw.rolling());
    EXPECT_EQ(talliesOnDisk(), before);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !draw.slowingDown(); }, 3000));
    const int slot = draw.highlight();
    ASSERT_TRUE(isSlot(slot));
    ASSERT_FALSE(journal().empty());
    EXPECT_EQ(journal().back().slot, slot);
    EXPECT_EQ(std::atoi(talliesOnDisk()[slot - 1].c_str()),
              std::atoi(before[slot - 1].c_str()) + 1);
    EXPECT_EQ(journal().size(), static_cast<std::size_t>(round + 1));
  }
}

}  // namespace
}  // namespace zv
