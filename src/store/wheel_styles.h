#pragma once
// The wheel's looks: the menu, the stored key and the artwork all count them from here.
namespace zv {

inline constexpr int kWheelStyleCount = 4;

// Styles are numbered 1..kWheelStyleCount; anything else shows style 1.
inline constexpr bool isWheelStyle(int style) { return style >= 1 && style <= kWheelStyleCount; }

}  // namespace zv
