// The user's own folders on Windows live in the profile (%LOCALAPPDATA%), which the
// system keeps from other users: a folder there need only be a real folder, not a link.
#include <shlobj.h>
#include <windows.h>

#include "platform/private_folder.h"
#include "platform/windows/windows_files.h"

namespace zv {

using namespace windows_files;

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

std::string withoutTrailingSeparators(std::string path) {
  while (path.size() > 1 && (path.back() == '\\' || path.back() == '/') &&
         !(path.size() == 3 && path[1] == ':'))
    path.pop_back();
  return path;
}

std::string localAppData() {
  wchar_t buffer[32768];
  const DWORD n = ::GetEnvironmentVariableW(L"LOCALAPPDATA", buffer, 32768);
  if (n > 0 && n < 32768) return withoutTrailingSeparators(narrow(std::wstring_view(buffer, n)));
  if (::SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, buffer) == S_OK)
    return withoutTrailingSeparators(narrow(buffer));
  return {};
}

}  // namespace

std::string userCacheFolder(std::string_view name) {
  const std::string base = localAppData();
  return base.empty() ? base : base + "\\" + std::string(name);
}

std::string userRuntimeFolder(std::string_view name) {
  const std::string cache = userCacheFolder(name);
  return cache.empty() ? cache : cache + "\\run";
}

std::optional<PrivateFolder> PrivateFolder::open(const std::string& requested) {
  const std::string path = withoutTrailingSeparators(requested);
  const std::wstring name = wide(path);
  if (name.empty() || isDevicePath(path)) return std::nullopt;
  if (!::CreateDirectoryW(name.c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS)
    return std::nullopt;
  // Opened without sharing deletion: while it is open the folder can be neither moved nor
  // removed, so its path keeps naming the folder checked here.
  const HANDLE h = ::CreateFileW(name.c_str(), FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (h == INVALID_HANDLE_VALUE) return std::nullopt;
  BY_HANDLE_FILE_INFORMATION info{};
  if (!::GetFileInformationByHandle(h, &info) ||
      !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
      (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
    ::CloseHandle(h);
    return std::nullopt;
  }
  return PrivateFolder(path, reinterpret_cast<FolderHandle>(h));
}

std::optional<PrivateFolder> PrivateFolder::openUserRuntimeFolder(std::string_view name) {
  const std::string path = userRuntimeFolder(name);
  if (path.empty()) return std::nullopt;
  makeDirectories(userCacheFolder(name));
  return open(path);
}

bool PrivateFolder::remove(const std::string& name) const {
  if (folder_ == kNoFolder || name.empty() || name.find_first_of("/\\") != std::string::npos)
    return false;
  const std::wstring path = wide(file(name));
  return !path.empty() && (::DeleteFileW(path.c_str()) || ::RemoveDirectoryW(path.c_str()));
}

std::vector<PrivateFolder::Entry> PrivateFolder::entries() const {
  std::vector<Entry> entries;
  if (folder_ == kNoFolder) return entries;
  WIN32_FIND_DATAW found{};
  const HANDLE search = ::FindFirstFileExW(wide(file("*")).c_str(), FindExInfoBasic, &found,
                                           FindExSearchNameMatch, nullptr, 0);
  if (search == INVALID_HANDLE_VALUE) return entries;
  do {
    const std::wstring_view name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    Entry entry{narrow(name)};
    entry.regular =
        !(found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT));
    entry.modified = unixNanoseconds(found.ftLastWriteTime) / 1'000'000'000;
    entry.size = (std::uint64_t{found.nFileSizeHigh} << 32) | found.nFileSizeLow;
    entries.push_back(std::move(entry));
  } while (::FindNextFileW(search, &found));
  ::FindClose(search);
  return entries;
}

void PrivateFolder::touch(const std::string& name) const {
  if (folder_ == kNoFolder) return;
  const HANDLE h = ::CreateFileW(wide(file(name)).c_str(), FILE_WRITE_ATTRIBUTES, kShareAll,
                                 nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (h == INVALID_HANDLE_VALUE) return;
  FILETIME now{};
  ::GetSystemTimeAsFileTime(&now);
  ::SetFileTime(h, nullptr, nullptr, &now);
  ::CloseHandle(h);
}

std::optional<std::string> readPrivateFile(const std::string& path, std::size_t maxBytes) {
  return readRegularNotFollowing(path, maxBytes, nullptr);
}

}  // namespace zv
