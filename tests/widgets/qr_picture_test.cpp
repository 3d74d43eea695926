// The QR picture as a camera sees it: decoded back by zbarimg (zbar-tools) when that is
// installed, and the picture's bad inputs refused.
#include "platform/qt/qr_picture.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <string>

#include "platform/qr_code.h"

namespace zv {
namespace {

TEST(QrPicture, ReadsBackAsTheText) {
  if (!qrCodesAvailable()) GTEST_SKIP() << "built without a QR encoder";
  const QString zbarimg = QStandardPaths::findExecutable("zbarimg");
  if (zbarimg.isEmpty()) GTEST_SKIP() << "zbarimg (zbar-tools) is not installed";
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  struct Case {
    std::string text;
    int pixelsPerModule;
    int quietModules;
  };
  const Case cases[] = {
      {"9b74c9897bac770ffc029102a200c5de3d2b1e6e0f8a3c9d5e7f60718293a4b5", 3, 4},
      {"9b74c9897bac770ffc029102a200c5de3d2b1e6e0f8a3c9d5e7f60718293a4b5", 1, 4},
      {"HELLO 1", 8, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text + " at " + std::to_string(c.pixelsPerModule) + " px");
    const QrCode code = makeQrCode(c.text);
    const QImage picture = qrPicture(code, c.pixelsPerModule, c.quietModules);
    const int side = (code.size + 2 * c.quietModules) * c.pixelsPerModule;
    ASSERT_EQ(picture.size(), QSize(side, side));
    // The frame is light all round: the corner pixels, and no dark one in the top rows.
    for (int y = 0; y < c.quietModules * c.pixelsPerModule; ++y) {
      for (int x = 0; x < side; ++x) ASSERT_EQ(qGray(picture.pixel(x, y)), 255) << x << "," << y;
    }
    const QString file = folder.filePath("code.png");
    ASSERT_TRUE(picture.save(file));
    QProcess reader;
    reader.start(zbarimg, {"--quiet", "--raw", "-Sdisable", "-Sqrcode.enable", file});
    ASSERT_TRUE(reader.waitForFinished(30000));
    EXPECT_EQ(reader.exitCode(), 0) << reader.readAllStandardError().toStdString();
    EXPECT_EQ(reader.readAllStandardOutput().trimmed().toStdString(), c.text);
  }
}

TEST(QrPicture, BadInputGivesNoPicture) {
  QrCode two;
  two.size = 2;
  two.dark = {true, true, false, false};  // the top row dark
  QrCode lying = two;
  lying.size = 3;  // fewer modules than it claims
  struct Case {
    const char* what;
    const QrCode* code;
    int pixelsPerModule;
    int quietModules;
    bool picture;
  };
  const QrCode none;
  const Case cases[] = {
      {"empty code", &none, 4, 4, false},
      {"zero pixels a module", &two, 0, 4, false},
      {"negative frame", &two, 4, -1, false},
      {"size and modules disagree", &lying, 4, 4, false},
      {"wider than any screen", &two, 1'000'000'000, 4, false},
      {"no frame", &two, 1, 0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(!qrPicture(*c.code, c.pixelsPerModule, c.quietModules).isNull(), c.picture);
  }
  // zbar reads a transposed code just as well, so rows and columns are told apart here.
  const QImage bare = qrPicture(two, 1, 0);
  EXPECT_EQ(qGray(bare.pixel(0, 0)), 0);
  EXPECT_EQ(qGray(bare.pixel(1, 0)), 0);
  EXPECT_EQ(qGray(bare.pixel(0, 1)), 255);
  EXPECT_EQ(qGray(bare.pixel(1, 1)), 255);
}

}  // namespace
}  // namespace zv
