// The user's own folders on Windows: under the local application data, held in place
// while open.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/private_folder.h"
#include "support/temp_dir.h"

namespace zv {
namespace {

using zv::testing::TempDir;

std::wstring wide(const std::string& utf8) {
  return zv::testing::TempDir::native(utf8).wstring();
}

// Sets LOCALAPPDATA for the length of a test.
class LocalAppData {
 public:
  explicit LocalAppData(const std::string& path) {
    wchar_t buffer[32768];
    const DWORD n = ::GetEnvironmentVariableW(L"LOCALAPPDATA", buffer, 32768);
    if (n > 0 && n < 32768) before_ = std::wstring(buffer, n);
    ::SetEnvironmentVariableW(L"LOCALAPPDATA", wide(path).c_str());
  }
  ~LocalAppData() {
    ::SetEnvironmentVariableW(L"LOCALAPPDATA", before_ ? before_->c_str() : nullptr);
  }

 private:
  std::optional<std::wstring> before_;
};

TEST(PrivateFolderWindows, TheRuntimeFolderIsMadeUnderTheLocalApplicationData) {
  TempDir tmp;
  const LocalAppData local(tmp.path() + "\\本地");
  EXPECT_EQ(userCacheFolder("zorvane"), tmp.path() + "\\本地\\zorvane");
  EXPECT_EQ(userRuntimeFolder("zorvane"), tmp.path() + "\\本地\\zorvane\\run");
  const auto folder = PrivateFolder::openUserRuntimeFolder("zorvane");
  ASSERT_TRUE(folder);
  EXPECT_EQ(folder->path(), tmp.path() + "\\本地\\zorvane\\run");
  EXPECT_EQ(folder->file("vexo-1.cn"), tmp.path() + "\\本地\\zorvane\\run\\vexo-1.cn");
  EXPECT_NE(::GetFileAttributesW(wide(folder->path()).c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(PrivateFolderWindows, WritesListsAndRemovesInTheFolderItHoldsInPlace) {
  TempDir tmp;
  std::optional<PrivateFolder> folder = PrivateFolder::open(tmp.file("own\\"));
  ASSERT_TRUE(folder);
  ASSERT_TRUE(folder->write("奖品.bin", "a\nb"));
  EXPECT_EQ(readPrivateFile(folder->file("奖品.bin"), 100), std::string("a\nb"));
  EXPECT_FALSE(readPrivateFile(folder->file("奖品.bin"), 2)) << "larger than allowed";
  const auto entries = folder->entries();
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].name, "奖品.bin");
  EXPECT_TRUE(entries[0].regular);
  EXPECT_EQ(entries[0].size, 3u);

  // While open, the folder cannot be moved away and replaced by another.
  EXPECT_FALSE(::MoveFileW(wide(tmp.file("own")).c_str(), wide(tmp.file("moved")).c_str()));
  EXPECT_TRUE(folder->remove("奖品.bin"));
  EXPECT_TRUE(folder->entries().empty());
  folder.reset();
  EXPECT_TRUE(::MoveFileW(wide(tmp.file("own")).c_str(), wide(tmp.file("moved")).c_str()));
}

TEST(PrivateFolderWindows, AFileInThePlaceOfTheFolderIsRefused) {
  TempDir tmp;
  const HANDLE h = ::CreateFileW(wide(tmp.file("own")).c_str(), GENERIC_WRITE, 0, nullptr,
                                 CREATE_NEW, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  ::CloseHandle(h);
  EXPECT_FALSE(PrivateFolder::open(tmp.file("own")));
  EXPECT_FALSE(PrivateFolder::open("NUL"));
}

}  // namespace
}  // namespace zv
