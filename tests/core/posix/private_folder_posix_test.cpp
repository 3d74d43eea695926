// The user's own folder for files that no one else may plant or read.
#include "platform/private_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <map>
#include <optional>
#include <string>

#include "support/temp_dir.h"

namespace zv {
namespace {

using zv::testing::TempDir;

// Tests run as root, so a file can be given to another user.
constexpr uid_t kOtherUser = 65534;

mode_t modeOf(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}
uid_t ownerOf(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0 ? st.st_uid : static_cast<uid_t>(-1);
}

// Sets environment variables for one test and puts them back after it.
class Environment {
 public:
  void set(const char* name, const char* value) {
    if (!saved_.count(name)) {
      const char* old = std::getenv(name);
      saved_[name] = old ? std::optional<std::string>(old) : std::nullopt;
    }
    if (value) {
      ::setenv(name, value, 1);
    } else {
      ::unsetenv(name);
    }
  }
  ~Environment() {
    for (const auto& [name, value] : saved_) {
      if (value) {
        ::setenv(name.c_str(), value->c_str(), 1);
      } else {
        ::unsetenv(name.c_str());
      }
    }
  }

 private:
  std::map<std::string, std::optional<std::string>> saved_;
};

TEST(PrivateFolder, TheFolderIsTheRuntimeDirectorysWhenThatIsTheUsersElseInTheUsersCache) {
  TempDir tmp;
  ASSERT_TRUE(makeDirectories(tmp.file("run")));
  ASSERT_TRUE(makeDirectories(tmp.file("theirs")));
  ASSERT_EQ(::chown(tmp.file("theirs").c_str(), kOtherUser, kOtherUser), 0);
  ASSERT_TRUE(writeWholeFileAtomically(tmp.file("file"), "x"));
  struct Case {
    std::optional<std::string> runtime, cache, home;
    std::string folder;
  };
  // Never a shared folder such as /tmp or $TMPDIR, where another user can take the name.
  const std::string cached = tmp.file("cache/zorvane/run");
  const Case cases[] = {
      {tmp.file("run"), tmp.file("cache"), "/home/x", tmp.file("run/zorvane")},
      {tmp.file("run") + "/", std::nullopt, std::nullopt, tmp.file("run/zorvane")},
      {"run", tmp.file("cache"), std::nullopt, cached},  // not absolute
      {tmp.file("missing"), tmp.file("cache") + "//", std::nullopt, cached},
      {tmp.file("theirs"), tmp.file("cache"), std::nullopt, cached},
      {tmp.file("file"), tmp.file("cache"), std::nullopt, cached},
      {"", tmp.file("cache"), std::nullopt, cached},
      {std::nullopt, tmp.file("cache"), std::nullopt, cached},
      {std::nullopt, std::nullopt, tmp.path(), tmp.file(".cache/zorvane/run")},
      {std::nullopt, "relative", tmp.path(), tmp.file(".cache/zorvane/run")},
      {std::nullopt, std::nullopt, std::nullopt, ""},
  };
  for (const Case& c : cases) {
    Environment env;
    env.set("XDG_RUNTIME_DIR", c.runtime ? c.runtime->c_str() : nullptr);
    env.set("XDG_CACHE_HOME", c.cache ? c.cache->c_str() : nullptr);
    env.set("HOME", c.home ? c.home->c_str() : nullptr);
    env.set("TMPDIR", tmp.path().c_str());
    EXPECT_EQ(userRuntimeFolder("zorvane"), c.folder) << c.runtime.value_or("-");
  }
}

// With no runtime directory, the fallback is made in the user's cache, private at every
// level the program makes, and a squatter's folder there is refused, not used.
TEST(PrivateFolder, TheRuntimeFallbackIsMadeInTheCacheAndASquattersFolderIsRefused) {
  TempDir tmp;
  Environment env;
  env.set("XDG_RUNTIME_DIR", nullptr);
  env.set("XDG_CACHE_HOME", tmp.file("home/.cache").c_str());
  const auto folder = PrivateFolder::openUserRuntimeFolder("zorvane");
  ASSERT_TRUE(folder);
  EXPECT_EQ(folder->path(), tmp.file("home/.cache/zorvane/run"));
  EXPECT_EQ(modeOf(tmp.file("home/.cache/zorvane")), 0700u);
  EXPECT_EQ(modeOf(tmp.file("home/.cache/zorvane/run")), 0700u);

  env.set("XDG_CACHE_HOME", tmp.file("shared").c_str());
  ASSERT_TRUE(makeDirectories(tmp.file("shared/zorvane/run")));
  ASSERT_EQ(::chown(tmp.file("shared/zorvane").c_str(), kOtherUser, kOtherUser), 0);
  EXPECT_FALSE(PrivateFolder::openUserRuntimeFolder("zorvane"));
}

TEST(PrivateFolder, IsMadeForTheUserAloneWhateverTheMask) {
  TempDir tmp;
  const mode_t mask = ::umask(0);
  const auto folder = PrivateFolder::open(tmp.file("own"));
  ::umask(mask);
  ASSERT_TRUE(folder.has_value());
  EXPECT_EQ(folder->path(), tmp.file("own"));
  EXPECT_EQ(modeOf(tmp.file("own")), 0700u);
  EXPECT_EQ(ownerOf(tmp.file("own")), ::geteuid());
  EXPECT_EQ(folder->file("a"), tmp.file("own/a"));
}

TEST(PrivateFolder, AnExistingFolderMustBeTheUsersOwnRealDirectory) {
  TempDir tmp;
  ASSERT_TRUE(makeDirectories(tmp.file("elsewhere")));
  ASSERT_TRUE(writeWholeFileAtomically(tmp.file("elsewhere/page"), "x"));
  struct Case {
    const char* name;
    bool opens;
  };
  ASSERT_TRUE(makeDirectories(tmp.file("open to all")));
  ASSERT_EQ(::chmod(tmp.file("open to all").c_str(), 0777), 0);
  ASSERT_TRUE(makeDirectories(tmp.file("unwritable")));
  ASSERT_EQ(::chmod(tmp.file("unwritable").c_str(), 0500), 0);
  ASSERT_TRUE(makeDirectories(tmp.file("theirs")));
  ASSERT_EQ(::chmod(tmp.file("theirs").c_str(), 0777), 0);
  ASSERT_EQ(::chown(tmp.file("theirs").c_str(), kOtherUser, kOtherUser), 0);
  ASSERT_EQ(::symlink(tmp.file("elsewhere").c_str(), tmp.file("link").c_str()), 0);
  ASSERT_TRUE(writeWholeFileAtomically(tmp.file("file"), "x"));
  const Case cases[] = {
      {"open to all", true}, {"unwritable", true}, {"theirs", false}, {"link", false},
      {"link/", false},      {"file", false},      {"no parent/folder", false},
  };
  for (const Case& c : cases) {
    const mode_t before = modeOf(tmp.file(c.name));
    const auto folder = PrivateFolder::open(tmp.file(c.name));
    EXPECT_EQ(folder.has_value(), c.opens) << c.name;
    // Ours is made private; what is not ours is left as it was.
    EXPECT_EQ(modeOf(tmp.file(c.name)), c.opens ? 0700u : before) << c.name;
  }
  EXPECT_FALSE(pathExists(tmp.file("no parent")));
  EXPECT_EQ(modeOf(tmp.file("elsewhere")), 0755u);
  EXPECT_EQ(ownerOf(tmp.file("theirs")), kOtherUser);
}

TEST(PrivateFolder, AWriteReplacesAnotherUsersFileAndNeverWritesIntoIt) {
  TempDir tmp;
  auto folder = PrivateFolder::open(tmp.file("own"));
  ASSERT_TRUE(folder);
  // Another user's file, also reachable from outside the folder by a second name.
  ASSERT_TRUE(writeWholeFileAtomically(tmp.file("outside"), "planted"));
  ASSERT_EQ(::chown(tmp.file("outside").c_str(), kOtherUser, kOtherUser), 0);
  ASSERT_EQ(::link(tmp.file("outside").c_str(), folder->file("vexo-1.swf").c_str()), 0);

  ASSERT_TRUE(folder->write("vexo-1.swf", "ours", Durability::kThrowAway));
  EXPECT_EQ(readWholeFile(folder->file("vexo-1.swf")), "ours");
  EXPECT_EQ(ownerOf(folder->file("vexo-1.swf")), ::geteuid());
  EXPECT_EQ(readWholeFile(tmp.file("outside")), "planted");
  EXPECT_EQ(ownerOf(tmp.file("outside")), kOtherUser);
}

TEST(PrivateFolder, AWriteGoesToTheFolderThatWasCheckedEvenIfItsNameMoves) {
  TempDir tmp;
  auto folder = PrivateFolder::open(tmp.file("own"));
  ASSERT_TRUE(folder);
  ASSERT_EQ(::rename(tmp.file("own").c_str(), tmp.file("moved").c_str()), 0);
  ASSERT_TRUE(makeDirectories(tmp.file("own")));
  ASSERT_TRUE(folder->write("a", "x"));
  EXPECT_TRUE(fileExists(tmp.file("moved/a")));
  EXPECT_FALSE(pathExists(tmp.file("own/a")));
}

TEST(PrivateFolder, OnlyTheUsersOwnFilesInAPrivateFolderAreRead) {
  TempDir tmp;  // mkdtemp makes it 0700
  ASSERT_TRUE(writeWholeFileAtomically(tmp.file("own"), "ours"));
  ASSERT_TRUE(writeWholeFileAtomically(tmp.file("theirs"), "planted"));
  ASSERT_EQ(::chown(tmp.file("theirs").c_str(), kOtherUser, kOtherUser), 0);
  ASSERT_EQ(::symlink(tmp.file("own").c_str(), tmp.file("link").c_str()), 0);
  ASSERT_EQ(::mkfifo(tmp.file("pipe").c_str(), 0600), 0);
  ASSERT_TRUE(writeWholeFileAtomically(tmp.file("big"), std::string(101, 'x')));
  ASSERT_TRUE(writeWholeFileAtomically(tmp.file("empty"), ""));
  ASSERT_TRUE(makeDirectories(tmp.file("sub")));
  ASSERT_TRUE(makeDirectories(tmp.file("open")));
  ASSERT_EQ(::chmod(tmp.file("open").c_str(), 0755), 0);
  ASSERT_TRUE(writeWholeFileAtomically(tmp.file("open/own"), "ours"));
  struct Case {
    std::string path;
    std::optional<std::string> contents;
  };
  const Case cases[] = {
      {tmp.file("own"), "ours"},
      {tmp.file("empty"), ""},
      {tmp.file("theirs"), std::nullopt},
      {tmp.file("link"), std::nullopt},
      {tmp.file("pipe"), std::nullopt},
      {tmp.file("big"), std::nullopt},
      {tmp.file("sub"), std::nullopt},
      {tmp.file("missing"), std::nullopt},
      {tmp.file("open/own"), std::nullopt},  // others could have replaced it
      {"", std::nullopt},
      {tmp.path() + "/", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(readPrivateFile(c.path, 100), c.contents) << c.path;
}

}  // namespace
}  // namespace zv
