#pragma once
// An INI file in a temporary folder, written whole and read back: shared by the portable
// and the POSIX-only INI file tests.
#include <gtest/gtest.h>

#include <string>

#include "platform/files.h"
#include "support/temp_dir.h"

namespace zv::testing {

class IniFileFixture : public ::testing::Test {
 protected:
  std::string withFile(const std::string& bytes) {
    EXPECT_TRUE(writeWholeFileAtomically(path, bytes));
    return path;
  }
  std::string onDisk() const { return readWholeFile(path); }

  TempDir tmp;
  std::string path = tmp.file("zbt.ini");
};

}  // namespace zv::testing
