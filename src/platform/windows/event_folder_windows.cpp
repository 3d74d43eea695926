#include <shlobj.h>
#include <windows.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/event_folder.h"
#include "platform/files.h"
#include "platform/windows/utf16.h"

namespace zv {
namespace {

std::string knownFolder(int id) {
  wchar_t path[MAX_PATH] = {};
  if (SHGetFolderPathW(nullptr, id, nullptr, SHGFP_TYPE_CURRENT, path) != S_OK) return {};
  return utf16::toUtf8(path);
}

std::string environment(const wchar_t* name) {
  const wchar_t* value = _wgetenv(name);
  return value ? utf16::toUtf8(value) : std::string();
}

std::string workingDirectory() {
  const DWORD size = GetCurrentDirectoryW(0, nullptr);
  if (size == 0) return {};
  std::wstring path(size, L'\0');
  const DWORD n = GetCurrentDirectoryW(size, path.data());
  path.resize(n < size ? n : 0);
  return utf16::toUtf8(path);
}

std::string roamingAppData() {
  std::string folder = knownFolder(CSIDL_APPDATA);
  if (folder.empty()) folder = environment(L"APPDATA");
  if (folder.empty()) {
    const std::string profile = environment(L"USERPROFILE");
    if (!profile.empty()) folder = profile + "\\AppData\\Roaming";
  }
  return folder;
}

std::filesystem::path pathOf(const std::string& utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

}  // namespace

EventFolderFacts gatherEventFolderFacts(std::optional<std::string> commandLineFolder) {
  EventFolderFacts facts;
  facts.commandLineFolder = std::move(commandLineFolder);
  facts.workingDirectory = workingDirectory();
  facts.executableDirectory = programDirectory();
  const std::vector<std::string> systemFolders = {knownFolder(CSIDL_PROGRAM_FILES),
                                                  knownFolder(CSIDL_PROGRAM_FILESX86),
                                                  knownFolder(CSIDL_WINDOWS)};
  facts.executableDirectoryWritable = isOwnWindowsProgramFolder(
      facts.executableDirectory, canWriteInDirectory(facts.executableDirectory), systemFolders);
  facts.roamingAppData = roamingAppData();
  // Nowhere of the user's own (a broken profile): the working directory is the last resort.
  if (facts.roamingAppData.empty()) facts.roamingAppData = facts.workingDirectory;
  return facts;
}

std::string sampleEventDirectory(const std::string& executableDirectory) {
  return executableDirectory;
}

bool copyFolderContents(const std::string& from, const std::string& to) {
  if (!makeDirectories(to)) return false;
  std::error_code error;
  std::vector<std::string> names;
  for (std::filesystem::directory_iterator it(pathOf(from), error), end; !error && it != end;
       it.increment(error)) {
    const std::u8string name = it->path().filename().u8string();
    names.emplace_back(name.begin(), name.end());
  }
  if (error) return false;
  bool ok = true;
  for (const std::string& name : names) {
    const std::string source = from + "\\" + name;
    const std::string target = to + "\\" + name;
    std::error_code kind;
    if (std::filesystem::is_directory(pathOf(source), kind)) {
      ok = copyFolderContents(source, target) && ok;
    } else if (!pathExists(target)) {
      ok = copyFileOverwriting(source, target) && ok;
    }
  }
  return ok;
}

bool canWriteInDirectory(const std::string& directory) {
  const std::wstring folder = utf16::fromUtf8(directory);
  if (folder.empty()) return false;
  // A file of a name no one else uses, gone again when closed.
  for (int attempt = 0; attempt < 8; ++attempt) {
    const std::wstring probe = folder + L"\\.zorvane-write-test-" +
                               std::to_wstring(GetCurrentProcessId()) + L"-" +
                               std::to_wstring(GetTickCount64() + attempt);
    const HANDLE file = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      CloseHandle(file);
      return true;
    }
    if (GetLastError() != ERROR_FILE_EXISTS) return false;
  }
  return false;
}

}  // namespace zv
