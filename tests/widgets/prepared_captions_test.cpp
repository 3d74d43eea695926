// Captions drawn ahead on a thread: the label shows the same pixels as when it draws
// itself, a label changed meanwhile shows its new look, and nothing outlives the labels.
#include "forms/prepared_captions.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>

#include "forms/units.h"

namespace zv::forms {
namespace {

const QColor kStage(0x80, 0x10, 0x10);
const QColor kYellow(0xFF, 0xFF, 0x00);

// The stage colour behind a transparent label, as on the stage.
class Backdrop : public QWidget {
 protected:
  void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), kStage); }
};

struct Stage {
  Backdrop backdrop;
  TransparentLabel* label = new TransparentLabel(&backdrop);

  Stage(const QString& caption, double points) {
    backdrop.resize(700, 140);
    label->setGeometry(10, 10, 680, 120);
    label->setCaption(caption);
    label->setUnitFont({.face = "宋体", .points = points, .bold = true});
    label->setTextColour(colourToBgr(kYellow));
  }
  QImage picture() { return backdrop.grab().toImage().convertToFormat(QImage::Format_RGB32); }
};

// The largest difference of one colour channel between two pictures of one size.
int largestDifference(const QImage& a, const QImage& b) {
  int largest = 0;
  for (int y = 0; y < a.height(); ++y) {
    const auto* left = reinterpret_cast<const QRgb*>(a.constScanLine(y));
    const auto* right = reinterpret_cast<const QRgb*>(b.constScanLine(y));
    for (int x = 0; x < a.width(); ++x) {
      largest = std::max({largest, std::abs(qRed(left[x]) - qRed(right[x])),
                          std::abs(qGreen(left[x]) - qGreen(right[x])),
                          std::abs(qBlue(left[x]) - qBlue(right[x]))});
    }
  }
  return largest;
}

int pixelsOf(const QImage& image, QColor colour) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    count += static_cast<int>(std::count(line, line + image.width(), colour.rgb()));
  }
  return count;
}

TEST(PreparedCaptions, ALabelShowsWhatItWouldHaveDrawnItself) {
  // The title's size, and the smallest drawn ahead.
  for (const double points : {67.0, 49.0}) {
    Stage direct("某某大卖场购物有奖活动", points);
    Stage prepared("某某大卖场购物有奖活动", points);
    prepared.label->usePrepared(
        std::make_shared<PreparedCaptions>(std::vector<CaptionLook>{prepared.label->look()}));
    const QImage expected = direct.picture();
    const QImage shown = prepared.picture();
    ASSERT_EQ(shown.size(), expected.size());
    EXPECT_GT(pixelsOf(expected, kYellow), 1000) << points;  // the caption is there at all
    // Blending a drawn caption rounds once more than drawing it in place.
    EXPECT_LE(largestDifference(shown, expected), 3) << points;
  }
}

TEST(PreparedCaptions, AtAFractionalScaleEachPixelFallsWhereTheLabelWouldDrawIt) {
  // The 1366-wide layout shown on 1920 x 1080; the title at its place, 11.25 device
  // pixels from the window's edge.
  const qreal ratio = 1.40625;
  const QPoint at(8, 15);
  const QPointF origin = QPointF(at) * ratio;
  CaptionLook look{
      "某某大卖场购物有奖活动",
      {.face = "宋体", .points = 67, .bold = true},
      kYellow,
      QSize(632, 110),
      ratio,
      QPointF(origin.x() - std::floor(origin.x()), origin.y() - std::floor(origin.y()))};
  const auto window = [&] {
    QImage image(QSize(1000, 200), QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(kStage);
    return image;
  };
  QImage direct = window(), prepared = window();
  {
    QPainter painter(&direct);
    painter.translate(at);
    drawCaption(painter, QRect(QPoint(0, 0), look.size), look.font.toQFont(), look.colour,
                look.caption);
  }
  {
    QPainter painter(&prepared);
    painter.translate(at);
    paintPrepared(painter, PreparedCaptions({look}).imageFor(look), look);
  }
  EXPECT_GT(pixelsOf(direct, kYellow), 1000);
  EXPECT_LE(largestDifference(prepared, direct), 3);
}

TEST(PreparedCaptions, OnlyCaptionsDrawnAlikeOnAnyBackgroundAreDrawnAhead) {
  // The subtitle's size is blended with the stage colour, up to 64 pixels (48 points);
  // the title's is not.
  EXPECT_FALSE(PreparedCaptions::drawnAlike(Stage("副标题", 40).label->look()));
  EXPECT_FALSE(PreparedCaptions::drawnAlike(Stage("副标题", 48).label->look()));
  EXPECT_TRUE(PreparedCaptions::drawnAlike(Stage("主标题", 49).label->look()));
  EXPECT_TRUE(PreparedCaptions::drawnAlike(Stage("主标题", 67).label->look()));
}

TEST(PreparedCaptions, ALabelChangedBeforeItsFirstPaintShowsItsNewLook) {
  Stage changed("旧标题", 40);
  changed.label->usePrepared(
      std::make_shared<PreparedCaptions>(std::vector<CaptionLook>{changed.label->look()}));
  changed.label->setCaption("新的主标题");
  changed.label->setTextColour(colourToBgr(Qt::white));
  Stage direct("新的主标题", 40);
  direct.label->setTextColour(colourToBgr(Qt::white));
  EXPECT_EQ(changed.picture(), direct.picture());
}

TEST(PreparedCaptions, ALaterChangeIsShownTooAfterAPreparedFirstPaint) {
  Stage stage("第一个标题", 40);
  stage.label->usePrepared(
      std::make_shared<PreparedCaptions>(std::vector<CaptionLook>{stage.label->look()}));
  static_cast<void>(stage.picture());
  stage.label->setCaption("第二个标题");
  Stage direct("第二个标题", 40);
  EXPECT_EQ(stage.picture(), direct.picture());
}

TEST(PreparedCaptions, OnlyTheLooksAskedForAreDrawn) {
  Stage stage("某某大卖场", 40);
  PreparedCaptions prepared({stage.label->look()});
  CaptionLook other = stage.label->look();
  other.size += QSize(1, 0);
  EXPECT_TRUE(prepared.imageFor(other).isNull());
  EXPECT_FALSE(prepared.imageFor(stage.label->look()).isNull());
}

TEST(PreparedCaptions, LabelsGoneBeforeTheirFirstPaintLeaveNothingRunning) {
  for (int round = 0; round < 10; ++round) {
    auto stage = std::make_unique<Stage>("某某大卖场购物有奖活动", 67);
    stage->label->usePrepared(
        std::make_shared<PreparedCaptions>(std::vector<CaptionLook>{stage->label->look()}));
    stage.reset();  // waits for the thread, which draws into its own image only
  }
  SUCCEED();
}

}  // namespace
}  // namespace zv::forms
