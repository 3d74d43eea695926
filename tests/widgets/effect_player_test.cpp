// Frames of effect movies as the player draws them.
#include <gtest/gtest.h>

#include <QImage>
#include <cmath>

#include "host/logic/fireworks.h"
#include "host/movie_player.h"
#include "resources/effect_movies.h"

namespace zv {
namespace {

bool black(QRgb p) { return (p & 0xFFFFFF) == 0; }

movie::Movie builtIn(int n) { return *movie::read(artwork::effectMovie(n)); }

TEST(EffectPlayer, EveryPixelIsExactlyBlackOrClearlyBurning) {
  for (int n = 4; n <= 6; ++n) {
    MoviePlayer player(builtIn(n));
    QImage frame(1920, 1080, QImage::Format_ARGB32_Premultiplied);
    for (int f = 0; f < player.frameCount(); f += 4) {
      // Only the tiles said to burn need to reach the screen: nothing burns outside them.
      const QRegion burning = player.render(frame, f);
      for (int y = 0; y < frame.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(frame.constScanLine(y));
        for (int x = 0; x < frame.width(); ++x) {
          const QRgb p = row[x];
          ASSERT_EQ(qAlpha(p), 255);
          if (!black(p)) {
            ASSERT_TRUE(burning.contains(QPoint(x, y)))
                << "movie " << n << " frame " << f << " burns outside its tiles at " << x << ","
                << y;
          }
          ASSERT_TRUE(black(p) ||
                      std::max({qRed(p), qGreen(p), qBlue(p)}) >= MoviePlayer::kEmberFloor)
              << "movie " << n << " frame " << f << " at " << x << "," << y;
        }
      }
    }
  }
}

TEST(EffectPlayer, BurstsShowWhereTheyBurnAndNothingElseDoes) {
  for (int n = 4; n <= 6; ++n) {
    const movie::Movie m = builtIn(n);
    MoviePlayer player(m);
    QImage frame(1920, 1080, QImage::Format_ARGB32_Premultiplied);
    const int f = m.frameRate / 2;
    player.render(frame, f);
    movie::FrameContent content;
    movie::frameContent(m, f, content);
    ASSERT_FALSE(content.sparks.empty()) << n;
    const movie::Fit fit = movie::fitStage(m.width, m.height, 1920, 1080);
    QRegion burning;
    int checked = 0;
    for (const movie::Spark& s : content.sparks) {
      const QPointF head(fit.left + s.x * fit.scale, fit.top + s.y * fit.scale);
      const QPointF tail(fit.left + s.tailX * fit.scale, fit.top + s.tailY * fit.scale);
      const double reach = s.radius * fit.scale + 3;
      burning +=
          QRectF(head, tail).normalized().adjusted(-reach, -reach, reach, reach).toAlignedRect();
      if (s.brightness > 0.5 && s.radius * fit.scale > 1.5 &&
          frame.rect().contains(head.toPoint())) {
        EXPECT_FALSE(black(frame.pixel(head.toPoint())))
            << n << " at " << head.x() << "," << head.y();
        ++checked;
      }
    }
    for (const movie::Flash& fl : content.flashes) {
      const QPointF c(fit.left + fl.x * fit.scale, fit.top + fl.y * fit.scale);
      const double r = fl.radius * fit.scale + 3;
      burning += QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r).toAlignedRect();
    }
    EXPECT_GT(checked, 10) << n;
    for (int y = 0; y < 1080; y += 2) {
      for (int x = 0; x < 1920; x += 2) {
        if (!burning.contains(QPoint(x, y))) {
          ASSERT_TRUE(black(frame.pixel(x, y))) << n << " at " << x << "," << y;
        }
      }
    }
  }
}

TEST(EffectPlayer, AFrameIsTheSameWhateverCameBefore) {
  MoviePlayer player(builtIn(4));
  QImage first(800, 450, QImage::Format_ARGB32_Premultiplied), again = first;
  player.render(first, 30);
  player.render(again, 70);
  player.render(again, 3);
  player.render(again, 30);
  EXPECT_EQ(first, again);
  MoviePlayer other(builtIn(4));
  other.render(again, 30);
  EXPECT_EQ(first, again);
}

// At the screen's rate each picture clears only the tiles the one before it drew: over a
// run of moments between frames (and a jump back at the loop), every picture is the one
// drawn afresh on a clean target.
TEST(EffectPlayer, APictureOverTheLastOneWithOnlyItsTilesClearedIsAsIfDrawnAfresh) {
  for (int n = 4; n <= 6; ++n) {
    MoviePlayer player(builtIn(n)), fresh(builtIn(n));
    QImage kept(640, 360, QImage::Format_ARGB32_Premultiplied), clean = kept;
    QRegion stale(kept.rect());
    const int count = player.frameCount();
    for (double moment = 0; moment < count + 12; moment += 1.37) {
      const double at = std::fmod(moment, count);
      stale = player.render(kept, at, stale);
      const QRegion burning = fresh.render(clean, at, QRegion(clean.rect()));
      ASSERT_EQ(kept, clean) << n << " at " << at;
      ASSERT_EQ(stale, burning) << n << " at " << at;
    }
  }
}

TEST(EffectPlayer, TheStageIsFittedAndTheRestIsBackground) {
  movie::Movie m = builtIn(6);  // a square stage on a wide screen
  m.background = {10, 20, 30};
  MoviePlayer player(m);
  QImage frame(1600, 800, QImage::Format_RGB32);
  player.render(frame, 12);
  const QRgb background = qRgb(10, 20, 30);
  // The stage is 800 x 800 in the middle; 400 columns on either side are background.
  for (int y = 0; y < 800; y += 5) {
    for (int x : {0, 200, 399, 1200, 1400, 1599}) ASSERT_EQ(frame.pixel(x, y), background);
  }
  int burning = 0;
  for (int y = 0; y < 800; y += 2)
    for (int x = 400; x < 1200; x += 2) burning += frame.pixel(x, y) != background;
  EXPECT_GT(burning, 200);
  // Frames outside the movie are background alone.
  player.render(frame, m.frameCount);
  EXPECT_EQ(frame.pixel(800, 400), background);
}

}  // namespace
}  // namespace zv
