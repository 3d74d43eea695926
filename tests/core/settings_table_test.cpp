// The typed settings: what a missing key, a nonsense text and a stored text read as, for
// each type, and what the writes put in the file.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "platform/files.h"
#include "store/ini_file.h"
#include "store/prize_settings.h"
#include "store/settings_file.h"
#include "support/temp_dir.h"

namespace zv {
namespace {

using zv::testing::TempDir;

// The stored text, or nothing for a missing key.
using Stored = std::optional<std::string>;

class SettingsTable : public ::testing::Test {
 protected:
  void store(SettingPlace place, const Stored& text) {
    std::filesystem::remove(path());
    if (text) {
      ASSERT_TRUE(ini::write(path(), place.section, place.key, *text));
    }
  }
  std::string path() const { return tmp.file("config.a"); }

  TempDir tmp;
  SettingsFile settings{tmp.file("config.a")};
};

TEST_F(SettingsTable, SwitchesReadTheirDefaultUnlessTheOppositeIsStored) {
  const struct {
    const SwitchSetting& setting;
    Stored text;
    bool on;
  } cases[] = {
      {setting::kMusic, std::nullopt, true},          {setting::kMusic, "关", true},
      {setting::kMusic, "假", false},                 {setting::kMusic, "真", true},
      {setting::kFitToScreen, std::nullopt, true},    {setting::kFitToScreen, "0", true},
      {setting::kFitToScreen, "假", false},           {setting::kProbabilityMode, std::nullopt, false},
      {setting::kProbabilityMode, "1", false},        {setting::kProbabilityMode, "真", true},
      {setting::kEffectsOff, std::nullopt, false},    {setting::kEffectsOff, "是", false},
      {setting::kEffectsOff, "真", true},             {setting::kEffectsOff, "假", false},
      {setting::kSlowDown, std::nullopt, false},      {setting::kSlowDown, "真", true},
  };
  for (const auto& c : cases) {
    store(c.setting.place, c.text);
    EXPECT_EQ(settings.get(c.setting), c.on) << c.setting.place.key << " " << c.text.value_or("-");
  }
}

TEST_F(SettingsTable, NumbersApplyOnlyWhenStoredAndReadByTheProgramsNumberRules) {
  const struct {
    Stored text;
    std::optional<std::int32_t> integer;
    std::optional<double> number;
  } cases[] = {
      {std::nullopt, std::nullopt, std::nullopt},
      {"", std::nullopt, std::nullopt},  // stored empty counts as not stored
      {"abc", 0, 0.0},
      {"-12", -12, -12.0},
      {"2.7", 2, 2.7},
      {"１２", 12, 12.0},  // typed with a Chinese input method
      {"1e10", 2147483647, 1e10},
  };
  for (const auto& c : cases) {
    const std::string label = c.text.value_or("-");
    store(setting::kWheelLeft.place, c.text);
    EXPECT_EQ(settings.stored(setting::kWheelLeft), c.integer) << label;
    EXPECT_EQ(settings.get(setting::kWheelLeft), c.integer.value_or(0)) << label;
    store(setting::kWheelSize.place, c.text);
    EXPECT_EQ(settings.stored(setting::kWheelSize), c.number) << label;
    EXPECT_EQ(settings.storedText(setting::kWheelSize.place),
              c.text && !c.text->empty() ? c.text : std::nullopt)
        << label;
  }
}

TEST_F(SettingsTable, ARangedIntegerOutsideItsRangeReadsAsItsDefault) {
  const struct {
    Stored text;
    std::int32_t seconds;
  } cases[] = {
      {std::nullopt, 3}, {"", 3}, {"1", 1}, {"10", 10}, {"7", 7},
      {"0", 3},          {"11", 3}, {"-2", 3}, {"abc", 3}, {"1e10", 3},
  };
  for (const auto& c : cases) {
    store(setting::kSlowDownSeconds.place, c.text);
    EXPECT_EQ(settings.get(setting::kSlowDownSeconds), c.seconds) << c.text.value_or("-");
  }
}

TEST_F(SettingsTable, TextsGiveTheirDefaultOnlyForAMissingKey) {
  store(setting::kMainTitle.place, std::nullopt);
  EXPECT_EQ(settings.get(setting::kMainTitle), "购物有奖活动");
  EXPECT_EQ(settings.stored(setting::kMainTitle), std::nullopt);
  store(setting::kMainTitle.place, "");
  EXPECT_EQ(settings.get(setting::kMainTitle), "");
  EXPECT_EQ(settings.stored(setting::kMainTitle), std::nullopt);
  store(setting::kMainTitle.place, "年会抽奖");
  EXPECT_EQ(settings.get(setting::kMainTitle), "年会抽奖");
  EXPECT_EQ(settings.stored(setting::kMainTitle), "年会抽奖");
}

TEST_F(SettingsTable, ChoicesReadAsTheirIndexAndAnythingElseAsTheDefault) {
  const struct {
    const ChoiceSetting& setting;
    Stored text;
    std::size_t value;
    std::optional<std::size_t> stored;
  } cases[] = {
      {setting::kDisplayMode, std::nullopt, setting::kFullScreen, std::nullopt},
      {setting::kDisplayMode, "窗口", setting::kWindowed, setting::kWindowed},
      {setting::kDisplayMode, "全屏", setting::kFullScreen, setting::kFullScreen},
      {setting::kDisplayMode, "窗", setting::kFullScreen, std::nullopt},
      {setting::kWheelStyle, "zp3", 2, 2},
      {setting::kWheelStyle, "zp5", 0, std::nullopt},
      {setting::kWheelStyle, "ZP2", 0, std::nullopt},
  };
  for (const auto& c : cases) {
    store(c.setting.place, c.text);
    EXPECT_EQ(settings.get(c.setting), c.value) << c.text.value_or("-");
    EXPECT_EQ(settings.stored(c.setting), c.stored) << c.text.value_or("-");
  }
}

TEST_F(SettingsTable, WritesStoreTheFilesTextsAndSayWhetherTheFileWasWritten) {
  ASSERT_TRUE(settings.set(setting::kMusic, false));
  EXPECT_EQ(ini::read(path(), "zbt", "背景音乐"), "假");
  ASSERT_TRUE(settings.set(setting::kDisplayMode, setting::kWindowed));
  EXPECT_EQ(ini::read(path(), "zbt", "界面大小"), "窗口");
  ASSERT_TRUE(settings.set(setting::kMainTitleSize, -3));
  EXPECT_EQ(ini::read(path(), "yanse", "主标题字体大小"), "-3");
  // A choice that does not exist writes nothing.
  EXPECT_FALSE(settings.set(setting::kWheelStyle, 4));
  EXPECT_EQ(ini::read(path(), "zbt", "样式", "<absent>"), "<absent>");

  // A folder where the file belongs: no write can replace it.
  std::filesystem::remove(path());
  makeDirectories(path());
  EXPECT_FALSE(settings.set(setting::kMusic, true));
  EXPECT_FALSE(settings.set(setting::kWheelLeft, 5));
  EXPECT_FALSE(settings.set(setting::kMonitor, "HDMI-1"));
}

TEST_F(SettingsTable, PrizeValuesAreStoredWhenTheFirstSlotsIs) {
  EXPECT_EQ(storedPrizeValues(settings), std::nullopt);
  ASSERT_TRUE(settings.setText(setting::kPrizeValues[7].place, "9"));
  EXPECT_EQ(storedPrizeValues(settings), std::nullopt);
  EXPECT_EQ(storedPrizeValueTexts(settings), std::nullopt);
  ASSERT_TRUE(settings.setText(setting::kPrizeValues[0].place, "１０"));
  ASSERT_TRUE(settings.setText(setting::kPrizeValues[1].place, "x"));
  EXPECT_EQ(storedPrizeValues(settings), (PrizeValues{10, 0, 0, 0, 0, 0, 0, 9}));
  const auto texts = storedPrizeValueTexts(settings);
  ASSERT_TRUE(texts);
  EXPECT_EQ((*texts)[0], "１０");
  EXPECT_EQ((*texts)[1], "x");
  EXPECT_EQ((*texts)[2], "");
}

// Moved here with the rule it tests (it was the screen-fit switch's own).
TEST(ScreenFit, OnlyFalseSwitchesFittingOff) {
  const bool fallback = setting::kFitToScreen.fallback;
  EXPECT_FALSE(switchValue("假", fallback));
  for (const char* on : {"", "真", "1", "0", "off", " 假"})
    EXPECT_TRUE(switchValue(on, fallback)) << on;
}

}  // namespace
}  // namespace zv
