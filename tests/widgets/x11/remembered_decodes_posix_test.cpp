// Decodes kept on disk on POSIX: a folder of the user's alone, and nothing but a regular
// file taken from an entry's place.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "platform/files.h"
#include "platform/qt/remembered_decodes.h"
#include "widgets/remembered_decodes_fixture.h"

namespace zv {
namespace {

using testing::entries;
using testing::noisyJpeg;
using testing::RefusalCase;
using testing::RememberedDecodes;

TEST_F(RememberedDecodes, TheFolderIsClosedToGroupAndOthers) {
  ASSERT_FALSE(decodePictureRemembered(noisyJpeg({400, 300}, 1), QSize(200, 150)).isNull());
  ASSERT_EQ(entries(folder()).size(), 1u);
  EXPECT_EQ(std::filesystem::status(folder()).permissions() & std::filesystem::perms::all,
            std::filesystem::perms::owner_all);
}

// A pipe or a link in an entry's place is refused without waiting or following it,
// deleted, and the picture decoded afresh.
TEST_F(RememberedDecodes, APipeOrALinkInAnEntrysPlaceIsDeletedAndDecodedAfresh) {
  const RefusalCase cases[] = {
      {"a pipe",
       [](const std::string& path, const std::string&) {
         std::filesystem::remove(path);
         ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
       }},
      {"a link to /dev/zero",
       [](const std::string& path, const std::string&) {
         std::filesystem::remove(path);
         std::filesystem::create_symlink("/dev/zero", path);
       }},
      {"a link to a sound entry",
       [](const std::string& path, const std::string& good) {
         std::filesystem::remove(path);
         ASSERT_TRUE(writeWholeFileAtomically(path + ".elsewhere", good, Durability::kThrowAway));
         std::filesystem::create_symlink(path + ".elsewhere", path);
       }},
  };
  refusesEachAndDecodesAfresh(noisyJpeg({400, 300}, 9), cases);
}

}  // namespace
}  // namespace zv
