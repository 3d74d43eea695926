// Paints the program's built-in pictures and writes them as JPEG data in a C++ source,
// plus the sample prize pictures of the demo folder.
//
//   artwork_generator <output.cpp> <sample-pictures-directory>
#include <QBuffer>
#include <QColor>
#include <QConicalGradient>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QTransform>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "layout/logic/wheel_geometry.h"
#include "resources/artwork.h"
#include "store/prize_slots.h"
#include "store/wheel_styles.h"
#include "platform/jpeg.h"

using zv::kBuiltinPrizeCount;
using zv::kFirstBuiltinPrizeSlot;
using zv::kSlotCount;
using zv::kWheelStyleCount;

namespace {

constexpr int kIconQuality = 90;
// The pictures painted at up to three times the size a screen shows them: their artefacts
// shrink with them, and the program stays smaller.
constexpr int kLargeQuality = 85;
constexpr double kPi = 3.14159265358979323846;

// ---------------------------------------------------------------------------------------
// Fonts

QString gCjkFamily;

void chooseCjkFamily() {
  const QStringList wanted = {"Noto Sans CJK SC", "Noto Serif CJK SC", "AR PL UKai CN",
                              "AR PL UMing CN"};
  const QStringList installed = QFontDatabase::families();
  for (const QString& family : wanted)
    if (installed.contains(family)) {
      gCjkFamily = family;
      return;
    }
  gCjkFamily = wanted.front();
  std::fprintf(stderr,
               "artwork_generator: warning: no CJK font found; prize texts may "
               "show as boxes (install fonts-noto-cjk)\n");
}

QFont cjkFont(int pixelSize) {
  QFont font(gCjkFamily);
  font.setPixelSize(pixelSize);
  font.setWeight(QFont::Bold);
  return font;
}

void checkGlyphs(const QFont& font, const QString& text) {
  const QFontMetrics metrics(font);
  for (const QChar ch : text)
    if (!metrics.inFont(ch))
      std::fprintf(stderr, "artwork_generator: warning: %s lacks U+%04X\n",
                   qPrintable(QFontInfo(font).family()), ch.unicode());
}

// Text centred in a box, with an outline so it reads on any background.
void drawOutlinedText(QPainter& p, const QRectF& box, const QString& text, const QFont& font,
                      const QColor& fill, const QColor& outline, double outlineWidth) {
  checkGlyphs(font, text);
  QPainterPath path;
  path.addText(0, 0, font, text);
  const QRectF bounds = path.boundingRect();
  path.translate(box.center() - bounds.center());
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  if (outlineWidth > 0) {
    QPainterPath shadow = path.translated(outlineWidth * 0.6, outlineWidth * 0.8);
    p.setPen(
        QPen(QColor(0, 0, 0, 90), outlineWidth * 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(0, 0, 0, 90));
    p.drawPath(shadow);
    p.setPen(QPen(outline, outlineWidth * 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
  }
  p.setPen(Qt::NoPen);
  p.setBrush(fill);
  p.drawPath(path);
  p.restore();
}

// ---------------------------------------------------------------------------------------
// Prize motifs, each drawn in a square of side s centred at c.

QPointF at(QPointF c, double s, double x, double y) { return c + QPointF(x * s, y * s); }

QLinearGradient goldGradient(QPointF c, double s) {
  QLinearGradient g(at(c, s, -0.4, -0.4), at(c, s, 0.4, 0.4));
  g.setColorAt(0.0, QColor("#FFF1A8"));
  g.setColorAt(0.45, QColor("#F5C231"));
  g.setColorAt(1.0, QColor("#B9801A"));
  return g;
}

void drawGift(QPainter& p, QPointF c, double s) {
  const QColor box("#D8263A"), boxDark("#9E1428"), ribbon("#FFD24A");
  p.setPen(QPen(boxDark, s * 0.025));
  p.setBrush(box);
  p.drawRect(QRectF(at(c, s, -0.36, -0.08), QSizeF(s * 0.72, s * 0.5)));  // body
  p.setBrush(box.lighter(112));
  p.drawRect(QRectF(at(c, s, -0.42, -0.22), QSizeF(s * 0.84, s * 0.16)));  // lid
  p.setPen(Qt::NoPen);
  p.setBrush(ribbon);
  p.drawRect(QRectF(at(c, s, -0.07, -0.22), QSizeF(s * 0.14, s * 0.64)));
  // Bow: two loops and a knot.
  p.setPen(QPen(QColor("#C8961E"), s * 0.025));
  for (const double side : {-1.0, 1.0}) {
    p.save();
    p.translate(at(c, s, side * 0.13, -0.3));
    p.rotate(side * 25);
    p.drawEllipse(QPointF(0, 0), s * 0.15, s * 0.08);
    p.restore();
  }
  p.drawEllipse(at(c, s, 0, -0.28), s * 0.06, s * 0.06);
}

void drawTrophy(QPainter& p, QPointF c, double s) {
  const QColor edge("#A56D12");
  p.setPen(QPen(edge, s * 0.03));
  p.setBrush(Qt::NoBrush);
  for (const double side : {-1.0, 1.0})  // handles
    p.drawEllipse(at(c, s, side * 0.27, -0.2), s * 0.13, s * 0.13);
  p.setBrush(goldGradient(c, s));
  QPainterPath cup;
  cup.moveTo(at(c, s, -0.3, -0.38));
  cup.lineTo(at(c, s, 0.3, -0.38));
  cup.cubicTo(at(c, s, 0.3, -0.02), at(c, s, 0.12, 0.08), at(c, s, 0.05, 0.1));
  cup.lineTo(at(c, s, 0.05, 0.24));
  cup.lineTo(at(c, s, -0.05, 0.24));
  cup.lineTo(at(c, s, -0.05, 0.1));
  cup.cubicTo(at(c, s, -0.12, 0.08), at(c, s, -0.3, -0.02), at(c, s, -0.3, -0.38));
  p.drawPath(cup);
  p.drawRect(QRectF(at(c, s, -0.2, 0.24), QSizeF(s * 0.4, s * 0.08)));
  p.drawRect(QRectF(at(c, s, -0.27, 0.32), QSizeF(s * 0.54, s * 0.1)));
  // A highlight down the bowl.
  p.setPen(QPen(QColor(255, 255, 255, 170), s * 0.04, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(at(c, s, -0.17, -0.32), at(c, s, -0.13, -0.12));
}

QPolygonF starPolygon(QPointF c, double outer, double inner, int points = 5) {
  QPolygonF star;
  for (int i = 0; i < points * 2; ++i) {
    const double r = i % 2 ? inner : outer;
    const double a = -kPi / 2 + i * kPi / points;
    star << c + QPointF(r * std::cos(a), r * std::sin(a));
  }
  return star;
}

void drawStar(QPainter& p, QPointF c, double s) {
  p.setPen(QPen(QColor("#C06010"), s * 0.03, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(goldGradient(c, s));
  p.drawPolygon(starPolygon(at(c, s, 0, 0.03), s * 0.48, s * 0.2));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 255, 255, 200));
  p.drawPolygon(starPolygon(at(c, s, -0.28, -0.3), s * 0.08, s * 0.03, 4));
  p.drawPolygon(starPolygon(at(c, s, 0.33, -0.28), s * 0.06, s * 0.025, 4));
}

void drawEnvelope(QPainter& p, QPointF c, double s) {
  const QRectF body(at(c, s, -0.3, -0.44), QSizeF(s * 0.6, s * 0.88));
  p.setPen(QPen(QColor("#8E1020"), s * 0.025));
  p.setBrush(QColor("#E02B3C"));
  p.drawRoundedRect(body, s * 0.05, s * 0.05);
  QPainterPath flap;
  flap.moveTo(body.topLeft());
  flap.lineTo(body.topRight());
  flap.lineTo(at(c, s, 0.3, -0.16));
  flap.quadTo(at(c, s, 0, 0.02), at(c, s, -0.3, -0.16));
  flap.closeSubpath();
  p.setBrush(QColor("#B81A2C"));
  p.drawPath(flap);
  p.setPen(QPen(QColor("#B5841C"), s * 0.02));
  p.setBrush(goldGradient(at(c, s, 0, -0.07), s * 0.4));
  p.drawEllipse(at(c, s, 0, -0.07), s * 0.11, s * 0.11);
  p.setBrush(QColor("#E02B3C"));
  p.drawRect(QRectF(at(c, s, -0.03, -0.1), QSizeF(s * 0.06, s * 0.06)));
  p.setPen(QPen(QColor("#F7C948"), s * 0.02));
  p.drawLine(at(c, s, -0.18, 0.3), at(c, s, 0.18, 0.3));
}

void drawCrown(QPainter& p, QPointF c, double s) {
  QPolygonF crown;
  crown << at(c, s, -0.42, 0.25) << at(c, s, -0.46, -0.22) << at(c, s, -0.22, 0.0)
        << at(c, s, 0, -0.36) << at(c, s, 0.22, 0.0) << at(c, s, 0.46, -0.22)
        << at(c, s, 0.42, 0.25);
  p.setPen(QPen(QColor("#9C6810"), s * 0.03, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(goldGradient(c, s));
  p.drawPolygon(crown);
  p.drawRect(QRectF(at(c, s, -0.44, 0.25), QSizeF(s * 0.88, s * 0.12)));
  p.setPen(QPen(QColor(255, 255, 255, 160), s * 0.015));
  const std::array<QColor, 3> gems = {QColor("#2F6FE0"), QColor("#E0203A"), QColor("#1FA050")};
  for (int i = 0; i < 3; ++i) {
    p.setBrush(gems[i]);
    p.drawEllipse(at(c, s, -0.24 + i * 0.24, 0.13), s * 0.055, s * 0.055);
  }
  p.setBrush(QColor("#FFF4C0"));
  for (const double x : {-0.46, 0.0, 0.46})
    p.drawEllipse(at(c, s, x, x == 0.0 ? -0.38 : -0.24), s * 0.045, s * 0.045);
}

void drawDiamond(QPainter& p, QPointF c, double s) {
  const QPointF tl = at(c, s, -0.26, -0.3), tr = at(c, s, 0.26, -0.3);
  const QPointF ml = at(c, s, -0.44, -0.1), mr = at(c, s, 0.44, -0.1);
  const QPointF bottom = at(c, s, 0, 0.42);
  QLinearGradient g(at(c, s, -0.4, -0.3), at(c, s, 0.4, 0.4));
  g.setColorAt(0, QColor("#E8FBFF"));
  g.setColorAt(0.5, QColor("#7FD8F5"));
  g.setColorAt(1, QColor("#2A8BC8"));
  p.setPen(QPen(QColor("#1A5E8E"), s * 0.025, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(g);
  p.drawPolygon(QPolygonF() << tl << tr << mr << bottom << ml);
  p.setPen(QPen(QColor(255, 255, 255, 200), s * 0.015));
  p.drawLine(ml, mr);
  const QPointF t1 = at(c, s, -0.09, -0.3), t2 = at(c, s, 0.09, -0.3);
  const QPointF m1 = at(c, s, -0.15, -0.1), m2 = at(c, s, 0.15, -0.1);
  p.drawLine(tl, m1);
  p.drawLine(t1, m1);
  p.drawLine(t1, at(c, s, 0, -0.1));
  p.drawLine(t2, at(c, s, 0, -0.1));
  p.drawLine(t2, m2);
  p.drawLine(tr, m2);
  p.drawLine(m1, bottom);
  p.drawLine(m2, bottom);
}

void drawHeart(QPainter& p, QPointF c, double s) {
  QPainterPath heart;
  heart.moveTo(at(c, s, 0, 0.4));
  heart.cubicTo(at(c, s, -0.5, 0.05), at(c, s, -0.5, -0.45), at(c, s, 0, -0.2));
  heart.cubicTo(at(c, s, 0.5, -0.45), at(c, s, 0.5, 0.05), at(c, s, 0, 0.4));
  QRadialGradient g(at(c, s, -0.15, -0.2), s * 0.6);
  g.setColorAt(0, QColor("#FF8A9E"));
  g.setColorAt(1, QColor("#D0102E"));
  p.setPen(QPen(QColor(255, 255, 255), s * 0.04, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(g);
  p.drawPath(heart);
}

void drawFlower(QPainter& p, QPointF c, double s) {
  p.setPen(QPen(QColor("#C2185B"), s * 0.02));
  p.setBrush(QColor("#FF9EC4"));
  for (int i = 0; i < 6; ++i) {
    p.save();
    p.translate(c);
    p.rotate(i * 60);
    p.drawEllipse(QPointF(0, -s * 0.24), s * 0.13, s * 0.22);
    p.restore();
  }
  p.setPen(QPen(QColor("#B26A00"), s * 0.02));
  p.setBrush(goldGradient(c, s * 0.5));
  p.drawEllipse(c, s * 0.14, s * 0.14);
}

using Motif = void (*)(QPainter&, QPointF, double);

// ---------------------------------------------------------------------------------------
// Wheel backdrops

struct Palette {
  QColor segmentA, segmentB;  // alternating pie slices
  QColor rimLight, rimDark;   // metallic rim
  QColor bulbOn, bulbOff;
  QColor hub, hubRing;
  QColor divider;
  QColor corner;  // outside the wheel; the program clips it away
};

const std::array<Palette, 4> kPalettes = {{
    // 1: red and gold, festive
    {QColor("#C8102E"), QColor("#F2B632"), QColor("#FFEBA8"), QColor("#A06A12"), QColor("#FFF8D0"),
     QColor("#D89A2A"), QColor("#FFF6DE"), QColor("#E3B23C"), QColor("#FFE9A8"), QColor("#1E1B1B")},
    // 2: blue and silver
    {QColor("#1F4FA8"), QColor("#C9D1DD"), QColor("#F6F8FC"), QColor("#76828F"), QColor("#EAF6FF"),
     QColor("#6FA6E6"), QColor("#F6F8FC"), QColor("#AFB9C7"), QColor("#FFFFFF"), QColor("#1A1C20")},
    // 3: green and orange
    {QColor("#2E9A44"), QColor("#F5892A"), QColor("#FFD390"), QColor("#B4580F"), QColor("#FFFBE2"),
     QColor("#EAA63A"), QColor("#FFF8E6"), QColor("#F0A23E"), QColor("#FFF3D6"), QColor("#1B1E1B")},
    // 4: purple and pink
    {QColor("#6B2FA0"), QColor("#F06CAC"), QColor("#FFD4EC"), QColor("#963A78"), QColor("#FFF2FB"),
     QColor("#DC6CBE"), QColor("#FFF3F9"), QColor("#E690C6"), QColor("#FFE6F4"), QColor("#1E1B20")},
}};

// Geometry in the 500 x 500 space where the program shows the wheel.
constexpr double kSpace = zv::layout_wheel::kSide;
// Painted at the largest stage scale, so that no screen up to 4K enlarges it.
constexpr double kWheelPixels = kSpace * zv::artwork::kSharpUpToScale;
const QPointF kCentre(253, 248);
constexpr double kWheelRadius = 246;
constexpr double kRimInner = 226;
constexpr double kBulbRadius = 236;
constexpr double kHubRadius = 50;      // plain, for the start/stop label
constexpr double kHubRingRadius = 57;  // 23% of the wheel's diameter
constexpr int kBulbs = 32;

// Top-left corners of the prize picture boxes as the stage lays them out.
constexpr const auto& kPictureBoxes = zv::layout_wheel::kPrizeCorners;

// Segment boundaries (degrees, clockwise from east) half way between neighbouring
// pictures, so each picture sits in a slice of its own.
std::vector<double> segmentBoundaries() {
  std::vector<double> angles;
  for (const auto& [left, top] : kPictureBoxes) {
    const double dx = left + zv::layout_wheel::kPrizeWidth / 2.0 - kCentre.x(),
                 dy = top + zv::layout_wheel::kPrizeHeight / 2.0 - kCentre.y();
    angles.push_back(std::atan2(dy, dx) * 180 / kPi);
  }
  std::sort(angles.begin(), angles.end());
  std::vector<double> bounds;
  for (std::size_t i = 0; i < angles.size(); ++i) {
    const double next = i + 1 < angles.size() ? angles[i + 1] : angles.front() + 360;
    bounds.push_back((angles[i] + next) / 2);
  }
  return bounds;
}

QPainterPath slice(double fromDegrees, double toDegrees, double radius) {
  QPainterPath path;
  const QRectF box(kCentre.x() - radius, kCentre.y() - radius, radius * 2, radius * 2);
  path.moveTo(kCentre);
  // Qt measures angles counter-clockwise; ours run clockwise on screen.
  path.arcTo(box, -fromDegrees, -(toDegrees - fromDegrees));
  path.closeSubpath();
  return path;
}

QPointF polar(double radius, double degrees) {
  const double a = degrees * kPi / 180;
  return kCentre + QPointF(radius * std::cos(a), radius * std::sin(a));
}

QImage paintWheel(const Palette& pal) {
  QImage image(static_cast<int>(kWheelPixels), static_cast<int>(kWheelPixels),
               QImage::Format_RGB32);
  image.fill(pal.corner);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(kWheelPixels / kSpace, kWheelPixels / kSpace);

  // A soft shadow under the wheel lifts it off the dark surround.
  QRadialGradient shadow(kCentre + QPointF(0, 4), kWheelRadius + 10);
  shadow.setColorAt(0.9, QColor(0, 0, 0, 160));
  shadow.setColorAt(1.0, QColor(0, 0, 0, 0));
  p.setPen(Qt::NoPen);
  p.setBrush(shadow);
  p.drawEllipse(kCentre + QPointF(0, 4), kWheelRadius + 10, kWheelRadius + 10);

  const std::vector<double> bounds = segmentBoundaries();
  for (std::size_t i = 0; i < bounds.size(); ++i) {
    const double from = bounds[i];
    const double to = i + 1 < bounds.size() ? bounds[i + 1] : bounds.front() + 360;
    const QColor base = i % 2 ? pal.segmentB : pal.segmentA;
    QRadialGradient g(kCentre, kRimInner);
    g.setColorAt(0.0, base.lighter(135));
    g.setColorAt(0.55, base.lighter(108));
    g.setColorAt(1.0, base.darker(118));
    p.setBrush(g);
    p.drawPath(slice(from, to, kRimInner + 1));
    // A faint band near the rim, like the lacquer edge of a painted wheel.
    p.setPen(QPen(QColor(255, 255, 255, 60), 2));
    p.setBrush(Qt::NoBrush);
    const QRectF band(kCentre.x() - 212, kCentre.y() - 212, 424, 424);
    p.drawArc(band, static_cast<int>(-from * 16), static_cast<int>(-(to - from) * 16));
    p.setPen(Qt::NoPen);
  }
  p.setPen(QPen(pal.divider, 2.2, Qt::SolidLine, Qt::RoundCap));
  for (const double a : bounds) p.drawLine(polar(kHubRingRadius, a), polar(kRimInner, a));

  // Rim: a metallic ring with shading that catches the light at the top left.
  QPainterPath rim;
  rim.addEllipse(kCentre, kWheelRadius, kWheelRadius);
  rim.addEllipse(kCentre, kRimInner, kRimInner);
  QConicalGradient metal(kCentre, 135);
  for (int i = 0; i <= 8; ++i) metal.setColorAt(i / 8.0, i % 2 ? pal.rimDark : pal.rimLight);
  p.setPen(Qt::NoPen);
  p.setBrush(metal);
  p.drawPath(rim);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(pal.rimDark.darker(140), 1.6));
  p.drawEllipse(kCentre, kWheelRadius, kWheelRadius);
  p.drawEllipse(kCentre, kRimInner, kRimInner);

  // Bulbs, alternately lit, like a fairground wheel.
  for (int i = 0; i < kBulbs; ++i) {
    const QPointF c = polar(kBulbRadius, -90 + i * 360.0 / kBulbs);
    const bool lit = i % 2 == 0;
    if (lit) {
      QRadialGradient glow(c, 11);
      glow.setColorAt(0, QColor(255, 255, 230, 170));
      glow.setColorAt(1, QColor(255, 255, 230, 0));
      p.setPen(Qt::NoPen);
      p.setBrush(glow);
      p.drawEllipse(c, 11, 11);
    }
    QRadialGradient bulb(c - QPointF(1.4, 1.4), 6);
    bulb.setColorAt(0, Qt::white);
    bulb.setColorAt(0.5, lit ? pal.bulbOn : pal.bulbOff);
    bulb.setColorAt(1, (lit ? pal.bulbOn : pal.bulbOff).darker(150));
    p.setPen(QPen(pal.rimDark.darker(150), 0.8));
    p.setBrush(bulb);
    p.drawEllipse(c, 5.4, 5.4);
  }

  // Hub: a metal ring around a plain light disc that carries the start/stop label.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0, 0, 0, 90));
  p.drawEllipse(kCentre + QPointF(0, 2.5), kHubRingRadius + 2, kHubRingRadius + 2);
  QConicalGradient ring(kCentre, 135);
  ring.setColorAt(0, pal.hubRing.lighter(140));
  ring.setColorAt(0.5, pal.hubRing.darker(125));
  ring.setColorAt(1, pal.hubRing.lighter(140));
  p.setBrush(ring);
  p.drawEllipse(kCentre, kHubRingRadius, kHubRingRadius);
  QRadialGradient disc(kCentre - QPointF(12, 14), kHubRadius * 1.6);
  disc.setColorAt(0, pal.hub.lighter(104));
  disc.setColorAt(1, pal.hub.darker(106));
  p.setBrush(disc);
  p.setPen(QPen(pal.hubRing.darker(130), 1));
  p.drawEllipse(kCentre, kHubRadius, kHubRadius);
  p.end();
  return image;
}

// ---------------------------------------------------------------------------------------
// Prize pictures

// A picture drawn in a design space of the given size (the coordinates below), painted at
// the pixels that cover its largest showing at the largest stage scale, aspect kept.
struct Canvas {
  QImage image;
  double scale = 1;
};

Canvas prizeCanvas(double designWidth, double designHeight) {
  const int height = zv::artwork::kLargestPrizePictureHeight * zv::artwork::kSharpUpToScale;
  const double scale = height / designHeight;
  return {QImage(static_cast<int>(std::lround(designWidth * scale)), height, QImage::Format_RGB32),
          scale};
}

const std::array<QString, 8> kRankNames = {"一等奖", "二等奖", "三等奖", "四等奖",
                                           "五等奖", "六等奖", "七等奖", "八等奖"};

// Built-in pictures of slots 5..8, shown in 106 x 65 boxes (designed at twice that).
QImage paintBuiltinPrize(int slot) {
  struct Look {
    Motif motif;
    QColor top, bottom, frame, text;
  };
  const std::array<Look, kBuiltinPrizeCount> looks = {{
      {drawGift, QColor("#FFF1F3"), QColor("#FFC9D3"), QColor("#D8263A"), QColor("#B0102A")},
      {drawTrophy, QColor("#EEF6FF"), QColor("#BFDCFA"), QColor("#2D6CC0"), QColor("#174A96")},
      {drawStar, QColor("#F4EEFF"), QColor("#D6C6FA"), QColor("#6E3FC0"), QColor("#4C2296")},
      {drawEnvelope, QColor("#FFFBEA"), QColor("#FFE8A6"), QColor("#C98A12"), QColor("#B0102A")},
  }};
  const Look& look = looks[static_cast<std::size_t>(slot - kFirstBuiltinPrizeSlot)];
  Canvas canvas = prizeCanvas(212, 130);
  QImage& image = canvas.image;
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(canvas.scale, canvas.scale);
  QLinearGradient bg(0, 0, 0, 130);
  bg.setColorAt(0, look.top);
  bg.setColorAt(1, look.bottom);
  p.fillRect(QRectF(0, 0, 212, 130), bg);
  p.setPen(QPen(look.frame, 6));
  p.setBrush(Qt::NoBrush);
  p.drawRoundedRect(QRectF(3, 3, 206, 124), 12, 12);
  look.motif(p, QPointF(54, 66), 94);
  drawOutlinedText(p, QRectF(98, 8, 106, 114), kRankNames[static_cast<std::size_t>(slot - 1)],
                   cjkFont(32), look.text, Qt::white, 2.5);
  p.end();
  return image;
}

// Sample pictures for the demo folder: one per rank, each its own colour and motif.
QImage paintSample(int rank) {
  struct Look {
    Motif motif;
    QColor background;
  };
  const std::array<Look, 8> looks = {{
      {drawCrown, QColor("#C0392B")},
      {drawDiamond, QColor("#2154A8")},
      {drawTrophy, QColor("#1E8449")},
      {drawStar, QColor("#6C3483")},
      {drawHeart, QColor("#E67E22")},
      {drawGift, QColor("#138D90")},
      {drawEnvelope, QColor("#2C3E50")},
      {drawFlower, QColor("#9A6B12")},
  }};
  const Look& look = looks[static_cast<std::size_t>(rank - 1)];
  const int w = 320, h = 196;
  Canvas canvas = prizeCanvas(w, h);
  QImage& image = canvas.image;
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(canvas.scale, canvas.scale);
  QLinearGradient bg(0, 0, w, h);
  bg.setColorAt(0, look.background.lighter(135));
  bg.setColorAt(1, look.background.darker(125));
  p.fillRect(QRectF(0, 0, w, h), bg);
  // Rays from behind the motif.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 255, 255, 28));
  const QPointF motifCentre(78, 98);
  for (int i = 0; i < 12; ++i) {
    const double a = i * kPi / 6, b = a + kPi / 14;
    p.drawPolygon(QPolygonF() << motifCentre
                              << motifCentre + 400 * QPointF(std::cos(a), std::sin(a))
                              << motifCentre + 400 * QPointF(std::cos(b), std::sin(b)));
  }
  p.setBrush(QColor(255, 255, 255, 60));
  p.drawEllipse(motifCentre, 62, 62);
  look.motif(p, motifCentre, 118);
  p.setPen(QPen(QColor(255, 255, 255, 220), 4));
  p.setBrush(Qt::NoBrush);
  p.drawRoundedRect(QRectF(6, 6, w - 12, h - 12), 14, 14);
  drawOutlinedText(p, QRectF(146, 20, 164, 156), kRankNames[static_cast<std::size_t>(rank - 1)],
                   cjkFont(52), Qt::white, look.background.darker(200), 3);
  p.end();
  return image;
}

// ---------------------------------------------------------------------------------------
// Panel icon: a gear drawn pixel by pixel, since anti-aliasing blurs it at 16 x 16.

QImage paintIcon() {
  static const char* const kGear[16] = {
      "................", "......####......", "..##..####..##..", "..############..",
      "...##########...", "..####....####..", "######....######", "#####......#####",
      "#####......#####", "######....######", "..####....####..", "...##########...",
      "..############..", "..##..####..##..", "......####......", "................",
  };
  QImage image(16, 16, QImage::Format_RGB32);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x)
      image.setPixelColor(x, y, kGear[y][x] == '#' ? QColor("#3C5068") : QColor("#F0F0F0"));
  return image;
}

// ---------------------------------------------------------------------------------------
// Application icon: the first wheel on a transparent ground, at the hicolor theme's sizes.

bool writeAppIcons(const QString& themeDir, const QString& name) {
  const QImage wheel = paintWheel(kPalettes[0]);
  const double scale = kWheelPixels / kSpace;
  const double radius = (kWheelRadius + 1) * scale;
  const QPointF centre = kCentre * scale;
  const int side = static_cast<int>(std::ceil(radius * 2));
  QImage round(side, side, QImage::Format_ARGB32_Premultiplied);
  round.fill(Qt::transparent);
  QPainter p(&round);
  p.setRenderHint(QPainter::Antialiasing);
  QBrush texture(wheel);
  texture.setTransform(QTransform::fromTranslate(radius - centre.x(), radius - centre.y()));
  p.setPen(Qt::NoPen);
  p.setBrush(texture);
  p.drawEllipse(QPointF(side / 2.0, side / 2.0), radius, radius);
  p.end();
  // Windows takes the same pictures in one .ico beside the theme folder: PNG entries, each
  // behind a 16-byte directory record (a size of 256 is written as 0).
  std::vector<QByteArray> icoEntries;
  std::vector<int> icoSizes;
  for (const int size : {16, 22, 24, 32, 48, 64, 128, 256, 512}) {
    const QString dir = QString("%1/%2x%2/apps").arg(themeDir).arg(size);
    const QImage icon = round.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    if (!QDir().mkpath(dir) || !icon.save(dir + "/" + name + ".png", "PNG")) {
      std::fprintf(stderr, "artwork_generator: cannot write the %dx%d icon\n", size, size);
      return false;
    }
    if (size == 16 || size == 24 || size == 32 || size == 48 || size == 64 || size == 256) {
      QByteArray png;
      QBuffer buffer(&png);
      buffer.open(QIODevice::WriteOnly);
      icon.save(&buffer, "PNG");
      icoEntries.push_back(png);
      icoSizes.push_back(size);
    }
  }
  QByteArray ico;
  auto put16 = [&ico](unsigned v) {
    ico.append(static_cast<char>(v & 0xFF)).append(static_cast<char>((v >> 8) & 0xFF));
  };
  auto put32 = [&put16](unsigned v) {
    put16(v & 0xFFFF);
    put16(v >> 16);
  };
  put16(0);
  put16(1);
  put16(static_cast<unsigned>(icoEntries.size()));
  unsigned offset = 6 + 16 * static_cast<unsigned>(icoEntries.size());
  for (std::size_t i = 0; i < icoEntries.size(); ++i) {
    const char edge = static_cast<char>(icoSizes[i] & 0xFF);
    ico.append(edge).append(edge).append('\0').append('\0');  // no palette, reserved
    put16(1);
    put16(32);
    put32(static_cast<unsigned>(icoEntries[i].size()));
    put32(offset);
    offset += static_cast<unsigned>(icoEntries[i].size());
  }
  for (const QByteArray& png : icoEntries) ico.append(png);
  QFile icoFile(themeDir + "/../" + name + ".ico");
  if (!icoFile.open(QIODevice::WriteOnly) || icoFile.write(ico) != ico.size()) {
    std::fprintf(stderr, "artwork_generator: cannot write the Windows icon\n");
    return false;
  }
  return true;
}

// ---------------------------------------------------------------------------------------
// Output

std::string toJpeg(const QImage& painted, int quality) {
  const QImage rgb = painted.convertToFormat(QImage::Format_RGB888);
  zv::RgbImage image;
  image.width = rgb.width();
  image.height = rgb.height();
  image.pixels.resize(static_cast<std::size_t>(image.width) * image.height * 3);
  const std::size_t stride = static_cast<std::size_t>(image.width) * 3;
  for (int y = 0; y < image.height; ++y)
    std::memcpy(image.pixels.data() + y * stride, rgb.constScanLine(y), stride);
  return zv::encodeJpeg(image, quality);
}

void appendArray(std::string& out, const std::string& name, const std::string& bytes) {
  out += "const unsigned char " + name + "[] = {";
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (i % 24 == 0) out += "\n ";
    out += std::to_string(static_cast<unsigned char>(bytes[i]));
    out += ',';
  }
  out += "\n};\n";
}

bool writeFile(const QString& path, const std::string& bytes) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
      file.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
          static_cast<qint64>(bytes.size())) {
    std::fprintf(stderr, "artwork_generator: cannot write %s\n", qPrintable(path));
    return false;
  }
  return true;
}

}  // namespace

// The offscreen platform complains about a missing runtime directory, which a build
// machine need not have; keep the build log for real problems.
void filterMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (message.startsWith("QStandardPaths:")) return;
  std::fprintf(stderr, "artwork_generator: %s\n", qPrintable(message));
  if (type == QtFatalMsg) std::abort();
}

int main(int argc, char** argv) {
  if (argc != 3 && argc != 5) {
    std::fprintf(stderr,
                 "usage: artwork_generator <output.cpp> <sample-pictures-dir>"
                 " [<icon-theme-dir> <icon-name>]\n");
    return 2;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  qInstallMessageHandler(filterMessages);
  QGuiApplication app(argc, argv);
  chooseCjkFamily();

  std::vector<std::string> wheels, prizes;
  static_assert(std::size(kPalettes) == kWheelStyleCount, "one palette per wheel style");
  for (const Palette& palette : kPalettes)
    wheels.push_back(toJpeg(paintWheel(palette), kLargeQuality));
  for (int slot = kFirstBuiltinPrizeSlot; slot <= kSlotCount; ++slot)
    prizes.push_back(toJpeg(paintBuiltinPrize(slot), kLargeQuality));
  const std::string icon = toJpeg(paintIcon(), kIconQuality);

  std::string source =
      "// Generated by artwork_generator (src/resources/gen/artwork_generator.cpp) at build\n"
      "// time; edits here are lost on the next build.\n"
      "#include \"resources/artwork_blobs.h\"\n\n"
      "namespace zv::artwork::detail {\nnamespace {\n\n";
  for (std::size_t i = 0; i < wheels.size(); ++i)
    appendArray(source, "kWheel" + std::to_string(i + 1), wheels[i]);
  for (std::size_t i = 0; i < prizes.size(); ++i)
    appendArray(source, "kPrize" + std::to_string(i + kFirstBuiltinPrizeSlot), prizes[i]);
  appendArray(source, "kIcon", icon);
  const auto blobArray = [&source](const std::string& array, const std::string& count,
                               const std::string& element, int first, std::size_t n) {
    source += "const Blob " + array + "[" + count + "] = {\n";
    for (std::size_t i = 0; i < n; ++i) {
      const std::string name = element + std::to_string(first + static_cast<int>(i));
      source += "    {" + name + ", sizeof " + name + "},\n";
    }
    source += "};\n";
  };
  source += "\n}  // namespace\n\n";
  blobArray("kWheelStyles", "kWheelStyleCount", "kWheel", 1, wheels.size());
  blobArray("kPrizePictures", "kBuiltinPrizeCount", "kPrize", kFirstBuiltinPrizeSlot, prizes.size());
  source += "const Blob kPanelIcon = {kIcon, sizeof kIcon};\n";
  // The lit frame of a highlighted slot glows in its wheel's own colours.
  source += "const unsigned kWheelGlows[kWheelStyleCount][2] = {\n";
  for (const Palette& palette : kPalettes) {
    char row[64];
    std::snprintf(row, sizeof row, "    {0x%06X, 0x%06X},\n", palette.bulbOn.rgb() & 0xFFFFFFu,
                  palette.hubRing.rgb() & 0xFFFFFFu);
    source += row;
  }
  source += "};\n\n}  // namespace zv::artwork::detail\n";

  for (const auto& blobs : {wheels, prizes, std::vector<std::string>{icon}})
    for (const std::string& jpeg : blobs)
      if (jpeg.empty()) {
        std::fprintf(stderr, "artwork_generator: JPEG encoding failed\n");
        return 1;
      }
  if (!writeFile(QString::fromLocal8Bit(argv[1]), source)) return 1;

  const QString sampleDir = QString::fromLocal8Bit(argv[2]);
  if (!QDir().mkpath(sampleDir)) {
    std::fprintf(stderr, "artwork_generator: cannot create %s\n", argv[2]);
    return 1;
  }
  for (int rank = 1; rank <= 8; ++rank) {
    const std::string jpeg = toJpeg(paintSample(rank), kLargeQuality);
    if (jpeg.empty() || !writeFile(sampleDir + "/" + QString::number(rank) + ".jpg", jpeg))
      return 1;
  }
  if (argc == 5 && !writeAppIcons(QString::fromLocal8Bit(argv[3]), QString::fromLocal8Bit(argv[4])))
    return 1;
  return 0;
}
