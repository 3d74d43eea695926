#pragma once
// The platform id of a top-level window, got without QWidget::winId(): winId() marks the
// widget native, and Qt then makes every sibling under the same parent native too. Native
// child windows of the stage lose their see-through background when the stage's frame
// changes, so the titles would turn into black bars.
#include <QWidget>
#include <cstdint>

namespace zv {

// Creates the window's platform window if it has none yet; 0 for a non-window widget.
std::uint64_t topLevelWindowId(QWidget* window);

}  // namespace zv
