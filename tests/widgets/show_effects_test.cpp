// The 演出效果 menu and the winner close-up on the real stage: the switches stored and
// ticked, a thousand slowed-down draws on a fake clock whose rest, tally, journal row and
// close-up all name one slot, and, with every switch off, the files of today's draw.
#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QTest>
#include <filesystem>
#include <regex>

#include "journal_on_stage.h"
#include "stage/close_up_view.h"

namespace zv {
namespace {

using testing::StageFixture;

constexpr const char* kValues =
    "一=50\r\n二=100\r\n三=150\r\n四=200\r\n五=250\r\n六=300\r\n七=350\r\n八=400\r\n";

// Eight prize pictures of eight colours: the close-up's picture tells its slot.
void writePrizePictures(const StageFixture& s) {
  const std::string folder = s.dir.file("奖品图片");
  makeDirectories(folder);
  for (int slot = 1; slot <= 8; ++slot) {
    QImage image(64, 48, QImage::Format_RGB888);
    image.fill(QColor::fromHsv(slot * 40, 200, 220));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG");
    writeWholeFileAtomically(folder + "/" + std::to_string(slot) + ".jpg", bytes.toStdString());
  }
}

// A stage whose draws run on a clock the test moves: the roll timer never fires by itself
// (no event loop runs), each step is the test's.
class FakeClockStage {
 public:
  explicit FakeClockStage(const std::string& settings) {
    s.writeSettings("[zbt]\r\n禁用特效=真\r\n" + std::string(kValues) + settings);
    writePrizePictures(s);
    s.start();
    s.stage->drawStage().setClock([this] { return now; });
    s.stage->random().setClock([this] { return now; });
  }
  DrawCycle& draw() { return s.stage->draw(); }
  void step(std::uint32_t ms) {
    now += ms;
    draw().rollStep();
  }
  // Start, `steps` roll steps, stop, and steps of `tick` ms until the draw is ready again.
  void drawOnce(int steps, std::uint32_t tick) {
    draw().toggle();
    for (int i = 0; i < steps; ++i) step(30);
    draw().toggle();
    for (int i = 0; draw().rolling() || draw().slowingDown() || i == 0; ++i) {
      ASSERT_LT(i, 100'000) << "never came to rest";
      step(tick);
    }
  }
  CloseUpView* closeUp() { return s.form().findChild<CloseUpView*>(); }
  std::string file(const char* name) { return readWholeFile(s.dir.file(name)); }

  StageFixture s;
  std::uint32_t now = 5'000;
};

std::vector<JournalRow> journalOf(FakeClockStage& stage) {
  return parseJournal(stage.file(journal_text::kFileName)).rows;
}

TEST(ShowEffectsMenu, TicksFollowTheStoredSwitchesAndAClickFlipsAndStoresOne) {
  struct Case {
    const char* settings;
    std::array<bool, 4> ticked;
  };
  for (const Case& c : {Case{"", {false, false, false, true}},
                        Case{"减速停止=真\r\n滚动音效=真\r\n中奖特写=真\r\n烟花平滑=假\r\n",
                             {true, true, true, false}}}) {
    SCOPED_TRACE(c.settings);
    StageFixture s;
    s.writeSettings(std::string("[zbt]\r\n") + c.settings);
    s.start();
    for (int i = 0; i < 4; ++i) EXPECT_EQ(s.ticked(menu::kShowEffectItems[i]), c.ticked[i]) << i;
    for (int i = 0; i < 4; ++i) {
      s.form().menuItem(QString::fromUtf8(menu::kShowEffectItems[i]))->action()->trigger();
      EXPECT_EQ(s.ticked(menu::kShowEffectItems[i]), !c.ticked[i]) << i;
    }
    const std::string stored = s.settingsOnDisk();
    for (int i = 0; i < 4; ++i) {
      const std::string line =
          std::string(menu::kShowEffectItems[i]) + "=" + (c.ticked[i] ? "假" : "真");
      EXPECT_NE(stored.find(line), std::string::npos) << line << "\n" << stored;
    }
  }
}

TEST(ShowEffectsMenu, AFailedWriteIsReportedAndTheTickShowsWhatIsStored) {
  StageFixture s;
  s.start();
  MessageBoxes::clearShown();
  std::filesystem::remove(s.dir.file("config.a"));
  makeDirectories(s.dir.file("config.a"));  // no write can replace a folder
  for (const char* item : menu::kShowEffectItems) {
    s.form().menuItem(QString::fromUtf8(item))->action()->trigger();
  }
  ASSERT_EQ(MessageBoxes::shown().size(), 4u);
  EXPECT_NE(MessageBoxes::shown()[0].text.find(s.dir.file("config.a")), std::string::npos);
  // Nothing stored: each shows its default.
  EXPECT_FALSE(s.ticked(menu::kShowEffectItems[0]));
  EXPECT_FALSE(s.ticked(menu::kShowEffectItems[2]));
  EXPECT_TRUE(s.ticked(menu::kShowEffectItems[3]));
}

TEST(WinnerCloseUp, AThousandSlowedDrawsRestTallyRecordAndShowOneSlot) {
  FakeClockStage stage("减速停止=真\r\n减速时长=1\r\n中奖特写=真\r\n");
  std::array<PictureData, 8> pictures;
  for (int slot = 1; slot <= 8; ++slot) {
    pictures[slot - 1] = stage.s.stage->drawStage().slotPicture(slot);
    for (int other = 1; other < slot; ++other) ASSERT_NE(pictures[slot - 1], pictures[other - 1]);
  }
  std::array<double, 8> expected{};
  std::vector<int> rests;
  constexpr int kDraws = 1000;
  for (int draw = 0; draw < kDraws; ++draw) {
    SCOPED_TRACE(draw);
    // Steps before the stop 0..12 (0: before the first step), late ticks of 7..106 ms.
    ASSERT_NO_FATAL_FAILURE(stage.drawOnce(draw % 13, 7 + (draw * 37) % 100));
    const int rest = stage.draw().highlight();
    ASSERT_TRUE(rest >= 1 && rest <= 8);
    for (int slot = 1; slot <= 8; ++slot) {
      const auto* box = stage.s.unit<forms::PictureBox>(units::prizeBox(slot));
      ASSERT_EQ(box->border() == forms::PictureBox::Border::Raised, slot == rest) << slot;
    }
    ++expected[rest - 1];
    ASSERT_EQ(ResultsFile(stage.s.dir.file("jieguo.a")).tallies(), expected);
    ASSERT_TRUE(stage.closeUp()->showing());
    ASSERT_EQ(stage.closeUp()->picture(), pictures[rest - 1]);
    rests.push_back(rest);
  }
  const std::vector<JournalRow> rows = journalOf(stage);
  ASSERT_EQ(rows.size(), rests.size());
  for (std::size_t i = 0; i < rows.size(); ++i) ASSERT_EQ(rows[i].slot, rests[i]) << i;
  // The last close-up names the last row.
  EXPECT_EQ(
      stage.closeUp()->caption().toStdString(),
      "第 " + std::to_string(rows.back().sequence) + " 次抽奖 · " + timeOfDay(rows.back().time));
  EXPECT_EQ(stage.closeUp()->title().toStdString(), "恭喜中奖");
}

TEST(WinnerCloseUp, WithEverySwitchOffTheFilesAreThoseOfTheSameSeedWithoutThem) {
  auto run = [](const std::string& settings) {
    FakeClockStage stage(settings);
    for (int draw = 0; draw < 150; ++draw) {
      stage.drawOnce(draw % 11, 30);
      EXPECT_FALSE(stage.closeUp()->showing());
    }
    // The journal's times are the wall clock's, and each row's 链值 covers its time: both
    // compared as marks.
    static const std::regex time(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d [+-]\d\d:\d\d)");
    static const std::regex chain(R"(,[0-9a-f]{64}\r\n)");
    const std::string journal = std::regex_replace(stage.file(journal_text::kFileName), time, "T");
    return std::pair(stage.file("jieguo.a"), std::regex_replace(journal, chain, ",C\r\n"));
  };
  const auto absent = run("");
  const auto off = run("减速停止=假\r\n滚动音效=假\r\n中奖特写=假\r\n烟花平滑=假\r\n");
  EXPECT_FALSE(absent.first.empty());
  EXPECT_EQ(absent.first, off.first);
  EXPECT_EQ(absent.second, off.second);
}

class CloseUpOnStage : public testing::JournalOnStage {};

TEST_F(CloseUpOnStage, SpaceOrAClickOnlyClosesItAndRehearsalSaysSo) {
  s.writeSettings("[zbt]\r\n禁用特效=真\r\n中奖特写=真\r\n" + std::string(kValues));
  restart();
  auto* view = s.form().findChild<CloseUpView*>();
  ASSERT_TRUE(view);
  draw();
  ASSERT_TRUE(view->showing());
  EXPECT_EQ(view->focusPolicy(), Qt::NoFocus);
  EXPECT_EQ(view->geometry(), s.form().rect());  // the stage's monitor, no more
  // It grows from the slot to about 40 % of the stage's height, centred.
  QTest::qWait(close_up::kGrowMilliseconds + 100);
  EXPECT_GT(view->pictureRect().height(), 0.39 * s.form().height());
  EXPECT_LT(view->pictureRect().height(), 0.41 * s.form().height());
  EXPECT_NEAR(view->pictureRect().center().x(), s.form().width() / 2.0, 1.0);

  // Space through the draw's key target: the first closes it and starts nothing.
  s.form().dispatch(units::kFocusTimer, forms::EventKind::Tick);
  QWidget* keys = QApplication::focusWidget();
  ASSERT_TRUE(keys);
  const std::size_t rows = journal().size();
  QTest::keyClick(keys, Qt::Key_Space);
  EXPECT_FALSE(view->showing());
  EXPECT_FALSE(s.stage->draw().rolling());
  QTest::keyClick(keys, Qt::Key_Space);
  EXPECT_TRUE(s.stage->draw().rolling());
  QTest::keyClick(keys, Qt::Key_Space);
  ASSERT_TRUE(QTest::qWaitFor([&] { return journal().size() == rows + 1; }, 3000));
  ASSERT_TRUE(view->showing());
  EXPECT_EQ(QApplication::focusWidget(), keys);  // it never took the keyboard

  QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_FALSE(view->showing());

  choose(menu::kRehearsal);
  draw();
  EXPECT_EQ(view->title().toStdString(), "彩排");
  EXPECT_EQ(view->caption().toStdString(), "第 " + std::to_string(journal().back().sequence) +
                                               " 次抽奖 · " + timeOfDay(journal().back().time));
  // Switched off in the menu: it closes, and the next landing shows none.
  choose(menu::kShowEffectItems[2]);
  EXPECT_FALSE(view->showing());
  draw();
  EXPECT_FALSE(view->showing());
}

}  // namespace
}  // namespace zv
