// Dragging the stage's units with the mouse, the positions written on release, and the
// stored positions at start-up.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <QWindow>
#include <filesystem>
#include <set>

#include "dialogs/message_boxes.h"
#include "platform/files.h"
#include "stage/dragging.h"
#include "stage_fixture.h"
#include "store/ini_file.h"

namespace zv {
namespace {

using testing::StageFixture;

// The mouse as the window system delivers a drag: every event to the unit pressed.
void send(QWidget* to, QEvent::Type type, QPoint global, Qt::MouseButtons held) {
  const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
  QMouseEvent event(type, to->mapFromGlobal(QPointF(global)), QPointF(global), button, held,
                    Qt::NoModifier);
  QApplication::sendEvent(to, &event);
}
void drag(QWidget* pressed, QPoint by, int steps = 3) {
  const QPoint from = pressed->mapToGlobal(QPoint(pressed->width() / 3, pressed->height() / 3));
  send(pressed, QEvent::MouseButtonPress, from, Qt::LeftButton);
  for (int i = 1; i <= steps; ++i) {
    send(pressed, QEvent::MouseMove, from + by * i / steps, Qt::LeftButton);
  }
  send(pressed, QEvent::MouseButtonRelease, from + by, Qt::NoButton);
}

// Where a unit stands among its siblings, bottom first.
int stackPlace(QWidget* unit) {
  int place = 0;
  for (QObject* sibling : unit->parent()->children()) {
    auto* w = qobject_cast<QWidget*>(sibling);
    if (!w || w->isWindow()) continue;
    if (w == unit) return place;
    ++place;
  }
  return -1;
}

class DraggingTest : public ::testing::Test {
 protected:
  void start() {
    s.start();
    s.form().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&s.form()));
  }
  QWidget* unit(const char* name) { return s.unit<QWidget>(name); }
  std::string stored(const char* key) {
    return ini::read(s.dir.file("config.a"), "zbt", key, "<absent>");
  }
  // The offscreen platform's own screen size, so that the mouse stays inside the window.
  StageFixture s{QSize(800, 800)};
};

TEST_F(DraggingTest, EachUnitFollowsTheMouseAndItsPlaceIsWrittenOnRelease) {
  const struct {
    const char* pressed;
    const char* moved;
    const char* leftKey;
    const char* topKey;
    bool titlesRaised;
  } rows[] = {
      {"外形框1", "外形框1", "外形框1左边", "外形框1顶边", true},
      {"图片框_背景", "外形框1", "外形框1左边", "外形框1顶边", false},
      {"透明标签_主标题", "透明标签_主标题", "主标题左边", "主标题顶边", false},
      {"透明标签_副标题", "透明标签_副标题", "副标题左边", "副标题顶边", false},
      {"图片框a_结果", "图片框a_结果", "中奖图片左边", "中奖图片顶边", true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.pressed);
    std::filesystem::remove(s.dir.file("config.a"));
    start();
    QWidget* moved = unit(row.moved);
    moved->show();  // the result picture shows after a win
    // The titles at the bottom of the stack, so that raising them shows.
    unit("透明标签_副标题")->lower();
    unit("透明标签_主标题")->lower();
    const QPoint before = moved->pos();

    drag(unit(row.pressed), QPoint(37, -12));

    EXPECT_EQ(moved->pos(), before + QPoint(37, -12));
    EXPECT_EQ(stored(row.leftKey), std::to_string(before.x() + 37));
    EXPECT_EQ(stored(row.topKey), std::to_string(before.y() - 12));
    const int mainTitle = stackPlace(unit("透明标签_主标题"));
    const int subtitle = stackPlace(unit("透明标签_副标题"));
    if (row.titlesRaised) {
      EXPECT_GT(mainTitle, stackPlace(moved));
      EXPECT_EQ(subtitle, mainTitle + 1);  // the main title first, then the subtitle
    } else {
      EXPECT_LT(mainTitle, 2);
      EXPECT_LT(subtitle, 2);
    }
    s.stage.reset();
  }
}

TEST_F(DraggingTest, AClickWritesTheUnchangedPlaceAndPlacesAreWholeNumbers) {
  start();
  drag(unit("透明标签_主标题"), QPoint(0, 0), 0);
  EXPECT_EQ(stored("主标题左边"), "8");
  EXPECT_EQ(stored("主标题顶边"), "15");

  // Past the window's edge is stored as it is: the operator may want it there.
  const QPoint wheel = unit("外形框1")->pos();
  drag(unit("图片框_背景"), QPoint(-wheel.x() - 120, -wheel.y() - 45));
  EXPECT_EQ(stored("外形框1左边"), "-120");
  EXPECT_EQ(stored("外形框1顶边"), "-45");
}

TEST_F(DraggingTest, AFailedWriteOfAPlaceIsReportedOnceNamingTheFile) {
  start();
  MessageBoxes::clearShown();
  std::filesystem::remove(s.dir.file("config.a"));
  makeDirectories(s.dir.file("config.a"));
  const QPoint before = unit("外形框1")->pos();
  drag(unit("图片框_背景"), QPoint(20, 10));
  ASSERT_EQ(MessageBoxes::shown().size(), 1u);
  EXPECT_NE(MessageBoxes::shown()[0].text.find(s.dir.file("config.a")), std::string::npos);
  EXPECT_EQ(unit("外形框1")->pos(), before + QPoint(20, 10));
}

TEST_F(DraggingTest, PressesOnThePrizePicturesAndTheDrawLabelsNeverMoveTheWheel) {
  s.writeSettings("[zbt]\r\nlx=真\r\n禁用特效=真\r\n");  // a draw that can start
  start();
  QWindow* window = s.form().windowHandle();
  const QPoint wheel = unit("外形框1")->pos();
  for (const char* inner : {"图片框3", "图片框7", "透明标签_开始", "透明标签_结束"}) {
    SCOPED_TRACE(inner);
    QWidget* w = unit(inner);
    ASSERT_TRUE(w->isVisible());  // the start label shows the stop label
    const QPoint at = w->mapTo(&s.form(), QPoint(w->width() / 2, w->height() / 2));
    QTest::mousePress(window, Qt::LeftButton, {}, at);
    QTest::mouseMove(window, at + QPoint(60, 40));
    QTest::mouseRelease(window, Qt::LeftButton, {}, at + QPoint(60, 40));
    EXPECT_EQ(unit("外形框1")->pos(), wheel);
  }
  EXPECT_EQ(stored("外形框1左边"), "<absent>");
  EXPECT_EQ(stored("外形框1顶边"), "<absent>");
  EXPECT_TRUE(QTest::qWaitFor([&] { return !s.stage->draw().rolling(); }, 3000));
}

TEST_F(DraggingTest, ARollingDrawKeepsRollingWhileTheWheelIsHeld) {
  s.writeSettings("[zbt]\r\nlx=真\r\n");
  start();
  QTest::mouseClick(unit("透明标签_开始"), Qt::LeftButton);
  ASSERT_TRUE(s.stage->draw().rolling());

  QWidget* background = unit("图片框_背景");
  const QPoint from = background->mapToGlobal(QPoint(20, 250));
  send(background, QEvent::MouseButtonPress, from, Qt::LeftButton);
  send(background, QEvent::MouseMove, from + QPoint(10, 5), Qt::LeftButton);
  std::set<int> highlights;
  (void)QTest::qWaitFor(
      [&] {
        highlights.insert(s.stage->draw().highlight());
        return highlights.size() >= 3;
      },
      3000);
  EXPECT_GE(highlights.size(), 3u) << "the roll stood still while the button was held";
  send(background, QEvent::MouseButtonRelease, from + QPoint(10, 5), Qt::NoButton);
  EXPECT_TRUE(s.stage->draw().rolling());
}

TEST_F(DraggingTest, ThePanelMovesForTheRunOnly) {
  start();
  const std::string before = s.settingsOnDisk();
  QWidget* panel = unit("外形框2");
  panel->show();
  drag(panel, QPoint(100, 30));
  EXPECT_EQ(panel->pos(), QPoint(108, 142));
  panel->hide();
  panel->show();
  EXPECT_EQ(panel->pos(), QPoint(108, 142));
  EXPECT_EQ(s.settingsOnDisk(), before);
}

TEST_F(DraggingTest, TheDraggedPlacesComeBackAfterARestart) {
  start();
  drag(unit("透明标签_副标题"), QPoint(200, 300));
  drag(unit("外形框1"), QPoint(-50, 70));
  const QPoint subtitle = unit("透明标签_副标题")->pos();
  const QPoint wheel = unit("外形框1")->pos();
  s.stage.reset();
  start();
  EXPECT_EQ(unit("透明标签_副标题")->pos(), subtitle);
  EXPECT_EQ(unit("外形框1")->pos(), wheel);
}

TEST_F(DraggingTest, StoredCoordinatesApplyEachOnItsOwn) {
  s.writeSettings(
      "[zbt]\r\n外形框1左边=300\r\n主标题顶边=abc\r\n副标题左边=-30.9\r\n中奖图片顶边=\r\n");
  start();
  EXPECT_EQ(unit("外形框1")->pos(), QPoint(300, 160));  // horizontally only
  EXPECT_EQ(unit("透明标签_主标题")->pos(), QPoint(8, 0));  // no number: 0
  EXPECT_EQ(unit("透明标签_副标题")->pos(), QPoint(-30, 104));  // partly off: as stored
  EXPECT_EQ(unit("图片框a_结果")->pos(), QPoint(20, 440));
}

TEST_F(DraggingTest, AUnitStoredOffThisScreenShowsAtItsEdgeAndTheFileKeepsIt) {
  s.writeSettings(
      "[zbt]\r\n外形框1左边=2500\r\n外形框1顶边=900\r\n主标题顶边=-400\r\n"
      "中奖图片左边=-5000\r\n");
  start();
  QWidget* wheel = unit("外形框1");
  EXPECT_EQ(wheel->pos(), QPoint(800 - wheel->width(), 800 - wheel->height()));
  EXPECT_EQ(unit("透明标签_主标题")->pos(), QPoint(8, 0));
  EXPECT_EQ(unit("图片框a_结果")->pos(), QPoint(0, 440));
  EXPECT_EQ(stored("外形框1左边"), "2500");
  EXPECT_EQ(stored("外形框1顶边"), "900");
  EXPECT_EQ(stored("主标题顶边"), "-400");
  EXPECT_EQ(stored("中奖图片左边"), "-5000");
}

TEST(KeptOnScreen, OnlyAUnitWhollyOffMoves) {
  const QSize area(1000, 700);
  const struct {
    QRect unit;
    QPoint shown;
  } rows[] = {
      {{100, 100, 200, 100}, {100, 100}},      // inside
      {{-199, 100, 200, 100}, {-199, 100}},    // one pixel column still shows
      {{-200, 100, 200, 100}, {0, 100}},       // wholly left of the area
      {{1000, 650, 200, 100}, {800, 650}},     // wholly right
      {{1500, 900, 200, 100}, {800, 600}},     // wholly right and below
      {{300, -5000, 200, 100}, {300, 0}},      // wholly above
      {{5000, 10, 1200, 100}, {0, 10}},        // wider than the area: its left edge
      {{-500, -500, 0, 160}, {-500, -500}},    // an empty unit shows nothing anyway
  };
  for (const auto& row : rows) {
    EXPECT_EQ(keptOnScreen(row.unit, area), row.shown)
        << row.unit.x() << "," << row.unit.y() << " " << row.unit.width();
  }
}

}  // namespace
}  // namespace zv
