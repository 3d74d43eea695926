// Files on Windows: UTF-16 names at the API, binary bytes (no line ends ever changed),
// and replacement by rename that waits out the short holds of scanners and previews.
#define _CRT_RAND_S  // rand_s
#include <fcntl.h>
#include <io.h>
#include <windows.h>
// After windows.h: the security descriptor text of a file only its user may open.
#include <sddl.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <thread>
#include <utility>
#include <vector>

#include "platform/files.h"
#include "platform/files_detail.h"
#include "platform/windows/utf16.h"
#include "platform/windows/windows_files.h"

namespace zv {

using namespace files_detail;
using namespace windows_files;

namespace windows_files {
namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

bool equalsAscii(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const char x = a[i] >= 'a' && a[i] <= 'z' ? static_cast<char>(a[i] - 32) : a[i];
    if (x != b[i]) return false;
  }
  return true;
}

}  // namespace

std::wstring wide(std::string_view utf8) { return utf16::fromUtf8(utf8); }
std::string narrow(std::wstring_view text) { return utf16::toUtf8(text); }

bool isDevicePath(std::string_view path) {
  if (path.size() >= 4 && isSeparator(path[0]) && isSeparator(path[1]) &&
      (path[2] == '.' || path[2] == '?') && isSeparator(path[3])) {
    // \\?\C:\... is a file name written past the length limit; \\.\ names devices.
    return path[2] == '.' || !(path.size() >= 6 && path[5] == ':');
  }
  const std::size_t slash = path.find_last_of("/\\");
  std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  if (name.size() >= 2 && name[1] == ':' && slash == std::string_view::npos)
    name.remove_prefix(2);  // "C:NUL"
  // The system ignores an extension, trailing blanks and a stream after a device's name.
  name = name.substr(0, name.find_first_of(".:"));
  while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
  for (std::string_view device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"})
    if (equalsAscii(name, device)) return true;
  return name.size() == 4 && (equalsAscii(name.substr(0, 3), "COM") ||
                              equalsAscii(name.substr(0, 3), "LPT")) &&
         name[3] >= '1' && name[3] <= '9';
}

std::int64_t unixNanoseconds(const FILETIME& time) {
  // File times count 100 ns steps since 1601.
  constexpr std::int64_t kFrom1601 = 116444736000000000LL;
  const std::int64_t ticks =
      static_cast<std::int64_t>((std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime);
  return (ticks - kFrom1601) * 100;
}

namespace {

// A handle that is closed when it goes.
struct Handle {
  HANDLE h = INVALID_HANDLE_VALUE;
  explicit Handle(HANDLE handle) : h(handle) {}
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  ~Handle() {
    if (h != INVALID_HANDLE_VALUE) ::CloseHandle(h);
  }
  bool ok() const { return h != INVALID_HANDLE_VALUE; }
  HANDLE release() { return std::exchange(h, INVALID_HANDLE_VALUE); }
};

// A file on a disk, not a directory: pipes, consoles and devices are not.
bool isRegularHandle(HANDLE h, BY_HANDLE_FILE_INFORMATION* info = nullptr) {
  BY_HANDLE_FILE_INFORMATION local{};
  BY_HANDLE_FILE_INFORMATION& i = info ? *info : local;
  return ::GetFileType(h) == FILE_TYPE_DISK && ::GetFileInformationByHandle(h, &i) &&
         !(i.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool readAll(HANDLE h, char* into, std::size_t size, std::size_t& filled) {
  filled = 0;
  while (filled < size) {
    DWORD n = 0;
    const DWORD ask = static_cast<DWORD>(std::min<std::size_t>(size - filled, 1u << 30));
    if (!::ReadFile(h, into + filled, ask, &n, nullptr)) return false;
    if (n == 0) break;
    filled += n;
  }
  return true;
}

bool writeAll(HANDLE h, std::string_view bytes, std::size_t* written = nullptr) {
  while (!bytes.empty()) {
    DWORD n = 0;
    const DWORD ask = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
    if (!::WriteFile(h, bytes.data(), ask, &n, nullptr) || n == 0) return false;
    bytes.remove_prefix(n);
    if (written) *written += n;
  }
  return true;
}

// A path the system gives back (\\?\C:\..., \\?\UNC\server\...) as users write it.
std::string shownPath(std::wstring path) {
  if (path.starts_with(L"\\\\?\\UNC\\")) path = L"\\\\" + path.substr(8);
  else if (path.starts_with(L"\\\\?\\")) path = path.substr(4);
  return narrow(path);
}

// The final path of what handle h has open, as the system writes it.
std::wstring finalPath(HANDLE h) {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = ::GetFinalPathNameByHandleW(h, path.data(), static_cast<DWORD>(path.size()),
                                                FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (n == 0) return {};
    if (n < path.size()) {
      path.resize(n);
      return path;
    }
    path.resize(n + 1);
  }
}

// The regular file a link at path leads to (a regular file itself gives its own path),
// as a path; empty for anything else.
std::wstring regularTargetOf(const std::wstring& path) {
  const Handle h(::CreateFileW(path.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                               FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!h.ok() || !isRegularHandle(h.h)) return {};
  return finalPath(h.h);
}

bool retryable(DWORD error) {
  return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
         error == ERROR_ACCESS_DENIED;
}

// Removes temporary files of target in the directory that are older than a day.
void removeStaleTemporaries(const std::wstring& directory, std::string_view target) {
  WIN32_FIND_DATAW found{};
  const std::wstring pattern = directory + L"\\." + wide(target) + L".tmp-*";
  const HANDLE search = ::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found,
                                           FindExSearchNameMatch, nullptr, 0);
  if (search == INVALID_HANDLE_VALUE) return;
  const std::int64_t cutoff =
      (static_cast<std::int64_t>(std::time(nullptr)) - kStaleAfterSeconds) * 1'000'000'000;
  do {
    if (found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))
      continue;
    if (isTemporaryOf(narrow(found.cFileName), target) &&
        unixNanoseconds(found.ftLastWriteTime) < cutoff)
      ::DeleteFileW((directory + L"\\" + found.cFileName).c_str());
  } while (::FindNextFileW(search, &found));
  ::FindClose(search);
}

// Writes name into directory (UTF-16, as the API takes it): a temporary file, flushed,
// then renamed over name. The temporary file is made with `security` when given; the
// rename keeps it.
bool writeInDirectory(const std::wstring& directory, const std::string& name,
                      std::string_view bytes, Durability durability,
                      SECURITY_ATTRIBUTES* security = nullptr) {
  if (name.empty() || name == "." || name == ".." || name.find_first_of("/\\") != std::string::npos)
    return false;
  const std::wstring wideName = wide(name);
  if (wideName.empty()) return false;
  const std::wstring target = directory + L"\\" + wideName;
  if (isDevicePath(name)) {
    reportUnusable(shownPath(target));
    return false;
  }
  const DWORD attributes = ::GetFileAttributesW(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES &&
      (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))) {
    // A link is followed only to a regular file, whose directory is then where the write
    // happens; anything else under the name is left alone.
    const std::wstring resolved =
        attributes & FILE_ATTRIBUTE_DIRECTORY ? std::wstring() : regularTargetOf(target);
    const std::size_t slash = resolved.find_last_of(L'\\');
    if (resolved.empty() || slash == std::wstring::npos) {
      reportUnusable(shownPath(target));
      return false;
    }
    return writeInDirectory(resolved.substr(0, slash), narrow(resolved.substr(slash + 1)), bytes,
                            durability, security);
  }
  removeStaleTemporaries(directory, name);

  std::wstring temp;
  HANDLE file = INVALID_HANDLE_VALUE;
  for (int attempt = 0; file == INVALID_HANDLE_VALUE && attempt < kNameAttempts; ++attempt) {
    temp = directory + L"\\" + wide(temporaryNameFor(name, nextRandom()));
    file = ::CreateFileW(temp.c_str(), GENERIC_WRITE, kShareAll, security, CREATE_NEW,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE && ::GetLastError() != ERROR_FILE_EXISTS &&
        ::GetLastError() != ERROR_ALREADY_EXISTS)
      return false;
  }
  if (file == INVALID_HANDLE_VALUE) return false;
  bool ok = writeAll(file, bytes) &&
            (durability != Durability::kSynced || ::FlushFileBuffers(file));
  ok = ::CloseHandle(file) && ok;
  ok = ok && replaceFile(temp, target, durability == Durability::kSynced);
  if (!ok) ::DeleteFileW(temp.c_str());
  return ok;
}

}  // namespace

bool replaceFile(const std::wstring& from, const std::wstring& to, bool writeThrough) {
  const DWORD flags = MOVEFILE_REPLACE_EXISTING | (writeThrough ? MOVEFILE_WRITE_THROUGH : 0);
  // Growing waits, about two seconds in all: a scanner lets go within that, a program that
  // keeps the file open does not, and then the write is reported as failed.
  static constexpr int kWaitsMs[] = {10, 20, 40, 80, 160, 320, 500, 500, 500};
  for (const int waitMs : kWaitsMs) {
    if (::MoveFileExW(from.c_str(), to.c_str(), flags)) return true;
    if (!retryable(::GetLastError())) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(waitMs));
  }
  return ::MoveFileExW(from.c_str(), to.c_str(), flags) != 0;
}

std::optional<std::string> readRegularNotFollowing(const std::string& path, std::size_t maxBytes,
                                                   bool* missing) {
  if (missing) *missing = false;
  if (isDevicePath(path)) return std::nullopt;
  const Handle h(::CreateFileW(wide(path).c_str(), GENERIC_READ, kShareAll, nullptr,
                               OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!h.ok()) {
    const DWORD error = ::GetLastError();
    if (missing) *missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    return std::nullopt;
  }
  BY_HANDLE_FILE_INFORMATION info{};
  if (!isRegularHandle(h.h, &info) || (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
    return std::nullopt;
  const std::uint64_t size = (std::uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow;
  if (size > maxBytes) return std::nullopt;
  // One byte more tells a file that grew meanwhile.
  std::string bytes(static_cast<std::size_t>(size) + 1, '\0');
  std::size_t filled = 0;
  if (!readAll(h.h, bytes.data(), bytes.size(), filled) || filled != size) return std::nullopt;
  bytes.resize(filled);
  return bytes;
}

}  // namespace windows_files

namespace files_detail {

std::uint64_t systemRandom() {
  unsigned int high = 0, low = 0;
  if (rand_s(&high) == 0 && rand_s(&low) == 0) return (std::uint64_t{high} << 32) | low;
  return (std::uint64_t{static_cast<unsigned>(std::rand())} << 32) ^
         static_cast<std::uint64_t>(::GetTickCount64());
}

}  // namespace files_detail

char pathSeparator() { return '\\'; }

int openRegularFileForReading(const std::string& path) {
  // Looked at before it is opened: opening a device can have effects of its own.
  if (isDevicePath(path)) {
    reportUnusable(path);
    return -1;
  }
  const std::wstring name = wide(path);
  const DWORD attributes = name.empty() ? INVALID_FILE_ATTRIBUTES : ::GetFileAttributesW(name.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return -1;
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
    reportUnusable(path);
    return -1;
  }
  Handle h(::CreateFileW(name.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!h.ok()) return -1;
  // A link leads to whatever it names: only a regular file will do.
  if (!isRegularHandle(h.h)) {
    reportUnusable(path);
    return -1;
  }
  // Binary: the bytes as they are on disk.
  const int fd = ::_open_osfhandle(reinterpret_cast<std::intptr_t>(h.h), _O_RDONLY | _O_BINARY);
  if (fd < 0) return -1;
  h.release();
  return fd;
}

std::int64_t readFile(int fd, char* into, std::size_t size, std::int64_t offset) {
  const HANDLE h = reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
  if (h == INVALID_HANDLE_VALUE) return -1;
  DWORD n = 0;
  const DWORD ask = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
  if (offset < 0) {
    if (!::ReadFile(h, into, ask, &n, nullptr)) return -1;
    return n;
  }
  OVERLAPPED at{};
  at.Offset = static_cast<DWORD>(static_cast<std::uint64_t>(offset));
  at.OffsetHigh = static_cast<DWORD>(static_cast<std::uint64_t>(offset) >> 32);
  if (!::ReadFile(h, into, ask, &n, &at)) return ::GetLastError() == ERROR_HANDLE_EOF ? 0 : -1;
  return n;
}

std::int64_t openFileSize(int fd) {
  const HANDLE h = reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
  LARGE_INTEGER size{};
  if (h == INVALID_HANDLE_VALUE || !isRegularHandle(h) || !::GetFileSizeEx(h, &size)) return -1;
  return size.QuadPart;
}

void closeFile(int fd) { ::_close(fd); }

std::optional<FileStatus> fileStatus(const std::string& path) {
  if (isDevicePath(path)) return FileStatus{};
  const std::wstring name = wide(path);
  if (name.empty()) return std::nullopt;
  const Handle h(::CreateFileW(name.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                               FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  BY_HANDLE_FILE_INFORMATION info{};
  if (!h.ok() || !::GetFileInformationByHandle(h.h, &info)) return std::nullopt;
  FileStatus status;
  status.regular = isRegularHandle(h.h);
  status.device = info.dwVolumeSerialNumber;
  status.identity = (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
  status.size = static_cast<std::int64_t>((std::uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow);
  status.modifiedNs = unixNanoseconds(info.ftLastWriteTime);
  return status;
}

AppendOutcome appendToFileSynced(
    const std::string& path, const std::function<std::string(std::int64_t sizeBefore)>& bytesFor) {
  AppendOutcome outcome;
  const std::wstring name = wide(path);
  if (name.empty() || isDevicePath(path)) return outcome;
  // The name itself, not what a link there leads to.
  Handle h(::CreateFileW(name.c_str(), GENERIC_WRITE, kShareAll, nullptr, OPEN_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!h.ok()) return outcome;
  BY_HANDLE_FILE_INFORMATION info{};
  LARGE_INTEGER size{};
  if (!isRegularHandle(h.h, &info) || (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ||
      !::GetFileSizeEx(h.h, &size))
    return outcome;
  outcome.opened = true;
  outcome.sizeBefore = size.QuadPart;
  const std::string out = bytesFor(outcome.sizeBefore);
  const LARGE_INTEGER zero{};
  bool ok = ::SetFilePointerEx(h.h, zero, nullptr, FILE_END) && writeAll(h.h, out, &outcome.written);
  // The file's own flush covers a new file's name: there is no directory to flush.
  ok = ::FlushFileBuffers(h.h) && ok;
  ok = ::CloseHandle(h.release()) && ok;
  outcome.ok = ok;
  return outcome;
}

std::optional<std::string> writableTarget(const std::string& path) {
  if (isDevicePath(path)) {
    reportUnusable(path);
    return std::nullopt;
  }
  const std::wstring name = wide(path);
  if (name.empty()) return std::nullopt;
  const DWORD attributes = ::GetFileAttributesW(name.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = ::GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return path;
    return std::nullopt;
  }
  if (!(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))) return path;
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    if (const std::wstring target = regularTargetOf(name); !target.empty())
      return shownPath(target);
  }
  reportUnusable(path);
  return std::nullopt;
}

std::string programDirectory() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return ".";
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(path.size() * 2);  // cut short: a long path
  }
  return parentDirectory(shownPath(path));
}

void closeFolder(FolderHandle folder) {
  if (folder != kNoFolder) ::CloseHandle(reinterpret_cast<HANDLE>(folder));
}

bool writeFileAtomicallyAt(FolderHandle folder, const std::string& name, std::string_view bytes,
                           Durability durability) {
  // The open handle keeps the folder where it is: its path names this very folder.
  const std::wstring directory =
      folder == kNoFolder ? std::wstring() : finalPath(reinterpret_cast<HANDLE>(folder));
  return !directory.empty() && writeInDirectory(directory, name, bytes, durability);
}

bool writeWholeFileAtomically(const std::string& path, std::string_view bytes,
                              Durability durability) {
  const std::optional<std::string> target = writableTarget(path);
  if (!target) return false;
  const std::wstring directory = wide(parentDirectory(*target));
  return !directory.empty() && writeInDirectory(directory, baseName(*target), bytes, durability);
}

namespace {

// The text form of this process's user's security identifier; empty when unknown.
std::wstring currentUserSid() {
  HANDLE token = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) return {};
  DWORD size = 0;
  ::GetTokenInformation(token, TokenUser, nullptr, 0, &size);
  std::vector<unsigned char> buffer(size ? size : 1);
  std::wstring text;
  LPWSTR sid = nullptr;
  if (size && ::GetTokenInformation(token, TokenUser, buffer.data(), size, &size) &&
      ::ConvertSidToStringSidW(reinterpret_cast<const TOKEN_USER*>(buffer.data())->User.Sid,
                               &sid)) {
    text = sid;
    ::LocalFree(sid);
  }
  ::CloseHandle(token);
  return text;
}

}  // namespace

bool writePrivateFileAtomically(const std::string& path, std::string_view bytes) {
  // The file is made with a protected access list naming its user alone, so that it never
  // takes the folder's (often everyone's) permissions, not even between its creation and
  // the first byte.
  const std::wstring sid = currentUserSid();
  if (sid.empty()) return false;
  const std::wstring sddl = L"D:P(A;;FA;;;" + sid + L")";
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1,
                                                              &descriptor, nullptr))
    return false;
  SECURITY_ATTRIBUTES security{sizeof(SECURITY_ATTRIBUTES), descriptor, FALSE};
  const std::optional<std::string> target = writableTarget(path);
  const std::wstring directory = target ? wide(parentDirectory(*target)) : std::wstring();
  const bool ok = !directory.empty() && writeInDirectory(directory, baseName(*target), bytes,
                                                         Durability::kSynced, &security);
  ::LocalFree(descriptor);
  return ok;
}

bool deleteFile(const std::string& path) {
  const std::wstring name = wide(path);
  return !name.empty() && ::DeleteFileW(name.c_str());
}

bool makeDirectories(const std::string& path) {
  const std::wstring name = wide(path);
  if (name.empty()) return false;
  // Every prefix is tried: those that exist, and a drive or a share's root, refuse quietly.
  for (std::size_t pos = name.find_first_of(L"/\\", 1); pos != std::wstring::npos;
       pos = name.find_first_of(L"/\\", pos + 1))
    ::CreateDirectoryW(name.substr(0, pos).c_str(), nullptr);
  ::CreateDirectoryW(name.c_str(), nullptr);
  const DWORD attributes = ::GetFileAttributesW(name.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool fileExists(const std::string& path) {
  const std::wstring name = wide(path);
  const DWORD attributes = name.empty() ? INVALID_FILE_ATTRIBUTES : ::GetFileAttributesW(name.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool pathExists(const std::string& path) {
  const std::wstring name = wide(path);
  return !name.empty() && ::GetFileAttributesW(name.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace zv
