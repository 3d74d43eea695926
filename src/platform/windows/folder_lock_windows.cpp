#include <io.h>
#include <windows.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/folder_lock.h"
#include "platform/windows/utf16.h"

namespace zv {
namespace {

// A record is a few dozen bytes; anything much longer is not one.
constexpr std::size_t kLongestRecord = 4096;
// A lock file without a whole record is being written only for this long.
constexpr std::uint64_t kWritingTicks = 2ull * 10'000'000;  // 100 ns ticks
// The byte the holder locks, far past the record: a lock on the record's own bytes would
// keep others from reading who holds the folder.
constexpr DWORD kLockedByteHigh = 0x40000000;
// Every open of a lock file lets the others read it and rename or delete it, so a stale
// one can be moved out of the way even while someone else is looking at it.
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

std::string messageOf(DWORD error) {
  wchar_t* text = nullptr;
  const DWORD n = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string message = n && text ? utf16::toUtf8(std::wstring_view(text, n)) : std::string();
  if (text) LocalFree(text);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                              message.back() == ' ' || message.back() == '.'))
    message.pop_back();
  return message.empty() ? "error " + std::to_string(error) : message;
}

std::uint64_t ticksOf(const FILETIME& time) {
  return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

std::string hostName() {
  wchar_t buffer[256] = {};
  DWORD size = 256;
  if (!GetComputerNameExW(ComputerNameDnsHostname, buffer, &size) || size == 0) {
    size = 256;
    if (!GetComputerNameW(buffer, &size)) return "?";
  }
  std::string host = utf16::toUtf8(std::wstring_view(buffer, size));
  for (char& c : host)
    if (c == '\n' || c == '\r') c = '_';
  return host.empty() ? "?" : host;
}

// The system's count of its starts, where it keeps one; the same for every copy in one
// boot. Nothing where it is missing: the process's start time (a calendar time on
// Windows) then tells a later boot's process of the same number apart.
std::string bootId() {
  DWORD value = 0;
  DWORD size = sizeof value;
  if (RegGetValueW(HKEY_LOCAL_MACHINE,
                   L"SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Memory "
                   L"Management\\PrefetchParameters",
                   L"BootId", RRF_RT_REG_DWORD, nullptr, &value, &size) != ERROR_SUCCESS)
    return {};
  return std::to_string(value);
}

// The user as a number: a hash of the security identifier (the record's field is a
// number, as a POSIX user id is).
std::optional<std::int64_t> userOf(HANDLE process) {
  HANDLE token = nullptr;
  if (!OpenProcessToken(process, TOKEN_QUERY, &token)) return std::nullopt;
  DWORD size = 0;
  GetTokenInformation(token, TokenUser, nullptr, 0, &size);
  std::vector<unsigned char> buffer(size ? size : 1);
  std::optional<std::int64_t> user;
  if (size && GetTokenInformation(token, TokenUser, buffer.data(), size, &size)) {
    const PSID sid = reinterpret_cast<const TOKEN_USER*>(buffer.data())->User.Sid;
    const auto* bytes = static_cast<const unsigned char*>(sid);
    std::uint64_t hash = 14695981039346656037ull;  // FNV-1a
    for (DWORD i = 0; i < GetLengthSid(sid); ++i) hash = (hash ^ bytes[i]) * 1099511628211ull;
    user = static_cast<std::int64_t>(hash & 0x7FFFFFFFFFFFFFFFull);
  }
  CloseHandle(token);
  return user;
}

ProcessFacts processFacts(std::int64_t pid) {
  ProcessFacts facts;
  if (pid <= 0 || pid > 0xFFFFFFFFll) return facts;
  const DWORD id = static_cast<DWORD>(pid);
  bool canWait = true;
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, id);
  if (!process && GetLastError() == ERROR_ACCESS_DENIED) {
    canWait = false;
    process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
  }
  if (!process) {
    // Another user's protected process still exists; a number no process has does not.
    facts.alive = GetLastError() == ERROR_ACCESS_DENIED;
    return facts;
  }
  // A process that has ended lives on as an object while someone holds a handle to it.
  DWORD code = 0;
  facts.alive = canWait ? WaitForSingleObject(process, 0) == WAIT_TIMEOUT
                        : GetExitCodeProcess(process, &code) && code == STILL_ACTIVE;
  if (facts.alive) {
    FILETIME created{}, exited{}, kernel{}, user{};
    if (GetProcessTimes(process, &created, &exited, &kernel, &user))
      facts.startTime = ticksOf(created);
    facts.uid = userOf(process);
  }
  CloseHandle(process);
  return facts;
}

bool writeAll(HANDLE file, const std::string& bytes) {
  DWORD written = 0;
  return WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

std::string readSome(HANDLE file) {
  std::string bytes;
  char buffer[kLongestRecord + 1];
  DWORD n = 0;
  while (bytes.size() <= kLongestRecord && ReadFile(file, buffer, sizeof buffer, &n, nullptr) &&
         n > 0)
    bytes.append(buffer, n);
  return bytes;
}

bool lockExclusively(HANDLE file) {
  OVERLAPPED at{};
  at.OffsetHigh = kLockedByteHigh;
  return LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at);
}

bool beingWritten(HANDLE file) {
  FILETIME written{};
  FILETIME now{};
  if (!GetFileTime(file, nullptr, nullptr, &written)) return false;
  GetSystemTimeAsFileTime(&now);
  return ticksOf(now) >= ticksOf(written) && ticksOf(now) - ticksOf(written) < kWritingTicks;
}

// A name beside the lock file that no other copy picks.
std::wstring asideName(const std::wstring& path, const wchar_t* what) {
  static LONG counter = 0;
  return path + L"." + what + L"-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
         std::to_wstring(InterlockedIncrement(&counter)) + L"-" + std::to_wstring(GetTickCount64());
}

// Whether the name still is the file open as file (true where the system does not tell).
bool sameFile(HANDLE file, const std::wstring& path) {
  const HANDLE named = CreateFileW(path.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                                   FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (named == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION a{};
  BY_HANDLE_FILE_INFORMATION b{};
  const bool known = GetFileInformationByHandle(file, &a) && GetFileInformationByHandle(named, &b);
  CloseHandle(named);
  // The file index alone: both are in the lock's folder, so on one volume (and Wine
  // tells a volume's serial number only to some handles).
  return !known || (a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow);
}

// Removes the file at path. It is renamed aside first: a deleted file keeps its name
// until the last handle to it closes (another copy may be reading it), and a copy
// starting meanwhile could not make its own lock file there.
bool removeByName(const std::wstring& path) {
  const std::wstring aside = asideName(path, L"gone");
  if (!MoveFileExW(path.c_str(), aside.c_str(), 0)) return DeleteFileW(path.c_str());
  DeleteFileW(aside.c_str());  // the name is free either way
  return true;
}

}  // namespace

MachineFacts thisMachine() { return {hostName(), bootId(), processFacts}; }

FolderLockRecord thisProcessRecord() {
  const MachineFacts here = thisMachine();
  const ProcessFacts own = processFacts(GetCurrentProcessId());
  return {static_cast<std::int64_t>(GetCurrentProcessId()), here.host, here.boot,
          own.uid.value_or(0), own.startTime.value_or(0)};
}

FolderLock::FolderLock(const std::string& directory, const std::string& fileName)
    : directory_(directory),
      path_((directory.empty() || directory.back() == '/' || directory.back() == '\\'
                 ? directory
                 : directory + "\\") +
            fileName) {}

void FolderLock::release() {
  if (fd_ < 0) return;
  // The file this copy made, under whatever name: a copy that took the name over (it
  // cannot while this one runs) keeps its own.
  const std::wstring path = utf16::fromUtf8(path_);
  if (sameFile(reinterpret_cast<HANDLE>(_get_osfhandle(fd_)), path)) removeByName(path);
  _close(fd_);
  fd_ = -1;
}

FolderLock::Made FolderLock::make() {
  const std::wstring path = utf16::fromUtf8(path_);
  if (path.empty()) {
    why_ = messageOf(ERROR_INVALID_NAME);
    return Made::Failed;
  }
  const std::wstring temporary = asideName(path, L"new");
  const HANDLE file = CreateFileW(temporary.c_str(), GENERIC_READ | GENERIC_WRITE, kShareAll,
                                  nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    why_ = messageOf(GetLastError());
    return Made::Failed;
  }
  // Locked before its first byte: a second copy that opens it at once finds it held. A
  // folder without byte locks (some network shares) has the record alone.
  lockExclusively(file);
  if (!writeAll(file, formatFolderLockRecord(thisProcessRecord()))) {
    why_ = messageOf(GetLastError());
    DeleteFileW(temporary.c_str());
    CloseHandle(file);
    return Made::Failed;
  }
  // A rename that never replaces a name, so exactly one copy wins.
  if (MoveFileExW(temporary.c_str(), path.c_str(), 0)) {
    fd_ = _open_osfhandle(reinterpret_cast<std::intptr_t>(file), 0);
    if (fd_ >= 0) return Made::Yes;
    why_ = messageOf(ERROR_TOO_MANY_OPEN_FILES);
    DeleteFileW(path.c_str());
    CloseHandle(file);
    return Made::Failed;
  }
  const DWORD error = GetLastError();
  DeleteFileW(temporary.c_str());
  CloseHandle(file);
  // A name being deleted refuses access until its last handle closes: it is there still.
  if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS ||
      (error == ERROR_ACCESS_DENIED && GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES))
    return Made::Exists;
  why_ = messageOf(error);
  return Made::Failed;
}

// Taken: the name is free now (try again); Held; or Unremovable.
FolderLock::Outcome FolderLock::clearAway() {
  const std::wstring path = utf16::fromUtf8(path_);
  const auto removed = [this](BOOL done) {
    const DWORD error = GetLastError();
    if (done || error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
      return Outcome::Taken;
    why_ = messageOf(error);
    return Outcome::Unremovable;
  };
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return Outcome::Taken;
    why_ = messageOf(error);
    return Outcome::Unremovable;
  }
  // Not a lock file at all: nothing of ours ever makes a folder or a link.
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return removed(RemoveDirectoryW(path.c_str()));
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return removed(DeleteFileW(path.c_str()));

  const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return Outcome::Taken;
    // Open elsewhere without sharing: no copy of ours opens it so, but it is in use.
    if (error == ERROR_SHARING_VIOLATION) return Outcome::Held;
    // Unreadable: it cannot name a holder.
    return removed(DeleteFileW(path.c_str()));
  }
  Outcome outcome = Outcome::Held;
  if (!lockExclusively(file)) {
    outcome = Outcome::Held;  // a running process here holds it
  } else {
    const std::optional<FolderLockRecord> record = parseFolderLockRecord(readSome(file));
    if (!record && beingWritten(file)) {
      outcome = Outcome::Held;
    } else if (!isStaleFolderLock(record, thisMachine())) {
      outcome = Outcome::Held;
    } else if (!sameFile(file, path)) {
      outcome = Outcome::Taken;  // changed meanwhile: look again
    } else {
      outcome = removed(removeByName(path));
    }
  }
  CloseHandle(file);
  return outcome;
}

}  // namespace zv
