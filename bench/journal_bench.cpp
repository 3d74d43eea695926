// The draw journal: one appended row with its flush to disk (paid inside a landing, so
// measured against the same append and sync with no journal around it), reading a journal
// of 100,000 rows, and opening the journal window on it.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QTableView>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "dialogs/journal_window.h"
#include "platform/files.h"
#include "store/journal.h"

namespace {

// A directory on the disk the build lives on (not /tmp, which may be memory), so the flush
// costs what it costs on a real journal.
struct DiskDir {
  std::string path;
  DiskDir() {
    std::string pattern = (std::filesystem::current_path() / "journal-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data())) path = pattern;
  }
  ~DiskDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
};

zv::JournalRow sampleRow(std::int64_t i) {
  zv::JournalRow row;
  row.event = zv::JournalEvent::Win;
  row.slot = static_cast<int>(i % 8) + 1;
  row.drawMode = zv::journal_text::kQuantityMode;
  row.poolSize = 110;
  row.poolCounts = {1, 2, 4, 8, 10, 15, 20, 50};
  row.stopReason = zv::journal_text::kStopSpace;
  row.tallies = {"1", "2", "3", "4", "5", "6", "7", "8"};
  return row;
}

// 100,000 rows written once per run.
const std::string& bigJournal() {
  static DiskDir dir;
  static const std::string path = [] {
    std::vector<zv::JournalRow> rows;
    for (std::int64_t i = 1; i <= 100'000; ++i) {
      zv::JournalRow row = sampleRow(i);
      row.sequence = i;
      row.time = "2024-05-01 14:03:07 +08:00";
      rows.push_back(std::move(row));
    }
    const std::string p = dir.path + "/" + zv::journal_text::kFileName;
    zv::writeWholeFileAtomically(p, zv::journalFileBytes(rows));
    return p;
  }();
  return path;
}

void BM_JournalAppend(benchmark::State& state) {
  DiskDir dir;
  zv::Journal journal(dir.path + "/" + zv::journal_text::kFileName);
  std::int64_t i = 0;
  for (auto _ : state) {
    if (!journal.append(sampleRow(++i))) state.SkipWithError("append failed");
  }
}
BENCHMARK(BM_JournalAppend)
    ->Iterations(200)
    ->Repetitions(5)
    ->UseRealTime()
    ->ReportAggregatesOnly(true);

// What the disk asks for the same: a row's bytes appended to a file and synced, with no
// journal around it. The journal's append is gated against it, not against the clock.
void BM_BareAppendSynced(benchmark::State& state) {
  DiskDir dir;
  const std::string path = dir.path + "/bare.csv";
  const std::string row(120, 'x');
  for (auto _ : state) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    const bool ok = fd >= 0 &&
                    ::write(fd, row.data(), row.size()) == static_cast<ssize_t>(row.size()) &&
                    ::fdatasync(fd) == 0;
    if (fd >= 0) ::close(fd);
    if (!ok) state.SkipWithError("write failed");
  }
}
BENCHMARK(BM_BareAppendSynced)
    ->Iterations(200)
    ->Repetitions(5)
    ->UseRealTime()
    ->ReportAggregatesOnly(true);

void BM_ReadJournal100k(benchmark::State& state) {
  const zv::Journal journal(bigJournal());
  for (auto _ : state) {
    const zv::JournalContents contents = journal.read();
    if (contents.rows.size() != 100'000) state.SkipWithError("rows lost");
    benchmark::DoNotOptimize(contents.rows.data());
  }
}
BENCHMARK(BM_ReadJournal100k)
    ->Iterations(3)
    ->Repetitions(3)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond)
    ->ReportAggregatesOnly(true);

// From the menu's command to the window painted with its first rows.
void BM_OpenJournalWindow100k(benchmark::State& state) {
  const zv::Journal journal(bigJournal());
  for (auto _ : state) {
    auto window = std::make_unique<zv::JournalWindow>(journal, std::array<std::string, 8>{},
                                                      std::array<zv::PictureData, 8>{}, "/tmp");
    window->show();
    window->grab();  // a full paint, visible rows included
    if (window->model()->rowCount() != 100'000) state.SkipWithError("rows lost");
  }
}
BENCHMARK(BM_OpenJournalWindow100k)
    ->Iterations(3)
    ->Repetitions(3)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond)
    ->ReportAggregatesOnly(true);

}  // namespace
