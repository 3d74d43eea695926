#include "forms/unit_font.h"

#include <cmath>

#include "forms/logic/font_numbers.h"
#include "platform/qt/fonts.h"

namespace zv::forms {

UnitFont UnitFont::fromPixelHeight(const QString& face, int pixels, bool bold) {
  UnitFont font;
  font.face = face;
  font.points = pixels * 72.0 / 96.0;
  font.bold = bold;
  return font;
}

int pointsToPixels(double points) {
  const long pixels = std::lround(points * 96.0 / 72.0);
  return static_cast<int>(std::clamp(pixels, 1L, 4000L));
}

QFont UnitFont::toQFont() const {
  QFont font;
  font.setFamilies(familiesFor(face));
  font.setPixelSize(pointsToPixels(points));
  font.setBold(bold);
  font.setItalic(italic);
  font.setUnderline(underline);
  font.setStrikeOut(strikeOut);
  return font;
}

QColor colourFromBgr(std::uint32_t bgr) {
  const Rgb rgb = rgbFromBgr(bgr);
  return QColor(rgb.red, rgb.green, rgb.blue);
}

std::uint32_t colourToBgr(const QColor& colour) {
  return bgrFromRgb({colour.red(), colour.green(), colour.blue()});
}

}  // namespace zv::forms
