#pragma once
// What the one-copy lock file of a folder says about its holder, and whether that holder
// still runs. An event folder travels between PCs on a stick, copied while the program
// runs, so a lock file is judged by what is true on this machine alone: only a process
// that lives here, in this boot, and is the very process that wrote the file, holds it.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace zv {

struct FolderLockRecord {
  std::int64_t pid = 0;
  std::string host;             // the machine's host name
  std::string boot;             // the boot's id; empty where the system has none
  std::int64_t uid = -1;        // the user the copy ran as
  std::uint64_t startTime = 0;  // when the process started, in the system's own ticks

  bool operator==(const FolderLockRecord&) const = default;
};

// The file's text: a first line naming the format, then one "key=value" line per field.
std::string formatFolderLockRecord(const FolderLockRecord& record);

// Nothing for text that is not a whole record (empty, cut short by a power cut, garbage,
// a host name with a line break).
std::optional<FolderLockRecord> parseFolderLockRecord(std::string_view text);

// What this machine says about a process number.
struct ProcessFacts {
  bool alive = false;
  std::optional<std::uint64_t> startTime;  // unknown where the system does not tell
  std::optional<std::int64_t> uid;
};

struct MachineFacts {
  std::string host;
  std::string boot;  // empty where unknown
  std::function<ProcessFacts(std::int64_t pid)> process;
};

// Whether the lock whose file said record (nothing: it said nothing usable) may be taken
// over. Held only when the record names this host and this boot, and a live process of
// that number that started when the record says, as the user the record names.
bool isStaleFolderLock(const std::optional<FolderLockRecord>& record, const MachineFacts& here);

}  // namespace zv
