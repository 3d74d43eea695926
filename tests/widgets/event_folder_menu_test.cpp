// "打开活动文件夹": the stage's own folder handed to the desktop, and a failure reported
// with the folder's path.
#include <QDir>
#include <QUrl>
#include <gtest/gtest.h>

#include "stage/event_folder_view.h"
#include "dialogs/message_boxes.h"
#include "stage_fixture.h"

namespace zv {
namespace {

class EventFolderMenu : public ::testing::Test {
 protected:
  void SetUp() override {
    s.start();
    MessageBoxes::clearShown();
  }
  void TearDown() override {
    setUrlOpenerForTests([](const QUrl&) { return false; });
  }
  void choose() { s.form().menuItem("打开活动文件夹")->action()->trigger(); }
  testing::StageFixture s;
};

TEST_F(EventFolderMenu, OpensTheProgramDirectoryItself) {
  std::vector<QUrl> opened;
  setUrlOpenerForTests([&opened](const QUrl& url) {
    opened.push_back(url);
    return true;
  });
  choose();
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_TRUE(opened[0].isLocalFile());
  EXPECT_EQ(QDir::toNativeSeparators(opened[0].toLocalFile()).toStdString(), s.dir.path());
  EXPECT_TRUE(MessageBoxes::shown().empty());
}

TEST_F(EventFolderMenu, AFolderTheDesktopCannotOpenIsNamedToTheOperator) {
  setUrlOpenerForTests([](const QUrl&) { return false; });
  choose();
  ASSERT_EQ(MessageBoxes::shown().size(), 1u);
  EXPECT_EQ(MessageBoxes::shown()[0].title, "活动文件夹");
  EXPECT_NE(MessageBoxes::shown()[0].text.find(s.dir.path()), std::string::npos);
  EXPECT_EQ(MessageBoxes::shown()[0].icon, MessageIcon::Warning);
}

}  // namespace
}  // namespace zv
