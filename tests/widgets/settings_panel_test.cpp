// The other-settings panel on the real stage: opening and closing it, the keyboard while
// it is open, what Save writes and applies, and what the next start shows.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <filesystem>

#include "dialogs/message_boxes.h"
#include "stage_fixture.h"
#include "store/ini_file.h"
#include "store/settings_keys.h"

namespace zv {
namespace {

using forms::WindowTimer;
using testing::StageFixture;

class Panel : public ::testing::Test {
 protected:
  void SetUp() override {
    s.writeSettings("[zbt]\r\nlx=真\r\n");
    startShown();
    MessageBoxes::clearShown();
  }
  void startShown() {
    s.start();
    s.form().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&s.form()));
  }
  void restart() {
    s.stage.reset();
    startShown();
  }
  void open() { s.form().menuItem("其它设置")->action()->trigger(); }
  void closeMark() { QTest::mousePress(s.unit<QWidget>("标签8"), Qt::LeftButton); }
  void save() { QTest::mouseClick(s.unit<QWidget>("按钮_保存"), Qt::LeftButton); }
  QLineEdit* edit(const char* name) { return s.unit<QLineEdit>(name); }
  void type(const char* name, const QString& text) {
    edit(name)->setFocus();
    edit(name)->selectAll();
    QTest::keyClick(edit(name), Qt::Key_Backspace);
    QTest::keyClicks(edit(name), text);
  }
  QWidget* panel() { return s.unit<QWidget>(units::kPanel); }
  WindowTimer* focusTimer() { return s.unit<WindowTimer>(units::kFocusTimer); }
  std::string stored(std::string_view key) { return s.stage->settings().general(key); }
  void focusTick() { s.form().dispatch(units::kFocusTimer, forms::EventKind::Tick); }
  void space() {
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : &s.form();
    QTest::keyClick(target, Qt::Key_Space);
  }
  QRect wheel() { return s.unit<QWidget>(units::kWheel)->geometry(); }

  StageFixture s;
};

TEST_F(Panel, OpensOnTopWithTheFocusTimerStoppedAndClosesWithItsMark) {
  EXPECT_TRUE(panel()->isHidden());
  open();
  EXPECT_TRUE(panel()->isVisible());
  EXPECT_EQ(panel()->parentWidget()->children().last(), panel()) << "not on top";
  EXPECT_FALSE(focusTimer()->isRunning());
  EXPECT_EQ(focusTimer()->interval(), 0);

  closeMark();
  EXPECT_TRUE(panel()->isHidden());
  EXPECT_TRUE(focusTimer()->isRunning());
  EXPECT_EQ(focusTimer()->interval(), 200);
}

TEST_F(Panel, SpaceTypesIntoThePanelWhileItIsOpenAndDrivesTheDrawOnceClosed) {
  focusTick();  // the keyboard at the draw, as every 200 ms
  open();
  space();
  EXPECT_FALSE(s.stage->draw().rolling()) << "Space started a draw under the open panel";
  EXPECT_EQ(edit(units::kResultWidthEdit)->text(), "200 ");

  type(units::kRollIntervalEdit, "4 5");
  EXPECT_EQ(edit(units::kRollIntervalEdit)->text(), "4 5");
  EXPECT_FALSE(s.stage->draw().rolling());

  closeMark();
  space();
  EXPECT_TRUE(s.stage->draw().rolling()) << "Space does not reach the draw after closing";
}

TEST_F(Panel, ADisplayModeSwitchLeavesTheKeyboardInTheOpenPanel) {
  open();
  type(units::kRollIntervalEdit, "45");
  s.stage->displayModes().windowed();
  QCoreApplication::processEvents();
  EXPECT_EQ(s.form().focusWidget(), edit(units::kRollIntervalEdit)) << "the panel lost the keyboard";
  s.stage->displayModes().fullScreen();
  QCoreApplication::processEvents();
  ASSERT_TRUE(panel()->isAncestorOf(s.form().focusWidget()));
  QTest::keyClick(s.form().focusWidget(), Qt::Key_Space);
  EXPECT_FALSE(s.stage->draw().rolling()) << "Space started a draw under the open panel";

  // Closed, the keyboard goes back to the draw.
  closeMark();
  EXPECT_FALSE(panel()->isAncestorOf(s.form().focusWidget()));
}

TEST_F(Panel, TypedSpeedAutoStopAndEffectsSwitchApplyToTheNextDrawWithoutSave) {
  open();
  type(units::kRollIntervalEdit, "70");
  type(units::kAutoStopEdit, "2");
  s.unit<QCheckBox>(units::kEffectsOffBox)->setChecked(true);
  closeMark();

  s.stage->draw().startLabelPressed();
  EXPECT_EQ(s.unit<WindowTimer>(units::kRollTimer)->interval(), 70);
  EXPECT_EQ(s.unit<WindowTimer>(units::kAutoStopTimer)->interval(), 2000);
  EXPECT_TRUE(s.stage->drawStage().effectsOff());
  EXPECT_EQ(stored(keys::kRollInterval), "");
  EXPECT_EQ(stored(keys::kAutoStop), "");
  s.stage->draw().stopLabelPressed();

  // Typed values stay in the boxes while the panel is closed and opened again.
  open();
  EXPECT_EQ(edit(units::kRollIntervalEdit)->text(), "70");
  EXPECT_EQ(edit(units::kAutoStopEdit)->text(), "2");
}

TEST_F(Panel, SaveWritesEveryFieldAsTypedAndAppliesTheSizes) {
  QWidget* w = s.unit<QWidget>(units::kWheel);
  w->move(40, 30);  // moved by the operator
  open();
  type(units::kResultWidthEdit, "300");
  type(units::kResultHeightEdit, "12.9");
  type(units::kRollIntervalEdit, "1e9");
  s.unit<QCheckBox>(units::kEffectsOffBox)->setChecked(true);
  type(units::kAutoStopEdit, "0");
  type(units::kWheelSizeEdit, "2.7");
  save();

  EXPECT_EQ(stored(keys::kResultWidth), "300");
  EXPECT_EQ(stored(keys::kResultHeight), "12.9");
  EXPECT_EQ(stored(keys::kRollInterval), "1e9");
  EXPECT_EQ(stored(keys::kEffectsOff), "真");
  EXPECT_EQ(stored(keys::kAutoStop), "0");
  EXPECT_EQ(stored(keys::kWheelSize), "2.7");
  EXPECT_EQ(s.unit<QWidget>(units::kResultPicture)->size(), QSize(300, 12));
  EXPECT_EQ(wheel(), QRect(40, 30, 605, 605)) << "the moved wheel lost its place";
  // The outline is one pixel larger than the unit, as at start-up.
  EXPECT_EQ(w->mask().boundingRect().size(), QSize(606, 606)) << "the outline was not redone";
  EXPECT_TRUE(panel()->isHidden());
  EXPECT_EQ(focusTimer()->interval(), 200);
  EXPECT_TRUE(MessageBoxes::shown().empty()) << "Save shows no message";

  // A huge interval is kept as typed but rolls at ten seconds, and the draw still lands.
  s.stage->draw().startLabelPressed();
  EXPECT_EQ(s.unit<WindowTimer>(units::kRollTimer)->interval(), 10'000);
  s.stage->draw().stopLabelPressed();

  // The same two steps at the next start; the outline fits the wheel from the first.
  restart();
  EXPECT_EQ(wheel().size(), QSize(605, 605));
  EXPECT_EQ(edit(units::kWheelSizeEdit)->text(), "2.7");
  EXPECT_EQ(s.unit<QWidget>(units::kResultPicture)->size(), QSize(300, 12));
  EXPECT_EQ(edit(units::kResultHeightEdit)->text(), "12");
  EXPECT_TRUE(s.unit<QCheckBox>(units::kEffectsOffBox)->isChecked());
}

TEST_F(Panel, SavingSizeZeroUndoesAnyEnlargementAndSavingTwiceGivesTheSameWheel) {
  s.form().menuItem("转盘放大")->action()->trigger();
  s.form().menuItem("转盘放大")->action()->trigger();
  ASSERT_EQ(wheel().width(), 605);
  open();
  save();  // the box still reads "0"
  EXPECT_EQ(wheel().size(), QSize(500, 500));
  EXPECT_EQ(s.unit<QWidget>(units::kStopLabel)->geometry(), QRect(205, 192, 96, 112));

  open();
  type(units::kWheelSizeEdit, "1");
  save();
  open();
  save();
  EXPECT_EQ(wheel().size(), QSize(550, 550));
}

TEST_F(Panel, AnEmptyWidthVanishesThePictureUntilTheNextStartShowsTheDesignSize) {
  open();
  type(units::kResultWidthEdit, "");
  save();
  EXPECT_EQ(stored(keys::kResultWidth), "");
  EXPECT_TRUE(ini::read(s.dir.file("config.a"), "zbt", "奖品图片宽").empty());
  EXPECT_EQ(s.unit<QWidget>(units::kResultPicture)->width(), 0);

  restart();
  EXPECT_EQ(s.unit<QWidget>(units::kResultPicture)->size(), QSize(200, 160));
  EXPECT_EQ(edit(units::kResultWidthEdit)->text(), "200");
  EXPECT_EQ(edit(units::kResultHeightEdit)->text(), "160");
}

TEST_F(Panel, StoredValuesAtStartUp) {
  const struct {
    const char* lines;
    bool effectsOff;
    const char* autoStop;
    const char* interval;
    QSize result;
  } cases[] = {
      {"禁用特效=真\r\n", true, "0", "30", {200, 160}},
      {"禁用特效=假\r\n自动停止=0\r\n", false, "0", "30", {200, 160}},
      {"禁用特效=1\r\n自动停止=\r\n滚动速度=\r\n", false, "0", "30", {200, 160}},
      {"禁用特效=\r\n自动停止=7\r\n滚动速度=55\r\n", false, "7", "55", {200, 160}},
      {"奖品图片宽=abc\r\n奖品图片高=-5\r\n", false, "0", "30", {0, 0}},
      {"奖品图片宽=99999\r\n奖品图片高=240\r\n", false, "0", "30", {16000, 240}},
  };
  for (const auto& c : cases) {
    s.writeSettings(std::string("[zbt]\r\nlx=真\r\n") + c.lines);
    restart();
    EXPECT_EQ(s.unit<QCheckBox>(units::kEffectsOffBox)->isChecked(), c.effectsOff) << c.lines;
    EXPECT_EQ(edit(units::kAutoStopEdit)->text(), c.autoStop) << c.lines;
    EXPECT_EQ(edit(units::kRollIntervalEdit)->text(), c.interval) << c.lines;
    EXPECT_EQ(s.unit<QWidget>(units::kResultPicture)->size(), c.result) << c.lines;
    EXPECT_EQ(edit(units::kResultWidthEdit)->text(), QString::number(c.result.width()));
  }
}

TEST_F(Panel, TheDraggedPanelOpensWhereItWasLeftUntilTheNextStart) {
  open();
  panel()->move(300, 250);  // as a drag leaves it
  closeMark();
  open();
  EXPECT_EQ(panel()->pos(), QPoint(300, 250));
  restart();
  EXPECT_EQ(panel()->pos(), QPoint(8, 112));
}

TEST_F(Panel, ARightPressOnTheSizeLabelOpensThePopupButNotOnTheFields) {
  open();
  QMenu* popup = s.form().popupMenu();
  for (const char* unit :
       {units::kResultWidthEdit, units::kResultHeightEdit, units::kRollIntervalEdit,
        units::kEffectsOffBox, units::kAutoStopEdit, units::kWheelSizeEdit, "按钮_保存"}) {
    QTest::mousePress(s.unit<QWidget>(unit), Qt::RightButton, {}, QPoint(3, 3));
    EXPECT_FALSE(popup->isVisible()) << unit;
    popup->hide();
  }
  EXPECT_TRUE(panel()->isVisible());
  QTest::mousePress(s.unit<QWidget>("标签2"), Qt::RightButton, {}, QPoint(3, 3));
  EXPECT_TRUE(popup->isVisible());
  popup->hide();
}

TEST_F(Panel, AFailedWriteIsReportedNamingTheFileAndTheSizesStillApply) {
  std::filesystem::remove(s.dir.file("config.a"));
  std::filesystem::create_directory(s.dir.file("config.a"));
  open();
  type(units::kWheelSizeEdit, "1");
  save();
  ASSERT_EQ(MessageBoxes::shown().size(), 1u);
  EXPECT_NE(MessageBoxes::shown()[0].text.find(s.dir.file("config.a")), std::string::npos);
  EXPECT_EQ(wheel().size(), QSize(550, 550));
  EXPECT_TRUE(panel()->isHidden());
}

}  // namespace
}  // namespace zv
