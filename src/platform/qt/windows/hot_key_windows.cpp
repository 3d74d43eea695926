// Shift+Q through the system's hot keys. Registered for this thread rather than a window,
// so the WM_HOTKEY comes through the event loop's own message pump (and Qt's native event
// filters) whichever window of the program exists or is shown.
#include <windows.h>

#include <QCoreApplication>

#include "platform/qt/hot_key.h"

namespace zv {

namespace {

// Ids below 0xC000 are the program's own.
constexpr int kHotKeyId = 0x5A51;
constexpr unsigned kKeyQ = 'Q';

}  // namespace

unsigned GlobalHotKey::keyQ() { return QCoreApplication::instance() ? kKeyQ : 0; }

bool GlobalHotKey::grab() {
  if (keycode_ == 0) return false;
  // Exactly Shift: Ctrl+Shift+Q and the like stay other programs' keys. No repeats while
  // the key is held down, as one press is one command.
  return RegisterHotKey(nullptr, kHotKeyId, MOD_SHIFT | MOD_NOREPEAT, keycode_) != 0;
}

void GlobalHotKey::ungrab() {
  if (keycode_ == 0) return;
  UnregisterHotKey(nullptr, kHotKeyId);
}

bool GlobalHotKey::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
  if (keycode_ == 0 || eventType != "windows_generic_MSG") return false;
  const auto* msg = static_cast<const MSG*>(message);
  if (msg->message != WM_HOTKEY || msg->wParam != static_cast<WPARAM>(kHotKeyId)) return false;
  // A press posted just before the hot key was given up to a text field: the system took
  // the key, so it is typed into the field here (a small q with CapsLock on), in order.
  return deliverPress((GetKeyState(VK_CAPITAL) & 1) != 0);
}

}  // namespace zv
