// The stage after its created event, from an empty program directory and from a full
// settings file.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFontMetrics>
#include <QLineEdit>
#include <algorithm>
#include <random>

#include "layout/logic/wheel_geometry.h"
#include "resources/artwork.h"
#include "stage_fixture.h"
#include "store/ini_file.h"
#include "store/settings_keys.h"

namespace zv {
namespace {

using forms::PictureBox;
using forms::TransparentLabel;
using forms::WindowTimer;
using testing::StageFixture;

QRect geometryOf(StageFixture& s, const std::string& name) {
  return s.unit<QWidget>(name)->geometry();
}

TEST(Startup, EmptyProgramDirectory) {
  StageFixture s;
  MainWindow& stage = s.start();

  EXPECT_EQ(s.form().geometry(), QRect(0, 0, 1366, 768));
  EXPECT_TRUE(s.form().windowFlags() & Qt::FramelessWindowHint);
  EXPECT_TRUE(s.ticked(menu::kFullScreen));
  EXPECT_FALSE(s.ticked(menu::kWindowed));
  EXPECT_EQ(geometryOf(s, units::kWheel), QRect(433, 160, 500, 500));
  EXPECT_EQ(geometryOf(s, units::kMainTitle).width(), 1366);
  EXPECT_EQ(geometryOf(s, units::kSubtitle).width(), 1366);
  EXPECT_EQ(geometryOf(s, units::kCredit).topLeft(), QPoint(1066, 668));
  EXPECT_TRUE(s.unit<QWidget>(units::kCredit)->isHidden());

  EXPECT_TRUE(fileExists(s.dir.file("奖品图片")) || pathExists(s.dir.file("奖品图片")));
  EXPECT_EQ(readWholeFile(s.dir.file("config.a")), utf8ToGbk("[zbt]\r\n界面大小=全屏\r\n"));
  auto entries = s.dir.entries();
  std::sort(entries.begin(), entries.end());
  EXPECT_EQ(entries, (std::vector<std::string>{"config.a", "奖品图片"}));

  EXPECT_EQ(stage.state().prizeValues, keys::kDefaultPrizeValues);
  ASSERT_EQ(stage.state().slotList.size(), 8u);
  for (int slot = 1; slot <= 8; ++slot) {
    EXPECT_EQ(stage.state().slotList[slot - 1], s.unit<PictureBox>(units::prizeBox(slot)));
    EXPECT_TRUE(s.unit<PictureBox>(units::prizeBox(slot))->picture().empty()) << slot;
  }
  EXPECT_EQ(s.unit<PictureBox>(units::kWheelBackground)->picture().view(), artwork::wheelStyle(1));
  EXPECT_TRUE(s.ticked(menu::kStyles[0]));
  EXPECT_TRUE(s.ticked(menu::kMusicOn));
  EXPECT_FALSE(s.ticked(menu::kMusicOff));
  EXPECT_EQ(s.unit<QLineEdit>(units::kAutoStopEdit)->text(), "0");
  EXPECT_EQ(s.unit<QLineEdit>(units::kRollIntervalEdit)->text(), "30");
  EXPECT_EQ(s.unit<QLineEdit>(units::kResultWidthEdit)->text(), "200");
  EXPECT_EQ(s.unit<QLineEdit>(units::kResultHeightEdit)->text(), "160");
  EXPECT_FALSE(s.unit<QCheckBox>(units::kEffectsOffBox)->isChecked());

  // Layout states the draw relies on.
  EXPECT_FALSE(s.unit<QWidget>(units::kStartLabel)->isHidden());
  EXPECT_TRUE(s.unit<QWidget>(units::kStopLabel)->isHidden());
  EXPECT_TRUE(s.unit<QWidget>(units::kResultPicture)->isHidden());
  EXPECT_TRUE(s.unit<QWidget>(units::kPanel)->isHidden());
  EXPECT_TRUE(s.unit<QWidget>(units::kDrawButton)->isHidden());
  EXPECT_TRUE(s.unit<WindowTimer>(units::kFocusTimer)->isRunning());
  EXPECT_EQ(s.unit<WindowTimer>(units::kFocusTimer)->interval(), 200);
  EXPECT_FALSE(s.unit<WindowTimer>(units::kRollTimer)->isRunning());
  EXPECT_FALSE(s.unit<WindowTimer>(units::kAutoStopTimer)->isRunning());
  EXPECT_EQ(s.unit<forms::CommonDialog>(units::kFontDialog)->mode(),
            forms::CommonDialog::Mode::Font);

  // The wheel is round: its mask holds the centre and the rim, not the corners.
  const QRegion mask = s.unit<QWidget>(units::kWheel)->mask();
  EXPECT_TRUE(mask.contains(QPoint(250, 250)));
  EXPECT_TRUE(mask.contains(QPoint(250, 3)));
  EXPECT_TRUE(mask.contains(QPoint(3, 250)));
  EXPECT_FALSE(mask.contains(QPoint(10, 10)));
  EXPECT_FALSE(mask.contains(QPoint(490, 490)));
}

constexpr const char* kFullSettings =
    "[zbt]\r\n"
    "主标题=新年大抽奖\r\n副标题=欢迎光临\r\n"
    "外形框1左边=100\r\n外形框1顶边=120\r\n主标题左边=5\r\n主标题顶边=6\r\n"
    "副标题左边=7\r\n副标题顶边=150\r\n中奖图片左边=30\r\n中奖图片顶边=400\r\n"
    "奖品图片宽=300\r\n奖品图片高=180\r\n滚动速度=50\r\n自动停止=5\r\n禁用特效=真\r\n"
    "计次=2.9\r\n界面大小=窗口\r\n背景音乐=假\r\n样式=zp3\r\nlx=真\r\n"
    "一=3\r\n三=2.9\r\n四=abc\r\n五=-4\r\n六=１２\r\n七=\r\n八=50\r\npassword=ABJIIEBD\r\n"
    "[yanse]\r\n"
    "主标题字体=黑体\r\n主标题字体大小=36\r\n主标题字体颜色=255\r\n"
    "副标题字体=楷体\r\n副标题字体大小=20\r\n";

TEST(Startup, FullSettingsFile) {
  StageFixture s;
  s.writeSettings(kFullSettings);
  const std::string picture(artwork::builtinPrizePicture(6));
  makeDirectories(s.dir.file("奖品图片"));
  writeWholeFileAtomically(s.dir.file("奖品图片/1.jpg"), picture);
  writeWholeFileAtomically(s.dir.file("底图.jpg"), picture);
  const std::string before = readWholeFile(s.dir.file("config.a"));
  MainWindow& stage = s.start();

  auto* title = s.unit<TransparentLabel>(units::kMainTitle);
  EXPECT_EQ(title->caption(), "新年大抽奖");
  EXPECT_EQ(title->geometry(), QRect(5, 6, 1366, 110));  // the design height stays
  EXPECT_EQ(title->unitFont().face, "黑体");
  EXPECT_EQ(title->unitFont().points, 36);
  EXPECT_TRUE(title->unitFont().bold);
  EXPECT_EQ(title->textColour(), 255u);

  // No stored colour: the subtitle keeps its layout font whatever the other keys say.
  auto* subtitle = s.unit<TransparentLabel>(units::kSubtitle);
  EXPECT_EQ(subtitle->caption(), "欢迎光临");
  EXPECT_EQ(subtitle->geometry().topLeft(), QPoint(7, 150));
  EXPECT_EQ(subtitle->unitFont().face, "宋体");
  EXPECT_EQ(subtitle->unitFont().points, 30);
  EXPECT_EQ(subtitle->textColour(), 0x00FFFFu);

  // Stored left and top first, then two enlargement steps from there.
  EXPECT_EQ(geometryOf(s, units::kWheel), QRect(100, 120, 605, 605));
  EXPECT_EQ(geometryOf(s, units::kWheelBackground), QRect(0, 0, 605, 605));
  EXPECT_EQ(geometryOf(s, units::prizeBox(3)), QRect(403, 207, 127, 78));
  EXPECT_EQ(s.unit<TransparentLabel>(units::kStartLabel)->unitFont().points, 36);
  EXPECT_EQ(s.unit<QLineEdit>(units::kWheelSizeEdit)->text(), "2.9");
  EXPECT_TRUE(s.unit<QWidget>(units::kWheel)->mask().contains(QPoint(600, 302)));

  EXPECT_EQ(geometryOf(s, units::kResultPicture), QRect(30, 400, 300, 180));
  EXPECT_EQ(s.unit<QLineEdit>(units::kResultWidthEdit)->text(), "300");
  EXPECT_EQ(s.unit<QLineEdit>(units::kResultHeightEdit)->text(), "180");
  EXPECT_EQ(s.unit<QLineEdit>(units::kRollIntervalEdit)->text(), "50");
  EXPECT_EQ(s.unit<QLineEdit>(units::kAutoStopEdit)->text(), "5");
  EXPECT_TRUE(s.unit<QCheckBox>(units::kEffectsOffBox)->isChecked());

  EXPECT_EQ(s.form().size(), QSize(1346, 748));
  EXPECT_TRUE(s.ticked(menu::kWindowed));
  EXPECT_FALSE(s.ticked(menu::kFullScreen));
  EXPECT_TRUE(s.ticked(menu::kMusicOff));
  EXPECT_FALSE(s.ticked(menu::kMusicOn));
  EXPECT_TRUE(s.ticked(menu::kStyles[2]));
  EXPECT_FALSE(s.ticked(menu::kStyles[0]));
  EXPECT_EQ(s.unit<PictureBox>(units::kWheelBackground)->picture().view(), artwork::wheelStyle(3));

  // 二 and 七 missing or empty give 0, not their defaults; 六 is full-width digits.
  const std::array<std::int32_t, 8> values = {3, 0, 2, 0, -4, 12, 0, 50};
  EXPECT_EQ(stage.state().prizeValues, values);

  EXPECT_EQ(s.unit<PictureBox>(units::prizeBox(1))->picture().view(), picture);
  EXPECT_TRUE(s.unit<PictureBox>(units::prizeBox(5))->picture().empty());
  EXPECT_EQ(s.form().backgroundPicture(), picture);

  // Start-up wrote only the display mode, with the value it already had.
  EXPECT_EQ(readWholeFile(s.dir.file("config.a")), before);
}

TEST(Startup, OddValues) {
  StageFixture s;
  s.writeSettings(
      "[zbt]\r\n奖品图片宽=abc\r\n奖品图片高=-5\r\n外形框1左边=abc\r\n自动停止=0\r\n"
      "界面大小=大\r\n样式=zp9\r\n计次=-2\r\n[yanse]\r\n主标题字体=黑体\r\n");
  s.start();
  EXPECT_EQ(geometryOf(s, units::kResultPicture).size(), QSize(0, 0));
  EXPECT_EQ(s.unit<QLineEdit>(units::kResultWidthEdit)->text(), "0");
  EXPECT_EQ(s.unit<QLineEdit>(units::kResultHeightEdit)->text(), "0");
  EXPECT_EQ(geometryOf(s, units::kWheel), QRect(0, 160, 500, 500));
  EXPECT_EQ(s.unit<QLineEdit>(units::kAutoStopEdit)->text(), "0");
  EXPECT_EQ(s.unit<QLineEdit>(units::kWheelSizeEdit)->text(), "-2");
  // An unknown mode is full screen and is written over; an unknown style shows style 1
  // and leaves the tick marks as laid out.
  EXPECT_TRUE(s.ticked(menu::kFullScreen));
  EXPECT_NE(s.settingsOnDisk().find("界面大小=全屏\r\n"), std::string::npos);
  EXPECT_EQ(s.unit<PictureBox>(units::kWheelBackground)->picture().view(), artwork::wheelStyle(1));
  EXPECT_TRUE(s.ticked(menu::kStyles[0]));
  EXPECT_EQ(s.unit<TransparentLabel>(units::kMainTitle)->unitFont().face, "宋体");
}

TEST(Startup, SettingsFileOfRandomBytesStillStarts) {
  std::mt19937 random(7);
  for (int round = 0; round < 5; ++round) {
    StageFixture s;
    std::string bytes(4096, '\0');
    for (char& c : bytes) c = static_cast<char>(random());
    writeWholeFileAtomically(s.dir.file("config.a"), bytes);
    s.start();
    EXPECT_TRUE(s.ticked(menu::kFullScreen));
    EXPECT_EQ(ini::read(s.dir.file("config.a"), "zbt", "界面大小"), "全屏");
  }
}

TEST(Startup, TitlesAndWheelLabelsHaveTheirGlyphs) {
  StageFixture s;
  s.start();
  for (const char* name :
       {units::kMainTitle, units::kSubtitle, units::kStartLabel, units::kStopLabel}) {
    auto* label = s.unit<TransparentLabel>(name);
    const QFontMetrics metrics(label->font());
    for (const char32_t c : label->caption().toStdU32String()) {
      if (c == U' ') continue;
      EXPECT_TRUE(metrics.inFontUcs4(c)) << name << " lacks U+" << std::hex << unsigned(c);
    }
  }
}

}  // namespace
}  // namespace zv
