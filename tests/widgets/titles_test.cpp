// The titles' texts and fonts from the popup menu, and how they come back at start-up.
#include <QColorDialog>
#include <QComboBox>
#include <QPushButton>
#include <QFontMetrics>
#include <QLineEdit>
#include <QListWidget>
#include <cmath>
#include <filesystem>
#include <string_view>
#include <gtest/gtest.h>

#include "dialogs/font_picker.h"
#include "dialogs/input_boxes.h"
#include "dialogs/message_boxes.h"
#include "forms/logic/font_numbers.h"
#include "platform/files.h"
#include "platform/qt/fonts.h"
#include "stage_fixture.h"
#include "store/ini_file.h"
#include "titles_fixture.h"

namespace zv {
namespace {

using testing::StageFixture;
using testing::Titles;

TEST_F(Titles, TheBoxOffersTheStoredTextOrItsDefaultAndCancelChangesNothing) {
  start();
  const std::string before = s.settingsOnDisk();
  InputBoxes::setNextAnswer(std::nullopt);
  choose("主标题");
  InputBoxes::setNextAnswer(std::nullopt);
  choose("副标题");
  EXPECT_EQ(InputBoxes::asked(), (std::deque<std::string>{"请输入主标题", "请输入副标题"}));
  // The defaults are offered while the stage still shows the layout's captions.
  EXPECT_EQ(InputBoxes::offered(),
            (std::deque<std::string>{"购物有奖活动", "---现场抽奖仪式---"}));
  EXPECT_EQ(title()->caption(), "某某大卖场购物有奖活动");
  EXPECT_EQ(subtitle()->caption(), "--- 现场抽奖仪式 ---");
  EXPECT_EQ(s.settingsOnDisk(), before);
}

TEST_F(Titles, OkShowsAndStoresTheTextAndTheBoxThenOffersIt) {
  start();
  InputBoxes::setNextAnswer("新春 抽奖");
  choose("主标题");
  InputBoxes::setNextAnswer("欢迎光临");
  choose("副标题");
  EXPECT_EQ(title()->caption(), "新春 抽奖");
  EXPECT_EQ(subtitle()->caption(), "欢迎光临");
  EXPECT_EQ(stored("zbt", "主标题"), "新春 抽奖");
  EXPECT_EQ(stored("zbt", "副标题"), "欢迎光临");

  InputBoxes::clearAsked();
  InputBoxes::setNextAnswer(std::nullopt);
  choose("主标题");
  EXPECT_EQ(InputBoxes::offered().back(), "新春 抽奖");
  EXPECT_EQ(title()->caption(), "新春 抽奖");
}

TEST_F(Titles, AnEmptyTitleIsStoredEmptyAndARestartShowsTheLayoutCaption) {
  start();
  InputBoxes::setNextAnswer("");
  choose("主标题");
  EXPECT_EQ(title()->caption(), "");
  EXPECT_EQ(stored("zbt", "主标题"), "");  // present, and empty

  start();
  EXPECT_EQ(title()->caption(), "某某大卖场购物有奖活动");
  InputBoxes::clearAsked();
  InputBoxes::setNextAnswer(std::nullopt);
  choose("主标题");
  EXPECT_EQ(InputBoxes::offered().back(), "");  // the stored empty text, not the default
}

TEST_F(Titles, CancellingTheFontDialogStillStoresTheFontAndSetsTheHeight) {
  start();
  const QRect before = title()->geometry();
  FontPicker::setNextAnswer(std::nullopt);
  choose("主标题字体");
  FontPicker::setNextAnswer(std::nullopt);
  choose("副标题字体");

  // The first time the dialog starts from the layout's font of the title.
  ASSERT_EQ(FontPicker::offered().size(), 2u);
  EXPECT_EQ(FontPicker::offered()[0], (FontChoice{"宋体", 50, true, false, false, false, 65535}));

  EXPECT_EQ(stored("yanse", "主标题字体"), "宋体");
  EXPECT_EQ(stored("yanse", "主标题字体大小"), "50");
  EXPECT_EQ(stored("yanse", "主标题字体颜色"), "65535");
  EXPECT_EQ(stored("yanse", "副标题字体"), "宋体");
  EXPECT_EQ(stored("yanse", "副标题字体大小"), "30");
  EXPECT_EQ(stored("yanse", "副标题字体颜色"), "65535");
  EXPECT_EQ(title()->geometry(), QRect(before.topLeft(), QSize(before.width(), 90)));
  EXPECT_EQ(subtitle()->height(), 54);
  EXPECT_EQ(title()->unitFont().face, "宋体");
  EXPECT_TRUE(title()->unitFont().bold);

  // From now on the stored font applies at start-up.
  start();
  EXPECT_EQ(title()->unitFont().points, 50);
  EXPECT_EQ(subtitle()->unitFont().points, 30);
  EXPECT_EQ(title()->textColour(), 65535u);
  EXPECT_EQ(title()->height(), 110);  // the layout's height
}

TEST_F(Titles, ABoldItalicUnderlinedFontComesBackAsFaceSizeAndColourWithTheLayoutsBold) {
  start();
  FontPicker::setNextAnswer(FontChoice{"黑体", 36, false, true, true, true, 255});
  choose("主标题字体");
  EXPECT_EQ(title()->unitFont().face, "黑体");
  EXPECT_EQ(title()->unitFont().points, 36);
  EXPECT_FALSE(title()->unitFont().bold);
  EXPECT_TRUE(title()->unitFont().italic);
  EXPECT_TRUE(title()->unitFont().underline);
  EXPECT_TRUE(title()->unitFont().strikeOut);
  EXPECT_TRUE(title()->font().italic());
  EXPECT_EQ(title()->textColour(), 255u);
  EXPECT_EQ(title()->height(), 64);
  EXPECT_EQ(stored("yanse", "主标题字体"), "黑体");
  EXPECT_EQ(stored("yanse", "主标题字体大小"), "36");
  EXPECT_EQ(stored("yanse", "主标题字体颜色"), "255");
  EXPECT_EQ(stored("yanse", "副标题字体颜色"), "<absent>");

  start();
  const forms::UnitFont& font = title()->unitFont();
  EXPECT_EQ(font.face, "黑体");
  EXPECT_EQ(font.points, 36);
  EXPECT_TRUE(font.bold);  // the layout's
  EXPECT_FALSE(font.italic);
  EXPECT_FALSE(font.underline);
  EXPECT_FALSE(font.strikeOut);
  EXPECT_EQ(title()->textColour(), 255u);
  EXPECT_EQ(title()->height(), 110);
  // The subtitle was never changed: the layout's font.
  EXPECT_EQ(subtitle()->unitFont().face, "宋体");
  EXPECT_EQ(subtitle()->unitFont().points, 30);
}

TEST_F(Titles, TheDialogStartsFromTheChoiceLastConfirmedForEitherTitle) {
  start();
  const FontChoice blue{"楷体", 20, false, false, false, false, 16711680};
  FontPicker::setNextAnswer(blue);
  choose("副标题字体");
  EXPECT_EQ(subtitle()->height(), 36);
  EXPECT_EQ(stored("yanse", "副标题字体颜色"), "16711680");

  FontPicker::setNextAnswer(std::nullopt);
  choose("主标题字体");
  FontPicker::setNextAnswer(std::nullopt);
  choose("副标题字体");
  ASSERT_EQ(FontPicker::offered().size(), 3u);
  EXPECT_EQ(FontPicker::offered()[1], blue);  // not the main title's own font
  EXPECT_EQ(FontPicker::offered()[2], blue);  // a cancel is no new choice
  // Cancelled: the main title keeps and stores its own font.
  EXPECT_EQ(stored("yanse", "主标题字体"), "宋体");
  EXPECT_EQ(title()->textColour(), 65535u);
}

TEST_F(Titles, AFaceThatIsNotInstalledIsKeptByNameAndDrawnWithChineseGlyphs) {
  s.writeSettings("[yanse]\r\n主标题字体=方正不存在体\r\n主标题字体大小=40\r\n主标题字体颜色=255\r\n");
  start();
  EXPECT_EQ(title()->unitFont().face, "方正不存在体");
  const QFontMetrics metrics(title()->font());
  for (char32_t c : std::u32string_view(U"某大卖场购物有奖活动")) EXPECT_TRUE(metrics.inFontUcs4(c));

  FontPicker::setNextAnswer(std::nullopt);
  choose("主标题字体");
  EXPECT_EQ(stored("yanse", "主标题字体"), "方正不存在体");  // stored as named
}

TEST_F(Titles, AStoredSizeThatIsNoPositiveNumberDrawsAtTheLayoutsSizeAndStaysStored) {
  start();
  const double layoutPoints = title()->unitFont().points;
  ASSERT_GT(layoutPoints, 10);
  for (const char* size : {"", "abc", "0", "-12"}) {
    // Red text, so that what the title paints can be told from the stage behind it.
    s.writeSettings(std::string("[yanse]\r\n主标题字体=黑体\r\n主标题字体大小=") + size +
                    "\r\n主标题字体颜色=255\r\n");
    start();
    EXPECT_EQ(title()->unitFont().points, layoutPoints) << '"' << size << '"';
    EXPECT_EQ(title()->unitFont().face, "黑体") << size;
    EXPECT_EQ(title()->textColour(), 255u) << size;
    const QImage shot = title()->grab().toImage();
    int red = 0;
    for (int y = 0; y < shot.height(); ++y)
      for (int x = 0; x < shot.width(); ++x) {
        const QColor c = shot.pixelColor(x, y);
        if (c.red() > 200 && c.green() < 60 && c.blue() < 60) ++red;
      }
    EXPECT_GT(red, 200) << "the title with size \"" << size << "\" is not drawn";
    EXPECT_EQ(stored("yanse", "主标题字体大小"), size) << "the stored size was rewritten";
  }
}

TEST_F(Titles, StoredNonsenseColourGivesBlackWithoutHarm) {
  s.writeSettings("[yanse]\r\n主标题字体=黑体\r\n主标题字体大小=abc\r\n主标题字体颜色=x\r\n");
  start();
  EXPECT_EQ(title()->textColour(), 0u);
  // Cancelling the dialog stores the font as drawn, and the title takes its height.
  const int points = static_cast<int>(std::lround(title()->unitFont().points));
  FontPicker::setNextAnswer(std::nullopt);
  choose("主标题字体");
  EXPECT_EQ(stored("yanse", "主标题字体大小"), std::to_string(points));
  EXPECT_EQ(title()->height(), forms::titleHeightForPoints(points));
}

TEST_F(Titles, AFailedWriteIsReportedAndTheStageStillChanges) {
  start();
  // A folder where the file belongs: no write can replace it.
  std::filesystem::remove(s.dir.file("config.a"));
  makeDirectories(s.dir.file("config.a"));
  InputBoxes::setNextAnswer("新标题");
  choose("主标题");
  EXPECT_EQ(title()->caption(), "新标题");
  FontPicker::setNextAnswer(std::nullopt);
  choose("主标题字体");
  ASSERT_EQ(MessageBoxes::shown().size(), 2u);
  EXPECT_NE(MessageBoxes::shown()[0].text.find("config.a"), std::string::npos);
}

TEST(FontDialog, ListsTheChineseFacesFirstThenTheInstalledOnes) {
  FontDialog dialog(FontChoice{"宋体", 50, true, false, false, false, 65535});
  QListWidget* faces = dialog.faceList();
  ASSERT_GT(faces->count(), 6);
  QStringList top;
  for (int i = 0; i < 6; ++i) top << faces->item(i)->text();
  EXPECT_EQ(top, chineseFaceNames());
  EXPECT_FALSE(faces->findItems("Noto Sans CJK SC", Qt::MatchExactly).isEmpty());
  EXPECT_EQ(faces->currentItem()->text(), "宋体");
  EXPECT_EQ(dialog.colourList()->count(), 16);  // yellow is one of the sixteen
  EXPECT_EQ(dialog.colourList()->currentText(), "黄色");
}

TEST(FontDialog, GivesBackWhatItShowsWithAnyColour) {
  const FontChoice choices[] = {
      {"隶书", 72, false, true, true, false, 255},
      {"Noto Sans CJK SC", 12, true, false, false, true, 16711680},
      {"楷体", 20, false, false, false, false, 0x123456},  // none of the sixteen
  };
  FontDialog dialog(FontChoice{"宋体", 50, true, false, false, false, 65535});
  for (const FontChoice& c : choices) {
    dialog.setChoice(c);
    EXPECT_EQ(dialog.choice(), c) << c.face;
  }
  EXPECT_EQ(dialog.colourList()->currentText(), "自定义");
  EXPECT_EQ(dialog.colourList()->count(), 17);

  dialog.colourList()->setCurrentText("红色");
  EXPECT_EQ(dialog.choice().colour, 255u);
  dialog.faceList()->setCurrentRow(1);
  EXPECT_EQ(dialog.choice().face, "黑体");
}

TEST(FontDialog, AnyOtherColourComesFromTheColourDialogWithoutWaitingForIt) {
  FontDialog dialog(FontChoice{"宋体", 50, true, false, false, false, 65535});
  QPushButton* other = nullptr;
  for (auto* button : dialog.findChildren<QPushButton*>())
    if (button->text() == "其他颜色…") other = button;
  ASSERT_NE(other, nullptr);
  other->click();  // returns at once: the colour dialog is open, not run
  auto* colours = dialog.findChild<QColorDialog*>();
  ASSERT_NE(colours, nullptr);
  EXPECT_TRUE(colours->isVisible());
  EXPECT_EQ(colours->currentColor(), QColor(255, 255, 0));  // it starts from the colour shown
  colours->setCurrentColor(QColor(18, 52, 86));
  colours->accept();
  EXPECT_EQ(dialog.choice().colour, 0x563412u);
  EXPECT_EQ(dialog.colourList()->currentText(), "自定义");
}

TEST(FontDialog, AFaceClearedByHandKeepsTheFaceShownFirst) {
  FontDialog dialog(FontChoice{"宋体", 50, true, false, false, false, 65535});
  auto* face = dialog.findChild<QLineEdit*>();
  ASSERT_NE(face, nullptr);
  face->setText("  ");
  EXPECT_EQ(dialog.choice().face, "宋体");
}

}  // namespace
}  // namespace zv
