// The titles on Linux, where the stand-ins of the Chinese faces are the system's own fonts.
#include <gtest/gtest.h>

#include <QFontInfo>

#include "platform/qt/fonts.h"
#include "widgets/titles_fixture.h"

namespace zv {
namespace {

using testing::Titles;

// Qt's offscreen fonts under Wine hold none of the Windows stand-ins, so this is Linux's.
TEST_F(Titles, AFaceThatIsNotInstalledIsDrawnWithAStandInOfSongTi) {
  s.writeSettings("[yanse]\r\n主标题字体=方正不存在体\r\n主标题字体大小=40\r\n主标题字体颜色=255\r\n");
  start();
  const QString used = QFontInfo(title()->font()).family();
  EXPECT_TRUE(familiesFor("宋体").mid(1).contains(used)) << used.toStdString();
}

}  // namespace
}  // namespace zv
