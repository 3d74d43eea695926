// Prize pictures decoded before they are shown: the first frame finds every slot's picture
// decoded, and the roll finds every picture decoded at the sizes it shows them at.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QTest>
#include <functional>
#include <vector>

#include "platform/files.h"
#include "platform/qt/picture.h"
#include "platform/qt/picture_batch.h"
#include "stage/pictures.h"
#include "stage_fixture.h"
#include "support/temp_dir.h"

namespace zv {
namespace {

using forms::PictureBox;
using testing::StageFixture;

// A picture no other test has made (the picture cache is the process's): a gradient
// whose colours follow a counter.
std::string freshPicture(QSize size, const char* format = "JPG") {
  static int made = 0;
  ++made;
  QImage image(size, QImage::Format_RGB32);
  QPainter painter(&image);
  QLinearGradient gradient(0, 0, size.width(), size.height());
  gradient.setColorAt(0, QColor::fromHsv((made * 37) % 360, 200, 220));
  gradient.setColorAt(1, QColor::fromHsv((made * 37 + 120) % 360, 160, 90));
  painter.fillRect(image.rect(), gradient);
  painter.end();
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, format, 90);
  return bytes.toStdString();
}

bool waitFor(const std::function<bool()>& done) {
  QElapsedTimer clock;
  clock.start();
  while (!done() && clock.elapsed() < 10'000)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  return done();
}

TEST(PictureBatch, DecodesOnceAndScalesToTheSizesThatDecodeCovers) {
  const QSize slot(106, 65), result(200, 160), raised(100, 59);
  struct Case {
    const char* what;
    QSize source;
    const char* format;
    std::vector<QSize> targets;
    std::vector<bool> now;  // per target: in the cache on return
  } cases[] = {
      // An eighth of 2400 x 1800 is 300 x 225: enough for all three.
      {"camera-sized JPEG", {2400, 1800}, "JPG", {slot, result, raised}, {true, true, true}},
      // An eighth of 1600 x 1200 is 200 x 150: short of the result picture's height.
      {"smaller JPEG", {1600, 1200}, "JPG", {slot, result, raised}, {true, false, true}},
      // Smaller than the slot: shown enlarged, as the box would.
      {"tiny JPEG", {64, 48}, "JPG", {slot, result}, {true, false}},
      // Qt's readers decode at full size, which covers everything.
      {"PNG", {300, 200}, "PNG", {slot, result}, {true, true}},
  };
  for (const Case& c : cases) {
    const PictureData picture(freshPicture(c.source, c.format));
    const std::vector<PictureAtSize> later = decodeIntoCacheNow({{picture, c.targets}});
    std::size_t left = 0;
    for (std::size_t t = 0; t < c.targets.size(); ++t) {
      EXPECT_EQ(isPictureCached(picture, c.targets[t]), c.now[t]) << c.what << " target " << t;
      if (!c.now[t]) {
        ASSERT_LT(left, later.size()) << c.what;
        EXPECT_EQ(later[left].target, c.targets[t]) << c.what;
        EXPECT_TRUE(later[left].picture.sameAs(picture)) << c.what;
        ++left;
      }
    }
    EXPECT_EQ(left, later.size()) << c.what;
    // The first size is exactly what the box would have decoded itself; a copy of the
    // bytes, as a roll step reads them again, finds it.
    const PictureData reread{std::string(picture.view())};
    const QImage own =
        fitPictureToTarget(decodePicture(picture.view(), c.targets[0]), c.targets[0]);
    EXPECT_EQ(decodePictureCached(reread, c.targets[0]), own) << c.what;
    for (std::size_t t = 1; t < c.targets.size(); ++t) {
      if (c.now[t]) {
        EXPECT_EQ(decodePictureCached(reread, c.targets[t]).size(), c.targets[t]);
      }
    }
  }
}

TEST(PictureBatch, FilesLoadedAheadServeTheSizesTheyCoverAndTheRestIsDecodedNow) {
  zv::testing::TempDir dir;
  const std::string large = freshPicture({1600, 1200}), tiny = freshPicture({64, 48});
  writeWholeFileAtomically(dir.file("1.jpg"), large);
  writeWholeFileAtomically(dir.file("2.jpg"), tiny);
  const QSize slot(106, 65), result(200, 160);
  PictureFilesLoading loading({dir.file("1.jpg"), dir.file("2.jpg"), dir.file("3.jpg")}, slot);
  const PictureData first = loading.bytes(0), second = loading.bytes(1);
  EXPECT_EQ(first.view(), large);
  EXPECT_EQ(second.view(), tiny);
  EXPECT_TRUE(loading.bytes(2).empty()) << "a missing file";
  // A picture that was not among the files (the slot's changed since) is decoded too.
  const PictureData other(freshPicture({640, 480}));
  const std::vector<PictureAtSize> later =
      loading.finish({{first, {slot, result}}, {second, {slot}}, {other, {slot}}});
  EXPECT_TRUE(isPictureCached(first, slot));
  EXPECT_TRUE(isPictureCached(second, slot)) << "smaller than the guess: decoded again";
  EXPECT_TRUE(isPictureCached(other, slot));
  // An eighth of 1600 x 1200 does not cover the result picture: left for the queue.
  ASSERT_EQ(later.size(), 1u);
  EXPECT_TRUE(later[0].picture.sameAs(first));
  EXPECT_EQ(later[0].target, result);
  EXPECT_EQ(decodePictureCached(first, slot),
            fitPictureToTarget(decodePicture(first.view(), slot), slot));
}

TEST(PictureBatch, QueueDecodesInTheBackgroundAndStopsWithWorkLeft) {
  const PictureData picture(freshPicture({800, 600}));
  {
    PictureQueue queue;
    queue.add(picture, {200, 160});
    queue.add(picture, {0, 0});  // nothing to decode for an empty box
    EXPECT_TRUE(queue.busy());
    ASSERT_TRUE(waitFor([&] { return !queue.busy(); }));
    EXPECT_TRUE(isPictureCached(picture, {200, 160}));
    EXPECT_FALSE(isPictureCached(picture, {0, 0}));
    queue.add(picture, {200, 160});  // already there
    EXPECT_FALSE(queue.busy());
  }
  // Destroyed with decodes queued and under way: it waits for the one under way only.
  std::vector<PictureData> many;
  for (int i = 0; i < 6; ++i) many.emplace_back(freshPicture({1600, 1200}));
  QElapsedTimer clock;
  clock.start();
  {
    PictureQueue queue;
    for (const PictureData& p : many) queue.add(p, {400, 300});
  }
  QCoreApplication::processEvents();  // a decode posted before the end is dropped with it
  EXPECT_LT(clock.elapsed(), 2000);
}

class PreparedStage : public ::testing::Test {
 protected:
  void SetUp() override {
    makeDirectories(s.dir.file("奖品图片"));
    for (int slot = 1; slot <= 8; ++slot) {
      writeWholeFileAtomically(s.dir.file("奖品图片/" + std::to_string(slot) + ".jpg"),
                               freshPicture({1600, 1200}));
    }
  }
  PictureBox* box(const std::string& name) { return s.unit<PictureBox>(name); }
  bool allCachedAt(const std::function<QSize(PictureBox*)>& target) {
    for (int slot = 1; slot <= 8; ++slot) {
      PictureBox* b = box(units::prizeBox(slot));
      if (!isPictureCached(b->picture(), target(b))) return false;
    }
    return true;
  }
  QSize resultTarget() { return box(units::kResultPicture)->decodeTarget(); }

  StageFixture s;
};

TEST_F(PreparedStage, FirstFrameNeedsNoDecodeAndTheRollFindsTheResultSizeDecoded) {
  s.start();
  // Before any event: the stage's first paint finds the slots' pictures decoded.
  EXPECT_TRUE(allCachedAt([](PictureBox* b) { return b->decodeTarget(); }));
  EXPECT_TRUE(
      allCachedAt([](PictureBox* b) { return b->decodeTarget(PictureBox::Border::Raised); }));
  ASSERT_TRUE(waitFor([&] { return !s.stage->pictures().preparing(); }));
  EXPECT_TRUE(allCachedAt([&](PictureBox*) { return resultTarget(); }));

  // A new result size saved in the panel is prepared as well.
  s.form().menuItem("其它设置")->action()->trigger();
  s.unit<QLineEdit>(units::kResultWidthEdit)->setText("333");
  s.unit<QLineEdit>(units::kResultHeightEdit)->setText("222");
  QTest::mouseClick(s.unit<QWidget>("按钮_保存"), Qt::LeftButton);
  ASSERT_EQ(resultTarget(), QSize(333, 222));
  ASSERT_TRUE(waitFor([&] { return !s.stage->pictures().preparing(); }));
  EXPECT_TRUE(allCachedAt([&](PictureBox*) { return resultTarget(); }));
}

TEST_F(PreparedStage, LoadingStartedEarlyIsTakenOverOnlyForItsOwnFolder) {
  zv::testing::TempDir other;
  makeDirectories(other.file("奖品图片"));
  writeWholeFileAtomically(other.file("奖品图片/1.jpg"), freshPicture({320, 240}));
  const std::string own = readWholeFile(s.dir.file("奖品图片/1.jpg"));

  s.picturesAhead = Pictures::startLoadingEarly(other.path());  // not the folder the stage opens
  s.start();
  EXPECT_EQ(box(units::prizeBox(1))->picture().view(), own);

  s.stage.reset();
  s.picturesAhead = Pictures::startLoadingEarly(s.dir.path());
  s.start();
  EXPECT_EQ(box(units::prizeBox(1))->picture().view(), own);
  EXPECT_TRUE(allCachedAt([](PictureBox* b) { return b->decodeTarget(); }));
}

}  // namespace
}  // namespace zv
