// Reads of a hand-made settings file of 50 MB: start-up reads some thirty keys, and every
// draw reads the draw mode and the prize values again.
#include <benchmark/benchmark.h>

#include <string>

#include "platform/files.h"
#include "platform/text_codec.h"
#include "store/ini_file.h"
#include "support/temp_dir.h"

namespace {

constexpr int kStartUpReads = 30;

const std::string& hugeSettings() {
  static zv::testing::TempDir dir;
  static const std::string path = [] {
    const std::string file = dir.file("config.a");
    std::string bytes;
    bytes.reserve(52u << 20);
    bytes += zv::utf8ToGbk("[垃圾]\r\n");
    for (int i = 0; bytes.size() < (50u << 20); ++i)
      bytes += zv::utf8ToGbk("键" + std::to_string(i) + "=值值值值值值\r\n");
    bytes += zv::utf8ToGbk("[zbt]\r\n主标题=购物有奖活动\r\nlx=真\r\n一=1\r\n");
    zv::writeWholeFileAtomically(file, bytes);
    return file;
  }();
  return path;
}

// The file is replaced before each iteration, so every iteration starts from a file that
// has not been read yet, as a start-up does.
void BM_StartUpReadsOfHugeSettings(benchmark::State& state) {
  const std::string& path = hugeSettings();
  for (auto _ : state) {
    state.PauseTiming();
    zv::ini::write(path, "zbt", "界面大小", "全屏");
    state.ResumeTiming();
    for (int i = 0; i < kStartUpReads; ++i)
      benchmark::DoNotOptimize(zv::ini::read(path, "zbt", i % 2 ? "主标题" : "一"));
  }
}
BENCHMARK(BM_StartUpReadsOfHugeSettings)->Unit(benchmark::kMillisecond)->Iterations(3);

// One read of the file, fresh as above: the unit the other two are gated against.
void BM_OneReadOfHugeSettings(benchmark::State& state) {
  const std::string& path = hugeSettings();
  for (auto _ : state) {
    state.PauseTiming();
    zv::ini::write(path, "zbt", "界面大小", "全屏");
    state.ResumeTiming();
    benchmark::DoNotOptimize(zv::ini::read(path, "zbt", "主标题"));
  }
}
BENCHMARK(BM_OneReadOfHugeSettings)->Unit(benchmark::kMillisecond)->Iterations(3);

// A draw's reads of an unchanged huge file.
void BM_DrawReadsOfHugeSettings(benchmark::State& state) {
  const std::string& path = hugeSettings();
  benchmark::DoNotOptimize(zv::ini::read(path, "zbt", "lx"));
  for (auto _ : state) {
    benchmark::DoNotOptimize(zv::ini::read(path, "zbt", "lx"));
    for (const char* key : {"一", "二", "三", "四", "五", "六", "七", "八"})
      benchmark::DoNotOptimize(zv::ini::read(path, "zbt", key));
  }
}
BENCHMARK(BM_DrawReadsOfHugeSettings)->Unit(benchmark::kMillisecond);

}  // namespace
