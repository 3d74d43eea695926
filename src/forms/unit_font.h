#pragma once
// The font of a unit as the program keeps it: a face name as the operator knows it
// (宋体, 隶书, ...) and a size in points. Qt maps the face to an installed one.
#include <QColor>
#include <QFont>
#include <QString>
#include <cstdint>

namespace zv::forms {

struct UnitFont {
  QString face;
  double points = 9;
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;

  static UnitFont fromPixelHeight(const QString& face, int pixels, bool bold);
  QFont toQFont() const;
  bool operator==(const UnitFont&) const = default;
};

// The stage is laid out in pixels at 96 dots per inch, whatever the screen reports.
int pointsToPixels(double points);

QColor colourFromBgr(std::uint32_t bgr);
std::uint32_t colourToBgr(const QColor& colour);

}  // namespace zv::forms
