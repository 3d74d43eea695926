// The titles' menu items on the real program: the font dialog cancelled still stores the
// title's font; a typed title is shown and stored.
#include <gtest/gtest.h>

#include <thread>

#include "stage_fixture.h"

namespace zv::e2e {
namespace {

using namespace std::chrono_literals;

// Menu rows, as the keyboard reaches them from the top.
constexpr int kMainTitleRow = 2;
constexpr int kFontsRow = 6;

class TitlesOnStage : public StageTest {
 protected:
  void chooseFromMenu(int row, bool firstOfSubmenu = false) {
    xdotool(x.name(), "mousemove 1250 700 click 3");
    std::this_thread::sleep_for(500ms);
    for (int i = 0; i <= row; ++i) key("Down");
    if (firstOfSubmenu) {
      key("Right");
      std::this_thread::sleep_for(200ms);
    }
    key("Return");
  }
  std::string fonts(const char* key) { return ini::read(dir.file("config.a"), "yanse", key); }
};

TEST_F(TitlesOnStage, CancelledFontDialogStoresTheFontAndATypedTitleIsStored) {
  start();
  chooseFromMenu(kFontsRow, true);
  ASSERT_TRUE(waitUntil([&] { return x.findWindow("字体").has_value(); }, 5s));
  std::this_thread::sleep_for(300ms);
  key("Escape");
  ASSERT_TRUE(waitUntil([&] { return fonts("主标题字体颜色") == "65535"; }, 5s));
  EXPECT_EQ(fonts("主标题字体"), "宋体");
  EXPECT_EQ(fonts("主标题字体大小"), "50");
  ASSERT_TRUE(waitUntil([&] { return !x.findWindow("字体").has_value(); }, 5s));

  chooseFromMenu(kMainTitleRow);
  ASSERT_TRUE(waitUntil([&] { return x.findWindow("请输入主标题").has_value(); }, 5s));
  std::this_thread::sleep_for(300ms);
  key("ctrl+a");
  xdotool(x.name(), "type 'Lucky 2026'");
  key("Return");
  EXPECT_TRUE(waitUntil(
      [&] { return ini::read(dir.file("config.a"), "zbt", "主标题") == "Lucky 2026"; }, 5s));
  EXPECT_TRUE(program->running());
}

}  // namespace
}  // namespace zv::e2e
