#include "platform/logic/event_folder_choice.h"

#include <filesystem>

namespace zv {
namespace {

constexpr const char* kFolderName = "zorvane";

// UTF-8 in and out: a plain std::string path would be read in the ANSI code page on
// Windows.
std::filesystem::path pathOf(const std::string& utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string textOf(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

bool isSeparator(char c) { return c == '/' || c == std::filesystem::path::preferred_separator; }

std::string withoutTrailingSeparators(std::string path) {
  // A root ("/", "C:\") keeps its separator.
  const bool drives = std::filesystem::path::preferred_separator == '\\';
  while (path.size() > 1 && isSeparator(path.back()) && !(drives && path[path.size() - 2] == ':'))
    path.pop_back();
  return path;
}

std::string absolute(const std::string& path, const std::string& base) {
  std::filesystem::path p = pathOf(path);
  if (p.is_relative()) p = pathOf(base) / p;
  return withoutTrailingSeparators(textOf(p.lexically_normal()));
}

bool isWindowsSeparator(char c) { return c == '\\' || c == '/'; }

std::string_view withoutWindowsTrailingSeparators(std::string_view path) {
  while (!path.empty() && isWindowsSeparator(path.back())) path.remove_suffix(1);
  return path;
}

char folded(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

EventFolderChoice chooseEventFolder(const EventFolderFacts& facts) {
  if (facts.commandLineFolder && !facts.commandLineFolder->empty()) {
    return {absolute(*facts.commandLineFolder, facts.workingDirectory),
            EventFolderSource::CommandLine};
  }
  if (facts.executableDirectoryWritable) {
    return {withoutTrailingSeparators(facts.executableDirectory),
            EventFolderSource::ExecutableDirectory};
  }
  if (!facts.roamingAppData.empty()) {
    return {
        std::string(withoutWindowsTrailingSeparators(facts.roamingAppData)) + '\\' + kFolderName,
        EventFolderSource::PerUser};
  }
  std::string dataHome = facts.xdgDataHome;
  if (dataHome.empty() || dataHome.front() != '/') {
    dataHome = withoutTrailingSeparators(facts.home) + "/.local/share";
  }
  return {absolute(std::string(kFolderName), dataHome), EventFolderSource::PerUser};
}

bool isSharedSystemDirectory(const std::string& directory) {
  return directory == "/" || directory == "/bin" || directory == "/sbin" || directory == "/usr" ||
         directory.rfind("/usr/", 0) == 0;
}

bool isInsideWindowsFolder(std::string_view path, std::string_view folder) {
  folder = withoutWindowsTrailingSeparators(folder);
  path = withoutWindowsTrailingSeparators(path);
  if (folder.empty() || path.size() < folder.size()) return false;
  for (std::size_t i = 0; i < folder.size(); ++i) {
    const char a = path[i];
    const char b = folder[i];
    if (isWindowsSeparator(a) && isWindowsSeparator(b)) continue;
    if (folded(a) != folded(b)) return false;
  }
  return path.size() == folder.size() || isWindowsSeparator(path[folder.size()]);
}

bool isOwnWindowsProgramFolder(std::string_view executableDirectory, bool writable,
                               const std::vector<std::string>& systemFolders) {
  if (!writable) return false;
  for (const std::string& folder : systemFolders)
    if (isInsideWindowsFolder(executableDirectory, folder)) return false;
  return true;
}

}  // namespace zv
