// 界面大小 → 适应屏幕 and 显示器: the switch stored for the next start, and the monitor stored
// by name.
#include <QAction>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <gtest/gtest.h>

#include "layout/window_layouts.h"
#include "dialogs/message_boxes.h"
#include "stage_fixture.h"
#include "store/ini_file.h"

namespace zv {
namespace {

class ScreensMenu : public ::testing::Test {
 protected:
  void SetUp() override { MessageBoxes::clearShown(); }
  std::string stored(const char* key) { return ini::read(s.dir.file("config.a"), "zbt", key); }
  testing::StageFixture s;
};

TEST_F(ScreensMenu, FitToScreenIsTickedUnlessStoredFalseAndAToggleSaysItAppliesNextStart) {
  for (const char* value : {"", "真", "whatever"}) {
    s.writeSettings(std::string("[zbt]\r\n适应屏幕=") + value + "\r\n");
    s.start();
    EXPECT_TRUE(s.ticked(menu::kFitToScreen)) << value;
  }
  s.writeSettings("[zbt]\r\n适应屏幕=假\r\n");
  s.start();
  EXPECT_FALSE(s.ticked(menu::kFitToScreen));

  s.form().menuItem(menu::kFitToScreen)->action()->trigger();
  EXPECT_TRUE(s.ticked(menu::kFitToScreen));
  EXPECT_EQ(stored("适应屏幕"), "真");
  s.form().menuItem(menu::kFitToScreen)->action()->trigger();
  EXPECT_FALSE(s.ticked(menu::kFitToScreen));
  EXPECT_EQ(stored("适应屏幕"), "假");
  ASSERT_EQ(MessageBoxes::shown().size(), 2u);
  EXPECT_NE(MessageBoxes::shown()[0].text.find("下次启动"), std::string::npos);
}

TEST_F(ScreensMenu, TheMonitorMenuListsTheScreensTicksTheStagesAndStoresTheChoiceByName) {
  s.start();
  QMenu* monitors = s.form().menuItem(menu::kMonitors)->submenu();
  ASSERT_NE(monitors, nullptr);
  emit monitors->aboutToShow();
  const QList<QAction*> actions = monitors->actions();
  ASSERT_EQ(actions.size(), QGuiApplication::screens().size());
  EXPECT_TRUE(actions[0]->text().startsWith("1: "));
  EXPECT_TRUE(actions[0]->text().endsWith(" (主)")) << actions[0]->text().toStdString();
  EXPECT_TRUE(actions[0]->isChecked());

  actions[0]->trigger();
  EXPECT_EQ(stored("显示器"), QGuiApplication::primaryScreen()->name().toStdString());
  EXPECT_TRUE(MessageBoxes::shown().empty());
}

}  // namespace
}  // namespace zv
