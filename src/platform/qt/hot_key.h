#pragma once
// The system-wide hot key Shift+Q, which must work while another window has the focus.
#include <QAbstractNativeEventFilter>
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
  bool registerShiftQ(std::function<void()> pressed);
  bool isRegistered() const { return keycode_ != 0; }

  bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

 private:
  void release();
  std::function<void()> pressed_;
  unsigned keycode_ = 0;
};

}  // namespace zv
