#include "forms/unit_font.h"

#include <cmath>

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
  QFont font(face);
  font.setPixelSize(pointsToPixels(points));
  font.setBold(bold);
  font.setItalic(italic);
  font.setUnderline(underline);
  font.setStrikeOut(strikeOut);
  return font;
}

QColor colourFromBgr(std::uint32_t bgr) {
  return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                static_cast<int>((bgr >> 16) & 0xFF));
}

std::uint32_t colourToBgr(const QColor& colour) {
  return static_cast<std::uint32_t>(colour.red()) |
         (static_cast<std::uint32_t>(colour.green()) << 8) |
         (static_cast<std::uint32_t>(colour.blue()) << 16);
}

}  // namespace zv::forms
