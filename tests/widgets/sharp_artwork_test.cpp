// The built-in artwork on a stage drawn larger than its layout (a 4K screen draws it
// 2.8125 times): pictures that cover their boxes, and a wheel edge smoothed at the
// screen's own pixels rather than cut in layout-pixel steps.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QWidget>
#include <cstdlib>

#include "forms/units.h"
#include "layout/window_layouts.h"
#include "platform/jpeg.h"
#include "resources/artwork.h"
#include "stage/logic/close_up.h"

namespace zv {
namespace {

// Every box the layout fills with a built-in picture, and the result picture that shows a
// prize's picture large, at the largest scale: the picture is reduced, never enlarged.
TEST(SharpArtwork, BuiltinPicturesCoverTheirBoxesAtTheLargestScale) {
  const int scale = artwork::kSharpUpToScale;
  int builtin = 0;
  int largestPrizeBox = 0;
  for (const forms::UnitDescription& unit : mainWindowLayout().units) {
    if (unit.name == units::kResultPicture) largestPrizeBox = unit.height;
    // The panel's icon is pixel art, drawn for its own 16 pixels.
    if (unit.picture.empty() || unit.picture == pictures::kPanelIcon) continue;
    const RgbImage picture = decodeJpeg(stagePicture(unit.picture));
    ASSERT_FALSE(picture.empty()) << unit.name;
    EXPECT_GE(picture.width, unit.width * scale) << unit.name;
    EXPECT_GE(picture.height, unit.height * scale) << unit.name;
    ++builtin;
  }
  EXPECT_GE(builtin, 4);
  ASSERT_GT(largestPrizeBox, 0);
  EXPECT_GE(artwork::kLargestPrizePictureHeight, largestPrizeBox);
  // The winner close-up is the largest a prize picture is shown.
  EXPECT_GE(artwork::kLargestPrizePictureHeight,
            close_up::kHeightShare * mainWindowLayout().height);

  const RgbImage wheel = decodeJpeg(artwork::wheelStyle(1));
  for (const forms::UnitDescription& unit : mainWindowLayout().units) {
    if (unit.name != units::kWheelBackground) continue;
    EXPECT_GE(wheel.width, unit.width * scale);
    EXPECT_GE(wheel.height, unit.height * scale);
  }
}

bool near(int value, int wanted) { return std::abs(value - wanted) <= 12; }

// A red picture on a clipped wheel over a blue stage, drawn three times its size: every
// pixel is the stage, the picture or a blend of the two (never the wheel frame's own
// fill or outline), and the edge is blended all round, not stepped.
TEST(SharpArtwork, ClippedWheelEdgeIsSmoothedAtTheScreensPixels) {
  QWidget stage;
  stage.resize(120, 120);
  stage.setAutoFillBackground(true);
  QPalette blue = stage.palette();
  blue.setColor(QPalette::Window, Qt::blue);
  stage.setPalette(blue);
  auto* shape = new forms::Shape(&stage);
  shape->setGeometry(10, 10, 100, 100);
  auto* box = new forms::PictureBox(shape);
  box->setGeometry(0, 0, 100, 100);
  RgbImage red;
  red.width = red.height = 64;
  for (int i = 0; i < red.width * red.height; ++i) red.pixels.insert(red.pixels.end(), {255, 0, 0});
  box->setPicture(PictureData(encodeJpeg(red, 95)));
  shape->clipToEllipse();
  box->setRoundEdge(true);

  constexpr int kScale = 3;
  QImage shot(stage.size() * kScale, QImage::Format_RGB32);
  shot.setDevicePixelRatio(kScale);
  shot.fill(Qt::black);
  stage.render(&shot);

  int blended = 0, strange = 0, abrupt = 0, crossing = 0;
  for (int y = 0; y < shot.height(); ++y) {
    int first = -1;  // the row's first pixel with any of the picture in it
    for (int x = 0; x < shot.width(); ++x) {
      const QColor c = shot.pixelColor(x, y);
      if (c.green() > 12 || !near(c.red() + c.blue(), 255)) ++strange;
      if (c.red() > 40 && c.red() < 215) ++blended;
      if (first < 0 && c.red() > 12) first = x;
    }
    if (first < 0) continue;
    ++crossing;
    // Entering the picture at full strength: the outline's steps cut the edge there.
    if (shot.pixelColor(first, y).red() > 240) ++abrupt;
  }
  EXPECT_EQ(strange, 0);
  // The edge is about 3 x 314 screen pixels long; a cut in steps blends none of them.
  EXPECT_GT(blended, 400);
  EXPECT_LT(abrupt, crossing / 20) << "of " << crossing << " rows";
  EXPECT_TRUE(near(shot.pixelColor(180, 180).red(), 255)) << "the middle shows the picture";
}

}  // namespace
}  // namespace zv
