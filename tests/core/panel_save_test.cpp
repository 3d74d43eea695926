// The other-settings panel's Save through a stand-in stage: what is written, in which
// order, and what the result picture and the wheel become.
#include "stage/logic/panel_save.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "layout/logic/wheel_geometry.h"

namespace zv {
namespace {

class FakePanelStage : public PanelStage {
 public:
  PanelFields typed{.resultWidth = "200",
                    .resultHeight = "160",
                    .rollInterval = "30",
                    .effectsOff = false,
                    .autoStop = "0",
                    .wheelSize = "0"};
  std::vector<std::string> log;
  bool writesFail = false;
  int resultWidth = 200, resultHeight = 160;
  WheelGeometry wheel = layoutWheel();

  PanelFields fields() const override { return typed; }
  bool write(std::string_view key, std::string_view value) override {
    log.push_back(std::string(key) + "=" + std::string(value));
    return !writesFail;
  }
  void setResultHeight(int pixels) override {
    resultHeight = pixels;
    log.push_back("height " + std::to_string(pixels));
  }
  void setResultWidth(int pixels) override {
    resultWidth = pixels;
    log.push_back("width " + std::to_string(pixels));
  }
  void closePanel() override { log.push_back("close"); }
  void resetWheel() override {
    wheel = layoutWheel();
    log.push_back("reset");
  }
  void enlargeWheel() override {
    zv::enlargeWheel(wheel);
    log.push_back("enlarge");
  }
  void clipWheel() override { log.push_back("clip"); }
  void reportWriteFailure() override { log.push_back("report"); }
};

TEST(PanelSave, TheStepsRunInTheirOrderAndTextsAreStoredAsTyped) {
  FakePanelStage stage;
  stage.typed = {.resultWidth = "300",
                 .resultHeight = "250",
                 .rollInterval = "45",
                 .effectsOff = true,
                 .autoStop = "5",
                 .wheelSize = "2.7"};
  savePanel(stage);
  const std::vector<std::string> expected = {"奖品图片高=250",
                                             "height 250",
                                             "奖品图片宽=300",
                                             "width 300",
                                             "滚动速度=45",
                                             "禁用特效=真",
                                             "自动停止=5",
                                             "close",
                                             "计次=2.7",
                                             "reset",
                                             "enlarge",
                                             "enlarge",
                                             "clip"};
  EXPECT_EQ(stage.log, expected);
  EXPECT_EQ(stage.wheel.frameWidth, 605);
}

TEST(PanelSave, WheelSizeTextsGiveTheirStepsFromTheLayoutSize) {
  const struct {
    const char* text;
    int frame;
  } cases[] = {{"0", 500}, {"", 500},    {"abc", 500}, {"-3", 500}, {"0.9", 500},
               {"1", 550}, {"2.7", 605}, {"4", 731},   {"４", 731}, {"1e9", 0}};
  for (const auto& [text, frame] : cases) {
    FakePanelStage stage;
    // Enlarged beforehand from the menu: Save starts again from the layout size.
    for (int i = 0; i < 3; ++i) enlargeWheel(stage.wheel);
    stage.typed.wheelSize = text;
    savePanel(stage);
    if (frame == 0) {
      // Far more steps than any screen needs: the count is bounded, nothing overflows.
      WheelGeometry largest = layoutWheel();
      for (int i = 0; i < kMaxWheelSteps; ++i) enlargeWheel(largest);
      EXPECT_EQ(stage.wheel, largest) << text;
    } else if (frame == 500) {
      EXPECT_EQ(stage.wheel, layoutWheel()) << text;
    } else {
      EXPECT_EQ(stage.wheel.frameWidth, frame) << text;
    }
    EXPECT_EQ(stage.log.back(), "clip") << text;
  }
}

TEST(PanelSave, ResultSizesAreClampedWhileTheTextIsKept) {
  const struct {
    const char* text;
    int pixels;
  } cases[] = {{"", 0},      {"abc", 0},       {"-40", 0},       {"120.8", 120},
               {"250", 250}, {"16000", 16000}, {"99999", 16000}, {"1e12", 16000}};
  for (const auto& [text, pixels] : cases) {
    FakePanelStage stage;
    stage.typed.resultWidth = text;
    stage.typed.resultHeight = text;
    savePanel(stage);
    EXPECT_EQ(stage.resultWidth, pixels) << text;
    EXPECT_EQ(stage.resultHeight, pixels) << text;
    EXPECT_EQ(stage.log[0], std::string("奖品图片高=") + text);
    EXPECT_EQ(stage.log[2], std::string("奖品图片宽=") + text);
  }
}

TEST(PanelSave, AnEmptySizeCountsAsAbsentAtTheNextStart) {
  // Saved empty: stored "", the picture 0 wide; the next start shows the design size.
  FakePanelStage stage;
  stage.typed.resultWidth = "";
  savePanel(stage);
  EXPECT_EQ(stage.log[2], "奖品图片宽=");
  EXPECT_EQ(stage.resultWidth, 0);
  EXPECT_EQ(storedResultExtent("", 200), 200);
  EXPECT_EQ(storedResultExtent("0", 200), 0);
  EXPECT_EQ(storedResultExtent("abc", 160), 0);
  EXPECT_EQ(storedResultExtent("320", 200), 320);
  EXPECT_EQ(storedResultExtent("70000", 200), kMaxUnitExtent);
}

TEST(PanelSave, TheEffectsSwitchIsStoredAsTrueOrFalse) {
  for (const bool off : {false, true}) {
    FakePanelStage stage;
    stage.typed.effectsOff = off;
    savePanel(stage);
    EXPECT_EQ(stage.log[5], off ? "禁用特效=真" : "禁用特效=假");
  }
}

TEST(PanelSave, AFailedWriteIsReportedOnceAfterEverythingWasApplied) {
  FakePanelStage stage;
  stage.typed.wheelSize = "1";
  stage.writesFail = true;
  savePanel(stage);
  EXPECT_EQ(std::count(stage.log.begin(), stage.log.end(), "report"), 1);
  EXPECT_EQ(stage.log.back(), "report");
  EXPECT_EQ(stage.wheel.frameWidth, 550);

  FakePanelStage fine;
  savePanel(fine);
  EXPECT_EQ(std::count(fine.log.begin(), fine.log.end(), "report"), 0);
}

}  // namespace
}  // namespace zv
