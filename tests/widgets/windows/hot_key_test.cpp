// Shift+Q through the system's hot keys: given up while one of the program's text fields
// has the focus (a press already posted is typed into the field), taken again when the
// focus leaves it, and only our own WM_HOTKEY arms anything.
#include "platform/qt/hot_key.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

namespace zv {
namespace {

// What the message pump hands the filter for a press of the registered key.
bool deliverHotKey(GlobalHotKey& key, WPARAM id) {
  MSG message{};
  message.message = WM_HOTKEY;
  message.wParam = id;
  message.lParam = MAKELPARAM(MOD_SHIFT, 'Q');
  return key.nativeEventFilter("windows_generic_MSG", &message, nullptr);
}

TEST(WindowsHotKey, GivenUpInATextFieldAndTakenAgainOutsideIt) {
  QWidget window;
  auto* field = new QLineEdit(&window);
  auto* button = new QPushButton("OK", &window);
  auto* layout = new QVBoxLayout(&window);
  layout->addWidget(field);
  layout->addWidget(button);
  window.show();
  QApplication::setActiveWindow(&window);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  button->setFocus();

  GlobalHotKey key;
  int pressed = 0;
  if (!key.registerShiftQ([&pressed] { ++pressed; }))
    GTEST_SKIP() << "Shift+Q is another program's here";
  EXPECT_TRUE(key.isGrabbed());
  // Our id only: another program's hot key message is none of ours.
  EXPECT_FALSE(deliverHotKey(key, 1));
  MSG other{};
  other.message = WM_KEYDOWN;
  EXPECT_FALSE(key.nativeEventFilter("windows_generic_MSG", &other, nullptr));
  EXPECT_EQ(pressed, 0);

  // Find the id the program registered: the one the filter takes.
  WPARAM id = 0;
  for (WPARAM candidate = 0; candidate < 0xC000 && id == 0; ++candidate) {
    if (candidate != 1 && deliverHotKey(key, candidate)) id = candidate;
  }
  ASSERT_NE(id, 0u);
  EXPECT_EQ(pressed, 1);

  field->setFocus();
  EXPECT_FALSE(key.isGrabbed()) << "kept while a text field has the focus";
  // The system can no longer take the key: another registration of it succeeds.
  EXPECT_TRUE(RegisterHotKey(nullptr, 0x1234, MOD_SHIFT | MOD_NOREPEAT, 'Q'));
  UnregisterHotKey(nullptr, 0x1234);
  // A press posted before the key was given up is typed, and arms nothing.
  EXPECT_TRUE(deliverHotKey(key, id));
  EXPECT_EQ(field->text().toUpper(), "Q");
  EXPECT_EQ(pressed, 1);

  button->setFocus();
  EXPECT_TRUE(key.isGrabbed());
  EXPECT_TRUE(deliverHotKey(key, id));
  EXPECT_EQ(pressed, 2);
  EXPECT_EQ(field->text().toUpper(), "Q");
}

}  // namespace
}  // namespace zv
