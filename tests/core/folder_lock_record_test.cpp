// The one-copy lock of a folder: which lock files are stale.
#include "platform/logic/folder_lock_record.h"

#include <gtest/gtest.h>

namespace zv {
namespace {

TEST(FolderLockRecord, ReadsBackWhatItWritesAndNothingElse) {
  const FolderLockRecord record{4242, "stage-pc", "6b1d-boot", 1000, 987654};
  const std::string text = formatFolderLockRecord(record);
  EXPECT_EQ(parseFolderLockRecord(text), record);
  const std::string cut[] = {
      "",
      text.substr(0, text.size() - 1),  // the power went mid-write
      text.substr(0, text.size() / 2),
      "4242\nzorvane\nstage-pc\n",  // another program's lock format
      text + "extra=1\n",
      "zorvane-lock 1\npid=-3\nhost=a\nboot=b\nuid=0\nstart=1\n",
      "zorvane-lock 1\npid=12x\nhost=a\nboot=b\nuid=0\nstart=1\n",
      "zorvane-lock 1\npid=12\nhost=\nboot=b\nuid=0\nstart=1\n",
      std::string(5000, 'x'),
  };
  for (const std::string& bad : cut) EXPECT_FALSE(parseFolderLockRecord(bad)) << bad;
}

TEST(FolderLockRecord, HeldOnlyByALiveProcessOfThisHostAndBootThatWroteIt) {
  const FolderLockRecord mine{100, "stage-pc", "boot-a", 1000, 5000};
  struct Case {
    const char* what;
    std::optional<FolderLockRecord> record;
    ProcessFacts process;
    bool stale;
  };
  const ProcessFacts writer{true, 5000, 1000};
  auto with = [&mine](auto change) {
    FolderLockRecord r = mine;
    change(r);
    return std::optional<FolderLockRecord>(r);
  };
  const Case cases[] = {
      {"the writer runs", mine, writer, false},
      {"nothing usable in the file", std::nullopt, writer, true},
      {"another PC", with([](auto& r) { r.host = "office-pc"; }), writer, true},
      {"this PC before a restart", with([](auto& r) { r.boot = "boot-0"; }), writer, true},
      {"the writer is gone", mine, ProcessFacts{false, std::nullopt, std::nullopt}, true},
      {"the number went to a later process", mine, ProcessFacts{true, 7000, 1000}, true},
      {"the number went to another user", mine, ProcessFacts{true, 5000, 0}, true},
      {"another user's copy runs", with([](auto& r) { r.uid = 0; }), ProcessFacts{true, 5000, 0},
       false},
      {"another user's copy is gone", with([](auto& r) { r.uid = 0; }),
       ProcessFacts{false, std::nullopt, std::nullopt}, true},
      {"the system tells no start time or user", mine,
       ProcessFacts{true, std::nullopt, std::nullopt}, false},
  };
  for (const Case& c : cases) {
    const MachineFacts here{"stage-pc", "boot-a", [&c](std::int64_t pid) {
                              return pid == 100 ? c.process : ProcessFacts{};
                            }};
    EXPECT_EQ(isStaleFolderLock(c.record, here), c.stale) << c.what;
  }
}

}  // namespace
}  // namespace zv
