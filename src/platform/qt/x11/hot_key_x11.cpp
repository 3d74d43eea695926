#include <QGuiApplication>

#include "platform/qt/hot_key.h"

// Xlib after Qt: its macros (Bool, Status, None) clash with Qt's headers.
// clang-format off
#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <xcb/xcb.h>
// clang-format on

namespace zv {

namespace {

Display* x11Display() {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  return x11 ? x11->display() : nullptr;
}

// NumLock (Mod2) and CapsLock (Lock) change the modifier state of the key press, so the
// grab is made for every combination of them.
constexpr unsigned kLockCombinations[] = {0, LockMask, Mod2Mask, LockMask | Mod2Mask};

bool grabFailed = false;
int recordGrabError(Display*, XErrorEvent*) {
  grabFailed = true;
  return 0;
}

}  // namespace

unsigned GlobalHotKey::keyQ() {
  Display* display = x11Display();
  return display ? XKeysymToKeycode(display, XK_q) : 0;
}

bool GlobalHotKey::grab() {
  Display* display = x11Display();
  if (!display || keycode_ == 0) return false;
  const Window root = DefaultRootWindow(display);
  XSync(display, False);
  grabFailed = false;
  const auto previous = XSetErrorHandler(recordGrabError);
  for (const unsigned locks : kLockCombinations) {
    XGrabKey(display, keycode_, ShiftMask | locks, root, True, GrabModeAsync, GrabModeAsync);
  }
  XSync(display, False);
  XSetErrorHandler(previous);
  if (grabFailed) {
    ungrab();
    return false;
  }
  return true;
}

void GlobalHotKey::ungrab() {
  Display* display = x11Display();
  if (!display || keycode_ == 0) return;
  const Window root = DefaultRootWindow(display);
  for (const unsigned locks : kLockCombinations)
    XUngrabKey(display, keycode_, ShiftMask | locks, root);
  // Waits for the server: a key typed from now on goes to the focused field in order.
  XSync(display, False);
}

bool GlobalHotKey::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
  // Given up, Shift+Q is an ordinary key that Qt delivers in order with the others.
  if (keycode_ == 0 || !grabbed_ || eventType != "xcb_generic_event_t") return false;
  auto* event = static_cast<xcb_generic_event_t*>(message);
  if ((event->response_type & ~0x80) != XCB_KEY_PRESS) return false;
  auto* key = reinterpret_cast<xcb_key_press_event_t*>(event);
  const unsigned modifiers = key->state & (ShiftMask | ControlMask | Mod1Mask | Mod4Mask);
  if (key->detail != keycode_ || modifiers != ShiftMask) return false;
  // In one of the program's own text fields the combination is just a capital letter
  // (a small one with CapsLock on): a password with a Q must be typeable and must not arm
  // anything. The grab is given up while such a field has the focus; this covers a press
  // that was on its way before it was (or a field made editable without a focus change).
  return deliverPress((key->state & LockMask) != 0);
}

}  // namespace zv
