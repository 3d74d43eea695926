// The event folder's Linux rule and the checks that need POSIX permissions.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/event_folder.h"
#include "platform/files.h"
#include "support/temp_dir.h"

namespace zv {
namespace {

using zv::testing::TempDir;
using Source = EventFolderSource;

TEST(EventFolder, ChoiceFollowsTheRule) {
  struct Case {
    const char* name;
    std::optional<std::string> commandLine;
    bool executableWritable;
    const char* xdgDataHome;
    const char* expected;
    Source source;
  };
  const Case cases[] = {
      {"own folder, writable", std::nullopt, true, "", "/opt/zv", Source::ExecutableDirectory},
      {"installed", std::nullopt, false, "", "/home/ann/.local/share/zorvane", Source::PerUser},
      {"installed, XDG set", std::nullopt, false, "/data/x/", "/data/x/zorvane", Source::PerUser},
      {"installed, XDG relative is ignored", std::nullopt, false, "rel/x",
       "/home/ann/.local/share/zorvane", Source::PerUser},
      {"command line wins over a writable folder", "/srv/events/spring", true, "",
       "/srv/events/spring", Source::CommandLine},
      {"command line when installed", "/srv/events/spring/", false, "/data/x", "/srv/events/spring",
       Source::CommandLine},
      {"relative command line", "events/../spring", false, "", "/work/here/spring",
       Source::CommandLine},
      {"empty command line is no folder", "", false, "", "/home/ann/.local/share/zorvane",
       Source::PerUser},
  };
  for (const Case& c : cases) {
    EventFolderFacts facts;
    facts.commandLineFolder = c.commandLine;
    facts.workingDirectory = "/work/here";
    facts.executableDirectory = "/opt/zv";
    facts.executableDirectoryWritable = c.executableWritable;
    facts.xdgDataHome = c.xdgDataHome;
    facts.home = "/home/ann/";
    const EventFolderChoice choice = chooseEventFolder(facts);
    EXPECT_EQ(choice.directory, c.expected) << c.name;
    EXPECT_EQ(choice.source, c.source) << c.name;
  }
}

TEST(EventFolder, SystemDirectoriesAreNeverTheProgramsOwn) {
  for (const char* shared : {"/usr/bin", "/usr/local/bin", "/usr/games", "/bin", "/"}) {
    EXPECT_TRUE(isSharedSystemDirectory(shared)) << shared;
  }
  for (const char* own : {"/opt/zv", "/home/ann/zorvane", "/usrx/bin", "/tmp/demo"}) {
    EXPECT_FALSE(isSharedSystemDirectory(own)) << own;
  }
  EXPECT_EQ(sampleEventDirectory("/usr/bin"), "/usr/share/zorvane/sample-event");
  EXPECT_EQ(sampleEventDirectory("/opt/zv/bin/"), "/opt/zv/share/zorvane/sample-event");
}

TEST(EventFolder, AFolderWithoutWritePermissionIsNotUsable) {
  if (::geteuid() == 0) GTEST_SKIP() << "root writes anywhere";
  TempDir dir;
  const std::string locked = dir.path() + "/locked";
  ASSERT_TRUE(makeDirectories(locked));
  ::chmod(locked.c_str(), 0555);
  EXPECT_FALSE(prepareEventFolder({locked, Source::CommandLine}, nullptr).usable);
  EXPECT_FALSE(canWriteInDirectory(locked));
  ::chmod(locked.c_str(), 0755);
}

}  // namespace
}  // namespace zv
