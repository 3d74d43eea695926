// The one-copy lock of a folder on Windows: a running copy's lock is kept, and what an
// ended copy or no copy at all left in its place is taken over.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>

#include "platform/files.h"
#include "platform/folder_lock.h"
#include "support/temp_dir.h"

namespace zv {
namespace {

using zv::testing::TempDir;

constexpr const char* kName = ".zorvane.lock";

void plant(const std::string& path, const std::string& text) {
  std::ofstream(TempDir::native(path), std::ios::binary) << text;
}

// A process that has ended, its record as its lock file would have said it. With
// keepHandle the process object outlives it (a handle still open), as it does while a
// parent has not yet closed its handle.
FolderLockRecord endedProcessRecord(bool keepHandle, HANDLE* handle) {
  wchar_t system[MAX_PATH] = {};
  GetSystemDirectoryW(system, MAX_PATH);
  const std::wstring program = std::wstring(system) + L"\\cmd.exe";
  std::wstring command = L"cmd.exe /c exit 0";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  FolderLockRecord record = thisProcessRecord();
  if (!CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                      nullptr, nullptr, &startup, &process)) {
    ADD_FAILURE() << "cannot start cmd.exe";
    return record;
  }
  WaitForSingleObject(process.hProcess, 60000);
  FILETIME created{}, exited{}, kernel{}, user{};
  GetProcessTimes(process.hProcess, &created, &exited, &kernel, &user);
  record.pid = process.dwProcessId;
  record.startTime =
      (static_cast<std::uint64_t>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
  CloseHandle(process.hThread);
  if (keepHandle) {
    *handle = process.hProcess;
  } else {
    CloseHandle(process.hProcess);
  }
  return record;
}

TEST(FolderLockWindows, ThisProcessRecordNamesALiveProcess) {
  const FolderLockRecord own = thisProcessRecord();
  EXPECT_EQ(own.pid, static_cast<std::int64_t>(GetCurrentProcessId()));
  EXPECT_NE(own.startTime, 0u);
  EXPECT_NE(own.host, "?");
  EXPECT_FALSE(isStaleFolderLock(own, thisMachine()));
}

TEST(FolderLockWindows, ARunningCopysLockIsKeptAndReleased) {
  TempDir dir;
  FolderLock first(dir.path(), kName);
  ASSERT_EQ(first.tryTake(), FolderLock::Outcome::Taken);
  EXPECT_EQ(parseFolderLockRecord(readWholeFile(dir.file(kName))), thisProcessRecord());
  // Held by the byte lock (a second copy), and by the record alone (the lock's holder
  // is alive even where the lock is not honoured).
  FolderLock second(dir.path(), kName);
  EXPECT_EQ(second.tryTake(), FolderLock::Outcome::Held);
  EXPECT_TRUE(pathExists(dir.file(kName)));
  first.release();
  EXPECT_FALSE(pathExists(dir.file(kName)));
  EXPECT_EQ(second.tryTake(), FolderLock::Outcome::Taken);
  second.release();
  EXPECT_TRUE(dir.entries().empty()) << "nothing is left beside the lock file";

  plant(dir.file(kName), formatFolderLockRecord(thisProcessRecord()));
  FolderLock third(dir.path(), kName);
  EXPECT_EQ(third.tryTake(), FolderLock::Outcome::Held);
}

TEST(FolderLockWindows, AnEndedCopysLockIsTakenOver) {
  HANDLE ended = nullptr;
  FolderLockRecord reused = thisProcessRecord();
  reused.startTime += 1;  // this process's number, but a process started at another time
  struct Case {
    const char* what;
    std::function<void(const std::string& path)> plant;
  };
  const Case cases[] = {
      {"a process that ended",
       [](const std::string& p) {
         plant(p, formatFolderLockRecord(endedProcessRecord(false, nullptr)));
       }},
      {"a process that ended, its handle still open",
       [&ended](const std::string& p) {
         plant(p, formatFolderLockRecord(endedProcessRecord(true, &ended)));
       }},
      {"the number went to a later process",
       [&reused](const std::string& p) { plant(p, formatFolderLockRecord(reused)); }},
      {"garbage",
       [](const std::string& p) {
         plant(p, "\x01\x02 not a lock");
         // Long written: not a lock file being written this moment.
         std::filesystem::last_write_time(
             TempDir::native(p),
             std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
       }},
      {"a folder", [](const std::string& p) { ASSERT_TRUE(makeDirectories(p)); }},
  };
  for (const Case& c : cases) {
    TempDir dir;
    c.plant(dir.file(kName));
    FolderLock lock(dir.path(), kName);
    ASSERT_EQ(lock.tryTake(), FolderLock::Outcome::Taken) << c.what;
    EXPECT_EQ(parseFolderLockRecord(readWholeFile(dir.file(kName))), thisProcessRecord()) << c.what;
    lock.release();
    EXPECT_TRUE(dir.entries().empty()) << c.what;
  }
  if (ended) CloseHandle(ended);
}

}  // namespace
}  // namespace zv
