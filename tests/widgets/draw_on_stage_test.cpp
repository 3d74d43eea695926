// The draw on the real stage window: the keyboard path through the focus timer, the
// labels, the hot-key marker and the effect overlay.
#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

#include "dialogs/message_boxes.h"
#include "host/effects_window.h"
#include "host/movie_view.h"
#include "stage_fixture.h"
#include "store/ini_file.h"

namespace zv {
namespace {

using forms::PictureBox;
using forms::WindowTimer;
using testing::StageFixture;

class DrawStageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    s.writeSettings("[zbt]\r\nlx=真\r\n");
    s.start();
    s.form().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&s.form()));
    MessageBoxes::clearShown();
  }
  // What the focus timer does every 200 ms.
  void focusTick() { s.form().dispatch(units::kFocusTimer, forms::EventKind::Tick); }
  void space() {
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &s.form(),
                    Qt::Key_Space);
  }
  int wins() {
    int total = 0;
    for (int slot = 1; slot <= 8; ++slot) {
      total += std::atoi(
          ini::read(s.dir.file("jieguo.a"), "zjjg", "j" + std::to_string(slot)).c_str());
    }
    return total;
  }
  StageFixture s;
};

TEST_F(DrawStageTest, SpaceStartsAndStopsThroughTheFocusTimer) {
  focusTick();
  space();
  EXPECT_TRUE(s.stage->draw().rolling());
  EXPECT_TRUE(s.unit<WindowTimer>(units::kRollTimer)->isRunning());
  EXPECT_TRUE(s.unit<QWidget>(units::kStartLabel)->isHidden());
  EXPECT_FALSE(s.unit<QWidget>(units::kStopLabel)->isHidden());
  EXPECT_EQ(s.unit<forms::Button>(units::kDrawButton)->text(), "停止");

  space();
  EXPECT_FALSE(s.stage->draw().rolling());
  EXPECT_FALSE(s.unit<forms::Button>(units::kDrawButton)->isEnabled());
  space();  // the button is disabled until the landing
  space();
  EXPECT_FALSE(s.stage->draw().rolling());
  ASSERT_TRUE(QTest::qWaitFor([&] { return wins() == 1; }, 2000));
  EXPECT_TRUE(s.unit<forms::Button>(units::kDrawButton)->isEnabled());
  EXPECT_FALSE(s.unit<QWidget>(units::kStartLabel)->isHidden());
  QTest::qWait(100);
  EXPECT_EQ(wins(), 1);
}

TEST_F(DrawStageTest, SpaceTypedIntoAnEditBoxIsText) {
  auto* speed = s.unit<QLineEdit>(units::kRollIntervalEdit);
  s.unit<QWidget>(units::kPanel)->show();
  speed->setFocus();
  QTest::keyClick(speed, Qt::Key_Space);
  EXPECT_EQ(speed->text(), "30 ");
  EXPECT_FALSE(s.stage->draw().rolling());
}

TEST_F(DrawStageTest, LabelsStartAndStopAndTheOverlayComesAndGoes) {
  QTest::mousePress(s.unit<QWidget>(units::kStartLabel), Qt::LeftButton);
  EXPECT_TRUE(s.stage->draw().rolling());
  // The start label does nothing while the draw rolls; the stop label stops it.
  QTest::mousePress(s.unit<QWidget>(units::kStopLabel), Qt::LeftButton);
  EXPECT_FALSE(s.stage->draw().rolling());
  EffectsWindow* overlay = s.stage->drawStage().effectsWindow();
  ASSERT_NE(overlay, nullptr);
  EXPECT_TRUE(overlay->isVisible());
  EXPECT_EQ(overlay->parentWidget(), &s.form());
  // The stage is full screen: the effect is a layer over all of its units that never
  // takes the keyboard or the mouse.
  EXPECT_EQ(overlay->placement(), EffectsPlacement::InsideOwner);
  EXPECT_FALSE(overlay->isWindow());
  EXPECT_EQ(overlay->geometry(), s.form().rect());
  EXPECT_EQ(s.form().children().last(), overlay);
  EXPECT_EQ(overlay->focusPolicy(), Qt::NoFocus);
  EXPECT_TRUE(overlay->testAttribute(Qt::WA_TransparentForMouseEvents));
  ASSERT_TRUE(QTest::qWaitFor([&] { return wins() == 1; }, 2000));
  ASSERT_TRUE(QTest::qWaitFor([&] { return !s.stage->drawStage().effectsOpen(); }, 5000));
}

TEST_F(DrawStageTest, TheOverlayIsMadeOnceAndShownAgainForEachWin) {
  s.stage->draw().toggle();
  s.stage->draw().toggle();
  EffectsWindow* first = s.stage->drawStage().effectsWindow();
  ASSERT_NE(first, nullptr);
  ASSERT_TRUE(QTest::qWaitFor([&] { return wins() == 1; }, 2000));
  s.stage->draw().toggle();  // a new start removes the effect at once
  EXPECT_FALSE(s.stage->drawStage().effectsOpen());
  EXPECT_FALSE(first->isVisible());
  EXPECT_EQ(first->control(), nullptr) << "the movie is gone with the showing";
  s.stage->draw().toggle();
  EXPECT_EQ(s.stage->drawStage().effectsWindow(), first);
  EXPECT_TRUE(first->isVisible());
  EXPECT_TRUE(s.stage->drawStage().effectsOpen());
  ASSERT_NE(first->control(), nullptr);
  EXPECT_TRUE(static_cast<MovieView*>(first->control())->playing());
}

TEST_F(DrawStageTest, TheHotKeyMarksTheNextLanding) {
  s.writeSettings("[zbt]\r\n一=1\r\n二=1\r\n八=9\r\n禁用特效=真\r\n");
  writeWholeFileAtomically(s.dir.file("jieguo.a"), "[zjjg]\r\nj1=1\r\n");
  EXPECT_TRUE(s.form().dispatch(units::kHotKeyLabel, forms::EventKind::HotKey));
  EXPECT_FALSE(s.unit<QWidget>(units::kDesignatedMarker)->isHidden());
  s.stage->draw().toggle();
  s.stage->draw().toggle();
  ASSERT_TRUE(QTest::qWaitFor([&] { return wins() == 2; }, 2000));
  EXPECT_EQ(ini::read(s.dir.file("jieguo.a"), "zjjg", "j2"), "1");
  EXPECT_TRUE(s.unit<QWidget>(units::kDesignatedMarker)->isHidden());
}

TEST_F(DrawStageTest, AnExhaustedPoolSaysSoAndHidesTheResult) {
  s.writeSettings("[zbt]\r\n");
  s.stage->draw().toggle();
  ASSERT_EQ(MessageBoxes::shown().size(), 1u);
  EXPECT_EQ(MessageBoxes::shown()[0].title, "Zorvane信息提示");
  EXPECT_EQ(MessageBoxes::shown()[0].icon, MessageIcon::Information);
  EXPECT_NE(MessageBoxes::shown()[0].text.find("清空抽奖结果后可以再重新抽奖！"), std::string::npos);
  EXPECT_TRUE(s.unit<QWidget>(units::kResultPicture)->isHidden());
  EXPECT_FALSE(s.stage->draw().rolling());
}

TEST_F(DrawStageTest, ATallyThatCannotBeWrittenIsReportedNamingTheFile) {
  s.stage->drawStage().reportTallyNotWritten();
  ASSERT_EQ(MessageBoxes::shown().size(), 1u);
  EXPECT_NE(MessageBoxes::shown()[0].text.find("jieguo.a"), std::string::npos);
}

TEST_F(DrawStageTest, TheStageTicksItsStepsOnTheSoundDeviceOnlyWhenSwitchedOn) {
  DrawCycle& draw = s.stage->draw();
  Audio& audio = s.stage->audio();
  ASSERT_TRUE(audio.available());
  draw.toggle();
  s.stage->drawStage().setRollInterval(0);  // the steps made here, not by the timer
  for (int step = 0; step < 3; ++step) draw.rollStep();
  EXPECT_EQ(audio.ticksStarted(), 0);
  s.writeSettings("[zbt]\r\nlx=真\r\n滚动音效=真\r\n");
  for (int step = 0; step < 3; ++step) draw.rollStep();
  EXPECT_EQ(audio.ticksStarted(), 3);
  EXPECT_EQ(audio.oneShotsStarted(), 0) << "ticks on their own channel, not as one-shots";
}

}  // namespace
}  // namespace zv
