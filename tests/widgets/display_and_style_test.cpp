// Display modes, wheel size and wheel styles as the menu and the panel call them.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <filesystem>

#include "dialogs/message_boxes.h"
#include "platform/files.h"
#include "resources/artwork.h"
#include "stage_fixture.h"
#include "store/ini_file.h"

namespace zv {
namespace {

using forms::PictureBox;
using forms::TransparentLabel;
using testing::StageFixture;

std::string storedMode(const StageFixture& s) {
  return ini::read(s.dir.file("config.a"), "zbt", "界面大小");
}

TEST(DisplayMode, WindowedOnA1024By768Screen) {
  StageFixture s(QSize(1024, 768));
  s.writeSettings("[zbt]\r\n界面大小=窗口\r\n");
  s.start();
  EXPECT_EQ(s.form().frameGeometry(), QRect(0, 0, 1004, 748));
  EXPECT_FALSE(s.form().windowFlags() & Qt::FramelessWindowHint);
  EXPECT_EQ(storedMode(s), "窗口");
}

TEST(DisplayMode, SwitchingBothWaysWritesTheModeEachTime) {
  StageFixture s(QSize(1024, 768));
  MainWindow& stage = s.start();
  stage.displayModes().windowed();
  EXPECT_EQ(storedMode(s), "窗口");
  EXPECT_TRUE(s.ticked(menu::kWindowed));
  EXPECT_FALSE(s.ticked(menu::kFullScreen));

  // Windowed again keeps the place and sets the size again from the screen.
  s.form().setGeometry(30, 40, 500, 400);
  stage.displayModes().windowed();
  EXPECT_EQ(s.form().pos(), QPoint(30, 40));
  EXPECT_EQ(s.form().size(), QSize(1004, 748));

  stage.displayModes().fullScreen();
  EXPECT_EQ(s.form().geometry(), QRect(0, 0, 1024, 768));
  EXPECT_TRUE(s.form().windowFlags() & Qt::FramelessWindowHint);
  EXPECT_EQ(storedMode(s), "全屏");
  EXPECT_TRUE(s.ticked(menu::kFullScreen));
  EXPECT_FALSE(s.ticked(menu::kWindowed));
}

TEST(DisplayMode, AFailedWriteOfTheModeOrTheStyleIsReportedNamingTheFile) {
  StageFixture s(QSize(1024, 768));
  MainWindow& stage = s.start();
  MessageBoxes::clearShown();
  // A folder where the file belongs: no write can replace it.
  std::filesystem::remove(s.dir.file("config.a"));
  makeDirectories(s.dir.file("config.a"));
  stage.displayModes().windowed();
  stage.displayModes().fullScreen();
  stage.wheel().chooseStyle(3);
  ASSERT_EQ(MessageBoxes::shown().size(), 3u);
  for (const MessageRequest& shown : MessageBoxes::shown()) {
    EXPECT_NE(shown.text.find(s.dir.file("config.a")), std::string::npos) << shown.text;
  }
  // The stage still changes for this run.
  EXPECT_TRUE(s.ticked(menu::kFullScreen));
  EXPECT_TRUE(s.ticked(menu::kStyles[2]));
}

TEST(DisplayMode, MenuItemsRunTheModes) {
  StageFixture s(QSize(1024, 768));
  s.start();
  s.form().menuItem("窗口")->action()->trigger();
  EXPECT_EQ(storedMode(s), "窗口");
  s.form().menuItem("全屏")->action()->trigger();
  EXPECT_EQ(storedMode(s), "全屏");
}

TEST(WheelSize, StepsResetAndTheHiddenMenuItem) {
  StageFixture s;
  MainWindow& stage = s.start();
  auto geometry = [&](const std::string& name) { return s.unit<QWidget>(name)->geometry(); };
  const QRect placed = geometry(units::kWheel);

  stage.wheel().applySize("4");
  EXPECT_EQ(geometry(units::kWheel), QRect(placed.topLeft(), QSize(731, 731)));
  EXPECT_EQ(geometry(units::prizeBox(6)), QRect(195, 552, 152, 93));
  EXPECT_EQ(geometry(units::kStopLabel), QRect(298, 280, 138, 162));
  EXPECT_EQ(s.unit<TransparentLabel>(units::kStopLabel)->unitFont().points, 42);

  // The menu item makes one more step and is never shown.
  EXPECT_TRUE(s.form().menuItem("转盘放大")->isHidden());
  s.form().menuItem("转盘放大")->action()->trigger();
  EXPECT_EQ(geometry(units::kWheel).width(), 804);

  stage.wheel().reset();
  EXPECT_EQ(geometry(units::kWheel), placed);
  EXPECT_EQ(geometry(units::kWheelBackground), QRect(0, 0, 500, 500));
  EXPECT_EQ(geometry(units::prizeBox(1)), QRect(132, 69, 106, 65));
  EXPECT_EQ(geometry(units::prizeBox(8)), QRect(42, 172, 106, 65));
  EXPECT_EQ(geometry(units::kStartLabel), QRect(205, 192, 96, 112));
  EXPECT_EQ(s.unit<TransparentLabel>(units::kStartLabel)->unitFont().points, 30);

  // A huge stored size is clamped, so nothing overflows.
  stage.wheel().applySize("1e9");
  EXPECT_LT(geometry(units::kWheel).width(), 4000);
  stage.wheel().reset();
  stage.wheel().applySize("abc");
  EXPECT_EQ(geometry(units::kWheel).width(), 500);
}

TEST(WheelStyle, ChosenStyleIsShownTickedAndBackAfterARestart) {
  StageFixture s;
  {
    MainWindow& stage = s.start();
    s.form().menuItem("样式二")->action()->trigger();
    EXPECT_EQ(s.unit<PictureBox>(units::kWheelBackground)->picture().view(),
              artwork::wheelStyle(2));
    EXPECT_TRUE(s.ticked(menu::kStyles[1]));
    for (int other : {0, 2, 3}) EXPECT_FALSE(s.ticked(menu::kStyles[other]));
    EXPECT_EQ(ini::read(s.dir.file("config.a"), "zbt", "样式"), "zp2");
    stage.wheel().chooseStyle(4);
    EXPECT_EQ(ini::read(s.dir.file("config.a"), "zbt", "样式"), "zp4");
  }
  s.start();
  EXPECT_EQ(s.unit<PictureBox>(units::kWheelBackground)->picture().view(), artwork::wheelStyle(4));
  EXPECT_TRUE(s.ticked(menu::kStyles[3]));
  EXPECT_FALSE(s.ticked(menu::kStyles[0]));
}

TEST(WheelStyle, TheFourStylesDiffer) {
  for (int a = 1; a <= 4; ++a) {
    EXPECT_FALSE(artwork::wheelStyle(a).empty());
    for (int b = a + 1; b <= 4; ++b) EXPECT_NE(artwork::wheelStyle(a), artwork::wheelStyle(b));
  }
}

}  // namespace
}  // namespace zv
