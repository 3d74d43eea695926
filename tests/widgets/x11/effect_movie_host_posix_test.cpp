// The effect movie host on POSIX and X11: its folder and files are the user's own, whoever
// planted files or folders of the same names before, and without a compositor the window's
// shape keys the movie.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "host/colour_key.h"
#include "host/effect_movie_host.h"
#include "host/logic/effect_page.h"
#include "host/movie_view.h"
#include "platform/files.h"
#include "platform/private_folder.h"
#include "resources/effect_movies.h"
#include "widgets/effect_host_fixture.h"

namespace zv {
namespace {

// Tests run as root, so a file can be given to another user.
constexpr uid_t kOtherUser = 65534;

uid_t ownerOf(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0 ? st.st_uid : static_cast<uid_t>(-1);
}

using testing::EffectHostTest;

TEST_F(EffectHostTest, PlayMakesTheEffectFolderARealFolderOfTheUsersAlone) {
  EffectMovieHost host;
  ASSERT_NE(host.play(&window, artwork::effectMovie(5), 0), nullptr);
  struct stat st {};
  ASSERT_EQ(::lstat(folder().c_str(), &st), 0);
  EXPECT_TRUE(S_ISDIR(st.st_mode));
  EXPECT_EQ(st.st_mode & 07777, 0700u);
}

TEST_F(EffectHostTest, AnotherUsersFilesOfTheSameNamesAreNeitherPlayedNorWrittenInto) {
  // Files planted beforehand: at the old shared place, and in our folder as second names
  // of files outside it. Their page asks for a huge picture of another movie.
  const std::string planted = page::buildPage(id(), 20000, 20000, 0xFFFFFF);
  const std::string plantedMovie(artwork::effectMovie(4));
  ASSERT_TRUE(PrivateFolder::openUserRuntimeFolder("zorvane"));
  for (const std::string& path :
       {tmp.file(name() + ".cn"), tmp.file(name() + ".swf"), tmp.file("page"), tmp.file("movie")}) {
    ASSERT_TRUE(writeWholeFileAtomically(
        path, path.ends_with("swf") || path.ends_with("movie") ? plantedMovie : planted));
    ASSERT_EQ(::chown(path.c_str(), kOtherUser, kOtherUser), 0);
  }
  ASSERT_EQ(::link(tmp.file("page").c_str(), file(name() + ".cn").c_str()), 0);
  ASSERT_EQ(::link(tmp.file("movie").c_str(), file(name() + ".swf").c_str()), 0);

  EffectMovieHost host;
  auto* view = static_cast<MovieView*>(host.play(&window, artwork::effectMovie(5), 0));
  ASSERT_TRUE(view->playing());
  EXPECT_EQ(view->frameRate(), 36);  // movie 5's, not the planted movie 4's (12)
  EXPECT_EQ(view->picture().size(), QSize(640, 360));
  EXPECT_EQ(readWholeFile(file(name() + ".swf")), artwork::effectMovie(5));
  EXPECT_EQ(ownerOf(file(name() + ".swf")), ::geteuid());
  EXPECT_EQ(ownerOf(file(name() + ".cn")), ::geteuid());
  for (const std::string& path : {tmp.file(name() + ".cn"), tmp.file("page")}) {
    EXPECT_EQ(readWholeFile(path), planted) << path;
    EXPECT_EQ(ownerOf(path), kOtherUser) << path;
  }
  for (const std::string& path : {tmp.file(name() + ".swf"), tmp.file("movie")}) {
    EXPECT_EQ(readWholeFile(path), plantedMovie) << path;
    EXPECT_EQ(ownerOf(path), kOtherUser) << path;
  }
}

TEST_F(EffectHostTest, AnEffectFolderThatIsNotTheUsersOwnPlaysNothingAndIsLeftAlone) {
  // A folder of the effect folder's name made by someone else, or a link to elsewhere,
  // holding a page and a movie that would play.
  ASSERT_TRUE(makeDirectories(tmp.file("elsewhere")));
  ASSERT_EQ(::chmod(tmp.file("elsewhere").c_str(), 0700), 0);
  for (const bool link : {false, true}) {
    std::filesystem::remove_all(folder());
    const std::string holder = link ? tmp.file("elsewhere") : folder();
    ASSERT_TRUE(makeDirectories(holder));
    const std::string page = page::buildPage(id(), 640, 360, 0);
    ASSERT_TRUE(writeWholeFileAtomically(holder + "/" + name() + ".cn", page));
    ASSERT_TRUE(writeWholeFileAtomically(holder + "/" + name() + ".swf", artwork::effectMovie(4)));
    if (link) {
      ASSERT_EQ(::symlink(holder.c_str(), folder().c_str()), 0);
    } else {
      ASSERT_EQ(::chmod(holder.c_str(), 0755), 0);
      ASSERT_EQ(::chown(holder.c_str(), kOtherUser, kOtherUser), 0);
    }

    EffectMovieHost host;
    // The fireworks are off, and that is said once, not at every showing.
    ::testing::internal::CaptureStderr();
    auto* view = static_cast<MovieView*>(host.play(&window, artwork::effectMovie(5), 0));
    delete EffectMovieHost().play(&window, artwork::effectMovie(5), 0);
    const std::string said = ::testing::internal::GetCapturedStderr();
    const std::size_t first = said.find("Effects off");
    EXPECT_EQ(first != std::string::npos, !link) << said;  // the folder was named before
    if (first != std::string::npos) {
      EXPECT_NE(said.find(folder(), first), std::string::npos) << said;
      EXPECT_EQ(said.find("Effects off", first + 1), std::string::npos) << said;
    }
    ASSERT_NE(view, nullptr);
    EXPECT_FALSE(view->playing()) << link;
    ASSERT_NE(ColourKey::of(&window), nullptr);
    EXPECT_EQ(readWholeFile(holder + "/" + name() + ".swf"), artwork::effectMovie(4)) << link;
    EXPECT_EQ(readWholeFile(holder + "/" + name() + ".cn"), page) << link;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(holder), {}), 2) << link;
    delete view;
  }
}

// On X11 without a compositor (Windows always composes its windows).
TEST_F(EffectHostTest, WithoutACompositorTheWindowShapeIsTheMoviesBurningPixels) {
  EffectMovieHost host;
  auto* view = static_cast<MovieView*>(host.play(&window, artwork::effectMovie(4), 0));
  ASSERT_EQ(ColourKey::of(&window)->mechanism(), key::Mechanism::kWindowShape);
  view->showFrame(20);
  const QImage& frame = view->picture();
  const QRegion mask = window.mask();
  int burning = 0;
  for (int y = 0; y < frame.height(); y += 3) {
    for (int x = 0; x < frame.width(); x += 3) {
      const bool black = (frame.pixel(x, y) & 0xFFFFFF) == 0;
      burning += !black;
      ASSERT_EQ(mask.contains(QPoint(x, y)), !black) << x << "," << y;
    }
  }
  EXPECT_GT(burning, 100);
}

}  // namespace
}  // namespace zv
