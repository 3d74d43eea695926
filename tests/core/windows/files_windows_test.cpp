// The file layer on Windows: UTF-16 names, bytes kept as they are, and replacement while
// another program holds the file.
#include <windows.h>
// After windows.h: the file's access list.
#include <aclapi.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/file_buffer.h"
#include "platform/files.h"
#include "support/finishes_within.h"
#include "support/temp_dir.h"

namespace zv {
namespace {

using zv::testing::TempDir;

std::wstring wide(const std::string& utf8) {
  const int n = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                      nullptr, 0);
  std::wstring text(static_cast<std::size_t>(n), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), text.data(), n);
  return text;
}

// The bytes on disk, read past the program's own layer.
std::string rawBytes(const std::string& path) {
  const HANDLE h = ::CreateFileW(wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return "<missing>";
  std::string bytes(1 << 16, '\0');
  DWORD n = 0;
  ::ReadFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr);
  ::CloseHandle(h);
  bytes.resize(n);
  return bytes;
}

TEST(FilesWindows, ChineseNamesAreTheSameNamesOnDisk) {
  TempDir tmp;
  const std::string folder = joinPath(tmp.path(), "奖品图片");
  const std::string csv = joinPath(folder, "抽奖记录.csv");
  ASSERT_TRUE(makeDirectories(folder));
  ASSERT_TRUE(writeWholeFileAtomically(csv, "序号\r\n"));
  // The UTF-16 name itself, not the UTF-8 bytes read as the ANSI code page.
  EXPECT_EQ(tmp.entries(), std::vector<std::string>{"奖品图片"});
  EXPECT_NE(::GetFileAttributesW((wide(tmp.path()) + L"\\奖品图片\\抽奖记录.csv").c_str()),
            INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(tryReadWholeFile(csv), std::string("序号\r\n"));
  const auto buffer = FileBuffer::read(csv);
  ASSERT_NE(buffer, nullptr);
  EXPECT_EQ(buffer->bytes(), "序号\r\n");
  const AppendOutcome appended =
      appendToFileSynced(csv, [](std::int64_t) { return std::string("1\r\n"); });
  EXPECT_TRUE(appended.ok);
  EXPECT_EQ(appended.sizeBefore, 8);
  const auto status = fileStatus(csv);
  ASSERT_TRUE(status);
  EXPECT_TRUE(status->regular);
  EXPECT_EQ(status->size, 11);
  EXPECT_TRUE(fileExists(csv));
  EXPECT_TRUE(deleteFile(csv));
  EXPECT_FALSE(pathExists(csv));
}

TEST(FilesWindows, BytesAreWrittenAndReadExactlyAsGiven) {
  TempDir tmp;
  const std::string path = tmp.file("config.a");
  // Line feeds gain no CR, and Ctrl-Z ends nothing: text mode would do both.
  const std::string bytes("a\nb\r\n\n\x1A" "c\0d\n", 11);
  ASSERT_TRUE(writeWholeFileAtomically(path, bytes));
  EXPECT_EQ(rawBytes(path), bytes);
  EXPECT_EQ(tryReadWholeFile(path), bytes);
  const auto buffer = FileBuffer::read(path);
  ASSERT_NE(buffer, nullptr);
  EXPECT_EQ(buffer->bytes(), bytes);

  const std::string log = tmp.file("log.csv");
  ASSERT_TRUE(appendToFileSynced(log, [&](std::int64_t) { return bytes; }).ok);
  ASSERT_TRUE(appendToFileSynced(log, [&](std::int64_t) { return bytes; }).ok);
  EXPECT_EQ(rawBytes(log), bytes + bytes);
  const int fd = openRegularFileForReading(log);
  ASSERT_GE(fd, 0);
  EXPECT_EQ(openFileSize(fd), 22);
  char piece[8] = {};
  EXPECT_EQ(readFile(fd, piece, 4, 13), 4);  // at an offset
  EXPECT_EQ(std::string(piece, 4), bytes.substr(2, 4));
  EXPECT_EQ(readFile(fd, piece, 8, 22), 0);  // at the end
  closeFile(fd);
}

// Holds a file open the way a scanner or a preview does: reading, without letting it be
// deleted or replaced.
class Holder {
 public:
  explicit Holder(const std::string& path)
      : h_(::CreateFileW(wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                         nullptr, OPEN_EXISTING, 0, nullptr)) {}
  ~Holder() { release(); }
  bool holds() const { return h_ != INVALID_HANDLE_VALUE; }
  void release() {
    if (h_ != INVALID_HANDLE_VALUE) ::CloseHandle(std::exchange(h_, INVALID_HANDLE_VALUE));
  }

 private:
  HANDLE h_;
};

TEST(FilesWindows, AReplaceWhileTheTargetIsHeldWaitsThenFailsAndKeepsTheOldFile) {
  TempDir tmp;
  const std::string path = tmp.file("zbt.ini");
  ASSERT_TRUE(writeWholeFileAtomically(path, "old"));
  Holder holder(path);
  ASSERT_TRUE(holder.holds());
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(writeWholeFileAtomically(path, "new"));
  const auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_GE(waited, std::chrono::milliseconds(1000)) << "gave up without waiting";
  EXPECT_LE(waited, std::chrono::seconds(5));
  holder.release();
  EXPECT_EQ(readWholeFile(path), "old");
  EXPECT_EQ(tmp.entries(), std::vector<std::string>{"zbt.ini"}) << "temporary file left";
}

TEST(FilesWindows, AReplaceSucceedsWhenTheHolderLetsGoInTime) {
  TempDir tmp;
  const std::string path = tmp.file("zbt.ini");
  ASSERT_TRUE(writeWholeFileAtomically(path, "old"));
  Holder holder(path);
  ASSERT_TRUE(holder.holds());
  std::thread letGo([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    holder.release();
  });
  const bool written = writeWholeFileAtomically(path, "new");
  letGo.join();
  EXPECT_TRUE(written);
  EXPECT_EQ(readWholeFile(path), "new");
  EXPECT_EQ(tmp.entries(), std::vector<std::string>{"zbt.ini"});
}

TEST(FilesWindows, DevicesAndFoldersAreRefusedUnopenedAndReportedOnce) {
  TempDir tmp;
  ASSERT_TRUE(makeDirectories(tmp.file("folder")));
  std::mutex mutex;
  std::vector<std::string> reported;
  setUnusableFileListener([&](const std::string& path) {
    const std::lock_guard<std::mutex> lock(mutex);
    reported.push_back(path);
  });
  for (const char* name : {"NUL", "con", "COM1.txt", "lpt9", "CONIN$", "folder"}) {
    SCOPED_TRACE(name);
    {
      const std::lock_guard<std::mutex> lock(mutex);
      reported.clear();
    }
    const std::string path = tmp.file(name);
    std::optional<std::string> read;
    bool written = true;
    ASSERT_TRUE(zv::testing::finishesWithin([&] {
      read = tryReadWholeFile(path);
      written = writeWholeFileAtomically(path, "mine");
      read = tryReadWholeFile(path);
    })) << "blocked";
    EXPECT_FALSE(read);
    EXPECT_FALSE(written);
    EXPECT_FALSE(FileBuffer::readRegular(path, 1 << 20));
    const std::lock_guard<std::mutex> lock(mutex);
    EXPECT_EQ(reported, std::vector<std::string>{path});
  }
  setUnusableFileListener(nullptr);
  EXPECT_EQ(tmp.entries(), std::vector<std::string>{"folder"});
  EXPECT_FALSE(tryReadWholeFile("\\\\.\\PhysicalDrive0"));
}

// Sets a file's modification time to hours ago.
void age(const std::string& path, int hours) {
  const HANDLE h = ::CreateFileW(wide(path).c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  FILETIME now{};
  ::GetSystemTimeAsFileTime(&now);
  ULARGE_INTEGER t{};
  t.LowPart = now.dwLowDateTime;
  t.HighPart = now.dwHighDateTime;
  t.QuadPart -= static_cast<ULONGLONG>(hours) * 3600 * 10'000'000;
  const FILETIME then{t.LowPart, t.HighPart};
  EXPECT_TRUE(::SetFileTime(h, nullptr, nullptr, &then));
  ::CloseHandle(h);
}

TEST(FilesWindows, TheNextWriteRemovesItsOwnTemporaryFilesOlderThanADay) {
  TempDir tmp;
  struct Case {
    std::string name;
    int ageHours;
    bool removed;
  };
  const Case cases[] = {
      {temporaryNameFor("抽奖记录.csv", 5), 48, true},
      {".抽奖记录.csv.tmp-1234-7", 48, true},         // the form of earlier versions
      {temporaryNameFor("抽奖记录.csv", 6), 0, false},   // a write in progress, perhaps
      {temporaryNameFor("抽奖记录.csv", 7), 23, false},  // not a day yet
      {temporaryNameFor("b.ini", 5), 48, false},         // another target's
      {".抽奖记录.csv.tmp-12345678abcdefgh", 48, false},  // not our pattern
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(writeWholeFileAtomically(tmp.file(c.name), "x")) << c.name;
    age(tmp.file(c.name), c.ageHours);
  }
  const std::string folder = temporaryNameFor("抽奖记录.csv", 9);  // old, but no file
  ASSERT_TRUE(makeDirectories(tmp.file(folder)));
  age(tmp.file(folder), 48);

  ASSERT_TRUE(writeWholeFileAtomically(tmp.file("抽奖记录.csv"), "new"));
  for (const Case& c : cases) EXPECT_EQ(pathExists(tmp.file(c.name)), !c.removed) << c.name;
  EXPECT_TRUE(pathExists(tmp.file(folder)));
  EXPECT_EQ(readWholeFile(tmp.file("抽奖记录.csv")), "new");
}

TEST(FilesWindows, ProgramDirectoryHoldsTheRunningProgram) {
  const std::string dir = programDirectory();
  ASSERT_GE(dir.size(), 3u);
  EXPECT_EQ(dir[1], ':');
  EXPECT_NE(dir.back(), '\\');
  EXPECT_TRUE(fileExists(dir + "\\core_tests.exe"));
}

TEST(FilesWindows, JoinsPathsWithBackslashes) {
  EXPECT_EQ(joinPath("C:\\zorvane", "\\奖品图片\\1.jpg"), "C:\\zorvane\\奖品图片\\1.jpg");
  EXPECT_EQ(joinPath("C:\\zorvane\\", "a/b"), "C:\\zorvane\\a\\b");
  EXPECT_EQ(joinPath("C:\\", "x"), "C:\\x");
}

}  // namespace
}  // namespace zv

namespace zv {
namespace {

// A secret's file must not take the folder's permissions: its access list is protected
// and names one account, this process's user.
// Whether the file system keeps a protected access list set on a file (Wine keeps one only
// where it can store extended attributes).
bool keepsAccessLists(const std::string& path) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:P(A;;FA;;;WD)", SDDL_REVISION_1,
                                                              &descriptor, nullptr))
    return false;
  BOOL present = FALSE, defaulted = FALSE;
  PACL set = nullptr;
  ::GetSecurityDescriptorDacl(descriptor, &present, &set, &defaulted);
  const DWORD written = ::SetNamedSecurityInfoW(
      const_cast<wchar_t*>(wide(path).c_str()), SE_FILE_OBJECT,
      DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION, nullptr, nullptr, set,
      nullptr);
  ::LocalFree(descriptor);
  if (written != ERROR_SUCCESS) return false;
  PSECURITY_DESCRIPTOR read = nullptr;
  if (::GetNamedSecurityInfoW(wide(path).c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION,
                              nullptr, nullptr, nullptr, nullptr, &read) != ERROR_SUCCESS)
    return false;
  SECURITY_DESCRIPTOR_CONTROL control = 0;
  DWORD revision = 0;
  const bool kept = ::GetSecurityDescriptorControl(read, &control, &revision) &&
                    (control & SE_DACL_PROTECTED);
  ::LocalFree(read);
  return kept;
}

TEST(FilesWindows, APrivateFileIsOpenToItsUserAlone) {
  TempDir dir;
  ASSERT_TRUE(writeWholeFileAtomically(dir.file("probe.txt"), "probe"));
  if (!keepsAccessLists(dir.file("probe.txt")))
    GTEST_SKIP() << "this file system keeps no access lists of files";
  const std::string path = dir.file("secret.txt");
  ASSERT_TRUE(writePrivateFileAtomically(path, "first"));
  ASSERT_TRUE(writePrivateFileAtomically(path, "second"));  // a replacement keeps it private
  EXPECT_EQ(rawBytes(path), "second");

  PACL dacl = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  ASSERT_EQ(::GetNamedSecurityInfoW(wide(path).c_str(), SE_FILE_OBJECT,
                                    DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl, nullptr,
                                    &descriptor),
            static_cast<DWORD>(ERROR_SUCCESS));
  SECURITY_DESCRIPTOR_CONTROL control = 0;
  DWORD revision = 0;
  ASSERT_TRUE(::GetSecurityDescriptorControl(descriptor, &control, &revision));
  EXPECT_TRUE(control & SE_DACL_PROTECTED);
  ASSERT_NE(dacl, nullptr);
  ASSERT_EQ(dacl->AceCount, 1);
  void* ace = nullptr;
  ASSERT_TRUE(::GetAce(dacl, 0, &ace));
  const auto* allowed = static_cast<const ACCESS_ALLOWED_ACE*>(ace);
  EXPECT_EQ(allowed->Header.AceType, ACCESS_ALLOWED_ACE_TYPE);

  HANDLE token = nullptr;
  ASSERT_TRUE(::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token));
  DWORD size = 0;
  ::GetTokenInformation(token, TokenUser, nullptr, 0, &size);
  std::vector<unsigned char> user(size);
  ASSERT_TRUE(::GetTokenInformation(token, TokenUser, user.data(), size, &size));
  ::CloseHandle(token);
  EXPECT_TRUE(::EqualSid(const_cast<DWORD*>(&allowed->SidStart),
                         reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid));
  ::LocalFree(descriptor);
}

}  // namespace
}  // namespace zv
