#pragma once
// The system-wide hot key Shift+Q, which must work while another window has the focus
// (X11: a key grab on the root window, x11/; Windows: RegisterHotKey, windows/).
#include <QAbstractNativeEventFilter>
#include <QMetaObject>
#include <functional>

namespace zv {

class GlobalHotKey : public QAbstractNativeEventFilter {
 public:
  GlobalHotKey() = default;
  ~GlobalHotKey() override;
  GlobalHotKey(const GlobalHotKey&) = delete;
  GlobalHotKey& operator=(const GlobalHotKey&) = delete;

  // Grabs Shift+Q on the whole display. Returns false where that is not possible (no X11
  // display, or the combination is taken by another program); the program goes on.
  //
  // While one of the program's own text fields has the focus the grab is given up, so a
  // capital Q typed there travels with the letters around it and stays in order; it is
  // taken again as soon as the focus leaves the field (to another widget, or to another
  // program).
  bool registerShiftQ(std::function<void()> pressed);
  bool isRegistered() const { return keycode_ != 0; }
  // Whether the display's Shift+Q comes to us now (registered and not given up).
  bool isGrabbed() const { return grabbed_; }

  bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

 private:
  // The platform's code of the Q key; 0 where there is no hot key to have (no X11
  // display, no application).
  static unsigned keyQ();
  // The platform's grab of the combination; grab returns whether it succeeded.
  bool grab();
  void ungrab();
  // Gives the grab up or takes it again for where the focus now is.
  void followFocus();
  void release();
  // A press that reached the filter: typed into the program's own focused text field (a
  // small q with CapsLock on), else the command. Returns true (the event is consumed).
  bool deliverPress(bool capsLock);

  std::function<void()> pressed_;
  unsigned keycode_ = 0;  // the platform's code of Q; 0 while not registered
  bool grabbed_ = false;
  QMetaObject::Connection focusWatch_;
};

}  // namespace zv
