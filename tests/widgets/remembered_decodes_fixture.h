#pragma once
// Decodes kept on disk, for their tests on both systems.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QRandomGenerator>
#include <chrono>
#include <filesystem>
#include <functional>
#include <future>
#include <memory>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "platform/files.h"
#include "platform/qt/picture.h"
#include "platform/qt/remembered_decodes.h"
#include "support/temp_dir.h"

namespace zv::testing {

// What is in the entry's place is read with a deadline: a reader that waits on it fails
// the test instead of hanging it (the waiting thread is left behind).
inline QImage withinSeconds(std::function<QImage()> read, bool& inTime) {
  auto task = std::make_shared<std::packaged_task<QImage()>>(std::move(read));
  std::future<QImage> result = task->get_future();
  std::thread([task] { (*task)(); }).detach();
  inTime = result.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
  return inTime ? result.get() : QImage();
}

// The bytes with one bit flipped.
inline std::string withBit(std::string bytes, std::size_t at, int bit) {
  bytes.at(at) = static_cast<char>(bytes.at(at) ^ (1 << bit));
  return bytes;
}

// Noise does not compress: a JPEG well over the size worth keeping.
inline std::string noisyJpeg(QSize size, quint32 seed) {
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

// The paths in the folder, in UTF-8, once the writes are done.
inline std::vector<std::string> entries(const std::string& folder) {
  waitForRememberedWrites();
  std::vector<std::string> found;
  if (std::filesystem::exists(TempDir::native(folder)))
    for (const auto& e : std::filesystem::directory_iterator(TempDir::native(folder)))
      found.push_back(TempDir::utf8(e.path()));
  return found;
}

// One thing put in an entry's place, given the entry's path and its sound bytes.
struct RefusalCase {
  const char* what;
  std::function<void(const std::string& path, const std::string& good)> put;
};

class RememberedDecodes : public ::testing::Test {
 protected:
  void SetUp() override { rememberDecodesIn(folder()); }
  void TearDown() override { rememberDecodesIn(""); }
  std::string folder() const { return dir_.file("cache/decodes"); }

  // Puts each case's thing in the place of a kept entry, decoded and fitted: it is refused
  // without waiting, deleted, and the picture decoded afresh into a sound entry.
  void refusesEachAndDecodesAfresh(const std::string& jpeg, std::span<const RefusalCase> cases) {
    const RememberedKey key = rememberedKey(jpeg);
    for (const RefusalCase& c : cases) {
      for (const Remembered kind : {Remembered::Decoded, Remembered::Fitted}) {
        SCOPED_TRACE(std::string(c.what) + (kind == Remembered::Fitted ? ", fitted" : ", decoded"));
        // Let go first (Windows keeps a folder in use from being removed), made afresh at
        // the next use.
        rememberDecodesIn(folder());
        std::filesystem::remove_all(TempDir::native(folder()));
        const QSize target(200, 150);
        const QImage right = kind == Remembered::Decoded
                                 ? decodePicture(jpeg, target)
                                 : fitPictureToTarget(decodePicture(jpeg, target), target);
        rememberPicture(key, target, kind, right);
        const auto kept = entries(folder());
        ASSERT_EQ(kept.size(), 1u);
        const std::string path = kept[0];
        const std::string good = readWholeFile(path);
        c.put(path, good);

        bool inTime = false;
        const QImage recalled =
            withinSeconds([&] { return recallPicture(key, target, kind); }, inTime);
        ASSERT_TRUE(inTime) << "the reader waits on what is in the entry's place";
        EXPECT_TRUE(recalled.isNull()) << "taken";
        EXPECT_FALSE(
            std::filesystem::exists(std::filesystem::symlink_status(TempDir::native(path))))
            << "not deleted";

        if (kind == Remembered::Decoded) {
          c.put(path, good);
          const QImage shown =
              withinSeconds([&] { return decodePictureRemembered(key, jpeg, target); }, inTime);
          ASSERT_TRUE(inTime);
          EXPECT_EQ(shown, right);
          waitForRememberedWrites();
          EXPECT_TRUE(std::filesystem::is_regular_file(
              std::filesystem::symlink_status(TempDir::native(path))));
          EXPECT_EQ(readWholeFile(path), good) << "not replaced by a sound entry";
        }
      }
    }
  }

  TempDir dir_;
};

}  // namespace zv::testing
