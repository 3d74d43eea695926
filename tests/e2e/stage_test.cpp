// The real program on an Xvfb screen of 1366 x 768: what the audience sees after start-up.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

#include "stage_fixture.h"

namespace zv::e2e {
namespace {

using Stage = StageTest;

// Walking out from a point inside the wheel along a row (or a column): the first and last
// coordinates before the stage colour begins. The stage begins where three pixels in a row
// have its colour: a lone pixel where a red slice blends into the rim's dark line can too.
std::pair<int, int> extent(const XvfbServer::Shot& shot, bool row, int at, int inside) {
  const int limit = row ? shot.width() : shot.height();
  auto stage = [&](int i) {
    return i < 0 || i >= limit || (row ? shot.at(i, at) : shot.at(at, i)).near(kStage, 30);
  };
  auto stageFrom = [&](int i, int step) {
    return stage(i) && stage(i + step) && stage(i + 2 * step);
  };
  int first = inside, last = inside;
  while (first > 0 && !stageFrom(first - 1, -1)) --first;
  while (last + 1 < limit && !stageFrom(last + 1, 1)) ++last;
  return {first, last};
}

TEST_F(Stage, RoundWheelCentredAndYellowTitlesInChineseGlyphs) {
  start();
  const auto shot = x.shot();

  // The wheel: 500 x 500 at left (1366 - 500) / 2 = 433, top 160, clipped to an ellipse.
  const auto [left, right] = extent(shot, true, 410, 683);
  EXPECT_NEAR(left, 433, 3);
  EXPECT_NEAR(right, 933, 3);
  const auto [top, bottom] = extent(shot, false, 683, 410);
  EXPECT_NEAR(bottom, 660, 3);
  // The centre column's top touches the subtitle; 120 pixels to the right the circle's
  // edge lies at 410 - sqrt(250^2 - 120^2).
  const auto [offTop, offBottom] = extent(shot, false, 803, 410);
  EXPECT_NEAR(offTop, 191, 3);
  EXPECT_NEAR(offBottom, 629, 3);
  EXPECT_LE(top, 160);
  // Corners of the wheel's square show the stage; the backdrop fills the circle.
  for (const auto& [cx, cy] : {std::pair{437, 164}, {929, 164}, {437, 656}, {929, 656}}) {
    EXPECT_TRUE(shot.at(cx, cy).near(kStage, 10)) << cx << "," << cy;
  }
  for (const auto& [cx, cy] : {std::pair{683, 170}, {443, 410}, {923, 410}, {683, 650}}) {
    EXPECT_FALSE(shot.at(cx, cy).near(kStage, 30)) << cx << "," << cy;
  }

  // The main title: eleven characters in yellow, the first two the same glyph (某某),
  // the others not all alike as boxes standing in for missing glyphs would be.
  int minX = 1366, maxX = -1, yellow = 0;
  for (int y = 15; y < 125; ++y) {
    for (int xx = 0; xx < 1366; ++xx) {
      if (shot.at(xx, y).isYellow()) {
        ++yellow;
        minX = std::min(minX, xx);
        maxX = std::max(maxX, xx);
      }
    }
  }
  ASSERT_GT(yellow, 3000);
  EXPECT_LT(yellow, 110 * 1366 / 3);
  EXPECT_NEAR((minX + maxX) / 2, 8 + 1366 / 2, 12);  // centred in the full-width label
  std::vector<int> cells(11, 0);
  const double cell = (maxX - minX + 1) / 11.0;
  for (int y = 15; y < 125; ++y) {
    for (int xx = minX; xx <= maxX; ++xx) {
      if (shot.at(xx, y).isYellow()) {
        ++cells[std::min<std::size_t>(10, static_cast<std::size_t>((xx - minX) / cell))];
      }
    }
  }
  EXPECT_NEAR(cells[0], cells[1], cells[0] * 0.08);
  const auto [fewest, most] = std::minmax_element(cells.begin(), cells.end());
  EXPECT_GT(*most, *fewest * 1.3);

  // The subtitle below it, also yellow.
  int subtitle = 0;
  for (int y = 125; y < 174; ++y)
    for (int xx = 0; xx < 1366; ++xx) subtitle += shot.at(xx, y).isYellow();
  EXPECT_GT(subtitle, 1000);

  // Start-up wrote the display mode and created the picture folder, nothing else.
  EXPECT_EQ(readWholeFile(dir.file("config.a")), utf8ToGbk("[zbt]\r\n界面大小=全屏\r\n"));
  EXPECT_TRUE(pathExists(dir.file("奖品图片")));
  EXPECT_FALSE(pathExists(dir.file("jieguo.a")));
  EXPECT_TRUE(program->running());
}

TEST_F(Stage, StoredPlaceAndWindowedMode) {
  writeWholeFileAtomically(dir.file("config.a"),
                           utf8ToGbk("[zbt]\r\n外形框1左边=40\r\n外形框1顶边=200\r\n计次=1\r\n"
                                     "界面大小=窗口\r\n"));
  start(315, 475);
  const auto shot = x.shot();
  // The window, frame included, covers 1346 x 748 at 0, 0; without a window manager there
  // is no frame and the stage itself has that size.
  const auto stage = x.findWindow("Zorvane软件V1.9");
  ASSERT_TRUE(stage.has_value());
  EXPECT_LE(stage->x + stage->width, 1346);
  EXPECT_LE(stage->y + stage->height, 748);
  if (x.desktop() == Desktop::Bare) {
    EXPECT_EQ(stage->width, 1346);
    EXPECT_EQ(stage->height, 748);
  }
  EXPECT_TRUE(shot.at(stage->x + stage->width - 6, stage->y + stage->height - 8).near(kStage, 4));
  EXPECT_FALSE(shot.at(1360, 760).near(kStage, 30));
  // One step: a 550-pixel wheel from 40, 200 in the window.
  const auto [left, right] = extent(shot, true, stage->y + 475, 315);
  EXPECT_NEAR(left, stage->x + 40, 3);
  EXPECT_NEAR(right, stage->x + 590, 3);
  EXPECT_EQ(gbkToUtf8(readWholeFile(dir.file("config.a"))),
            "[zbt]\r\n外形框1左边=40\r\n外形框1顶边=200\r\n计次=1\r\n界面大小=窗口\r\n");
}

TEST_F(Stage, ASignalEndsTheProgram) {
  start();
  EXPECT_TRUE(program->terminate(std::chrono::seconds(5)));
}

}  // namespace
}  // namespace zv::e2e
