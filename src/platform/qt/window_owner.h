#pragma once
// Every window the program opens stays above the window it was opened from.
class QWidget;

namespace zv {

// Makes the window transient for the window it is opened over: the modal window in front,
// else the active window, else the stage. A window manager then keeps it above that window,
// even when the operator clicks the full-screen stage behind it. Call before showing it;
// a window opened before any other is shown is left alone.
void keepAboveOwner(QWidget& window);

}  // namespace zv
