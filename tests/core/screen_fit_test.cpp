#include "platform/logic/screen_fit.h"

#include <gtest/gtest.h>

namespace zv {
namespace {

TEST(ScreenFit, FactorIsTheHeightOver768NeverBelowOneAndNeverOnTopOfTheDesktops) {
  struct Case {
    int width, height;
    double desktopRatio;
    double factor;  // asked of Qt
    double total;   // what the stage is drawn at
  };
  const Case cases[] = {
      {1024, 768, 1.0, 1.0, 1.0},
      {1366, 768, 1.0, 1.0, 1.0},
      {1280, 720, 1.0, 1.0, 1.0},  // shorter than the layouts: never shrunk
      {1920, 1080, 1.0, 1.40625, 1.40625},
      {2560, 1440, 1.0, 1.875, 1.875},
      {3840, 2160, 1.0, 2.8125, 2.8125},
      // The desktop at 200 % already draws 4K as 1920 x 1080: only the rest is added.
      {3840, 2160, 2.0, 1.40625, 2.8125},
      // The desktop's own factor is enough: nothing on top.
      {1920, 1080, 2.0, 1.0, 2.0},
      {0, 0, 1.0, 1.0, 1.0},  // a monitor that reports nothing
  };
  for (const Case& c : cases) {
    const double factor = fitScaleFactor(c.height, c.desktopRatio);
    EXPECT_DOUBLE_EQ(factor, c.factor) << c.width << "x" << c.height << " @" << c.desktopRatio;
    EXPECT_DOUBLE_EQ(factor * c.desktopRatio, c.total) << c.width << "x" << c.height;
  }
}

TEST(ScreenFit, QtScalingChosenByTheUserWins) {
  EXPECT_FALSE(userScalesQt({}));
  EXPECT_FALSE(userScalesQt({"QT_QPA_PLATFORM", "DISPLAY"}));
  EXPECT_TRUE(userScalesQt({"DISPLAY", "QT_SCALE_FACTOR"}));
  EXPECT_TRUE(userScalesQt({"QT_SCREEN_SCALE_FACTORS"}));
  EXPECT_TRUE(userScalesQt({"QT_ENABLE_HIGHDPI_SCALING"}));
}

TEST(ScreenFit, EachMonitorGetsItsOwnFactorByNameOrOneMonitorTheGlobalOne) {
  struct Case {
    const char* what;
    std::vector<MonitorInfo> monitors;
    double desktopRatio;
    const char* stored;
    std::string global, perScreen;
  };
  const MonitorInfo laptop{"eDP-1", 1366, 768, true}, projector{"HDMI-1", 1920, 1080, false};
  const Case cases[] = {
      {"one 768 screen", {{"screen", 1366, 768, true}}, 1.0, "", "", ""},
      {"one 1080p screen", {{"screen", 1920, 1080, true}}, 1.0, "", "1.40625", ""},
      {"4K at 200 %", {{"DP-1", 3840, 2160, true}}, 2.0, "", "1.40625", ""},
      {"laptop and projector", {laptop, projector}, 1.0, "", "", "eDP-1=1;HDMI-1=1.40625"},
      // Per monitor Qt replaces the desktop's factor: the totals are given.
      {"two 4K at 200 %", {{"A", 3840, 2160, true}, {"B", 3840, 2160, false}}, 2.0, "",
       "", "A=2.8125;B=2.8125"},
      {"two 768 screens", {laptop, {"VGA-1", 1024, 768, false}}, 1.0, "", "", ""},
      // Names Qt could not take apart: the stored monitor's factor for all.
      {"odd names", {{"a=b", 1366, 768, true}, {"c;d", 3840, 2160, false}}, 1.0, "c;d",
       "2.8125", ""},
      {"no names", {{"", 1920, 1080, true}, {"", 1366, 768, false}}, 1.0, "", "1.40625", ""},
  };
  for (const Case& c : cases) {
    const ScaleSettings settings = chooseScaleSettings(c.monitors, c.desktopRatio, c.stored);
    EXPECT_EQ(settings.globalFactor, c.global) << c.what;
    EXPECT_EQ(settings.screenFactors, c.perScreen) << c.what;
  }
}

TEST(ScreenFit, MonitorIsFoundByNameWhateverItsPlaceElseThePrimary) {
  const std::vector<MonitorInfo> monitors = {
      {"HDMI-1", 1920, 1080, false}, {"eDP-1", 1366, 768, true}, {"DP-2", 3840, 2160, false}};
  struct Case {
    const char* stored;
    std::size_t chosen;
  };
  const Case cases[] = {
      {"HDMI-1", 0}, {"DP-2", 2}, {"eDP-1", 1},
      {"", 1},        // nothing stored: the primary
      {"VGA-1", 1},   // unplugged since: the primary
      {"hdmi-1", 1},  // names are exact
  };
  for (const Case& c : cases) EXPECT_EQ(chooseMonitor(monitors, c.stored), c.chosen) << c.stored;

  // The projector found again after the order changed.
  const std::vector<MonitorInfo> reordered = {monitors[2], monitors[1], monitors[0]};
  EXPECT_EQ(chooseMonitor(reordered, "HDMI-1"), 2u);
  // No monitor marked primary: the first.
  EXPECT_EQ(chooseMonitor({{"A", 800, 600, false}, {"B", 800, 600, false}}, "C"), 0u);
  EXPECT_EQ(chooseMonitor({}, "A"), std::nullopt);
}

TEST(ScreenFit, MonitorCaptionsNumberFromOneAndMarkThePrimary) {
  EXPECT_EQ(monitorCaption(1, {"HDMI-1", 1920, 1080, false}), "1: 1920×1080");
  EXPECT_EQ(monitorCaption(2, {"eDP-1", 1024, 768, true}), "2: 1024×768 (主)");
}

}  // namespace
}  // namespace zv
