// The operator's music on POSIX: a file in its place that would make a reader wait.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QTest>

#include "app/unusable_file_reports.h"
#include "dialogs/message_boxes.h"
#include "platform/files.h"
#include "widgets/pictures_fixture.h"

namespace zv {
namespace {

using testing::MusicTest;

TEST_F(MusicTest, AMusicFileThatIsAFifoIsReportedOnceAndNeverHandedToTheAudioLibrary) {
  s.writeSettings("[zbt]\r\nlx=真\r\n");
  s.start();
  const std::string music = s.stage->files().music();
  ASSERT_TRUE(makeDirectories(s.stage->files().musicDirectory()));
  ASSERT_EQ(::mkfifo(music.c_str(), 0644), 0);
  reportUnusableFilesToTheOperator();
  MessageBoxes::clearShown();
  ::alarm(20);  // the library would wait in open() for a writer: fail instead of hanging
  for (int draw = 0; draw < 2; ++draw) {
    startDraw();
    EXPECT_FALSE(playing());
    stopDraw();
  }
  ::alarm(0);
  QTest::qWait(50);
  setUnusableFileListener(nullptr);
  int reports = 0;
  for (const auto& m : MessageBoxes::shown()) reports += m.text == unusableFileText(music);
  EXPECT_EQ(reports, 1);
}

}  // namespace
}  // namespace zv
