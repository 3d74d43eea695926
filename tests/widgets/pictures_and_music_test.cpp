// The operator's own pictures and music on the real stage, the file dialog scripted.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QTest>
#include <chrono>
#include <filesystem>
#include <thread>

#include "app/unusable_file_reports.h"
#include "dialogs/file_picker.h"
#include "dialogs/message_boxes.h"
#include "pictures_fixture.h"
#include "platform/files.h"
#include "platform/jpeg.h"
#include "stage/music.h"
#include "stage/pictures.h"
#include "stage_fixture.h"
#include "store/settings_keys.h"
#include "support/temp_dir.h"
#include "webp_reader.h"

namespace zv {
namespace {

using forms::PictureBox;
using testing::MusicTest;
using testing::near;
using testing::PicturesTest;
using testing::StageFixture;
using testing::TempDir;

// A picture of one colour in the given Qt format ("JPG", "PNG", "BMP", "WEBP").
std::string solidPicture(QColor colour, const char* format, QSize size = QSize(64, 48)) {
  QImage image(size, QImage::Format_RGB32);
  image.fill(colour);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, format, 100);
  return bytes.toStdString();
}

// The colour at the centre of a widget as it paints itself.
QColor centreOf(QWidget* widget) {
  const QImage shot = widget->grab().toImage();
  return shot.pixelColor(shot.width() / 2, shot.height() / 2);
}

const QColor kGreen(0x20, 0xC0, 0x40), kBlue(0x30, 0x40, 0xD0), kOrange(0xF0, 0x90, 0x10);

TEST_F(PicturesTest, ChosenPrizePictureIsCopiedShownAndKeptAfterARestart) {
  s.start();
  const std::string green = solidPicture(kGreen, "JPG");
  FilePicker::setNextAnswer(chosenFile("prize.jpg", green));
  doubleClick(3);

  ASSERT_EQ(FilePicker::offeredFilters().size(), 1u);
  EXPECT_EQ(FilePicker::offeredFilters()[0], Pictures::dialogFilters());
  EXPECT_TRUE(FilePicker::offeredFilters()[0][0].starts_with("图形文件(*.jpg) ("));
  EXPECT_EQ(prizeFile(3), green);
  EXPECT_TRUE(near(centreOf(slot(3)), kGreen));
  EXPECT_TRUE(MessageBoxes::shown().empty());
  // Only the copy is used from now on.
  std::filesystem::remove(s.dir.file("chosen/prize.jpg"));
  for (int other : {1, 2, 4, 8}) EXPECT_TRUE(slot(other)->picture().empty()) << other;

  restart();
  EXPECT_TRUE(near(centreOf(slot(3)), kGreen));
  EXPECT_EQ(slot(3)->picture().view(), green);
}

TEST_F(PicturesTest, CancelChangesNoPictureButEmptiesTheHeldOne) {
  std::filesystem::create_directories(TempDir::native(s.dir.file("奖品图片")));
  for (int n = 1; n <= 8; ++n) {
    writeWholeFileAtomically(s.dir.file("奖品图片/" + std::to_string(n) + ".jpg"),
                             solidPicture(kBlue, "JPG"));
  }
  s.start();
  s.stage->draw().startLabelPressed();
  s.stage->draw().rollStep();
  ASSERT_FALSE(s.stage->draw().heldPicture().empty());
  const int lit = s.stage->draw().highlight();

  FilePicker::setNextAnswer(std::nullopt);
  doubleClick(5);
  EXPECT_TRUE(s.stage->draw().heldPicture().empty());
  EXPECT_EQ(prizeFile(5), solidPicture(kBlue, "JPG"));
  EXPECT_EQ(slot(5)->picture().view(), solidPicture(kBlue, "JPG"));
  // The lit slot is the highlight's frame while its picture is out, not the hint.
  EXPECT_EQ(slot(lit)->border(), PictureBox::Border::Raised);
  EXPECT_TRUE(slot(lit)->picture().empty());
}

TEST_F(PicturesTest, MissingPrizePictureStaysMissingAndShowsTheHint) {
  s.start();
  EXPECT_FALSE(pathExists(s.stage->files().prizePicture(7)));
  EXPECT_TRUE(slot(7)->picture().empty());
  EXPECT_FALSE(slot(7)->hasShownPicture());
  EXPECT_EQ(slot(7)->placeholder(), QString::fromUtf8(Pictures::kEmptySlotHint));
  // The hint is drawn in a muted grey on the empty box, never written anywhere.
  const QImage shot = slot(7)->grab().toImage();
  int grey = 0;
  for (int y = 0; y < shot.height(); ++y)
    for (int x = 0; x < shot.width(); ++x)
      if (qGray(shot.pixel(x, y)) < 0xC0) ++grey;
  EXPECT_GT(grey, 20) << "no hint text drawn";
  restart();
  EXPECT_FALSE(pathExists(s.stage->files().prizePicture(7)));
}

TEST_F(PicturesTest, PngAndUpperCaseJpgAndTheSlotsOwnFileAreAccepted) {
  s.start();
  struct Case {
    int slot;
    std::string name;
    const char* format;
    QColor colour;
  };
  for (const Case& c : {Case{1, "gift.png", "PNG", kOrange}, Case{2, "CAMERA.JPG", "JPG", kGreen},
                        Case{4, "photo.jpeg", "JPG", kBlue}, Case{6, "shop.webp", "WEBP", kGreen},
                        Case{8, "scan.bmp", "BMP", kOrange}}) {
    if (std::string_view(c.format) == "WEBP" && !testing::kWebPRead) continue;
    const std::string bytes = solidPicture(c.colour, c.format);
    ASSERT_FALSE(bytes.empty()) << c.format << " cannot be written on this machine";
    FilePicker::setNextAnswer(chosenFile(c.name, bytes));
    doubleClick(c.slot);
    if (std::string_view(c.format) == "JPG") {
      EXPECT_EQ(prizeFile(c.slot), bytes) << c.name;
    } else {
      expectStoredAsJpeg(prizeFile(c.slot), QSize(64, 48), c.colour, c.name);
    }
    EXPECT_TRUE(slot(c.slot)->hasShownPicture()) << c.name;
    EXPECT_TRUE(near(centreOf(slot(c.slot)), c.colour)) << c.name;
  }
  // Choosing the slot's own file keeps its picture.
  FilePicker::setNextAnswer(s.stage->files().prizePicture(2));
  doubleClick(2);
  EXPECT_EQ(prizeFile(2), solidPicture(kGreen, "JPG"));
  EXPECT_TRUE(near(centreOf(slot(2)), kGreen));
  EXPECT_TRUE(MessageBoxes::shown().empty());
}

TEST_F(PicturesTest, OtherFormatsAreStoredAsRealJpegsAtTheirOwnSize) {
  s.start();
  // Cut out on a transparent ground, at a size that is no multiple of the JPEG blocks.
  QImage cutOut(301, 203, QImage::Format_ARGB32);
  cutOut.fill(Qt::transparent);
  for (int y = 60; y < 140; ++y)
    for (int x = 100; x < 200; ++x) cutOut.setPixelColor(x, y, kBlue);
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  ASSERT_TRUE(cutOut.save(&buffer, "PNG"));
  FilePicker::setNextAnswer(chosenFile("cut-out.png", png.toStdString()));
  doubleClick(3);
  EXPECT_TRUE(MessageBoxes::shown().empty());
  expectStoredAsJpeg(prizeFile(3), QSize(301, 203), kBlue, "prize");
  const RgbImage stored = decodeJpeg(prizeFile(3));
  ASSERT_FALSE(stored.empty());
  EXPECT_GT(stored.pixels[0], 240) << "the transparent ground is not stored as white";
  EXPECT_TRUE(near(centreOf(slot(3)), kBlue));

  // A WebP where the system reads it, else a BMP: stored as a JPEG all the same.
  FilePicker::setNextAnswer(testing::kWebPRead
                                ? chosenFile("stage.webp", solidPicture(kOrange, "WEBP", {320, 200}))
                                : chosenFile("stage.bmp", solidPicture(kOrange, "BMP", {320, 200})));
  choose("更换背景图");
  expectStoredAsJpeg(readWholeFile(backgroundFile()), QSize(320, 200), kOrange, "background");
  EXPECT_EQ(s.form().backgroundPicture(), readWholeFile(backgroundFile()));

  // A picture that cannot be decoded to be stored is reported, and the old one stays.
  const std::string before = prizeFile(3);
  const std::string broken = chosenFile("broken.png", png.left(60).toStdString());
  FilePicker::setNextAnswer(broken);
  doubleClick(3);
  ASSERT_EQ(MessageBoxes::shown().size(), 1u);
  EXPECT_NE(MessageBoxes::shown()[0].text.find(broken), std::string::npos);
  EXPECT_EQ(prizeFile(3), before);
  EXPECT_TRUE(near(centreOf(slot(3)), kBlue));
}

TEST_F(PicturesTest, ACopyThatFailsIsReportedAndChangesNothing) {
  s.start();
  const std::string old = solidPicture(kBlue, "JPG");
  FilePicker::setNextAnswer(chosenFile("old.jpg", old));
  doubleClick(2);
  ASSERT_EQ(prizeFile(2), old);
  FilePicker::setNextAnswer(chosenFile("old-background.jpg", old));
  choose("更换背景图");
  ASSERT_EQ(readWholeFile(backgroundFile()), old);

  const std::string fresh = chosenFile("fresh.jpg", solidPicture(kOrange, "JPG"));
  std::filesystem::create_directories(s.dir.file("chosen/a folder.jpg"));
  struct Case {
    const char* what;
    std::string chosen;
  };
  for (const Case& c : {Case{"missing file", s.dir.file("chosen/gone.jpg")},
                        Case{"a folder", s.dir.file("chosen/a folder.jpg")}}) {
    MessageBoxes::clearShown();
    FilePicker::setNextAnswer(c.chosen);
    doubleClick(2);
    ASSERT_EQ(MessageBoxes::shown().size(), 1u) << c.what;
    EXPECT_NE(MessageBoxes::shown()[0].text.find(c.chosen), std::string::npos) << c.what;
    EXPECT_EQ(prizeFile(2), old) << c.what;
    EXPECT_TRUE(near(centreOf(slot(2)), kBlue)) << c.what;
  }

  // The target cannot be written: the prize folder is gone and a file has its name.
  std::filesystem::remove_all(TempDir::native(s.dir.file("奖品图片")));
  writeWholeFileAtomically(s.dir.file("奖品图片"), "not a folder");
  MessageBoxes::clearShown();
  FilePicker::setNextAnswer(fresh);
  doubleClick(2);
  ASSERT_EQ(MessageBoxes::shown().size(), 1u);
  EXPECT_NE(MessageBoxes::shown()[0].text.find(s.stage->files().prizePicture(2)),
            std::string::npos);
  EXPECT_TRUE(near(centreOf(slot(2)), kBlue));

  // The background's name is taken by a folder: the old background stays on the stage.
  const std::string moved = s.dir.file("moved.jpg");
  std::filesystem::rename(TempDir::native(backgroundFile()), TempDir::native(moved));
  std::filesystem::create_directories(TempDir::native(backgroundFile() + "/inside"));
  MessageBoxes::clearShown();
  FilePicker::setNextAnswer(fresh);
  choose("更换背景图");
  ASSERT_EQ(MessageBoxes::shown().size(), 1u);
  EXPECT_EQ(s.form().backgroundPicture(), old);
}

TEST_F(PicturesTest, BackgroundIsChangedAndRemovedAndTheResultPictureHidden) {
  s.start();
  const std::string orange = solidPicture(kOrange, "JPG");
  struct Step {
    const char* item;
    std::optional<std::string> answer;
    std::string expected;  // the background after the step, on the stage and on disk
  };
  const std::string chosen = chosenFile("stage.jpg", orange);
  for (const Step& step : {Step{"更换背景图", std::nullopt, ""},  // cancelled
                           Step{"更换背景图", chosen, orange}, Step{"更换背景图", std::nullopt, orange},
                           Step{"取消背景图", std::nullopt, ""},
                           Step{"取消背景图", std::nullopt, ""}}) {  // none left: silent
    resultPicture()->show();
    if (std::string_view(step.item) == "更换背景图") FilePicker::setNextAnswer(step.answer);
    choose(step.item);
    EXPECT_TRUE(resultPicture()->isHidden()) << step.item;
    EXPECT_EQ(s.form().backgroundPicture(), step.expected) << step.item;
    EXPECT_EQ(readWholeFile(backgroundFile()), step.expected) << step.item;
    EXPECT_EQ(pathExists(backgroundFile()), !step.expected.empty()) << step.item;
    if (!step.expected.empty()) {
      const QImage stage = s.form().grab().toImage();
      EXPECT_TRUE(near(stage.pixelColor(4, stage.height() - 4), kOrange));
    }
  }
  EXPECT_TRUE(MessageBoxes::shown().empty());
  restart();
  EXPECT_TRUE(s.form().backgroundPicture().empty());
}

TEST_F(PicturesTest, ABackgroundThatCannotBeDeletedIsReported) {
  s.start();
  std::filesystem::create_directories(TempDir::native(backgroundFile() + "/inside"));
  choose("取消背景图");
  ASSERT_EQ(MessageBoxes::shown().size(), 1u);
  EXPECT_NE(MessageBoxes::shown()[0].text.find(backgroundFile()), std::string::npos);
  EXPECT_TRUE(resultPicture()->isHidden());
}

TEST_F(MusicTest, StoredSwitchAtStartUp) {
  struct Case {
    const char* settings;
    bool on;
  };
  for (const Case& c : {Case{"", true}, Case{"背景音乐=真\r\n", true}, Case{"背景音乐=假\r\n", false},
                        Case{"背景音乐=0\r\n", true}, Case{"背景音乐=\r\n", true},
                        Case{"背景音乐=假的\r\n", true}}) {
    s.writeSettings(std::string("[zbt]\r\n") + c.settings);
    restart();
    EXPECT_EQ(s.stage->drawStage().musicOn(), c.on) << c.settings;
    EXPECT_EQ(s.ticked(menu::kMusicOn), c.on) << c.settings;
    EXPECT_EQ(s.ticked(menu::kMusicOff), !c.on) << c.settings;
  }
}

TEST_F(MusicTest, ReplacedMusicPlaysFromTheNextDrawAndTheSwitchActsAtTheNextStart) {
  s.writeSettings("[zbt]\r\nlx=真\r\n");  // a draw by value: the default prizes can be won
  s.start();
  ASSERT_TRUE(s.stage->audio().musicAvailable()) << "SDL2_mixer has no MP3 decoder";
  const std::string mp3 = silentMp3(40);
  FilePicker::setNextAnswer(chosenFile("song.MP3", mp3));
  choose("更换背景音乐");
  ASSERT_EQ(FilePicker::offeredFilters().size(), 1u);
  EXPECT_EQ(FilePicker::offeredFilters()[0], Music::dialogFilters());
  EXPECT_TRUE(FilePicker::offeredFilters()[0][0].starts_with("音乐文件(*.mp3) ("));
  EXPECT_EQ(readWholeFile(s.stage->files().music()), mp3);

  startDraw();
  EXPECT_TRUE(playing());
  choose(menu::kMusicOff);  // during the draw: it keeps playing until the stop
  EXPECT_EQ(stored(), "假");
  EXPECT_TRUE(s.ticked(menu::kMusicOff));
  EXPECT_FALSE(s.ticked(menu::kMusicOn));
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_TRUE(playing());
  stopDraw();
  EXPECT_FALSE(playing());
  startDraw();
  EXPECT_FALSE(playing()) << "switched off";
  choose(menu::kMusicOn);  // between requests: nothing starts now
  EXPECT_EQ(stored(), "真");
  EXPECT_FALSE(playing());
  stopDraw();
  startDraw();
  EXPECT_TRUE(playing());
  stopDraw();
}

TEST_F(MusicTest, CancelledDialogLeavesTheFolderAndAFailedCopyKeepsTheOldMusic) {
  s.start();
  ASSERT_FALSE(pathExists(s.dir.file("wav")));
  FilePicker::setNextAnswer(std::nullopt);
  choose("更换背景音乐");
  EXPECT_TRUE(std::filesystem::is_directory(s.dir.file("wav")));
  EXPECT_FALSE(pathExists(s.stage->files().music()));

  const std::string old = silentMp3(3);
  FilePicker::setNextAnswer(chosenFile("old.mp3", old));
  choose("更换背景音乐");
  FilePicker::setNextAnswer(s.dir.file("chosen/missing.mp3"));
  choose("更换背景音乐");
  ASSERT_EQ(MessageBoxes::shown().size(), 1u);
  EXPECT_NE(MessageBoxes::shown()[0].text.find("missing.mp3"), std::string::npos);
  EXPECT_EQ(readWholeFile(s.stage->files().music()), old);
}

}  // namespace
}  // namespace zv
