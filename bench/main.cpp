// Runs the benchmarks on the offscreen platform and checks the performance targets as
// ratios measured in this one run; a missed target fails the run. The machines that run it
// are shared and their speed swings with the host's load, so no gate is a time on the
// clock: where nothing in the run gives a ratio, the bound is a wide one, several times the
// figure measured here, that only a regression crosses. The times themselves are printed
// ("measured:") for the report.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdio>
#include <map>
#include <string>

namespace {

// Records each benchmark's median (or only) real time in milliseconds, and its counters.
class TargetReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median") continue;
      const std::string name = run.run_name.function_name;
      // GetTimeUnitMultiplier is the number of such units in a second.
      milliseconds[name] = run.GetAdjustedRealTime() /
                           benchmark::GetTimeUnitMultiplier(run.time_unit) *
                           benchmark::GetTimeUnitMultiplier(benchmark::kMillisecond);
      for (const auto& [counter, value] : run.counters) counters[name + "." + counter] = value;
    }
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> milliseconds, counters;
};

// A goal not yet reached: reported, not failed.
void note(bool met, const std::string& what, double value) {
  std::printf("%s %-62s %.6g\n", met ? "goal met:     " : "goal open:    ", what.c_str(), value);
}

void measured(const std::string& what, double value) {
  std::printf("%s %-62s %.6g\n", "measured:     ", what.c_str(), value);
}

bool check(bool met, const char* what, double value) {
  std::printf("%s %-62s %.6g\n", met ? "target met:   " : "TARGET MISSED:", what, value);
  return met;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  qputenv("SDL_AUDIODRIVER", "dummy");
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  TargetReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();

  const auto& ms = reporter.milliseconds;
  bool ok = true;
  // The run's yardstick where a measure has no counterpart of its own: one full-size decode
  // of a 12 MP picture, plain processor work that the machine's load slows like the rest.
  const double decode = ms.count("BM_DecodeOnePhotoFull") ? ms.at("BM_DecodeOnePhotoFull") : 0;
  if (decode > 0)
    measured("full-size decode of a 12 MP picture, median ms (the yardstick)", decode);
  if (ms.count("BM_RollStepWithPhotos") && decode > 0) {
    const double step = ms.at("BM_RollStepWithPhotos");
    note(step < 2, "roll step with 12 MP pictures, median ms (goal < 2)", step);
    ok &= check(decode / step >= 20, "full-size decode / roll step (>= 20)", decode / step);
  }
  if (reporter.counters.count("BM_RollPacing.steps_per_tick")) {
    // Against a bare timer of the same interval beside it: the load takes ticks from both.
    const double share = reporter.counters.at("BM_RollPacing.steps_made_share");
    note(share >= 0.95, "steps made / steps asked at 30 ms over 10 s (goal >= 0.95)", share);
    const double perTick = reporter.counters.at("BM_RollPacing.steps_per_tick");
    ok &= check(perTick >= 0.95, "steps made / ticks of a bare 30 ms timer over 10 s (>= 0.95)",
                perTick);
  }
  if (ms.count("BM_PickHugePool") && ms.count("BM_PickSmallPool")) {
    // The pick must not grow with the prize values.
    const double huge = ms.at("BM_PickHugePool");
    note(huge < 0.001, "pick from a pool of 8 x 2^31 entries, ms (goal < 0.001)", huge);
    ok &=
        check(huge / ms.at("BM_PickSmallPool") < 3,
              "pick from 8 x 2^31 entries / pick from 36 (< 3)", huge / ms.at("BM_PickSmallPool"));
  }
  if (ms.count("BM_JournalAppend") && ms.count("BM_BareAppendSynced")) {
    // Paid inside a landing (goal: a tenth of the 30 ms roll step); what the disk's sync costs
    // is the machine's, what the journal adds to it is the program's.
    const double append = ms.at("BM_JournalAppend");
    note(append < 3, "journal row appended and flushed to disk, median ms (goal < 3)", append);
    ok &= check(append / ms.at("BM_BareAppendSynced") < 3,
                "journal append / bare append and sync of a row (< 3)",
                append / ms.at("BM_BareAppendSynced"));
  }
  if (ms.count("BM_ReadJournal100k")) {
    // Nothing else in the run reads CSV: against the yardstick, with a wide bound (the ratio
    // seen here is 1.3).
    const double read = ms.at("BM_ReadJournal100k");
    note(read < 300, "journal of 100,000 rows read, ms (goal < 300)", read);
    if (decode > 0)
      ok &= check(read / decode < 5, "journal of 100,000 rows read / full-size decode (< 5)",
                  read / decode);
  }
  if (ms.count("BM_OpenJournalWindow100k") && ms.count("BM_ReadJournal100k")) {
    // The window reads the journal and shows its first rows: little beyond the read itself.
    const double open = ms.at("BM_OpenJournalWindow100k");
    note(open < 300, "journal window opened on 100,000 rows, ms (goal < 300)", open);
    ok &= check(open / ms.at("BM_ReadJournal100k") < 3,
                "journal window opened / journal read, 100,000 rows (< 3)",
                open / ms.at("BM_ReadJournal100k"));
  }
  for (const std::string number : {"4", "5", "6"}) {
    const std::string render = "BM_RenderEffectMovie" + number,
                      overlay = "BM_EffectOverlay" + number;
    if (!ms.count(render) || !reporter.counters.count(render + ".frame_period_ms")) continue;
    // The frame period is the movie's, not a measure: against the yardstick, with a wide
    // bound (the ratio seen here is 0.03).
    const double ratio = reporter.counters.at(render + ".frame_period_ms") / ms.at(render);
    note(ratio >= 3, "effect movie " + number + " at 1920x1080: frame period / render (goal >= 3)",
         ratio);
    if (decode > 0)
      ok &= check(
          ms.at(render) / decode < 0.15,
          ("effect movie " + number + " at 1920x1080: render / full-size decode (< 0.15)").c_str(),
          ms.at(render) / decode);
    if (ms.count(overlay) && decode > 0) {
      // Against the yardstick rather than the frame's drawing, which got cheaper when the
      // stars came to be drawn by hand: 0.03 is about what a frame's drawing cost before.
      ok &= check(ms.at(overlay) / decode < 0.03,
                  ("effect movie " + number + ": overlay per frame / full-size decode (< 0.03)")
                      .c_str(),
                  ms.at(overlay) / decode);
    }
  }
  if (ms.count("BM_OneReadOfHugeSettings")) {
    // The file is parsed once for all the reads of one state of it.
    const double one = ms.at("BM_OneReadOfHugeSettings");
    measured("one read of a fresh 50 MB config.a, ms", one);
    if (ms.count("BM_StartUpReadsOfHugeSettings")) {
      const double startUp = ms.at("BM_StartUpReadsOfHugeSettings");
      note(startUp < 1000, "30 start-up reads of a fresh 50 MB config.a, ms (goal < 1000)",
           startUp);
      ok &= check(startUp / one < 3, "30 start-up reads / one read of a fresh 50 MB config.a (< 3)",
                  startUp / one);
    }
    if (ms.count("BM_DrawReadsOfHugeSettings")) {
      const double draw = ms.at("BM_DrawReadsOfHugeSettings");
      note(draw < 1, "a draw's nine reads of an unchanged 50 MB config.a, ms (goal < 1)", draw);
      ok &= check(draw / one < 0.1, "a draw's nine reads of it unchanged / one fresh read (< 0.1)",
                  draw / one);
    }
  }
  if (ms.count("BM_StopWithEffects")) {
    // Nothing in the run does the stop's work another way: against the yardstick, with wide
    // bounds (the ratios seen here are 0.012 and 0.11; the stop that blocked took a third).
    const double stop = ms.at("BM_StopWithEffects");
    note(stop < 8, "stop with the win effect at 1920x1080, GUI thread ms (goal < 8)", stop);
    if (decode > 0)
      ok &= check(stop / decode < 0.05, "stop with the win effect / full-size decode (< 0.05)",
                  stop / decode);
    const auto after = reporter.counters.find("BM_StopWithEffects.longest_event_after_ms");
    if (after != reporter.counters.end()) {
      note(after->second < 30, "longest event after the stop until the first frame, ms (goal < 30)",
           after->second);
      if (decode > 0)
        ok &= check(after->second / decode < 0.4,
                    "longest event after the stop / full-size decode (< 0.4)",
                    after->second / decode);
    }
  }
  // Memory, not time: the machine's load does not move it.
  if (reporter.counters.count("BM_MemoryOverDraws.kB_per_draw")) {
    const double growth = reporter.counters.at("BM_MemoryOverDraws.kB_per_draw");
    ok &= check(growth < 4, "memory held per draw with effects over 100 draws, kB (< 4)", growth);
  }
  // The instrument first: a client painting at a known rate is counted at that rate.
  for (const std::string desktop : {"Bare", "Compositor"}) {
    const std::string run = "BM_OnScreenKnownClient" + desktop;
    if (!reporter.counters.count(run + ".frames_per_second")) continue;
    const double share = reporter.counters.at(run + ".frames_per_second") /
                         reporter.counters.at(run + ".painted_rate");
    ok &=
        check(share > 0.95 && share < 1.05,
              ("frame counter on a known client, " + desktop + ": counted / painted (~1)").c_str(),
              share);
  }
  // The fireworks as the X server puts them on screen, on each desktop: drawn at the
  // screen's refresh rate (the default), and at the movie's own rate on the bare server.
  for (const std::string desktop : {"Bare", "Openbox", "Compositor", "BareMovieRate"}) {
    for (const std::string number : {"4", "5", "6"}) {
      const std::string run = "BM_OnScreen" + desktop + (desktop == "BareMovieRate" ? "" : "Movie") + number;
      if (!reporter.counters.count(run + ".on_screen_share")) continue;
      const auto counter = [&](const std::string& name) {
        return reporter.counters.count(run + "." + name) ? reporter.counters.at(run + "." + name)
                                                         : -1.0;
      };
      const bool smooth = counter("refresh_rate") > 0;
      if (smooth) {
        // Gated: never fewer pictures than the movie's own rate gave, at least 0.95 of the
        // screen's refreshes and at most 0.6 of a core. With the stars drawn by hand a quiet
        // machine shows 0.997-1.000 of the refreshes on all three desktops for 0.28-0.39 of
        // a core; a host loaded by other builds drops picom's share to 0.8
        // (docs/performance.md), so the figures hold for the quiet run this gate is for.
        const double perMovieFrame = counter("on_screen_share") * counter("refresh_rate") /
                                     counter("movie_rate");
        ok &= check(perMovieFrame >= 0.98,
                    ("movie " + number + " on screen, " + desktop +
                     ": smooth frames / the movie's changing frames (>= 0.98)")
                        .c_str(),
                    perMovieFrame);
        ok &= check(counter("on_screen_share") >= 0.95,
                    ("movie " + number + " on screen, " + desktop +
                     ": frames / the screen's refreshes while it changes (>= 0.95)")
                        .c_str(),
                    counter("on_screen_share"));
        ok &= check(counter("program_cpu") >= 0 && counter("program_cpu") <= 0.6,
                    ("movie " + number + ", " + desktop + ": program CPU share (<= 0.6)").c_str(),
                    counter("program_cpu"));
      } else {
        ok &= check(counter("on_screen_share") >= 0.98,
                    ("movie " + number + " on screen, " + desktop +
                     ": frames / changing frames of the movie (>= 0.98)")
                        .c_str(),
                    counter("on_screen_share"));
      }
      const double server = counter("xserver_cpu"), program = counter("program_cpu");
      const std::string what = "movie " + number + ", " + desktop +
                               ": X server CPU share (program's " + std::to_string(program) + ")";
      if (desktop != "Compositor") {
        ok &= check(server >= 0 && server < program, (what + " (< program's)").c_str(), server);
      } else {
        std::printf("%s %-62s %.6g\n", "measured:     ", what.c_str(), server);
      }
      if (desktop == "Compositor")
        std::printf("%s %-62s %.6g\n",
                    "measured:     ", ("movie " + number + ", Compositor: picom CPU share").c_str(),
                    counter("picom_cpu"));
    }
  }
  // Start-up times swing by a third with the host's load on this machine, around their
  // goals (see the README's performance section): the figures are printed against the
  // goals for every run. The starts with pictures are gated against the start without any
  // in the same run (their pictures' share: 1.2-1.5 and 2.3-2.9 quiet, up to 1.8 and 3.6
  // with four builds beside the run; a start that decodes the kept pictures again is a
  // start with new ones); the start without pictures against the yardstick, with a wide
  // bound (the ratio in a quiet phase is 1.3).
  if (ms.count("BM_StartUpWithoutPictures")) {
    const double bare = ms.at("BM_StartUpWithoutPictures");
    note(bare < 150, "start to first painted stage, no pictures, median ms (goal < 150)", bare);
    if (decode > 0)
      ok &= check(bare / decode < 4, "start without pictures / full-size decode (< 4)",
                  bare / decode);
    if (ms.count("BM_StartUpWithPhotos")) {
      const double photos = ms.at("BM_StartUpWithPhotos");
      note(photos < 300,
           "start to first painted stage, eight 12 MP pictures, median ms (goal < 300)", photos);
      ok &=
          check(photos / bare < 2.5,
                "start with eight 12 MP pictures / start without pictures (< 2.5)", photos / bare);
    }
    if (ms.count("BM_StartUpWithNewPhotos")) {
      const double fresh = ms.at("BM_StartUpWithNewPhotos");
      note(fresh < 300,
           "start to first painted stage, eight new 12 MP pictures, median ms (goal < 300)", fresh);
      ok &=
          check(fresh / bare < 6,
                "start with eight new 12 MP pictures / start without pictures (< 6)", fresh / bare);
    }
  }
  if (ms.count("BM_FirstRevolution") &&
      reporter.counters.count("BM_FirstRevolution.next_revolution_ms")) {
    // Against the next revolution of the same draw (medians of five): steps that decode
    // their pictures themselves would take it past twice (eight result-size decodes); the
    // first shows of the pictures cost more than the later ones under load, up to 1.3 times
    // seen here with four builds beside the run, 1.0 when quiet.
    const double first = ms.at("BM_FirstRevolution"),
                 next = reporter.counters.at("BM_FirstRevolution.next_revolution_ms");
    note(first <= reporter.counters.at("BM_FirstRevolution.asked_ms") * 1.05,
         "first revolution with 12 MP pictures, ms (goal <= 1.05 x eight steps asked)", first);
    measured("next revolution of the same draw, ms", next);
    if (next > 0)
      ok &= check(first / next < 2, "first revolution / next revolution with 12 MP pictures (< 2)",
                  first / next);
  }
  if (ms.count("BM_StepTickLag") && !reporter.counters.count("BM_StepTickLag.steps")) {
    // Run but measured nothing (no disk audio driver, or its file did not match the mix).
    ok &= check(false, "step tick lag measured in the mixed sound", 0);
  }
  if (reporter.counters.count("BM_StepTickLag.steps")) {
    // The tick against its step, in the mixed sound (disk audio driver): as shares of the
    // step interval, the one figure beside it that the machine's load does not move.
    const auto& c = reporter.counters;
    const double interval = c.at("BM_StepTickLag.step_interval_ms");
    const double median = c.at("BM_StepTickLag.lag_median_ms"),
                 worst = c.at("BM_StepTickLag.lag_max_ms");
    measured("step tick lag behind its step, median ms (goal <= 10)", median);
    measured("step tick lag behind its step, largest ms (goal <= 25)", worst);
    measured("steps with the tick over silence", c.at("BM_StepTickLag.steps"));
    ok &= check(c.at("BM_StepTickLag.steps") >= 100 && c.at("BM_StepTickLag.ticks_lost") == 0,
                "step ticks lost at the 30 ms interval (0, of at least 100 steps)",
                c.at("BM_StepTickLag.ticks_lost"));
    ok &= check(median / interval <= 1.0 / 3, "step tick lag median / step interval (<= 1/3)",
                median / interval);
    ok &= check(worst / interval <= 25.0 / 30, "step tick lag largest / step interval (<= 25/30)",
                worst / interval);
    // The audio thread's processor time for its costliest buffer under music, win sound and
    // ticks: above one buffer's length a device runs dry whatever the scheduler does.
    const double work = c.at("BM_StepTickLag.mix_work_max_ms") / c.at("BM_StepTickLag.buffer_ms");
    note(work < 0.5, "sound mixing, costliest buffer / buffer length (goal < 0.5)", work);
    ok &= check(work < 1, "sound mixing, costliest buffer / buffer length (< 1)", work);
  }
  std::printf("%s\n", ok ? "all performance targets met" : "performance targets missed");
  return ok ? 0 : 1;
}
