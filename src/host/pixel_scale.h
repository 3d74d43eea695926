#pragma once
// Rectangles between a window's own pixels and a screen's device pixels.
#include <QRect>
#include <QRegion>
#include <cmath>

namespace zv {

// The whole pixels that rect covers once scaled by factor (rounded outwards).
inline QRect coveringRect(const QRect& rect, qreal factor) {
  const int left = static_cast<int>(std::floor(rect.x() * factor));
  const int top = static_cast<int>(std::floor(rect.y() * factor));
  const int right = static_cast<int>(std::ceil((rect.x() + rect.width()) * factor));
  const int bottom = static_cast<int>(std::ceil((rect.y() + rect.height()) * factor));
  return QRect(left, top, right - left, bottom - top);
}

inline QRegion coveringRegion(const QRegion& region, qreal factor) {
  if (factor == 1) return region;
  QRegion covered;
  for (const QRect& r : region) covered += coveringRect(r, factor);
  return covered;
}

}  // namespace zv
