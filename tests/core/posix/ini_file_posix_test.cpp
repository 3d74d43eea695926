// What only POSIX systems have: directory permission bits and nanosecond file times.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "core/ini_file_fixture.h"
#include "platform/files.h"
#include "store/ini_file.h"
#include "support/temp_dir.h"

namespace zv {
namespace {

using zv::testing::TempDir;

class IniFilePosix : public zv::testing::IniFileFixture {};

class IniFileHeadersPosix : public IniFilePosix {};

TEST_F(IniFilePosix, ReadOnlyDirectoryFailsTheWrite) {
  if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only directories";
  withFile("[a]\r\nk=1\r\n");
  ASSERT_EQ(::chmod(tmp.path().c_str(), 0555), 0);
  EXPECT_FALSE(ini::write(path, "a", "k", "2"));
  ::chmod(tmp.path().c_str(), 0755);
  EXPECT_EQ(onDisk(), "[a]\r\nk=1\r\n");
}

// Reads reuse a parse only while the file is the same: a file replaced, edited in place
// with the same size, or removed is seen at the next read.
TEST_F(IniFileHeadersPosix, EveryReadSeesTheFileAsItIsNow) {
  withFile("[zbt]\r\nlx=AAAA\r\n");
  EXPECT_EQ(ini::read(path, "zbt", "lx"), "AAAA");
  EXPECT_EQ(ini::read(path, "zbt", "lx"), "AAAA");

  withFile("[zbt]\r\nlx=BBBB\r\n");  // replaced by rename
  EXPECT_EQ(ini::read(path, "zbt", "lx"), "BBBB");

  struct stat before {};
  ASSERT_EQ(::stat(path.c_str(), &before), 0);
  {  // edited in place, same size and the same second
    FILE* f = std::fopen(path.c_str(), "r+b");
    ASSERT_NE(f, nullptr);
    std::fputs("[zbt]\r\nlx=CCCC\r\n", f);
    std::fclose(f);
  }
  const timespec times[2] = {before.st_atim,
                             {before.st_mtim.tv_sec, (before.st_mtim.tv_nsec + 1) % 1000000000}};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
  EXPECT_EQ(ini::read(path, "zbt", "lx"), "CCCC");

  ASSERT_TRUE(ini::write(path, "zbt", "lx", "DDDD"));
  EXPECT_EQ(ini::read(path, "zbt", "lx"), "DDDD");

  ASSERT_EQ(::unlink(path.c_str()), 0);
  EXPECT_EQ(ini::read(path, "zbt", "lx", "gone"), "gone");
}

}  // namespace
}  // namespace zv
