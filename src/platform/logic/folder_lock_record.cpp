#include "platform/logic/folder_lock_record.h"

#include <charconv>
#include <vector>

namespace zv {
namespace {

constexpr std::string_view kFormatLine = "zorvane-lock 1";
constexpr std::size_t kLongestField = 256;

template <typename Number>
std::optional<Number> number(std::string_view text) {
  Number value{};
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) return {};
  return value;
}

}  // namespace

std::string formatFolderLockRecord(const FolderLockRecord& record) {
  std::string text(kFormatLine);
  text += "\npid=" + std::to_string(record.pid);
  text += "\nhost=" + record.host;
  text += "\nboot=" + record.boot;
  text += "\nuid=" + std::to_string(record.uid);
  text += "\nstart=" + std::to_string(record.startTime);
  text += "\n";
  return text;
}

std::optional<FolderLockRecord> parseFolderLockRecord(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    // A record always ends in a line break: a last line without one was cut short.
    if (end == std::string_view::npos) return std::nullopt;
    lines.push_back(text.substr(0, end));
    text.remove_prefix(end + 1);
  }
  if (lines.size() != 6 || lines[0] != kFormatLine) return std::nullopt;
  const char* const keys[] = {"pid=", "host=", "boot=", "uid=", "start="};
  std::string_view values[5];
  for (std::size_t i = 0; i < 5; ++i) {
    const std::string_view line = lines[i + 1];
    const std::string_view key = keys[i];
    if (!line.starts_with(key) || line.size() - key.size() > kLongestField) return std::nullopt;
    values[i] = line.substr(key.size());
  }
  const auto pid = number<std::int64_t>(values[0]);
  const auto uid = number<std::int64_t>(values[3]);
  const auto start = number<std::uint64_t>(values[4]);
  if (!pid || *pid <= 0 || !uid || values[1].empty() || !start) return std::nullopt;
  return FolderLockRecord{*pid, std::string(values[1]), std::string(values[2]), *uid, *start};
}

bool isStaleFolderLock(const std::optional<FolderLockRecord>& record, const MachineFacts& here) {
  // Another PC's copy (the folder was copied while it ran) or this PC before a restart.
  if (!record || record->host != here.host || record->boot != here.boot) return true;
  const ProcessFacts process = here.process ? here.process(record->pid) : ProcessFacts{};
  if (!process.alive) return true;
  // The number went to another process since.
  if (process.startTime && *process.startTime != record->startTime) return true;
  if (process.uid && *process.uid != record->uid) return true;
  return false;
}

}  // namespace zv
