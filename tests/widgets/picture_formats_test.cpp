// Pictures told by their content: PNG, BMP and WebP through Qt's readers under the caps the
// JPEG decoder has, so a hostile file shows nothing and never brings the program down.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/qt/picture.h"
#include "webp_reader.h"

namespace zv {
namespace {

std::string encoded(const QImage& image, const char* format) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, format, 100);
  return bytes.toStdString();
}

std::string solid(QColor colour, const char* format, QSize size = QSize(40, 30)) {
  QImage image(size, QImage::Format_RGB32);
  image.fill(colour);
  return encoded(image, format);
}

std::uint32_t crc32(std::string_view bytes) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (unsigned char byte : bytes) {
    crc ^= byte;
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

void putBigEndian(std::string& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<char>(value >> shift));
}

// A PNG whose header (with a correct checksum) claims width × height, followed by a
// little image data that cannot fill it.
std::string pngClaiming(std::uint32_t width, std::uint32_t height) {
  std::string png = "\x89PNG\r\n\x1a\n";
  std::string chunk = "IHDR";
  putBigEndian(chunk, width);
  putBigEndian(chunk, height);
  chunk += std::string("\x08\x02\x00\x00\x00", 5);  // 8-bit RGB
  putBigEndian(png, 13);
  png += chunk;
  putBigEndian(png, crc32(chunk));
  const std::string idat = "IDAT" + std::string("\x78\x9c\x63\x00\x00\x00\x01\x00\x01", 9);
  putBigEndian(png, 9);
  png += idat;
  putBigEndian(png, crc32(idat));
  return png;
}

// A BMP header that claims a picture far beyond the caps and holds no pixels.
std::string bmpClaiming(std::int32_t width, std::int32_t height) {
  std::string bmp = "BM";
  auto le = [&bmp](std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) bmp.push_back(static_cast<char>(v >> (8 * i)));
  };
  le(54, 4), le(0, 4), le(54, 4);                               // file header
  le(40, 4), le(static_cast<std::uint32_t>(width), 4), le(static_cast<std::uint32_t>(height), 4);
  le(1, 2), le(24, 2), le(0, 4), le(0, 4), le(2835, 4), le(2835, 4), le(0, 4), le(0, 4);
  return bmp;
}

TEST(PictureFormats, ReadByContentWhateverTheName) {
  const QColor colour(0xD0, 0x30, 0x60);
  for (const char* format : {"PNG", "BMP", "WEBP", "JPG"}) {
    if (std::string_view(format) == "WEBP" && !testing::kWebPRead) continue;
    const std::string bytes = solid(colour, format);
    ASSERT_FALSE(bytes.empty()) << format << ": Qt cannot write it (image plugins missing?)";
    const QImage image = decodePicture(bytes, QSize(20, 15));
    ASSERT_FALSE(image.isNull()) << format;
    const QColor centre = image.pixelColor(image.width() / 2, image.height() / 2);
    EXPECT_NEAR(centre.red(), colour.red(), 10) << format;
    EXPECT_NEAR(centre.green(), colour.green(), 10) << format;
    EXPECT_NEAR(centre.blue(), colour.blue(), 10) << format;
  }
}

TEST(PictureFormats, TransparentGroundShowsWhite) {
  QImage cutOut(20, 20, QImage::Format_ARGB32);
  cutOut.fill(Qt::transparent);
  const QImage image = decodePicture(encoded(cutOut, "PNG"));
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.pixelColor(10, 10), QColor(Qt::white));
}

TEST(PictureFormats, CapsApplyAsToJpeg) {
  const std::string png = solid(Qt::red, "PNG", QSize(100, 100));
  ASSERT_FALSE(decodePicture(png, {}, JpegLimits{}).isNull());
  JpegLimits fewPixels;
  fewPixels.maxOutputPixels = 9'999;
  EXPECT_TRUE(decodePicture(png, {}, fewPixels).isNull()) << "over the output cap";
  JpegLimits smallSource;
  smallSource.maxSourcePixels = 9'999;
  EXPECT_TRUE(decodePicture(png, {}, smallSource).isNull()) << "over the source cap";
  // Qt's own limit is the process's and comes back after each read.
  const int before = QImageReader::allocationLimit();
  decodePicture(png, {});
  EXPECT_EQ(QImageReader::allocationLimit(), before);
}

TEST(PictureFormats, HostileFilesShowNothing) {
  const std::string png = solid(Qt::blue, "PNG", QSize(64, 64));
  const std::string webp = solid(Qt::blue, "WEBP", QSize(64, 64));
  struct Case {
    const char* what;
    std::string bytes;
  };
  for (const Case& c : {
           Case{"PNG claiming 100000 x 100000", pngClaiming(100000, 100000)},
           Case{"PNG claiming 7000 x 7000", pngClaiming(7000, 7000)},
           Case{"PNG claiming 2^31 - 1 wide", pngClaiming(0x7FFFFFFF, 1)},
           Case{"BMP claiming 60000 x 60000", bmpClaiming(60000, 60000)},
           Case{"BMP claiming negative size", bmpClaiming(-5, -2147483647)},
           Case{"PNG signature alone", png.substr(0, 8)},
           Case{"WebP header alone", webp.substr(0, 16)},
           Case{"RIFF WEBP of garbage", "RIFF\xff\xff\xff\x7fWEBPVP8 " + std::string(200, '\xa5')},
           Case{"BM and garbage", "BM" + std::string(300, '\x7f')},
       }) {
    EXPECT_TRUE(decodePicture(c.bytes, QSize(106, 65)).isNull()) << c.what;
  }
  // Cut short: whatever Qt makes of the rows it has, nothing more.
  for (std::size_t length : {png.size() / 2, png.size() - 13, webp.size() / 2}) {
    const std::string& whole = length == webp.size() / 2 ? webp : png;
    const QImage image = decodePicture(whole.substr(0, length), QSize(106, 65));
    EXPECT_TRUE(image.isNull() || image.size() == QSize(64, 64)) << length;
  }
}

}  // namespace
}  // namespace zv
