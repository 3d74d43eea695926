// Decodes kept on disk between starts: found again by the picture's bytes, never
// mistaken for another picture's, and remade when the kept file is damaged.
#include "platform/qt/remembered_decodes.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QRandomGenerator>
#include <QTest>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <string>
#include <thread>

#include "platform/files.h"
#include "platform/qt/picture.h"
#include "platform/qt/picture_batch.h"
#include "remembered_decodes_fixture.h"
#include "support/temp_dir.h"

namespace zv {
namespace {

using zv::testing::TempDir;

using testing::entries;
using testing::noisyJpeg;
using testing::RefusalCase;
using testing::RememberedDecodes;
using testing::withBit;

TEST_F(RememberedDecodes, ASecondDecodeIsReadBackFromTheFolder) {
  const std::string jpeg = noisyJpeg({400, 300}, 1);
  ASSERT_GT(jpeg.size(), 64u * 1024);
  const QSize target(200, 150);
  const QImage first = decodePictureRemembered(jpeg, target);
  ASSERT_FALSE(first.isNull());
  const auto kept = entries(folder());
  ASSERT_EQ(kept.size(), 1u);

  // The pixels are read from the folder: a sound entry of other pixels put there comes
  // back as it is (a damaged one would be refused: see below).
  const std::string entry = readWholeFile(kept[0]);
  QImage other = first.copy();
  other.invertPixels();
  const RememberedKey key = rememberedKey(jpeg);
  rememberPicture(key, target, Remembered::Decoded, other);
  waitForRememberedWrites();
  const QImage second = decodePictureRemembered(jpeg, target);
  EXPECT_EQ(second.size(), first.size());
  EXPECT_EQ(second.format(), first.format());
  EXPECT_NE(second, first);
  EXPECT_EQ(second, other);
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

// Whatever is found in an entry's place that is not a sound entry of that picture and
// size (a pipe, a link to a device, a flipped bit, a file far larger than the slot
// allows) is refused without waiting or reading it all, deleted, and the picture is
// decoded afresh: the right picture is shown and a sound entry takes the place.
TEST_F(RememberedDecodes, AnythingButASoundEntryIsDeletedAndDecodedAfresh) {
  const std::string jpeg = noisyJpeg({400, 300}, 9);
  auto replaceWith = [](const std::string& path, const std::string& bytes) {
    ASSERT_TRUE(writeWholeFileAtomically(path, bytes, Durability::kThrowAway));
  };
  const RefusalCase cases[] = {
      {"a flipped bit in the width",  // 200 becomes 72: rows still long enough for it
       [&](const std::string& path, const std::string& good) {
         replaceWith(path, withBit(good, 8, 7));
       }},
      {"a flipped bit in the height",
       [&](const std::string& path, const std::string& good) {
         replaceWith(path, withBit(good, 12, 1));
       }},
      {"a flipped bit in a pixel",
       [&](const std::string& path, const std::string& good) {
         replaceWith(path, withBit(good, good.size() / 2, 3));
       }},
      {"a layout number no entry has",
       [&](const std::string& path, const std::string& good) {
         std::string bytes = good;
         const std::uint32_t layout = 0x7FFFFFFF;
         std::memcpy(bytes.data() + 20, &layout, sizeof layout);
         replaceWith(path, bytes);
       }},
      {"1.2 GB, mostly holes",
       [&](const std::string& path, const std::string& good) {
         replaceWith(path, good);
         std::error_code error;
         std::filesystem::resize_file(TempDir::native(path), 1'200'000'000, error);
         ASSERT_FALSE(error) << error.message();
       }},
  };
  refusesEachAndDecodesAfresh(jpeg, cases);
}

// The old fingerprint of the bytes, as far as it went into the key: four lanes over
// 32-byte stripes, then only the length. One stripe appended to each of two pictures of the
// same length can bring their lanes together (the stripe's word times an odd constant is
// added to each lane), so the two had one name in the folder.
struct OldLanes {
  std::uint64_t lane[4];
  friend bool operator==(const OldLanes&, const OldLanes&) = default;
};
constexpr std::uint64_t kOldPrime1 = 0x9E3779B185EBCA87ULL, kOldPrime2 = 0xC2B2AE3D27D4EB4FULL;
std::uint64_t oldRotate(std::uint64_t x, int by) { return (x << by) | (x >> (64 - by)); }
std::uint64_t oldWord(const char* p) {
  std::uint64_t w;
  std::memcpy(&w, p, sizeof w);
  return w;
}
OldLanes oldLanes(std::string_view bytes) {
  OldLanes l{{kOldPrime1 + kOldPrime2, kOldPrime2, 0, 0 - kOldPrime1}};
  for (std::size_t at = 0; at + 32 <= bytes.size(); at += 32)
    for (int i = 0; i < 4; ++i)
      l.lane[i] = oldRotate(l.lane[i] + oldWord(bytes.data() + at + 8 * i) * kOldPrime2, 31) *
                  kOldPrime1;
  return l;
}
std::uint64_t inverse(std::uint64_t odd) {  // modulo 2^64, by Newton's iteration
  std::uint64_t x = odd;
  for (int i = 0; i < 6; ++i) x *= 2 - odd * x;
  return x;
}

TEST_F(RememberedDecodes, TwoPicturesWhoseOldFingerprintsCollideEachShowTheirOwn) {
  std::string a = noisyJpeg({400, 300}, 10), b = noisyJpeg({400, 300}, 11);
  // Both padded after the end marker to one length, a whole number of stripes.
  const std::size_t length = (std::max(a.size(), b.size()) + 31) / 32 * 32;
  a.resize(length, '\0');
  b.resize(length, '\0');
  // Then one stripe each: zeros after b, and after a the words that bring a's lanes to b's.
  const OldLanes la = oldLanes(a), lb = oldLanes(b);
  std::string stripe(32, '\0');
  for (int i = 0; i < 4; ++i) {
    const std::uint64_t w = (lb.lane[i] - la.lane[i]) * inverse(kOldPrime2);
    std::memcpy(stripe.data() + 8 * i, &w, sizeof w);
  }
  a += stripe;
  b += std::string(32, '\0');
  ASSERT_EQ(a.size(), b.size());
  ASSERT_NE(a, b);
  ASSERT_EQ(oldLanes(a), oldLanes(b)) << "not a collision of the old key";

  const QSize target(200, 150);
  const QImage ownA = decodePicture(a, target), ownB = decodePicture(b, target);
  ASSERT_FALSE(ownA.isNull());
  ASSERT_NE(ownA, ownB);
  EXPECT_EQ(decodePictureRemembered(a, target), ownA);
  waitForRememberedWrites();
  EXPECT_EQ(decodePictureRemembered(b, target), ownB);
  waitForRememberedWrites();
  EXPECT_EQ(entries(folder()).size(), 2u);
  EXPECT_EQ(decodePictureRemembered(a, target), ownA);
  EXPECT_EQ(decodePictureRemembered(b, target), ownB);
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
    if (path.ends_with("-decoded")) std::filesystem::remove(TempDir::native(path));
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
  for (const auto& entry : kept) EXPECT_TRUE(entry.ends_with("-fitted")) << entry;
  EXPECT_EQ(decodePictureCached(bytes, slot), queued);
}

}  // namespace
}  // namespace zv
