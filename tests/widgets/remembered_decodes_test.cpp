// Decodes kept on disk between starts: found again by the picture's bytes, never
// mistaken for another picture's, and remade when the kept file is damaged.
#include "platform/qt/remembered_decodes.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QRandomGenerator>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/files.h"
#include "platform/qt/picture.h"
#include "platform/qt/picture_batch.h"
#include "support/temp_dir.h"

namespace zv {
namespace {

using zv::testing::TempDir;

// Noise does not compress: a JPEG well over the size worth keeping.
std::string noisyJpeg(QSize size, quint32 seed) {
  QImage image(size, QImage::Format_RGB32);
  QRandomGenerator random(seed);
  for (int y = 0; y < size.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < size.width(); ++x) line[x] = random.generate() | 0xFF000000u;
  }
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "JPG", 90);
  return bytes.toStdString();
}

std::vector<std::filesystem::path> entries(const std::string& folder) {
  waitForRememberedWrites();
  std::vector<std::filesystem::path> found;
  if (std::filesystem::exists(folder))
    for (const auto& e : std::filesystem::directory_iterator(folder)) found.push_back(e.path());
  return found;
}

class RememberedDecodes : public ::testing::Test {
 protected:
  void SetUp() override { rememberDecodesIn(folder()); }
  void TearDown() override { rememberDecodesIn(""); }
  std::string folder() const { return dir_.file("cache/decodes"); }
  TempDir dir_;
};

TEST_F(RememberedDecodes, ASecondDecodeIsReadBackFromTheFolder) {
  const std::string jpeg = noisyJpeg({400, 300}, 1);
  ASSERT_GT(jpeg.size(), 64u * 1024);
  const QSize target(200, 150);
  const QImage first = decodePictureRemembered(jpeg, target);
  ASSERT_FALSE(first.isNull());
  const auto kept = entries(folder());
  ASSERT_EQ(kept.size(), 1u);
  EXPECT_EQ(std::filesystem::status(folder()).permissions() & std::filesystem::perms::all,
            std::filesystem::perms::owner_all);

  // The pixels are read from the folder: changed there, they come back changed.
  std::string entry = readWholeFile(kept[0]);
  entry.back() = static_cast<char>(entry.back() ^ 0x5A);
  ASSERT_TRUE(writeWholeFileAtomically(kept[0], entry, Durability::kThrowAway));
  const QImage second = decodePictureRemembered(jpeg, target);
  EXPECT_EQ(second.size(), first.size());
  EXPECT_EQ(second.format(), first.format());
  EXPECT_NE(second, first);
  entry.back() = static_cast<char>(entry.back() ^ 0x5A);
  ASSERT_TRUE(writeWholeFileAtomically(kept[0], entry, Durability::kThrowAway));
  EXPECT_EQ(decodePictureRemembered(jpeg, target), first);
}

// Whatever is wrong with a kept file, the picture is decoded again and the file
// replaced; nothing else is shown.
TEST_F(RememberedDecodes, DamagedEntriesAreDecodedAgainAndReplaced) {
  const std::string jpeg = noisyJpeg({400, 300}, 2);
  const QSize target(200, 150);
  const QImage decoded = decodePictureRemembered(jpeg, target);
  const auto path = entries(folder()).at(0);
  const std::string good = readWholeFile(path);
  struct Case {
    const char* what;
    std::string bytes;
  };
  std::string otherHash = good;
  otherHash[32] = static_cast<char>(otherHash[32] ^ 1);  // in the fingerprint
  std::string wrongSize = good;
  wrongSize[16] = static_cast<char>(wrongSize[16] + 1);  // the row length
  const Case cases[] = {
      {"empty", ""},
      {"cut short", good.substr(0, good.size() - 1)},
      {"one byte more", good + "x"},
      {"another picture's", otherHash},
      {"a row length that does not add up", wrongSize},
      {"not an entry at all", std::string(good.size(), 'z')},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(writeWholeFileAtomically(path, c.bytes, Durability::kThrowAway));
    EXPECT_EQ(decodePictureRemembered(jpeg, target), decoded) << c.what;
    waitForRememberedWrites();
    EXPECT_EQ(readWholeFile(path), good) << c.what << ": not replaced";
  }
}

TEST_F(RememberedDecodes, EachPictureAndSizeIsKeptApartSmallOnesNotAtAll) {
  const std::string a = noisyJpeg({400, 300}, 3), b = noisyJpeg({400, 300}, 4);
  decodePictureRemembered(a, {200, 150});
  decodePictureRemembered(a, {100, 75});
  decodePictureRemembered(b, {200, 150});
  EXPECT_EQ(entries(folder()).size(), 3u);
  EXPECT_EQ(decodePictureRemembered(b, {200, 150}), decodePicture(b, {200, 150}));

  const std::string small = noisyJpeg({60, 40}, 5);
  ASSERT_LT(small.size(), 64u * 1024);
  decodePictureRemembered(small, {60, 40});
  EXPECT_EQ(entries(folder()).size(), 3u);

  rememberDecodesIn("");
  decodePictureRemembered(noisyJpeg({400, 300}, 6), {200, 150});
  EXPECT_EQ(entries(folder()).size(), 3u) << "kept with no folder set";
}

// The batch behind the first frame keeps each size it made, and a later start takes
// them from the folder: the same images, with no decode.
TEST_F(RememberedDecodes, TheFirstFrameBatchTakesWhatTheLastStartKept) {
  const PictureData picture(noisyJpeg({800, 600}, 7));
  const std::vector<PictureSizes> job{{picture, {QSize(106, 65), QSize(90, 55)}}};
  ASSERT_TRUE(decodeIntoCacheNow(job).empty());
  const QImage slot = decodePictureCached(picture, QSize(106, 65));
  const auto kept = entries(folder());
  EXPECT_EQ(kept.size(), 3u) << "the decode and the two fitted sizes";

  // Remove the decode: if the next batch needed a decode, it would have to make it again.
  for (const auto& path : kept)
    if (path.string().ends_with("-decoded")) std::filesystem::remove(path);
  const RememberedKey key = rememberedKey(picture.view());
  EXPECT_EQ(recallPicture(key, QSize(106, 65), Remembered::Fitted), slot);
  const PictureData sameBytes(std::string(picture.view()));
  ASSERT_TRUE(decodeIntoCacheNow({{sameBytes, {QSize(106, 65), QSize(90, 55)}}}).empty());
  EXPECT_EQ(entries(folder()).size(), 2u) << "decoded again although both sizes were kept";
  EXPECT_EQ(decodePictureCached(sameBytes, QSize(106, 65)), slot);
}

// A picture chosen from the menu is decoded by the queue at the sizes shown; the next
// start takes those and decodes nothing.
TEST_F(RememberedDecodes, APictureTheQueueDecodedStartsWithoutADecode) {
  const std::string path = dir_.file("1.jpg");
  ASSERT_TRUE(writeWholeFileAtomically(path, noisyJpeg({800, 600}, 8), Durability::kThrowAway));
  const QSize slot(106, 65), result(200, 150);
  QImage queued;
  {
    PictureQueue queue;
    const PictureData picture = PictureData::fromFile(path);
    queue.add(picture, slot);
    queue.add(picture, result);
    for (int i = 0; i < 1000 && queue.busy(); ++i) QTest::qWait(10);
    ASSERT_FALSE(queue.busy());
    queued = decodePictureCached(picture, slot);
  }
  EXPECT_EQ(entries(folder()).size(), 2u);

  PictureFilesLoading loading({path}, QSize(60, 40));
  const PictureData bytes = loading.bytes(0);
  EXPECT_TRUE(loading.finish({{bytes, {slot, result}}}).empty());
  const auto kept = entries(folder());
  EXPECT_EQ(kept.size(), 2u) << "decoded again at start";
  for (const auto& entry : kept) EXPECT_TRUE(entry.string().ends_with("-fitted")) << entry;
  EXPECT_EQ(decodePictureCached(bytes, slot), queued);
}

}  // namespace
}  // namespace zv
