#include "platform/file_buffer.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "platform/picture_data.h"
#include "support/temp_dir.h"

namespace zv {
namespace {

using zv::testing::TempDir;

std::string patterned(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 131 + i / 4096) & 0xFF);
  return bytes;
}

// Sizes around the point where a mapping of its own takes over, and around a large page.
TEST(FileBuffer, ReadsEveryByteWhateverTheSize) {
  TempDir dir;
  for (const std::size_t size :
       {std::size_t{1}, std::size_t{4095}, std::size_t{2 << 20} - 1, std::size_t{2 << 20},
        std::size_t{2 << 20} + 1, std::size_t{4 << 20} + 12345}) {
    const std::string path = dir.file("picture.jpg");
    const std::string bytes = patterned(size);
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), std::ssize(bytes));
    const auto buffer = FileBuffer::read(path);
    ASSERT_NE(buffer, nullptr) << size;
    EXPECT_EQ(buffer->bytes().size(), size);
    EXPECT_TRUE(buffer->bytes() == bytes) << "contents differ at size " << size;
  }
}

TEST(FileBuffer, MissingOrEmptyFilesGiveNoPicture) {
  TempDir dir;
  EXPECT_EQ(FileBuffer::read(dir.file("missing.jpg")), nullptr);
  EXPECT_EQ(FileBuffer::read(dir.path()), nullptr) << "a directory is no picture";
  std::ofstream(dir.file("empty.jpg"), std::ios::binary);
  EXPECT_TRUE(PictureData::fromFile(dir.file("empty.jpg")).empty());
  EXPECT_TRUE(PictureData::fromFile(dir.file("missing.jpg")).empty());
}

TEST(FileBuffer, PicturesReadTwiceAreEqualButNotTheSame) {
  TempDir dir;
  const std::string path = dir.file("photo.jpg");
  const std::string bytes = patterned(3 << 20);
  std::ofstream(path, std::ios::binary).write(bytes.data(), std::ssize(bytes));
  const PictureData first = PictureData::fromFile(path), second = PictureData::fromFile(path);
  const PictureData copy = first;
  EXPECT_TRUE(first == second);
  EXPECT_FALSE(first.sameAs(second));
  EXPECT_TRUE(copy.sameAs(first));
  EXPECT_TRUE(PictureData(bytes) == first);
}

}  // namespace
}  // namespace zv
