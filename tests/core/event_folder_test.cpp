#include "platform/event_folder.h"

#include <gtest/gtest.h>

#include "app/logic/command_line.h"
#include "platform/files.h"
#include "platform/text_codec.h"
#include "store/sample_event.h"
#include "support/temp_dir.h"

namespace zv {
namespace {

using zv::testing::TempDir;
using Source = EventFolderSource;

TEST(EventFolder, WindowsChoiceFollowsTheRule) {
  const std::vector<std::string> system = {"C:\\Program Files", "C:\\Program Files (x86)",
                                           "C:\\WINDOWS", ""};
  const std::string perUser = "C:\\Users\\ann\\AppData\\Roaming\\zorvane";
  struct Case {
    const char* name;
    const char* executableDirectory;
    bool writable;
    std::string expected;
    Source source;
  };
  const Case cases[] = {
      {"own folder, writable", "D:\\抽奖", true, "D:\\抽奖", Source::ExecutableDirectory},
      {"own folder, not writable", "D:\\抽奖", false, perUser, Source::PerUser},
      {"installed for everyone (an administrator may write it)", "C:\\Program Files\\zorvane", true,
       perUser, Source::PerUser},
      {"installed, other letter case and separators", "c:/program files (x86)/zorvane/", true,
       perUser, Source::PerUser},
      {"the Windows folder", "C:\\Windows\\System32", true, perUser, Source::PerUser},
      {"a folder whose name only begins like a system folder", "C:\\Program Files Extra\\zv", true,
       "C:\\Program Files Extra\\zv", Source::ExecutableDirectory},
      {"a copy on a stick", "E:\\", true, "E:\\", Source::ExecutableDirectory},
  };
  for (const Case& c : cases) {
    EventFolderFacts facts;
    facts.executableDirectory = c.executableDirectory;
    facts.executableDirectoryWritable =
        isOwnWindowsProgramFolder(c.executableDirectory, c.writable, system);
    facts.roamingAppData = "C:\\Users\\ann\\AppData\\Roaming\\";
    const EventFolderChoice choice = chooseEventFolder(facts);
    EXPECT_EQ(choice.source, c.source) << c.name;
    EXPECT_EQ(choice.directory, c.expected) << c.name;
  }
}

class PreparedFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(makeDirectories(sample + "/奖品图片"));
    ASSERT_TRUE(writeWholeFileAtomically(sample + "/奖品图片/1.jpg", "jpeg"));
  }
  PreparedEventFolder prepare(const std::string& directory, Source source) {
    return prepareEventFolder({directory, source}, [this](const std::string& folder) {
      return layOutSampleEvent(folder, sample);
    });
  }
  TempDir dir;
  std::string sample = dir.path() + "/sample";
};

TEST_F(PreparedFolder, ANewPerUserFolderIsLaidOutAsTheSampleEvent) {
  const std::string folder = dir.path() + "/home/.local/share/zorvane";
  const PreparedEventFolder prepared = prepare(folder, Source::PerUser);
  EXPECT_TRUE(prepared.created);
  EXPECT_TRUE(prepared.laidOut);
  EXPECT_TRUE(prepared.usable);
  EXPECT_EQ(readWholeFile(folder + "/奖品图片/1.jpg"), "jpeg");
  // The default prize values, in GBK as the program writes them.
  EXPECT_EQ(gbkToUtf8(readWholeFile(folder + "/config.a")),
            "[zbt]\r\n一=1\r\n二=2\r\n三=4\r\n四=8\r\n五=10\r\n六=15\r\n七=20\r\n八=50\r\n");
}

TEST_F(PreparedFolder, OnlyAFolderThisStartCreatedIsLaidOut) {
  // The per-user folder of a later start, with the operator's own settings.
  const std::string existing = dir.path() + "/existing";
  ASSERT_TRUE(makeDirectories(existing));
  ASSERT_TRUE(writeWholeFileAtomically(existing + "/config.a", "mine"));
  PreparedEventFolder prepared = prepare(existing, Source::PerUser);
  EXPECT_FALSE(prepared.created);
  EXPECT_FALSE(prepared.laidOut);
  EXPECT_EQ(readWholeFile(existing + "/config.a"), "mine");
  EXPECT_FALSE(pathExists(existing + "/奖品图片"));

  // A folder named on the command line is created but left empty.
  const std::string named = dir.path() + "/events/spring";
  prepared = prepare(named, Source::CommandLine);
  EXPECT_TRUE(prepared.created);
  EXPECT_FALSE(prepared.laidOut);
  EXPECT_TRUE(prepared.usable);
  EXPECT_FALSE(pathExists(named + "/config.a"));

  // The executable's own folder is never created or laid out.
  const std::string own = dir.path() + "/missing-own";
  prepared = prepare(own, Source::ExecutableDirectory);
  EXPECT_FALSE(prepared.created);
  EXPECT_FALSE(prepared.usable);
  EXPECT_FALSE(pathExists(own));
}

TEST_F(PreparedFolder, AFolderThatCannotBeCreatedOrWrittenIsNotUsable) {
  ASSERT_TRUE(writeWholeFileAtomically(dir.file("plain-file"), "x"));
  for (const Source source : {Source::CommandLine, Source::PerUser}) {
    const PreparedEventFolder underFile = prepare(dir.file("plain-file") + "/event", source);
    EXPECT_FALSE(underFile.usable);
    EXPECT_FALSE(underFile.laidOut);
    EXPECT_FALSE(prepare(dir.file("plain-file"), source).usable);
  }
  EXPECT_TRUE(canWriteInDirectory(dir.path()));
  EXPECT_EQ(dir.entries().size(), 2u);  // the write probe leaves nothing behind
}

// On Windows the sample event lies beside the executable, among the program's own files.
TEST_F(PreparedFolder, ASampleBesideTheProgramLaysOutOnlyTheEvent) {
  ASSERT_TRUE(writeWholeFileAtomically(sample + "/config.a", "[zbt]\r\n\xD2\xBB=5\r\n"));
  for (const char* own : {"zorvane.exe", "Qt6Core.dll", "platforms/qwindows.dll"}) {
    ASSERT_TRUE(makeDirectories(sample + "/platforms"));
    ASSERT_TRUE(writeWholeFileAtomically(sample + "/" + own, "program"));
  }
  const std::string folder = dir.path() + "/roaming/zorvane";
  ASSERT_TRUE(prepare(folder, Source::PerUser).laidOut);
  EXPECT_EQ(readWholeFile(folder + "/奖品图片/1.jpg"), "jpeg");
  EXPECT_EQ(readWholeFile(folder + "/config.a"), "[zbt]\r\n\xD2\xBB=5\r\n");
  for (const char* own : {"zorvane.exe", "Qt6Core.dll", "platforms"})
    EXPECT_FALSE(pathExists(folder + "/" + own)) << own;
}

TEST_F(PreparedFolder, LayingOutKeepsFilesAlreadyThere) {
  const std::string target = dir.path() + "/target";
  ASSERT_TRUE(makeDirectories(target + "/奖品图片"));
  ASSERT_TRUE(writeWholeFileAtomically(target + "/奖品图片/1.jpg", "operator's"));
  ASSERT_TRUE(writeWholeFileAtomically(target + "/config.a", "operator's"));
  EXPECT_TRUE(layOutSampleEvent(target, sample));
  EXPECT_EQ(readWholeFile(target + "/奖品图片/1.jpg"), "operator's");
  EXPECT_EQ(readWholeFile(target + "/config.a"), "operator's");
  // Missing sample pictures fail the layout, but the settings are still written.
  const std::string other = dir.path() + "/other";
  EXPECT_FALSE(layOutSampleEvent(other, dir.path() + "/no-such-sample"));
  EXPECT_TRUE(fileExists(other + "/config.a"));
}

TEST(CommandLineArguments, Table) {
  using Action = CommandLine::Action;
  struct Case {
    std::vector<std::string> arguments;
    Action action;
    std::optional<std::string> folder;
  };
  const Case cases[] = {
      {{}, Action::Run, std::nullopt},
      {{"/srv/spring"}, Action::Run, "/srv/spring"},
      {{"--help"}, Action::Help, std::nullopt},
      {{"-h"}, Action::Help, std::nullopt},
      {{"--version"}, Action::Version, std::nullopt},
      {{"-V"}, Action::Version, std::nullopt},
      {{"/srv/spring", "--bogus", "--help"}, Action::Help, std::nullopt},
      {{"--bogus"}, Action::Error, std::nullopt},
      {{"a", "b"}, Action::Error, std::nullopt},
      {{"--", "--help"}, Action::Run, "--help"},
      {{"-"}, Action::Run, "-"},
      // The toolkit's own options are the toolkit's: read before it takes them out.
      {{"-platform", "xcb", "/srv/spring"}, Action::Run, "/srv/spring"},
      {{"--style=fusion", "-reverse", "/srv/spring"}, Action::Run, "/srv/spring"},
      {{"-reverse", "--bogus"}, Action::Error, std::nullopt},
  };
  for (const Case& c : cases) {
    const CommandLine parsed = parseCommandLine(c.arguments);
    const std::string name = c.arguments.empty() ? "(none)" : c.arguments[0];
    EXPECT_EQ(parsed.action, c.action) << name;
    EXPECT_EQ(parsed.eventFolder, c.folder) << name;
    EXPECT_EQ(parsed.error.empty(), c.action != Action::Error) << name;
  }
  EXPECT_NE(parseCommandLine({"--bogus"}).error.find("--bogus"), std::string::npos);
  EXPECT_NE(helpText().find("用法"), std::string::npos);
  EXPECT_NE(helpText().find("Usage"), std::string::npos);
}

}  // namespace
}  // namespace zv

namespace zv {
namespace {

TEST(CommandLineVerify, TakesOneJournalAndNothingElse) {
  using Action = CommandLine::Action;
  struct Case {
    std::vector<std::string> arguments;
    Action action;
    std::string path;
  };
  const Case cases[] = {
      {{"--verify", "抽奖记录.csv"}, Action::Verify, "抽奖记录.csv"},
      {{"--verify=a b.csv"}, Action::Verify, "a b.csv"},
      {{"--verify", "-dash.csv"}, Action::Verify, "-dash.csv"},  // the path, not an option
      {{"-platform", "xcb", "--verify", "x.csv"}, Action::Verify, "x.csv"},
      {{"--verify"}, Action::Error, ""},
      {{"--verify="}, Action::Error, ""},
      {{"--verify", "a.csv", "--verify", "b.csv"}, Action::Error, ""},
      {{"folder", "--verify", "a.csv"}, Action::Error, ""},
      {{"--verify", "a.csv", "--help"}, Action::Help, ""},
  };
  for (const Case& c : cases) {
    const CommandLine parsed = parseCommandLine(c.arguments);
    EXPECT_EQ(parsed.action, c.action) << c.arguments.back();
    EXPECT_EQ(parsed.verifyPath, c.path) << c.arguments.back();
    EXPECT_EQ(parsed.error.empty(), c.action != Action::Error) << c.arguments.back();
  }
}

}  // namespace
}  // namespace zv
