#pragma once
#include <QSize>

namespace zv {

// The primary screen's size in pixels, read afresh at each call.
QSize primaryScreenSize();

}  // namespace zv
