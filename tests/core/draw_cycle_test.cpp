// The draw cycle driven through a fake stage with a fake clock: every timer, picture and
// sound the cycle touches is recorded here.
#include "draw/draw_cycle.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "platform/files.h"
#include "platform/text_codec.h"
#include "store/ini_file.h"
#include "store/settings_keys.h"
#include "support/temp_dir.h"

namespace zv {
namespace {

class FakeStage : public DrawStage {
 public:
  // --- the clock: timers fire and continuations run as time advances.
  std::int64_t now = 1'000'000;
  struct Timer {
    int interval = 0;
    std::int64_t next = 0;
    void set(int ms, std::int64_t at) {
      ms = std::max(0, ms);
      if (ms == interval) return;
      interval = ms;
      next = at + ms;
    }
  } roll, autoStop;
  std::multimap<std::int64_t, std::function<void()>> pending;
  DrawCycle* cycle = nullptr;

  void advance(std::int64_t ms) {
    const std::int64_t end = now + ms;
    while (true) {
      std::int64_t due = end + 1;
      if (roll.interval) due = std::min(due, roll.next);
      if (autoStop.interval) due = std::min(due, autoStop.next);
      if (!pending.empty()) due = std::min(due, pending.begin()->first);
      if (due > end) break;
      now = due;
      if (roll.interval && roll.next == due) {
        roll.next += roll.interval;
        cycle->rollStep();
      } else if (autoStop.interval && autoStop.next == due) {
        autoStop.next += autoStop.interval;
        cycle->autoStopFired();
      } else {
        auto continuation = pending.begin()->second;
        pending.erase(pending.begin());
        continuation();
      }
    }
    now = end;
  }
  // The keyboard reaches the hidden button only while it is enabled.
  void pressSpace() {
    if (buttonEnabled) cycle->drawButtonClicked();
  }

  // --- the units.
  std::string autoStopEdit = "0", intervalEdit = "30";
  bool effectsOffBox = false, music = true;
  bool startShown = true, buttonEnabled = true, resultVisible = false;
  std::string caption = "开始";
  std::map<int, std::string> pictures, files;
  std::map<int, bool> raised;
  std::string result;
  bool marker = false;
  int musicStarts = 0, stops = 0, winSounds = 0, exhausted = 0, tallyFailures = 0;
  int ticks = 0, stepsShown = 0;  // a step puts its prize in the result picture
  int overlaysOpened = 0;
  bool overlayOpen = false;

  std::string autoStopText() const override { return autoStopEdit; }
  std::string rollIntervalText() const override { return intervalEdit; }
  bool effectsOff() const override { return effectsOffBox; }
  bool musicOn() const override { return music; }
  void setRollInterval(int ms) override { roll.set(ms, now); }
  void setAutoStopInterval(int ms) override { autoStop.set(ms, now); }
  void showStartLabel(bool start) override { startShown = start; }
  std::string drawButtonCaption() const override { return caption; }
  void setDrawButtonCaption(const std::string& c) override { caption = c; }
  void setDrawButtonEnabled(bool enabled) override { buttonEnabled = enabled; }
  PictureData slotPicture(int slot) const override { return PictureData(pictures.at(slot)); }
  void setSlotPicture(int slot, PictureData p) override { pictures[slot] = std::string(p.view()); }
  void setSlotRaised(int slot, bool r) override { raised[slot] = r; }
  PictureData readPrizePictureFile(int slot) const override { return PictureData(files.at(slot)); }
  void setResultPicture(PictureData p) override {
    result = std::string(p.view());
    if (!result.empty()) ++stepsShown;
  }
  void setResultVisible(bool visible) override { resultVisible = visible; }
  bool designatedMarker() const override { return marker; }
  void clearDesignatedMarker() override { marker = false; }
  void startMusic() override { ++musicStarts; }
  void stopAllPlayback() override { ++stops; }
  void playWinSound() override { ++winSounds; }
  void playStepTick() override { ++ticks; }
  void openEffects() override {
    ++overlaysOpened;
    overlayOpen = true;
  }
  void closeEffects() override { overlayOpen = false; }
  bool effectsOpen() const override { return overlayOpen; }
  void showExhaustedMessage() override { ++exhausted; }
  void reportTallyNotWritten() override { ++tallyFailures; }
  void after(int ms, std::function<void()> continuation) override {
    pending.emplace(now + ms, std::move(continuation));
  }
  std::uint32_t clockMs() const override { return static_cast<std::uint32_t>(now); }
};

class Draw : public ::testing::Test {
 protected:
  Draw() {
    for (int slot = 1; slot <= 8; ++slot) {
      stage.files[slot] = "picture " + std::to_string(slot);
      stage.pictures[slot] = stage.files[slot];
    }
  }
  void settings(const std::string& utf8) {
    writeWholeFileAtomically(dir.file("config.a"), utf8ToGbk(utf8));
  }
  DrawCycle& cycle(std::string resultsPath = {}) {
    drawCycle = std::make_unique<DrawCycle>(
        stage, SettingsFile(dir.file("config.a")),
        ResultsFile(resultsPath.empty() ? dir.file("jieguo.a") : resultsPath), random, values);
    stage.cycle = drawCycle.get();
    return *drawCycle;
  }
  std::string tally(int slot) {
    return ini::read(dir.file("jieguo.a"), "zjjg", "j" + std::to_string(slot));
  }
  int tallies() {
    int total = 0;
    for (int slot = 1; slot <= 8; ++slot) total += std::atoi(tally(slot).c_str());
    return total;
  }
  // Probability mode with the default weights: the pool never runs out.
  void weighted() { settings("[zbt]\r\nlx=真\r\n"); }

  zv::testing::TempDir dir;
  FakeStage stage;
  RandomSource random{[this] { return static_cast<std::uint32_t>(stage.now); }};
  std::array<std::int32_t, 8> values = keys::kDefaultPrizeValues;
  std::unique_ptr<DrawCycle> drawCycle;
};

TEST_F(Draw, StartRollsClockwiseAndAStopLandsAtTheNextStep) {
  weighted();
  DrawCycle& c = cycle();
  c.startLabelPressed();
  EXPECT_TRUE(c.rolling());
  EXPECT_EQ(stage.caption, "停止");
  EXPECT_FALSE(stage.startShown);
  EXPECT_TRUE(stage.resultVisible);
  EXPECT_EQ(stage.roll.interval, 30);
  EXPECT_EQ(stage.musicStarts, 1);
  EXPECT_TRUE(stage.raised[1]);
  EXPECT_GE(c.stepBudget(), 100000);
  EXPECT_LE(c.stepBudget(), 130000);

  stage.advance(30 * 10);  // ten steps: 1..8, 1, 2
  EXPECT_EQ(c.highlight(), 2);
  EXPECT_TRUE(stage.raised[2]);
  EXPECT_FALSE(stage.raised[1]);
  EXPECT_EQ(stage.pictures[2], "");      // an empty raised frame...
  EXPECT_EQ(stage.result, "picture 2");  // ...while the result picture shows its prize
  EXPECT_EQ(stage.pictures[1], "picture 1");

  c.stopLabelPressed();
  EXPECT_FALSE(c.rolling());
  EXPECT_EQ(stage.caption, "停止");
  EXPECT_FALSE(stage.buttonEnabled);
  EXPECT_EQ(stage.stops, 1);
  EXPECT_TRUE(stage.overlayOpen);
  EXPECT_EQ(stage.winSounds, 0);

  stage.advance(30);
  const int winner = c.highlight();
  EXPECT_GE(winner, 1);
  EXPECT_LE(winner, 8);
  EXPECT_EQ(stage.caption, "开始");
  EXPECT_TRUE(stage.buttonEnabled);
  EXPECT_TRUE(stage.startShown);
  EXPECT_EQ(stage.roll.interval, 0);
  EXPECT_EQ(stage.winSounds, 1);
  EXPECT_EQ(tally(winner), "1");
  EXPECT_EQ(tallies(), 1);
  EXPECT_EQ(stage.pictures[winner], "picture " + std::to_string(winner));
  EXPECT_TRUE(stage.raised[winner]);
  EXPECT_EQ(stage.result, "picture " + std::to_string(winner));
  EXPECT_TRUE(stage.overlayOpen);  // under the effect the whole time

  stage.advance(3500 - 30);
  EXPECT_FALSE(stage.overlayOpen);
  stage.advance(1000);
  EXPECT_EQ(stage.winSounds, 1);
  EXPECT_EQ(c.highlight(), winner);
}

TEST_F(Draw, AutoStopAfterItsSeconds) {
  const std::pair<const char*, int> cases[] = {{"5", 5000}, {"0.5", 500}};
  for (const auto& [text, ms] : cases) {
    SCOPED_TRACE(text);
    weighted();
    stage.autoStopEdit = text;
    DrawCycle& c = cycle();
    c.startLabelPressed();
    EXPECT_EQ(stage.autoStop.interval, ms);
    stage.advance(ms - 1);
    EXPECT_TRUE(c.rolling());
    stage.advance(1);
    EXPECT_FALSE(c.rolling());
    EXPECT_EQ(stage.autoStop.interval, 0);
    stage.advance(30);
    EXPECT_EQ(stage.winSounds, 1);
    stage.advance(10'000);
    EXPECT_EQ(stage.winSounds, 1);
    stage = FakeStage{};
    for (int slot = 1; slot <= 8; ++slot) stage.pictures[slot] = stage.files[slot] = "p";
  }
}

TEST_F(Draw, StopOnSlotThreeWithPickThreeReReadsAndLandsThere) {
  // Slots 1 and 2 are used up, so the designated pick is slot 3.
  settings("[zbt]\r\n一=0\r\n二=0\r\n三=5\r\n");
  DrawCycle& c = cycle();
  c.startLabelPressed();
  stage.advance(90);
  ASSERT_EQ(c.highlight(), 3);
  stage.files[3] = "picture 3, replaced on disk";
  stage.marker = true;
  c.stopLabelPressed();
  stage.advance(30);
  EXPECT_EQ(c.highlight(), 3);
  EXPECT_FALSE(stage.marker);
  EXPECT_EQ(stage.pictures[3], "picture 3, replaced on disk");
  EXPECT_EQ(stage.result, "picture 3, replaced on disk");
  EXPECT_TRUE(stage.raised[3]);
  EXPECT_EQ(tally(3), "1");
  EXPECT_EQ(values[2], 5);  // quantity mode stored the remaining counts at the stop
}

TEST_F(Draw, EffectsOffStopsAtOnceAndLandsNext) {
  weighted();
  stage.effectsOffBox = true;
  DrawCycle& c = cycle();
  c.startLabelPressed();
  stage.advance(60);
  c.stopLabelPressed();
  EXPECT_EQ(stage.overlaysOpened, 0);
  EXPECT_TRUE(stage.pending.empty());
  stage.advance(30);
  EXPECT_EQ(stage.winSounds, 1);
}

TEST_F(Draw, ExhaustedPoolShowsTheMessageAndChangesNothing) {
  // Quantity mode on a fresh installation: no quantities stored.
  DrawCycle& c = cycle();
  c.startLabelPressed();
  EXPECT_EQ(stage.exhausted, 1);
  EXPECT_FALSE(c.rolling());
  EXPECT_FALSE(stage.resultVisible);
  EXPECT_EQ(stage.caption, "开始");
  EXPECT_TRUE(stage.startShown);
  EXPECT_EQ(stage.roll.interval, 0);

  // Used up by wins: 一 = 1 and one win counted.
  settings("[zbt]\r\n一=1\r\n");
  c.startLabelPressed();
  stage.advance(60);
  c.stopLabelPressed();
  stage.advance(30);
  EXPECT_EQ(tally(1), "1");
  c.startLabelPressed();
  EXPECT_EQ(stage.exhausted, 2);
  EXPECT_FALSE(c.rolling());
}

TEST_F(Draw, SpaceStartsAndStopsAndExtraPressesBeforeTheLandingDoNothing) {
  weighted();
  stage.effectsOffBox = true;
  DrawCycle& c = cycle();
  stage.pressSpace();
  EXPECT_TRUE(c.rolling());
  stage.advance(100);
  stage.pressSpace();
  EXPECT_FALSE(c.rolling());
  stage.pressSpace();
  stage.pressSpace();
  EXPECT_FALSE(c.rolling());
  stage.advance(30);
  EXPECT_EQ(tallies(), 1);
  EXPECT_EQ(stage.winSounds, 1);
}

TEST_F(Draw, AKeyboardStopLeavesNoAutoStopRunning) {
  weighted();
  stage.autoStopEdit = "5";
  stage.effectsOffBox = true;
  DrawCycle& c = cycle();
  stage.pressSpace();
  stage.advance(1000);
  stage.pressSpace();
  EXPECT_EQ(stage.autoStop.interval, 0);
  stage.advance(30);
  // A new draw gets its full five seconds.
  stage.pressSpace();
  stage.advance(4900);
  EXPECT_TRUE(c.rolling());
  stage.advance(100);
  EXPECT_FALSE(c.rolling());
}

TEST_F(Draw, ChangedSpeedAppliesFromTheNextStart) {
  weighted();
  stage.effectsOffBox = true;
  DrawCycle& c = cycle();
  c.startLabelPressed();
  stage.intervalEdit = "50";
  stage.advance(300);
  EXPECT_EQ(stage.roll.interval, 30);
  c.stopLabelPressed();
  stage.advance(30);
  c.startLabelPressed();
  EXPECT_EQ(stage.roll.interval, 50);
}

TEST_F(Draw, AnIntervalOfZeroOrLessRollsAtThirtyMilliseconds) {
  for (const char* text : {"0", "-5", "abc", ""}) {
    weighted();
    stage.intervalEdit = text;
    stage.effectsOffBox = true;
    DrawCycle& c = cycle();
    c.startLabelPressed();
    EXPECT_EQ(stage.roll.interval, 30) << text;
    c.stopLabelPressed();
    stage.advance(30);
    EXPECT_EQ(stage.roll.interval, 0) << text;
  }
}

TEST_F(Draw, AnIntervalAboveTenSecondsRollsAtTenSecondsAndStillLands) {
  const struct {
    const char* text;
    int interval;
  } cases[] = {{"10000", 10000}, {"10000.9", 10000}, {"10001", 10000}, {"1e9", 10000},
               {"99999999999999999999", 10000}, {"9999", 9999}};
  for (const auto& [text, interval] : cases) {
    weighted();
    stage.intervalEdit = text;
    stage.effectsOffBox = true;
    DrawCycle& c = cycle();
    c.startLabelPressed();
    EXPECT_EQ(stage.roll.interval, interval) << text;
    c.stopLabelPressed();
    stage.advance(interval);  // the landing step comes one interval later
    EXPECT_EQ(stage.roll.interval, 0) << text;
  }
}

TEST_F(Draw, ANewStartClosesTheOverlayAndAnOldTimerNeverClosesANewOne) {
  weighted();
  DrawCycle& c = cycle();
  c.startLabelPressed();
  stage.advance(100);
  c.stopLabelPressed();  // overlay A, to close at +3500
  stage.advance(100);
  EXPECT_TRUE(stage.overlayOpen);
  c.startLabelPressed();  // the landing brought the start label back
  EXPECT_FALSE(stage.overlayOpen);
  stage.advance(1000);
  c.stopLabelPressed();  // overlay B
  EXPECT_TRUE(stage.overlayOpen);
  stage.advance(2400);  // A's timer has run out now
  EXPECT_TRUE(stage.overlayOpen);
  stage.advance(1100);
  EXPECT_FALSE(stage.overlayOpen);
  EXPECT_EQ(stage.overlaysOpened, 2);
}

TEST_F(Draw, ABudgetThatRunsOutLandsLikeAStop) {
  weighted();
  DrawCycle& c = cycle();
  c.startLabelPressed();
  const std::int32_t budget = c.stepBudget();
  stage.advance(std::int64_t{30} * (budget - 1));
  EXPECT_TRUE(c.rolling());
  EXPECT_EQ(stage.winSounds, 0);
  stage.advance(30);
  EXPECT_FALSE(c.rolling());
  EXPECT_EQ(stage.winSounds, 1);
  EXPECT_EQ(tallies(), 1);
  EXPECT_EQ(stage.stops, 1);  // the music stopped
  EXPECT_EQ(stage.caption, "开始");
  EXPECT_TRUE(stage.buttonEnabled);
  EXPECT_EQ(stage.roll.interval, 0);
  // The next request is a start again, and its draw lands.
  c.startLabelPressed();
  EXPECT_TRUE(c.rolling());
  c.stopLabelPressed();
  stage.advance(30);
  EXPECT_EQ(tallies(), 2);
}

TEST_F(Draw, ATallyThatCannotBeWrittenIsReportedAndTheDrawStillLands) {
  weighted();
  DrawCycle& c = cycle(dir.file("missing/jieguo.a"));
  c.startLabelPressed();
  c.stopLabelPressed();
  stage.advance(30);
  EXPECT_EQ(stage.tallyFailures, 1);
  EXPECT_EQ(stage.winSounds, 1);
  EXPECT_EQ(stage.caption, "开始");
}

TEST_F(Draw, TheDesignatedPickTakesTheFirstAvailableSlotOnce) {
  settings("[zbt]\r\n一=1\r\n二=3\r\n八=50\r\n");
  writeWholeFileAtomically(dir.file("jieguo.a"), "[zjjg]\r\nj1=1\r\n");
  stage.effectsOffBox = true;
  DrawCycle& c = cycle();
  stage.marker = true;
  c.startLabelPressed();
  stage.advance(200);
  EXPECT_TRUE(stage.marker);  // a start does not consume it
  c.stopLabelPressed();
  stage.advance(30);
  EXPECT_EQ(c.highlight(), 2);
  EXPECT_FALSE(stage.marker);
  EXPECT_EQ(tally(2), "1");
}

TEST_F(Draw, MusicOnlyWhenSwitchedOnAndTheHighlightResetsAtTheNextStart) {
  weighted();
  stage.music = false;
  stage.effectsOffBox = true;
  DrawCycle& c = cycle();
  c.startLabelPressed();
  EXPECT_EQ(stage.musicStarts, 0);
  c.stopLabelPressed();
  stage.advance(30);
  const int winner = c.highlight();
  c.startLabelPressed();
  EXPECT_EQ(c.highlight(), 0);
  EXPECT_EQ(stage.pictures[winner], "picture " + std::to_string(winner));
  EXPECT_EQ(stage.result, "");
  EXPECT_TRUE(c.heldPicture().empty());
}

}  // namespace
}  // namespace zv

namespace zv {
namespace {

// What each landing tells the journal: how it was stopped and the pool it was picked from.
TEST_F(Draw, EveryLandingReportsHowItWasStoppedAndItsPool) {
  struct Case {
    const char* name;
    StopReason expected;
    std::function<void(DrawCycle&)> stop;
  };
  const Case cases[] = {
      {"click", StopReason::Click, [](DrawCycle& c) { c.stopLabelPressed(); }},
      {"space", StopReason::Space, [this](DrawCycle&) { stage.pressSpace(); }},
      {"auto-stop", StopReason::AutoStop, [](DrawCycle& c) { c.autoStopFired(); }},
      {"budget", StopReason::StepBudget,
       [this](DrawCycle& c) { stage.advance(std::int64_t{30} * (c.stepBudget() - 1)); }},
  };
  settings("[zbt]\r\n一=0\r\n二=3\r\n三=0\r\n四=0\r\n五=0\r\n六=0\r\n七=0\r\n八=2\r\n");
  stage.effectsOffBox = true;
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    DrawCycle& c = cycle();
    std::vector<Landing> landings;
    c.setLandingListener([&](const Landing& l) { landings.push_back(l); });
    const int before = tallies();
    c.startLabelPressed();
    k.stop(c);
    stage.advance(30);
    ASSERT_EQ(landings.size(), 1u);
    const Landing& l = landings[0];
    EXPECT_EQ(l.stop, k.expected);
    EXPECT_EQ(l.slot, c.highlight());
    EXPECT_TRUE(l.quantityMode);
    EXPECT_FALSE(l.designated);
    EXPECT_TRUE(l.tallyWritten);
    // Quantity mode: what was left before this landing.
    EXPECT_EQ(l.poolSize, 5 - before);
    EXPECT_EQ(l.poolCounts[0], 0);
    EXPECT_EQ(l.poolCounts[1] + l.poolCounts[7], 5 - before);
  }
}

TEST_F(Draw, RehearsalLandingsLeaveTheResultsFileByteForByteUnchanged) {
  settings("[zbt]\r\n一=1\r\n二=1\r\n");
  const std::string results = "[zjjg]\r\nj1=0\r\n; hand note\r\nj2=0\r\n";
  writeWholeFileAtomically(dir.file("jieguo.a"), results);
  stage.effectsOffBox = true;
  DrawCycle& c = cycle();
  std::vector<Landing> landings;
  c.setLandingListener([&](const Landing& l) { landings.push_back(l); });
  c.setRehearsal(true);
  for (int draw = 0; draw < 5; ++draw) {  // more draws than prizes: nothing is used up
    c.startLabelPressed();
    c.stopLabelPressed();
    stage.advance(30);
  }
  EXPECT_EQ(stage.winSounds, 5);
  EXPECT_EQ(stage.tallyFailures, 0);
  EXPECT_EQ(readWholeFile(dir.file("jieguo.a")), results);
  ASSERT_EQ(landings.size(), 5u);
  for (const Landing& l : landings) {
    EXPECT_TRUE(l.rehearsal);
    EXPECT_FALSE(l.tallyWritten);
    EXPECT_EQ(l.poolSize, 2);
  }
  // Back to real: the next landing counts.
  c.setRehearsal(false);
  c.startLabelPressed();
  c.stopLabelPressed();
  stage.advance(30);
  EXPECT_EQ(tallies(), 1);
  EXPECT_FALSE(landings.back().rehearsal);
}

TEST_F(Draw, ALandingDecidedByTheDesignatedPickSaysSo) {
  weighted();
  stage.effectsOffBox = true;
  DrawCycle& c = cycle();
  std::vector<Landing> landings;
  c.setLandingListener([&](const Landing& l) { landings.push_back(l); });
  c.startLabelPressed();
  stage.marker = true;
  c.stopLabelPressed();
  stage.advance(30);
  c.startLabelPressed();
  c.stopLabelPressed();
  stage.advance(30);
  ASSERT_EQ(landings.size(), 2u);
  EXPECT_TRUE(landings[0].designated);
  EXPECT_EQ(landings[0].slot, 1);
  EXPECT_FALSE(landings[0].quantityMode);
  EXPECT_FALSE(landings[1].designated);
}

// 减速停止: the winner is drawn at the stop; the highlight eases on to it and only at rest
// does the landing happen. Stops of every kind, at every slot and between steps.
TEST_F(Draw, ASlowDownRestsOnTheDrawnPrizeAndLandsThereOnly) {
  settings("[zbt]\r\nlx=真\r\n减速停止=真\r\n减速时长=1\r\n");
  DrawCycle& c = cycle();
  std::vector<Landing> landings;
  c.setLandingListener([&](const Landing& l) { landings.push_back(l); });
  const int draws = 24, designatedDraw = 5;
  for (int draw = 0; draw < draws; ++draw) {
    SCOPED_TRACE(draw);
    stage.marker = draw == designatedDraw;
    c.startLabelPressed();
    stage.advance(30 * draw + draw % 7);  // draw 0 stops before the first step
    const int tallied = tallies(), sounds = stage.winSounds, overlays = stage.overlaysOpened;
    if (draw % 3 == 0) {
      c.stopLabelPressed();
    } else if (draw % 3 == 1) {
      stage.pressSpace();
    } else {
      c.autoStopFired();
    }
    ASSERT_TRUE(c.slowingDown());
    std::int64_t waited = 0;
    int shown = c.highlight();
    while (c.slowingDown()) {
      c.stopLabelPressed();  // none of these does anything now
      c.drawButtonClicked();
      c.startLabelPressed();
      EXPECT_FALSE(c.rolling());
      EXPECT_EQ(stage.winSounds, sounds);
      EXPECT_EQ(tallies(), tallied);
      EXPECT_EQ(stage.overlaysOpened, overlays);
      EXPECT_EQ(stage.caption, "停止");
      if (shown != 0) {
        EXPECT_EQ(stage.result, "picture " + std::to_string(shown));
      }
      stage.advance(15);
      waited += 15;
      // Clockwise, one slot at a time at most: no step is faster than the roll's 30 ms.
      EXPECT_LE((c.highlight() - shown + 8) % 8, 1);
      shown = c.highlight();
      ASSERT_LT(waited, 2'000) << "never came to rest";
    }
    EXPECT_GE(waited, 1'000);
    ASSERT_EQ(landings.size(), static_cast<std::size_t>(draw + 1));
    EXPECT_EQ(landings.back().slot, c.highlight());
    EXPECT_EQ(tallies(), tallied + 1);
    EXPECT_EQ(stage.winSounds, sounds + 1);
    EXPECT_EQ(stage.overlaysOpened, overlays + 1);
    EXPECT_EQ(stage.caption, "开始");
    EXPECT_TRUE(stage.buttonEnabled);
    EXPECT_TRUE(stage.startShown);
    EXPECT_EQ(stage.roll.interval, 0);
    EXPECT_EQ(stage.result, "picture " + std::to_string(c.highlight()));
  }
  std::array<int, 8> won{};
  for (const Landing& l : landings) ++won[l.slot - 1];
  for (int slot = 1; slot <= 8; ++slot) {
    EXPECT_EQ(std::atoi(tally(slot).c_str()), won[slot - 1]) << slot;
  }
  EXPECT_TRUE(landings[designatedDraw].designated);
  EXPECT_EQ(landings[designatedDraw].slot, 1);
}

// 滚动音效: one tick with every step shown, rolling, slowing and landing; none when off.
// The switch is read at each step, since the menu can change it while the wheel turns.
TEST_F(Draw, StepTickComesWithEveryShownStepOnlyWhileSwitchedOn) {
  for (const bool slowDown : {false, true}) {
    SCOPED_TRACE(slowDown ? "slowing down" : "landing at the next step");
    const std::string base =
        std::string("[zbt]\r\nlx=真\r\n减速时长=1\r\n减速停止=") + (slowDown ? "真" : "假");
    settings(base + "\r\n");
    stage.ticks = stage.stepsShown = stage.winSounds = 0;
    DrawCycle& c = cycle();
    c.startLabelPressed();
    stage.advance(30 * 10);
    EXPECT_EQ(stage.stepsShown, 10);
    EXPECT_EQ(stage.ticks, 0) << "switched off";

    settings(base + "\r\n滚动音效=真\r\n");
    const int shownBefore = stage.stepsShown;
    stage.advance(30 * 10);
    c.stopLabelPressed();
    stage.advance(4'000);  // landed, and the win effect over
    ASSERT_EQ(stage.caption, "开始") << "never landed";
    EXPECT_EQ(stage.winSounds, 1);
    EXPECT_GE(stage.stepsShown - shownBefore, slowDown ? 18 : 11);
    EXPECT_EQ(stage.ticks, stage.stepsShown - shownBefore);
  }
}

// A start raises slot 1 and leaves the last winner raised until the roll moves off it; the
// slow-down must still come to rest with the winner the only raised slot, even when late
// ticks jump over those slots or the stop came before the first step.
TEST_F(Draw, ASlowDownRestsWithOnlyTheWinnerRaisedEvenWhenStoppedBeforeTheFirstStep) {
  settings("[zbt]\r\nlx=真\r\n减速停止=真\r\n减速时长=1\r\n");
  DrawCycle& c = cycle();
  for (int draw = 0; draw < 16; ++draw) {
    SCOPED_TRACE(draw);
    stage.advance(7 * draw + 1);  // another seed each time
    c.startLabelPressed();
    stage.advance(30 * (draw % 3));  // 0: before the first step
    c.stopLabelPressed();
    // Late ticks jump over slots, the last winner's among them.
    const int tick = draw % 2 ? 65 : 100;
    for (int waited = 0; c.slowingDown(); waited += tick) {
      ASSERT_LT(waited, 3'000);
      stage.now += tick;  // the roll timer's tick, late
      c.rollStep();
    }
    for (int slot = 1; slot <= 8; ++slot) {
      EXPECT_EQ(stage.raised[slot], slot == c.highlight()) << "slot " << slot;
    }
  }
}

}  // namespace
}  // namespace zv
